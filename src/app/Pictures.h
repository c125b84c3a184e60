#pragma once

#include "platform/graphics/Bitmap.h"

#include <string_view>

namespace vx {

// A JPEG picture the program carries in its resources (":/pictures/<name>"); an empty
// picture when it carries none.
Bitmap ProgramPicture(std::string_view name);

} // namespace vx
