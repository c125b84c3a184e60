#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

// A copy of the TrueType font `font` that keeps the outlines of `glyphs`, of glyph 0 and of
// every component the composite ones among them use; all other glyphs are left empty. Glyph
// IDs stay as they are, so the font's own cmap still addresses them. Kept tables: head, hhea,
// hmtx, maxp, loca, glyf, cvt, fpgm, prep, cmap, name, OS/2, post and gasp (where present);
// layout, kerning, signature and device tables are dropped. IDs past the last glyph are
// ignored. Returns an empty string for anything but a well-formed single TrueType font
// (truncated data, offsets out of range, CFF outlines, collections, composites that use
// themselves).
std::string SubsetTrueType(std::string_view font, const std::vector<uint32_t>& glyphs);

} // namespace vx
