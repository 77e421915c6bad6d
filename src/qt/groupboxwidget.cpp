#include "qt/groupboxwidget.h"

#include <QAccessibleWidget>
#include <QPainter>

namespace voltaris {

namespace {

// To a screen reader a group box is a grouping named by its caption.
class GroupBoxAccessible : public QAccessibleWidget {
public:
    explicit GroupBoxAccessible(GroupBoxWidget *w)
        : QAccessibleWidget(w, QAccessible::Grouping)
    { }
    QString text(QAccessible::Text t) const override
    {
        const QString own = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && own.isEmpty())
            return static_cast<GroupBoxWidget *>(widget())->title().trimmed();
        return own;
    }
};

QAccessibleInterface *accessibleGroupBox(const QString &, QObject *object)
{
    if (auto *g = qobject_cast<GroupBoxWidget *>(object))
        return new GroupBoxAccessible(g);
    return nullptr;
}

} // namespace

GroupBoxWidget::GroupBoxWidget(QWidget *parent)
    : QWidget(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleGroupBox);
        return true;
    }();
    Q_UNUSED(installed);
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
    WidgetSite::applyTabStop(*box_, this, what);
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

QWidget *createGroupBoxWidget(TControl &control, QWidget *parent, WidgetSite &)
{
    auto *box = dynamic_cast<TGroupBox *>(&control);
    if (!box)
        return nullptr;
    return new GroupBoxWidget(*box, parent);
}

} // namespace voltaris
