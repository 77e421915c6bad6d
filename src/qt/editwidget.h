#pragma once

#include "qt/widgetsite.h"

#include <QLineEdit>

namespace voltaris {

// An edit: a line edit whose typing and selection reach the control as they
// happen; the key filters look at both.
class EditWidget : public QLineEdit, public BoundWidget {
    Q_OBJECT
public:
    EditWidget(TEdit &edit, QWidget *parent, WidgetSite &view);
    void sync(Prop what) override;

private:
    TEdit &edit_;
    WidgetSite &view_;
};

// For the view's factories: the widget of a TEdit, else nullptr.
QWidget *createEditWidget(TControl &control, QWidget *parent, WidgetSite &view);

} // namespace voltaris
