#pragma once

// What drawing text in one logical font needs, for the painters in this folder.

#include "platform/graphics/Canvas.h"
#include "platform/graphics/FontFace.h"
#include "platform/graphics/TextMetrics.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace vx {

// Found once for a run of texts in one font: a sheet of a table draws hundreds of texts in
// two or three fonts.
struct TextFont {
    LOGFONTA Font{};
    bool Set = false;
    TFontMetrics Metrics;
    const FontFace* Face = nullptr;
    std::array<int32_t, 256> Advances{};
    // How far the ink of each character reaches above and below the baseline, in pixels.
    std::array<double, 256> InkAbove{};
    std::array<double, 256> InkBelow{};

    // Takes `font`; false when it is the font taken already.
    bool Take(const LOGFONTA& font) {
        if (Set && std::memcmp(&Font, &font, sizeof(LOGFONTA)) == 0)
            return false;
        Font = font;
        Set = true;
        Metrics = MeasureFont(font);
        Face = &FaceFor(font);
        std::array<char, 256> all{};
        for (size_t c = 0; c < all.size(); ++c)
            all[c] = static_cast<char>(c);
        TextAdvances(font, std::string_view(all.data(), all.size()), Advances.data());
        const double scale = Face->Valid() ? Metrics.Em / Face->UnitsPerEm : 0;
        for (size_t c = 0; c < 256; ++c) {
            InkAbove[c] = Face->InkAbove[c] * scale;
            InkBelow[c] = Face->InkBelow[c] * scale;
        }
        return true;
    }

    int32_t Width(std::string_view text) const {
        int32_t width = 0;
        for (char c : text)
            width += Advances[static_cast<uint8_t>(c)];
        return width;
    }

    // The left of a text of `width` from its reference point, by the alignment.
    static int32_t Left(uint32_t align, int32_t width) {
        if ((align & TA_CENTER) == TA_CENTER)
            return -width / 2;
        if ((align & TA_CENTER) == TA_RIGHT)
            return -width;
        return 0;
    }

    // The baseline below the reference point, by the alignment.
    int32_t Baseline(uint32_t align) const {
        if ((align & TA_BASELINE) == TA_BASELINE)
            return 0;
        if ((align & TA_BASELINE) == TA_BOTTOM)
            return -Metrics.Descent;
        return Metrics.Ascent;
    }

    // True when no character's ink leaves the cell's height.
    bool InkInCell(std::string_view text) const {
        double above = 0, below = 0;
        for (char c : text) {
            above = std::max(above, InkAbove[static_cast<uint8_t>(c)]);
            below = std::max(below, InkBelow[static_cast<uint8_t>(c)]);
        }
        return above <= Metrics.Ascent && below <= Metrics.Descent;
    }
};

} // namespace vx
