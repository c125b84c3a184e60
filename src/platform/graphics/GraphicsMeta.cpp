#include "platform/graphics/GraphicsMeta.h"

#include "platform/graphics/Brush.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Pen.h"
#include "platform/runtime/Strings.h"

#include <iterator>

namespace vx {

namespace {

struct TCharsetName {
    int32_t Value;
    const char* Name;
};

const TCharsetName charsetNames[] = {
    {0, "ANSI_CHARSET"},      {1, "DEFAULT_CHARSET"},    {2, "SYMBOL_CHARSET"},
    {77, "MAC_CHARSET"},      {128, "SHIFTJIS_CHARSET"}, {129, "HANGEUL_CHARSET"},
    {130, "JOHAB_CHARSET"},   {134, "GB2312_CHARSET"},   {136, "CHINESEBIG5_CHARSET"},
    {161, "GREEK_CHARSET"},   {162, "TURKISH_CHARSET"},  {163, "VIETNAMESE_CHARSET"},
    {177, "HEBREW_CHARSET"},  {178, "ARABIC_CHARSET"},   {186, "BALTIC_CHARSET"},
    {204, "RUSSIAN_CHARSET"}, {222, "THAI_CHARSET"},     {238, "EASTEUROPE_CHARSET"},
    {255, "OEM_CHARSET"}};

bool ColorToIdentMap(int32_t value, std::string& ident) {
    return ColorToIdent(value, ident);
}
bool IdentToColorMap(std::string_view ident, int32_t& value) {
    return IdentToColor(ident, value);
}

} // namespace

const TIdentMap& ColorIdents() {
    static const TIdentMap map{ColorToIdentMap, IdentToColorMap};
    return map;
}

bool CharsetToIdent(int32_t charset, std::string& ident) {
    for (const TCharsetName& c : charsetNames)
        if (c.Value == charset) {
            ident = c.Name;
            return true;
        }
    return false;
}

bool IdentToCharset(std::string_view ident, int32_t& charset) {
    for (const TCharsetName& c : charsetNames)
        if (SameText(c.Name, ident)) {
            charset = c.Value;
            return true;
        }
    return false;
}

const TIdentMap& CharsetIdents() {
    static const TIdentMap map{CharsetToIdent, IdentToCharset};
    return map;
}

const TClassInfo& FontClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TFont>("TFont", &TPersistent::StaticClassInfo())
            .Integer(
                "Charset", [](const TFont& f) { return f.Charset(); },
                [](TFont& f, int64_t v) { f.SetCharset(static_cast<TFontCharset>(v)); }, {},
                &CharsetIdents(), "TFontCharset")
            .Integer(
                "Color", [](const TFont& f) { return f.Color(); },
                [](TFont& f, int64_t v) { f.SetColor(static_cast<TColor>(v)); }, {}, &ColorIdents(),
                "TColor")
            .Integer(
                "Height", [](const TFont& f) { return f.Height(); },
                [](TFont& f, int64_t v) { f.SetHeight(static_cast<int32_t>(v)); })
            .String(
                "Name", [](const TFont& f) { return f.Name(); },
                [](TFont& f, const std::string& v) { f.SetName(v); }, {}, 0)
            .Enumeration(
                "Pitch", "TFontPitch", {"fpDefault", "fpVariable", "fpFixed"},
                [](const TFont& f) { return static_cast<int>(f.Pitch()); },
                [](TFont& f, int64_t v) { f.SetPitch(static_cast<TFontPitch>(v)); }, fpDefault)
            .Integer(
                "Size", [](const TFont& f) { return f.Size(); },
                [](TFont& f, int64_t v) { f.SetSize(static_cast<int32_t>(v)); })
            .NotStored()
            .Set(
                "Style", "TFontStyles", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"},
                [](const TFont& f) { return f.Style().Bits(); },
                [](TFont& f, int64_t v) {
                    f.SetStyle(TFontStyles::FromBits(static_cast<uint8_t>(v)));
                })
            .Build();
    return info;
}

const TClassInfo& PenClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TPen>("TPen", &TPersistent::StaticClassInfo())
            .Integer(
                "Color", [](const TPen& p) { return p.Color; },
                [](TPen& p, int64_t v) { p.Color = static_cast<TColor>(v); }, clBlack,
                &ColorIdents(), "TColor")
            .Enumeration(
                "Mode", "TPenMode",
                {"pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy", "pmMergePenNot",
                 "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge", "pmMask",
                 "pmNotMask", "pmXor", "pmNotXor"},
                [](const TPen& p) { return static_cast<int>(p.Mode); },
                [](TPen& p, int64_t v) { p.Mode = static_cast<TPenMode>(v); }, pmCopy)
            .Enumeration(
                "Style", "TPenStyle",
                {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear",
                 "psInsideFrame"},
                [](const TPen& p) { return static_cast<int>(p.Style); },
                [](TPen& p, int64_t v) { p.Style = static_cast<TPenStyle>(v); }, psSolid)
            .Integer(
                "Width", [](const TPen& p) { return p.Width; },
                [](TPen& p, int64_t v) { p.Width = static_cast<int32_t>(v); }, 1)
            .Build();
    return info;
}

const TClassInfo& BrushClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TBrush>("TBrush", &TPersistent::StaticClassInfo())
            .Integer(
                "Color", [](const TBrush& b) { return b.Color; },
                [](TBrush& b, int64_t v) { b.Color = static_cast<TColor>(v); }, clWhite,
                &ColorIdents(), "TColor")
            .Enumeration(
                "Style", "TBrushStyle",
                {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal",
                 "bsCross", "bsDiagCross"},
                [](const TBrush& b) { return static_cast<int>(b.Style); },
                [](TBrush& b, int64_t v) { b.Style = static_cast<TBrushStyle>(v); }, bsSolid)
            .Build();
    return info;
}

} // namespace vx
