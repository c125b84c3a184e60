#include "platform/graphics/GraphicsMeta.h"

#include "platform/graphics/Colors.h"
#include "platform/graphics/Font.h"
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

} // namespace vx
