#pragma once

#include "platform/graphics/Colors.h"

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace vx {

enum TFontStyle : uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };

// A set of TFontStyle, bit n for element n as sets are stored.
class TFontStyles {
public:
    constexpr TFontStyles() = default;
    constexpr TFontStyles(std::initializer_list<TFontStyle> styles) {
        for (auto s : styles)
            bits_ |= static_cast<uint8_t>(1u << s);
    }
    static constexpr TFontStyles FromBits(uint8_t bits) {
        TFontStyles s;
        s.bits_ = bits & 0x0F;
        return s;
    }
    constexpr uint8_t Bits() const { return bits_; }
    constexpr bool Contains(TFontStyle s) const { return (bits_ & (1u << s)) != 0; }
    constexpr void Include(TFontStyle s) { bits_ |= static_cast<uint8_t>(1u << s); }
    constexpr void Exclude(TFontStyle s) { bits_ &= static_cast<uint8_t>(~(1u << s)); }
    constexpr bool operator==(const TFontStyles&) const = default;

private:
    uint8_t bits_ = 0;
};

enum TFontPitch : uint8_t { fpDefault, fpVariable, fpFixed };

using TFontCharset = uint8_t;
constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;
constexpr TFontCharset SYMBOL_CHARSET = 2;

constexpr int32_t FW_NORMAL = 400;
constexpr int32_t FW_BOLD = 700;
constexpr uint8_t OUT_DEFAULT_PRECIS = 0;
constexpr uint8_t OUT_TT_ONLY_PRECIS = 7;
constexpr uint8_t CLIP_DEFAULT_PRECIS = 0;
constexpr uint8_t DEFAULT_QUALITY = 0;
constexpr uint8_t DEFAULT_PITCH = 0;
constexpr uint8_t FIXED_PITCH = 1;
constexpr uint8_t VARIABLE_PITCH = 2;

// The logical font record, stored as 60 little-endian bytes in page streams.
struct LOGFONTA {
    static constexpr size_t kSize = 60;
    static constexpr size_t kFaceSize = 32;

    int32_t lfHeight = 0;
    int32_t lfWidth = 0;
    // Tenths of a degree, counter-clockwise.
    int32_t lfEscapement = 0;
    int32_t lfOrientation = 0;
    int32_t lfWeight = 0;
    uint8_t lfItalic = 0;
    uint8_t lfUnderline = 0;
    uint8_t lfStrikeOut = 0;
    uint8_t lfCharSet = 0;
    uint8_t lfOutPrecision = 0;
    uint8_t lfClipPrecision = 0;
    uint8_t lfQuality = 0;
    uint8_t lfPitchAndFamily = 0;
    // Zero-terminated cp1252; the bytes after the terminator are kept as read.
    std::array<char, kFaceSize> lfFaceName{};

    std::string FaceName() const;
    // At most 31 bytes are kept; the rest of the field is zero.
    void SetFaceName(std::string_view name);

    std::array<uint8_t, kSize> ToBytes() const;
    // Raises EReadError when fewer than 60 bytes are given.
    static LOGFONTA FromBytes(const uint8_t* bytes, size_t size);

    bool operator==(const LOGFONTA&) const = default;
};

// The class library's font: a set of attributes from which a logical font is made when it is
// needed. A logical font handed in (SetLogFont, the "handle") is kept as it is, rotation
// included, until an attribute that shapes the font changes.
class TFont {
public:
    TFont();
    TFont(const TFont& other);
    TFont& operator=(const TFont& other);

    // Takes the logical font, the colour and, when the resolutions differ, the point size
    // (so the height follows this font's resolution). The resolution itself is not copied.
    void Assign(const TFont& source);

    const std::string& Name() const { return name_; }
    void SetName(std::string_view name);
    int32_t Height() const { return height_; }
    void SetHeight(int32_t height);
    // Points: -MulDiv(Height, 72, PixelsPerInch).
    int32_t Size() const;
    void SetSize(int32_t size);
    int32_t PixelsPerInch() const { return pixelsPerInch_; }
    // Changes how Size and Height relate; the height itself stays.
    void SetPixelsPerInch(int32_t ppi);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TFontCharset Charset() const { return charset_; }
    void SetCharset(TFontCharset charset);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch pitch);

    // The logical font this font stands for (GetObject on its handle).
    LOGFONTA LogFont() const;
    // Takes a logical font as the new handle (CreateFontIndirect and Font.Handle := ...):
    // height, style, pitch, character set and name follow it.
    void SetLogFont(const LOGFONTA& logFont);
    // True while the font carries a logical font handed in through SetLogFont.
    bool HasLogFont() const { return logFont_.has_value(); }

    // Fired after every change, as the class library's OnChange.
    std::function<void(TFont&)> OnChange;

    bool SameAttributes(const TFont& other) const;

private:
    void Changed(bool shapeChanged);

    std::string name_ = "MS Sans Serif";
    int32_t height_ = -11;
    int32_t pixelsPerInch_ = 96;
    TFontStyles style_;
    TColor color_ = clWindowText;
    TFontCharset charset_ = DEFAULT_CHARSET;
    TFontPitch pitch_ = fpDefault;
    std::optional<LOGFONTA> logFont_;
};

} // namespace vx
