#include "platform/ui/Image.h"

#include "platform/graphics/BitmapData.h"

#include <QPainter>

namespace vx {

TImage::TImage(QWidget* parent, const QString& name) : QWidget(parent) {
    setObjectName(name);
}

void TImage::SetPicture(const Bitmap& picture) {
    picture_ = picture;
    update();
}

void TImage::SetStretch(bool stretch) {
    if (stretch == stretch_)
        return;
    stretch_ = stretch;
    update();
}

void TImage::paintEvent(QPaintEvent*) {
    if (picture_.Empty())
        return;
    QPainter painter(this);
    const QImage& image = picture_.Data()->Image;
    if (stretch_)
        painter.drawImage(rect(), image);
    else
        painter.drawImage(0, 0, image);
}

} // namespace vx
