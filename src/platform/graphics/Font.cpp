#include "platform/graphics/Font.h"

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Strings.h"

#include <algorithm>
#include <cstring>

namespace vx {

namespace {

void PutInt32(uint8_t* p, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(u >> (8 * i));
}

int32_t GetInt32(const uint8_t* p) {
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i)
        u |= static_cast<uint32_t>(p[i]) << (8 * i);
    return static_cast<int32_t>(u);
}

} // namespace

std::string LOGFONTA::FaceName() const {
    const auto end = std::find(lfFaceName.begin(), lfFaceName.end(), '\0');
    return std::string(lfFaceName.begin(), end);
}

void LOGFONTA::SetFaceName(std::string_view name) {
    lfFaceName.fill('\0');
    const size_t n = std::min(name.size(), kFaceSize - 1);
    std::memcpy(lfFaceName.data(), name.data(), n);
}

std::array<uint8_t, LOGFONTA::kSize> LOGFONTA::ToBytes() const {
    std::array<uint8_t, kSize> b{};
    PutInt32(&b[0], lfHeight);
    PutInt32(&b[4], lfWidth);
    PutInt32(&b[8], lfEscapement);
    PutInt32(&b[12], lfOrientation);
    PutInt32(&b[16], lfWeight);
    b[20] = lfItalic;
    b[21] = lfUnderline;
    b[22] = lfStrikeOut;
    b[23] = lfCharSet;
    b[24] = lfOutPrecision;
    b[25] = lfClipPrecision;
    b[26] = lfQuality;
    b[27] = lfPitchAndFamily;
    std::memcpy(&b[28], lfFaceName.data(), kFaceSize);
    return b;
}

LOGFONTA LOGFONTA::FromBytes(const uint8_t* bytes, size_t size) {
    if (size < kSize)
        throw EReadError("Font record too short");
    LOGFONTA lf;
    lf.lfHeight = GetInt32(bytes);
    lf.lfWidth = GetInt32(bytes + 4);
    lf.lfEscapement = GetInt32(bytes + 8);
    lf.lfOrientation = GetInt32(bytes + 12);
    lf.lfWeight = GetInt32(bytes + 16);
    lf.lfItalic = bytes[20];
    lf.lfUnderline = bytes[21];
    lf.lfStrikeOut = bytes[22];
    lf.lfCharSet = bytes[23];
    lf.lfOutPrecision = bytes[24];
    lf.lfClipPrecision = bytes[25];
    lf.lfQuality = bytes[26];
    lf.lfPitchAndFamily = bytes[27];
    std::memcpy(lf.lfFaceName.data(), bytes + 28, kFaceSize);
    return lf;
}

TFont::TFont() = default;

// OnChange belongs to the holder of a font, so copies do not take it.
TFont::TFont(const TFont& other)
    : name_(other.name_), height_(other.height_), pixelsPerInch_(other.pixelsPerInch_),
      style_(other.style_), color_(other.color_), charset_(other.charset_), pitch_(other.pitch_),
      logFont_(other.logFont_) {}

TFont& TFont::operator=(const TFont& other) {
    if (this == &other)
        return *this;
    name_ = other.name_;
    height_ = other.height_;
    pixelsPerInch_ = other.pixelsPerInch_;
    style_ = other.style_;
    color_ = other.color_;
    charset_ = other.charset_;
    pitch_ = other.pitch_;
    logFont_ = other.logFont_;
    Changed(false);
    return *this;
}

void TFont::Assign(const TFont& source) {
    if (this == &source)
        return;
    name_ = source.name_;
    height_ = source.height_;
    style_ = source.style_;
    charset_ = source.charset_;
    pitch_ = source.pitch_;
    logFont_ = source.logFont_;
    color_ = source.color_;
    Changed(false);
    if (pixelsPerInch_ != source.pixelsPerInch_)
        SetSize(source.Size());
}

void TFont::SetName(std::string_view name) {
    name_ = std::string(name);
    Changed(true);
}

void TFont::SetHeight(int32_t height) {
    height_ = height;
    Changed(true);
}

int32_t TFont::Size() const {
    return -MulDiv(height_, 72, pixelsPerInch_);
}

void TFont::SetSize(int32_t size) {
    SetHeight(-MulDiv(size, pixelsPerInch_, 72));
}

void TFont::SetPixelsPerInch(int32_t ppi) {
    if (ppi > 0)
        pixelsPerInch_ = ppi;
}

void TFont::SetStyle(TFontStyles style) {
    style_ = style;
    Changed(true);
}

void TFont::SetColor(TColor color) {
    if (color_ == color)
        return;
    color_ = color;
    Changed(false);
}

void TFont::SetCharset(TFontCharset charset) {
    charset_ = charset;
    Changed(true);
}

void TFont::SetPitch(TFontPitch pitch) {
    pitch_ = pitch;
    Changed(true);
}

LOGFONTA TFont::LogFont() const {
    if (logFont_)
        return *logFont_;
    LOGFONTA lf;
    lf.lfHeight = height_;
    lf.lfWeight = style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = style_.Contains(fsItalic) ? 1 : 0;
    lf.lfUnderline = style_.Contains(fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = style_.Contains(fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = charset_;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = pitch_ == fpFixed      ? FIXED_PITCH
                          : pitch_ == fpVariable ? VARIABLE_PITCH
                                                 : DEFAULT_PITCH;
    lf.SetFaceName(SameText(name_, "Default") ? std::string_view("MS Sans Serif") : name_);
    return lf;
}

void TFont::SetLogFont(const LOGFONTA& logFont) {
    height_ = logFont.lfHeight;
    TFontStyles style;
    if (logFont.lfWeight >= FW_BOLD)
        style.Include(fsBold);
    if (logFont.lfItalic)
        style.Include(fsItalic);
    if (logFont.lfUnderline)
        style.Include(fsUnderline);
    if (logFont.lfStrikeOut)
        style.Include(fsStrikeOut);
    style_ = style;
    charset_ = logFont.lfCharSet;
    switch (logFont.lfPitchAndFamily & 0x0F) {
    case FIXED_PITCH:
        pitch_ = fpFixed;
        break;
    case VARIABLE_PITCH:
        pitch_ = fpVariable;
        break;
    default:
        pitch_ = fpDefault;
    }
    name_ = logFont.FaceName();
    logFont_ = logFont;
    Changed(false);
}

bool TFont::SameAttributes(const TFont& other) const {
    return name_ == other.name_ && height_ == other.height_ &&
           pixelsPerInch_ == other.pixelsPerInch_ && style_ == other.style_ &&
           color_ == other.color_ && charset_ == other.charset_ && pitch_ == other.pitch_ &&
           logFont_ == other.logFont_;
}

void TFont::Changed(bool shapeChanged) {
    // A new attribute means a new handle built from the attributes: rotation is dropped.
    if (shapeChanged)
        logFont_.reset();
    if (OnChange)
        OnChange(*this);
}

} // namespace vx
