#pragma once

#include "qt/widgetsite.h"

#include <QWidget>

namespace voltaris {

// A shape: a rectangle filled with its colour (the view's common colours).
class ShapeWidget : public QWidget, public BoundWidget {
    Q_OBJECT
public:
    explicit ShapeWidget(QWidget *parent);
    void sync(Prop) override { }
};

// For the view's factories: the widget of a TShape, else nullptr.
QWidget *createShapeWidget(TControl &control, QWidget *parent, WidgetSite &view);

} // namespace voltaris
