#include "qt/imagewidget.h"

namespace voltaris {

ImageWidget::ImageWidget(TImage &image, QWidget *parent)
    : PictureWidget(parent)
    , image_(image)
{
    clickable = bool(image.OnClick);
    connect(this, &PictureWidget::clicked, this, [this] { image_.click(); });
}

void ImageWidget::sync(Prop what)
{
    if (what == Prop::Picture)
        setPicture(image_.picture());
}

QWidget *createImageWidget(TControl &control, QWidget *parent, WidgetSite &)
{
    auto *image = dynamic_cast<TImage *>(&control);
    if (!image)
        return nullptr;
    return new ImageWidget(*image, parent);
}

} // namespace voltaris
