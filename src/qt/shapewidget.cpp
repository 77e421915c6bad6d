#include "qt/shapewidget.h"

namespace voltaris {

ShapeWidget::ShapeWidget(QWidget *parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
}

QWidget *createShapeWidget(TControl &control, QWidget *parent, WidgetSite &)
{
    if (!dynamic_cast<TShape *>(&control))
        return nullptr;
    return new ShapeWidget(parent);
}

} // namespace voltaris
