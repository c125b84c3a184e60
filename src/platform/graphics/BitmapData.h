#pragma once

// The pixels behind Bitmap, for the painters in this folder.

#include "platform/graphics/Bitmap.h"

#include <QImage>
#include <string>

namespace vx {

struct BitmapData {
    QImage Image;      // Format_RGB32
    std::string Bytes; // the BMP file it came from, or empty
};

} // namespace vx
