#include "platform/graphics/EmfWriter.h"

#include "platform/graphics/BitmapData.h"
#include "platform/graphics/MetafileData.h"
#include "platform/graphics/TextMetrics.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Streams.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <map>
#include <vector>

namespace vx {

namespace {

constexpr uint32_t kHeaderSize = 108;
constexpr uint32_t kStock = 0x80000000u;
constexpr uint32_t NULL_PEN = kStock | 8;
constexpr uint32_t GM_ADVANCED = 2;
constexpr uint32_t MWT_LEFTMULTIPLY = 2;
constexpr uint32_t TRANSPARENT = 1;
constexpr uint32_t OPAQUE = 2;
constexpr uint32_t ETO_OPAQUE = 2;
constexpr uint32_t ETO_CLIPPED = 4;
constexpr uint32_t SRCCOPY = 0x00CC0020;

// Record bytes, collected in a buffer that goes to the stream in large pieces.
class RecordSink {
public:
    explicit RecordSink(TStream& stream) : stream_(stream) {}

    void U32(uint32_t v) {
        const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
        buffer_.insert(buffer_.end(), b, b + 4);
        Spill();
    }
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void F32(float v) {
        uint32_t u;
        std::memcpy(&u, &v, 4);
        U32(u);
    }
    void U16(uint16_t v) {
        buffer_.push_back(uint8_t(v));
        buffer_.push_back(uint8_t(v >> 8));
    }
    void U8(uint8_t v) { buffer_.push_back(v); }
    void Bytes(const void* data, size_t n) {
        const auto* p = static_cast<const uint8_t*>(data);
        buffer_.insert(buffer_.end(), p, p + n);
        Spill();
    }
    void Rect(const TRect& r) {
        I32(r.Left);
        I32(r.Top);
        I32(r.Right);
        I32(r.Bottom);
    }
    // Opens a record of the given size (a multiple of 4) and counts it.
    void Begin(uint32_t type, uint64_t size) {
        if (size > std::numeric_limits<uint32_t>::max())
            throw EWriteError("Picture too large for a metafile");
        U32(type);
        U32(static_cast<uint32_t>(size));
        ++records_;
        bytes_ += size;
    }
    void Flush() {
        if (!buffer_.empty())
            stream_.WriteBuffer(buffer_.data(), buffer_.size());
        buffer_.clear();
    }
    uint32_t Records() const { return records_; }
    uint64_t Bytes() const { return bytes_; }

private:
    void Spill() {
        if (buffer_.size() >= (1u << 16))
            Flush();
    }

    TStream& stream_;
    std::vector<uint8_t> buffer_;
    uint32_t records_ = 0;
    uint64_t bytes_ = 0;
};

uint32_t Colorref(TColor color) {
    return static_cast<uint32_t>(ColorToRGB(color)) & 0x00FFFFFF;
}

struct PenKey {
    uint32_t Style, Width, Color;
    auto operator<=>(const PenKey&) const = default;
};
struct BrushKey {
    uint32_t Style, Color, Hatch;
    auto operator<=>(const BrushKey&) const = default;
};

PenKey KeyOf(const TPen& pen) {
    uint32_t color = Colorref(pen.Color);
    if (pen.Mode == pmBlack)
        color = 0;
    else if (pen.Mode == pmWhite)
        color = 0xFFFFFF;
    // Hairlines are cosmetic (width 0): one device pixel whatever the transform, as drawn.
    const uint32_t width = pen.Width > 1 ? static_cast<uint32_t>(pen.Width) : 0;
    const uint32_t style = pen.Width > 1 && pen.Style != psClear ? 0 : pen.Style;
    return {style, width, color};
}

BrushKey KeyOf(const TBrush& brush) {
    switch (brush.Style) {
    case bsSolid:
        return {0, Colorref(brush.Color), 0};
    case bsClear:
        return {1, 0, 0};
    default: // BS_HATCHED; the hatch codes follow our styles' order
        return {2, Colorref(brush.Color), uint32_t(brush.Style - bsHorizontal)};
    }
}

bool DrawsOnPrinters(TPenMode mode) {
    return mode != pmNot && mode != pmXor && mode != pmNotXor && mode != pmNop;
}

// The state that SAVEDC keeps and RESTOREDC brings back.
struct DcState {
    uint32_t Pen = 0, Brush = 0, Font = 0; // 0: the stock object of a fresh context
    uint32_t TextAlign = 0;
    uint32_t TextColor = 0;
    uint32_t BkColor = 0xFFFFFF;
    uint32_t BkMode = OPAQUE;
};

class EmfWriter {
public:
    EmfWriter(TStream& stream, const TDeviceCaps& reference)
        : stream_(stream), out_(stream), ref_(reference) {}

    void Write(const Metafile& metafile);

private:
    void Play(const Metafile& metafile);
    void SelectPen(const TPen& pen);
    void SelectBrush(const TBrush& brush);
    void SelectFont(const LOGFONTA& font);
    void Select(uint32_t handle, uint32_t& current);
    void SetU32(uint32_t type, uint32_t value, uint32_t& current);
    void Poly(uint32_t type16, uint32_t type32, const int32_t* xy, size_t count);
    void Shape(uint32_t type, const TRect& r);
    void Text(const MetaTextState& state, const TBrush& brush, int32_t x, int32_t y,
              const std::string& text, const TRect* clip);
    void Bitmap(const TRect& dest, const vx::Bitmap& bitmap, const TRect& source);
    void Nested(const TRect& dest, const Metafile& metafile);

    TStream& stream_;
    RecordSink out_;
    TDeviceCaps ref_;
    std::map<PenKey, uint32_t> pens_;
    std::map<BrushKey, uint32_t> brushes_;
    std::map<std::array<uint8_t, LOGFONTA::kSize>, uint32_t> fonts_;
    uint32_t nextHandle_ = 1;
    DcState dc_;
};

void Header(RecordSink& out, const TDeviceCaps& ref, const Metafile& m, uint32_t handles,
            uint64_t bytes, uint32_t records) {
    const int32_t w = std::max(m.Width(), 1), h = std::max(m.Height(), 1);
    const int32_t dpiX = std::max(ref.LogPixelsX, 1), dpiY = std::max(ref.LogPixelsY, 1);
    const int32_t devW = ref.HorzRes > 0 ? ref.HorzRes : w;
    const int32_t devH = ref.VertRes > 0 ? ref.VertRes : h;
    out.Begin(EMR_HEADER, kHeaderSize);
    out.Rect({0, 0, w - 1, h - 1});
    out.Rect({0, 0, MulDiv(w, 2540, dpiX), MulDiv(h, 2540, dpiY)});
    out.U32(0x464D4520); // " EMF"
    out.U32(0x10000);
    out.U32(static_cast<uint32_t>(bytes));
    out.U32(records);
    out.U16(static_cast<uint16_t>(std::min<uint32_t>(handles, 0xFFFF)));
    out.U16(0);
    out.U32(0); // description
    out.U32(0);
    out.U32(0); // palette
    out.I32(devW);
    out.I32(devH);
    out.I32(MulDiv(devW, 254, dpiX * 10));
    out.I32(MulDiv(devH, 254, dpiY * 10));
    out.U32(0); // pixel format
    out.U32(0);
    out.U32(0); // OpenGL
    out.I32(MulDiv(devW, 25400, dpiX));
    out.I32(MulDiv(devH, 25400, dpiY));
}

void EmfWriter::Write(const Metafile& metafile) {
    const int64_t start = stream_.Position();
    // The header's counts are known only at the end: a placeholder now, the real one after.
    Header(out_, ref_, metafile, 0, 0, 0);
    // World transforms place nested pictures.
    out_.Begin(EMR_SETGRAPHICSMODE, 12);
    out_.U32(GM_ADVANCED);
    Play(metafile);
    out_.Begin(EMR_EOF, 20);
    out_.U32(0);  // palette entries
    out_.U32(16); // their offset
    out_.U32(20); // the record's size, repeated last
    out_.Flush();
    const int64_t end = stream_.Position();
    stream_.SetPosition(start);
    RecordSink header(stream_);
    Header(header, ref_, metafile, nextHandle_, out_.Bytes(), out_.Records());
    header.Flush();
    stream_.SetPosition(end);
}

void EmfWriter::Select(uint32_t handle, uint32_t& current) {
    if (current == handle)
        return;
    out_.Begin(EMR_SELECTOBJECT, 12);
    out_.U32(handle);
    current = handle;
}

void EmfWriter::SelectPen(const TPen& pen) {
    const PenKey key = KeyOf(pen);
    auto [it, fresh] = pens_.try_emplace(key, nextHandle_);
    if (fresh) {
        out_.Begin(EMR_CREATEPEN, 28);
        out_.U32(nextHandle_++);
        out_.U32(key.Style);
        out_.U32(key.Width);
        out_.U32(0);
        out_.U32(key.Color);
    }
    Select(it->second, dc_.Pen);
}

void EmfWriter::SelectBrush(const TBrush& brush) {
    const BrushKey key = KeyOf(brush);
    auto [it, fresh] = brushes_.try_emplace(key, nextHandle_);
    if (fresh) {
        out_.Begin(EMR_CREATEBRUSHINDIRECT, 24);
        out_.U32(nextHandle_++);
        out_.U32(key.Style);
        out_.U32(key.Color);
        out_.U32(key.Hatch);
    }
    Select(it->second, dc_.Brush);
}

void EmfWriter::SelectFont(const LOGFONTA& font) {
    auto [it, fresh] = fonts_.try_emplace(font.ToBytes(), nextHandle_);
    if (fresh) {
        out_.Begin(EMR_EXTCREATEFONTINDIRECTW, 104);
        out_.U32(nextHandle_++);
        out_.I32(font.lfHeight);
        out_.I32(font.lfWidth);
        out_.I32(font.lfEscapement);
        out_.I32(font.lfOrientation);
        out_.I32(font.lfWeight);
        for (uint8_t b :
             {font.lfItalic, font.lfUnderline, font.lfStrikeOut, font.lfCharSet,
              font.lfOutPrecision, font.lfClipPrecision, font.lfQuality, font.lfPitchAndFamily})
            out_.U8(b);
        const std::string face = font.FaceName();
        for (size_t i = 0; i < LOGFONTA::kFaceSize; ++i)
            out_.U16(i < face.size() && i + 1 < LOGFONTA::kFaceSize
                         ? Cp1252ToUnicode(static_cast<unsigned char>(face[i]))
                         : 0);
    }
    Select(it->second, dc_.Font);
}

void EmfWriter::SetU32(uint32_t type, uint32_t value, uint32_t& current) {
    if (current == value)
        return;
    out_.Begin(type, 12);
    out_.U32(value);
    current = value;
}

TRect BoundsOf(const int32_t* xy, size_t count) {
    TRect r{xy[0], xy[1], xy[0], xy[1]};
    for (size_t i = 1; i < count; ++i) {
        r.Left = std::min(r.Left, xy[2 * i]);
        r.Right = std::max(r.Right, xy[2 * i]);
        r.Top = std::min(r.Top, xy[2 * i + 1]);
        r.Bottom = std::max(r.Bottom, xy[2 * i + 1]);
    }
    return r;
}

void EmfWriter::Poly(uint32_t type16, uint32_t type32, const int32_t* xy, size_t count) {
    const TRect bounds = BoundsOf(xy, count);
    // Printer pages fit the 16-bit form, which halves the file.
    const bool small = bounds.Left >= INT16_MIN && bounds.Top >= INT16_MIN &&
                       bounds.Right <= INT16_MAX && bounds.Bottom <= INT16_MAX;
    const uint64_t pointBytes = small ? 4 : 8;
    // A point is 4 or 8 bytes: the record stays a multiple of 4 without padding.
    out_.Begin(small ? type16 : type32, 28 + pointBytes * count);
    out_.Rect(bounds);
    out_.U32(static_cast<uint32_t>(count));
    if (small) {
        for (size_t i = 0; i < 2 * count; ++i)
            out_.U16(static_cast<uint16_t>(static_cast<int16_t>(xy[i])));
    } else {
        for (size_t i = 0; i < 2 * count; ++i)
            out_.I32(xy[i]);
    }
}

void EmfWriter::Shape(uint32_t type, const TRect& r) {
    out_.Begin(type, 24);
    out_.Rect(r);
}

void EmfWriter::Text(const MetaTextState& state, const TBrush& brush, int32_t x, int32_t y,
                     const std::string& text, const TRect* clip) {
    SelectFont(state.Font);
    SetU32(EMR_SETTEXTALIGN, state.Align, dc_.TextAlign);
    SetU32(EMR_SETTEXTCOLOR, Colorref(state.Color), dc_.TextColor);
    const bool opaque = brush.Style != bsClear;
    SetU32(EMR_SETBKMODE, opaque ? OPAQUE : TRANSPARENT, dc_.BkMode);
    if (opaque)
        SetU32(EMR_SETBKCOLOR, Colorref(brush.Color), dc_.BkColor);
    const size_t n = text.size();
    const uint64_t stringBytes = (2 * n + 3) & ~size_t{3};
    const uint32_t offString = 76;
    const uint64_t offDx = offString + stringBytes;
    out_.Begin(EMR_EXTTEXTOUTW, offDx + 4 * n);
    out_.Rect({0, 0, -1, -1}); // bounds not computed, as the platform allows
    out_.U32(GM_ADVANCED);
    out_.F32(0);
    out_.F32(0);
    out_.I32(x);
    out_.I32(y);
    out_.U32(static_cast<uint32_t>(n));
    out_.U32(offString);
    out_.U32(clip ? ETO_CLIPPED | (opaque ? ETO_OPAQUE : 0) : 0);
    out_.Rect(clip ? *clip : TRect{0, 0, -1, -1});
    out_.U32(static_cast<uint32_t>(offDx));
    for (char c : text)
        out_.U16(Cp1252ToUnicode(static_cast<unsigned char>(c)));
    if (n % 2)
        out_.U16(0);
    // Our own advances, so that every reader places the glyphs where we measured them.
    std::vector<int32_t> advances(n);
    TextAdvances(state.Font, text, advances.data());
    for (int32_t a : advances)
        out_.I32(a);
}

void EmfWriter::Bitmap(const TRect& dest, const vx::Bitmap& bitmap, const TRect& source) {
    // Only the source part is stored, so the bottom-up rows need no source offset.
    const QImage& image = bitmap.Data()->Image;
    const QRect part =
        QRect(source.Left, source.Top, source.Width(), source.Height()).intersected(image.rect());
    if (part.isEmpty())
        return;
    const uint32_t w = uint32_t(part.width()), h = uint32_t(part.height());
    const uint32_t stride = (w * 3 + 3) & ~3u;
    const uint64_t bits = uint64_t(stride) * h;
    out_.Begin(EMR_STRETCHDIBITS, 80 + 40 + bits);
    out_.Rect({dest.Left, dest.Top, dest.Right - 1, dest.Bottom - 1});
    out_.I32(dest.Left);
    out_.I32(dest.Top);
    out_.I32(0);
    out_.I32(0);
    out_.U32(w);
    out_.U32(h);
    out_.U32(80);  // offBmiSrc
    out_.U32(40);  // cbBmiSrc
    out_.U32(120); // offBitsSrc
    out_.U32(static_cast<uint32_t>(bits));
    out_.U32(0); // DIB_RGB_COLORS
    out_.U32(SRCCOPY);
    out_.I32(dest.Width());
    out_.I32(dest.Height());
    // BITMAPINFOHEADER
    out_.U32(40);
    out_.U32(w);
    out_.U32(h);
    out_.U16(1);
    out_.U16(24);
    out_.U32(0); // BI_RGB
    out_.U32(static_cast<uint32_t>(bits));
    out_.U32(0);
    out_.U32(0);
    out_.U32(0);
    out_.U32(0);
    std::vector<uint8_t> row(stride, 0);
    for (int y = part.bottom(); y >= part.top(); --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (uint32_t x = 0; x < w; ++x) {
            const QRgb p = line[part.left() + int(x)];
            row[3 * x] = uint8_t(qBlue(p));
            row[3 * x + 1] = uint8_t(qGreen(p));
            row[3 * x + 2] = uint8_t(qRed(p));
        }
        out_.Bytes(row.data(), row.size());
    }
}

void EmfWriter::Nested(const TRect& dest, const Metafile& metafile) {
    if (metafile.Empty() || metafile.Width() <= 0 || metafile.Height() <= 0)
        return;
    out_.Begin(EMR_SAVEDC, 8);
    const DcState saved = dc_;
    out_.Begin(EMR_MODIFYWORLDTRANSFORM, 36);
    out_.F32(float(double(dest.Width()) / metafile.Width()));
    out_.F32(0);
    out_.F32(0);
    out_.F32(float(double(dest.Height()) / metafile.Height()));
    out_.F32(float(dest.Left));
    out_.F32(float(dest.Top));
    out_.U32(MWT_LEFTMULTIPLY);
    Play(metafile);
    out_.Begin(EMR_RESTOREDC, 12);
    out_.I32(-1);
    dc_ = saved;
}

void EmfWriter::Play(const Metafile& metafile) {
    const MetafileData& d = *metafile.Data();
    MetaDrawState state;
    for (const MetaRecord& r : d.Records) {
        const int32_t* ints = d.Ints.data() + r.Offset;
        if (state.Take(d, r))
            continue;
        const TPen* pen = state.Pen;
        const TBrush* brush = state.Brush;
        const MetaTextState* text = state.Text;
        switch (r.Kind) {
        default: // the state records, taken above
            break;
        case MetaRecordKind::Polyline:
            if (r.Count < 2 || pen->Style == psClear || !DrawsOnPrinters(pen->Mode))
                break;
            SelectPen(*pen);
            Poly(EMR_POLYLINE16, EMR_POLYLINE, ints, r.Count);
            break;
        case MetaRecordKind::Polygon:
            if (r.Count < 2 || !DrawsOnPrinters(pen->Mode))
                break;
            SelectPen(*pen);
            SelectBrush(*brush);
            Poly(EMR_POLYGON16, EMR_POLYGON, ints, r.Count);
            break;
        case MetaRecordKind::Rectangle:
        case MetaRecordKind::Ellipse:
            if (!DrawsOnPrinters(pen->Mode))
                break;
            SelectPen(*pen);
            SelectBrush(*brush);
            Shape(r.Kind == MetaRecordKind::Ellipse ? EMR_ELLIPSE : EMR_RECTANGLE,
                  RectAt(d.Ints, r.Offset));
            break;
        case MetaRecordKind::FillRect: {
            if (brush->Style == bsClear)
                break;
            // Without a pen the platform fills one pixel short of right and bottom.
            SelectBrush(*brush);
            Select(NULL_PEN, dc_.Pen);
            TRect fill = RectAt(d.Ints, r.Offset);
            ++fill.Right;
            ++fill.Bottom;
            Shape(EMR_RECTANGLE, fill);
            break;
        }
        case MetaRecordKind::InvertRect:
            break;
        case MetaRecordKind::Text:
            Text(*text, *brush, ints[0], ints[1], d.Texts[r.Index], nullptr);
            break;
        case MetaRecordKind::ClippedText: {
            const TRect clip = RectAt(d.Ints, r.Offset + 2);
            Text(*text, *brush, ints[0], ints[1], d.Texts[r.Index], &clip);
            break;
        }
        case MetaRecordKind::DrawMetafile:
            Nested(RectAt(d.Ints, r.Offset), d.Metafiles[r.Index]);
            break;
        case MetaRecordKind::DrawBitmap:
            Bitmap(RectAt(d.Ints, r.Offset), d.Bitmaps[r.Index], RectAt(d.Ints, r.Offset + 4));
            break;
        }
    }
}

} // namespace

void WriteEmf(TStream& stream, const Metafile& metafile, const TDeviceCaps& reference) {
    EmfWriter writer(stream, reference);
    writer.Write(metafile);
}

void SaveEmfFile(const std::string& fileName, const Metafile& metafile,
                 const TDeviceCaps& reference) {
    TAtomicFileStream file(fileName);
    WriteEmf(file, metafile, reference);
    file.Commit();
}

} // namespace vx
