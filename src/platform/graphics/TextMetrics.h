#pragma once

#include "platform/graphics/Font.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

// Text is measured from the font file, never from hinted screen metrics, so that pages break
// where they broke on the original platform. For a logical font:
//   em         = -lfHeight for a negative height, else lfHeight x upem / (winAscent + winDescent)
//   ascent     = round(em x usWinAscent / upem), descent = round(em x usWinDescent / upem)
//   TextHeight = ascent + descent
//   TextWidth  = the sum of the glyph advances, each rounded to pixels, without kerning.
// Faces Linux lacks are drawn and measured with their metric twins; the stored name stays.
struct TFontMetrics {
    double Em = 0;
    int32_t Ascent = 0;
    int32_t Descent = 0;
    int32_t Height() const { return Ascent + Descent; }
};

TFontMetrics MeasureFont(const LOGFONTA& font);
int32_t TextWidth(const LOGFONTA& font, std::string_view text);
// Each character's advance in pixels, as TextWidth sums them.
void TextAdvances(const LOGFONTA& font, std::string_view text, int32_t* advances);

// The font file that stands in for a face ("Arial" -> Liberation Sans, by weight and slant).
std::string FontFileFor(const LOGFONTA& font);

// For tests that need layout independent of font files: ascent round(0.8 em), descent
// round(0.2 em), every character round(0.5 em) wide. Glyphs are still drawn from the file.
void SetFixedTextMetrics(bool on);
bool FixedTextMetrics();

} // namespace vx
