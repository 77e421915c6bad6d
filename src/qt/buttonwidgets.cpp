#include "qt/buttonwidgets.h"

#include "qt/widgets.h"

#include <QEvent>

namespace voltaris {

namespace {

// A push button's mnemonic (Alt+E for "&Eintragen") clicks it where the
// focus is; Qt would move the focus onto the button first.
class MnemonicClick : public QObject {
public:
    MnemonicClick(TButtonControl &button, QObject *parent)
        : QObject(parent)
        , button_(button)
    { }

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() != QEvent::Shortcut)
            return false;
        button_.click();
        return true;
    }

private:
    TButtonControl &button_;
};

// The caption, and the picture at the icon size given.
void syncButton(QAbstractButton &b, TButtonControl &control, Prop what, QSize iconSize)
{
    WidgetSite::applyTabStop(control, &b, what);
    if (what == Prop::Text) {
        b.setText(control.text());
    } else if (what == Prop::Picture && !control.picture().isEmpty()) {
        b.setIcon(pictureIcon(control.picture()));
        b.setIconSize(iconSize);
    }
}

} // namespace

SpeedButtonWidget::SpeedButtonWidget(TSpeedButton &button, QWidget *parent)
    : QToolButton(parent)
    , button_(button)
{
    setAutoRaise(button.flat);
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(this, &QToolButton::clicked, this, [this] { button_.click(); });
}

// The picture fills the button but for its edge.
void SpeedButtonWidget::sync(Prop what)
{
    syncButton(
        *this, button_, what, QSize(qMax(16, button_.width() - 4), qMax(16, button_.height() - 4)));
}

BitBtnWidget::BitBtnWidget(TBitBtn &button, QWidget *parent, WidgetSite &view)
    : QPushButton(parent)
    , button_(button)
{
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, [this] { button_.click(); });
    installEventFilter(new MnemonicClick(button, this));
    view.route(this, button);
}

// The picture is small beside the caption.
void BitBtnWidget::sync(Prop what)
{
    syncButton(*this, button_, what, QSize(18, 18));
}

QWidget *createSpeedButtonWidget(TControl &control, QWidget *parent, WidgetSite &)
{
    auto *button = dynamic_cast<TSpeedButton *>(&control);
    if (!button)
        return nullptr;
    return new SpeedButtonWidget(*button, parent);
}

QWidget *createBitBtnWidget(TControl &control, QWidget *parent, WidgetSite &view)
{
    auto *button = dynamic_cast<TBitBtn *>(&control);
    if (!button)
        return nullptr;
    return new BitBtnWidget(*button, parent, view);
}

} // namespace voltaris
