#pragma once

#include "qt/widgetsite.h"

#include <QComboBox>

namespace voltaris {

// A combo box with an editable text; the items are the control's, typing
// reaches it as it happens.
class ComboBoxWidget : public QComboBox, public BoundWidget {
    Q_OBJECT
public:
    ComboBoxWidget(TComboBox &box, QWidget *parent, WidgetSite &view);
    void sync(Prop what) override;

private:
    TComboBox &box_;
    WidgetSite &view_;
};

// For the view's factories: the widget of a TComboBox, else nullptr.
QWidget *createComboBoxWidget(TControl &control, QWidget *parent, WidgetSite &view);

} // namespace voltaris
