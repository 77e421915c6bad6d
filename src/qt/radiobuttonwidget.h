#pragma once

#include "qt/widgetsite.h"

#include <QRadioButton>

namespace voltaris {

// A radio button of a pair: the control keeps the pair exclusive and decides
// what a click checks.
class RadioButtonWidget : public QRadioButton, public BoundWidget {
    Q_OBJECT
public:
    RadioButtonWidget(TRadioButton &radio, QWidget *parent, WidgetSite &view);
    void sync(Prop what) override;

private:
    TRadioButton &radio_;
    WidgetSite &view_;
};

// For the view's factories: the widget of a TRadioButton, else nullptr.
QWidget *createRadioButtonWidget(TControl &control, QWidget *parent, WidgetSite &view);

} // namespace voltaris
