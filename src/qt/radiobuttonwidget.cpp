#include "qt/radiobuttonwidget.h"

#include "qt/widgets.h"

namespace voltaris {

RadioButtonWidget::RadioButtonWidget(TRadioButton &radio, QWidget *parent, WidgetSite &view)
    : QRadioButton(parent)
    , radio_(radio)
    , view_(view)
{
    setAutoExclusive(false);
    installAccessibleFactory();
    connect(this, &QRadioButton::clicked, this, [this] {
        radio_.click();
        WidgetSite::SyncGuard g(view_);
        setChecked(radio_.checked());
    });
    view.route(this, radio);
}

void RadioButtonWidget::sync(Prop what)
{
    WidgetSite::applyTabStop(radio_, this, what);
    if (what == Prop::Checked)
        setChecked(radio_.checked());
}

QWidget *createRadioButtonWidget(TControl &control, QWidget *parent, WidgetSite &view)
{
    auto *radio = dynamic_cast<TRadioButton *>(&control);
    if (!radio)
        return nullptr;
    return new RadioButtonWidget(*radio, parent, view);
}

} // namespace voltaris
