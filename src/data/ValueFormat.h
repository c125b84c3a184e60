#pragma once

// Display masks of axes, series, table reports and value windows: "0.00" style number masks,
// elapsed-time masks such as "[hh]:nn:ss" over seconds, and date-time masks over TDateTime.

#include <string>
#include <string_view>

namespace vx {

enum class TMaskKind { Number = 0, ElapsedTime = 1, DateTime = 2 };

// The mask that shows values as the text they are.
inline constexpr std::string_view TextMask = "Stringa";

// Decided by the lower-case letters y m d h n s z only: "HH:NN" is a number mask.
TMaskKind MaskKind(std::string_view mask);

// At most 255 characters. A value that a date-time mask cannot show raises EConvertError.
std::string FormatValueByMask(double value, std::string_view mask);
// A value given as text (a date when it holds the date separator, else a number written with
// either separator); text that does not convert counts as 0. Never raises: should formatting
// fail, the text itself is the result.
std::string FormatValueText(std::string_view text, std::string_view mask);

} // namespace vx
