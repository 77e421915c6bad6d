#include "qt/labelwidget.h"

#include <QMouseEvent>
#include <algorithm>

namespace voltaris {

namespace {

// A label that reacts to a click (the logo) as a picture does: on the
// release of the left button over it.
class LabelClick : public QObject {
public:
    LabelClick(TLabel &label, QObject *parent)
        : QObject(parent)
        , label_(label)
    { }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        auto *w = static_cast<QWidget *>(watched);
        if (e->type() == QEvent::MouseButtonPress)
            pressed_ = static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton;
        if (e->type() == QEvent::MouseButtonRelease) {
            auto *me = static_cast<QMouseEvent *>(e);
            const bool click = pressed_ && me->button() == Qt::LeftButton
                && w->rect().contains(me->position().toPoint());
            pressed_ = false;
            if (click)
                label_.click();
        }
        return false;
    }

private:
    TLabel &label_;
    bool pressed_ = false;
};

} // namespace

LabelWidget::LabelWidget(TLabel &label, QWidget *parent, WidgetSite &view)
    : QLabel(parent)
    , label_(label)
    , view_(view)
{
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(!label.transparent);
    if (label.OnClick)
        installEventFilter(new LabelClick(label, this));
}

void LabelWidget::sync(Prop what)
{
    if (what == Prop::Text)
        setText(label_.text());
    else if (what == Prop::Alignment)
        setAlignment(WidgetSite::qtAlignment(label_.alignment()) | Qt::AlignTop);
    if (!view_.building()
        && (what == Prop::Text || what == Prop::Font || what == Prop::Bounds
            || what == Prop::Alignment))
        fit();
}

void LabelWidget::fit()
{
    if (label_.fixedSize) {
        setGeometry(label_.left(), label_.top(), label_.width(), label_.height());
        return;
    }
    const int needed = QFontMetrics(font()).horizontalAdvance(label_.text()) + 1;
    QRect r(label_.left(), label_.top(), std::max(label_.width(), needed), label_.height());
    if (r.width() > label_.width()) {
        if (label_.alignment() == TAlignment::Right)
            r.moveRight(label_.left() + label_.width() - 1);
        else if (label_.alignment() == TAlignment::Center)
            r.moveLeft(label_.left() - (r.width() - label_.width()) / 2);
    }
    setGeometry(r);
}

QWidget *createLabelWidget(TControl &control, QWidget *parent, WidgetSite &view)
{
    auto *label = dynamic_cast<TLabel *>(&control);
    if (!label)
        return nullptr;
    return new LabelWidget(*label, parent, view);
}

} // namespace voltaris
