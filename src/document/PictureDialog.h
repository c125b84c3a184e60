#pragma once

#include "platform/graphics/Bitmap.h"

namespace vx {

// The picture dialog (BMP or JPEG) and the chosen file read into `picture`. False when
// cancelled or when the file could not be read; its error is then shown and the picture
// stays as it was.
bool ChoosePicture(Bitmap& picture);

} // namespace vx
