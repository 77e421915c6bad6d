#include "qt/groupboxwidget.h"

#include "qt/widgets.h"

#include <QPainter>

namespace voltaris {

GroupBoxWidget::GroupBoxWidget(QWidget *parent)
    : QWidget(parent)
{
    installAccessibleFactory();
}

GroupBoxWidget::GroupBoxWidget(TGroupBox &box, QWidget *parent)
    : GroupBoxWidget(parent)
{
    box_ = &box;
}

void GroupBoxWidget::setTitle(const QString &title)
{
    title_ = title;
    update();
}

void GroupBoxWidget::sync(Prop what)
{
    if (!box_)
        return;
    FormView::applyTabStop(*box_, this, what);
    if (what == Prop::Text)
        setTitle(box_->text());
}

void GroupBoxWidget::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QFontMetrics fm(font());
    const int y = fm.height() / 2;
    const QRect frame(0, y, width() - 2, height() - y - 2);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(frame);
    p.setPen(palette().color(QPalette::Light));
    p.drawRect(frame.translated(1, 1));
    if (title_.isEmpty())
        return;
    const QRect text(8, 0, fm.horizontalAdvance(title_), fm.height());
    p.fillRect(text, palette().color(QPalette::Window));
    p.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, title_);
}

QWidget *createGroupBoxWidget(TControl &control, QWidget *parent, FormView &)
{
    auto *box = dynamic_cast<TGroupBox *>(&control);
    if (!box)
        return nullptr;
    return new GroupBoxWidget(*box, parent);
}

} // namespace voltaris
