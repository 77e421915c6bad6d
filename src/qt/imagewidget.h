#pragma once

#include "qt/widgets.h"
#include "qt/widgetsite.h"

namespace voltaris {

// An image: the control's picture, clickable when the control does
// something on a click.
class ImageWidget : public PictureWidget, public BoundWidget {
    Q_OBJECT
public:
    ImageWidget(TImage &image, QWidget *parent);
    void sync(Prop what) override;

private:
    TImage &image_;
};

// For the view's factories: the widget of a TImage, else nullptr.
QWidget *createImageWidget(TControl &control, QWidget *parent, WidgetSite &view);

} // namespace voltaris
