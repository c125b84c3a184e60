#pragma once

// How colours, character sets and fonts appear in component streams.

#include "platform/runtime/Meta.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

// Colour names ("clWhite", "clBtnFace") of ColorToIdent / IdentToColor.
const TIdentMap& ColorIdents();

// The 19 character-set names ("ANSI_CHARSET", "DEFAULT_CHARSET", ...); names match without
// regard to case.
bool CharsetToIdent(int32_t charset, std::string& ident);
bool IdentToCharset(std::string_view ident, int32_t& charset);
const TIdentMap& CharsetIdents();

// TFont's published properties: Charset, Color, Height, Name, Pitch, Size (not stored: the
// height carries it) and Style, none of them with a declared default but Pitch.
const TClassInfo& FontClassInfo();

// TPen: Color (clBlack), Mode (pmCopy), Style (psSolid), Width (1); TBrush: Color (clWhite),
// Style (bsSolid); defaults as declared.
const TClassInfo& PenClassInfo();
const TClassInfo& BrushClassInfo();

} // namespace vx
