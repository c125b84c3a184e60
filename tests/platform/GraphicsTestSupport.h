#pragma once

#include "platform/graphics/Colors.h"

#include <QImage>
#include <QRect>

namespace vx::test {

inline QImage WhiteImage(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// The bounding box of every pixel that is not white; empty when there is none.
inline QRect InkBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                box |= QRect(x, y, 1, 1);
    return box;
}

inline TColor PixelColor(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

} // namespace vx::test
