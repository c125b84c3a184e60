#pragma once

// The font files behind TextMetrics, for the painters in this folder.

#include "platform/graphics/Font.h"

#include <QRawFont>
#include <array>
#include <cstdint>

namespace vx {

struct FontFace {
    QRawFont Raw; // loaded at unitsPerEm pixels, so advances are design units
    double UnitsPerEm = 2048;
    int32_t WinAscent = 0;
    int32_t WinDescent = 0;
    // cp1252 byte -> glyph and its advance in design units.
    std::array<quint32, 256> Glyphs{};
    std::array<double, 256> Advances{};
    // How far each glyph's ink reaches above and below the baseline, in design units.
    std::array<double, 256> InkAbove{};
    std::array<double, 256> InkBelow{};
    bool Valid() const { return Raw.isValid(); }
};

// The face for a logical font; an invalid face when no file could be read.
const FontFace& FaceFor(const LOGFONTA& font);
// The face at a pixel size, unhinted, for drawing glyph runs.
QRawFont RawFontAt(const LOGFONTA& font, double em);
// The same face through the font database, for vector targets (PDF, printers): their
// engines embed only fonts they know by file, and draw nothing for a face read from data.
// Falls back to RawFontAt when the database gives other glyphs for our characters.
QRawFont VectorRawFontAt(const LOGFONTA& font, double em);

} // namespace vx
