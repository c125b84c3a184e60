#include "platform/graphics/PdfWriter.h"

#include "platform/graphics/BitmapData.h"
#include "platform/graphics/FontFace.h"
#include "platform/graphics/FontSubset.h"
#include "platform/graphics/LineRuns.h"
#include "platform/graphics/MetafileData.h"
#include "platform/graphics/TextFont.h"
#include "platform/graphics/TextMetrics.h"
#include "platform/runtime/Cp1252.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <numbers>
#include <vector>
#include <zlib.h>

namespace vx {

namespace {

// Level 1 packs a sheet's content nearly as well as the default and in a third of the time.
constexpr int kContentLevel = 1;
constexpr int kFontLevel = 6;

void AppendInt(std::string& s, int64_t v) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof(buffer), v).ptr;
    s.append(buffer, end);
}

// A number with at most three decimals, as short as it can be written.
void AppendNumber(std::string& s, double v) {
    const double r = std::round(v * 1000) / 1000;
    if (!std::isfinite(r)) {
        s += '0';
        return;
    }
    if (r == std::trunc(r) && std::fabs(r) < 1e15) {
        AppendInt(s, r == 0 ? 0 : static_cast<int64_t>(r));
        return;
    }
    char buffer[48];
    char* end = std::to_chars(buffer, buffer + sizeof(buffer), r, std::chars_format::fixed, 3).ptr;
    while (end[-1] == '0')
        --end;
    s.append(buffer, end);
}

void AppendPoint(std::string& s, double x, double y, const char* op) {
    AppendNumber(s, x);
    s += ' ';
    AppendNumber(s, y);
    s += op;
}

struct Rgb {
    uint8_t R = 0, G = 0, B = 0;
    bool operator==(const Rgb&) const = default;
};

Rgb RgbOf(TColor color) {
    const TColor c = ColorToRGB(color);
    return {static_cast<uint8_t>(GetRValue(c)), static_cast<uint8_t>(GetGValue(c)),
            static_cast<uint8_t>(GetBValue(c))};
}

void AppendRgb(std::string& s, Rgb c) {
    for (uint8_t v : {c.R, c.G, c.B}) {
        AppendNumber(s, v / 255.0);
        s += ' ';
    }
}

bool DrawsNothing(TPenMode mode) {
    // Raster operations need the pixels below; a vector page has none.
    return mode == pmNop || mode == pmNot || mode == pmXor || mode == pmNotXor;
}

Rgb PenColor(const TPen& pen) {
    if (pen.Mode == pmBlack)
        return {};
    if (pen.Mode == pmWhite)
        return {255, 255, 255};
    return RgbOf(pen.Color);
}

// Dash patterns of hairlines, in device pixels.
const char* DashOf(TPenStyle style) {
    switch (style) {
    case psDash:
        return "[18 6] 0 d\n";
    case psDot:
        return "[3 3] 0 d\n";
    case psDashDot:
        return "[9 6 3 6] 0 d\n";
    case psDashDotDot:
        return "[9 3 3 3 3 3] 0 d\n";
    default:
        return "[] 0 d\n";
    }
}

// Big-endian reads of a font file; zero past its end.
struct SfntReader {
    std::string_view Bytes;
    uint32_t U32(size_t at) const {
        if (at + 4 > Bytes.size())
            return 0;
        const auto* p = reinterpret_cast<const uint8_t*>(Bytes.data() + at);
        return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
    }
    uint16_t U16(size_t at) const {
        if (at + 2 > Bytes.size())
            return 0;
        const auto* p = reinterpret_cast<const uint8_t*>(Bytes.data() + at);
        return static_cast<uint16_t>(p[0] << 8 | p[1]);
    }
    int16_t S16(size_t at) const { return static_cast<int16_t>(U16(at)); }
    // The offset and length of a table; {0, 0} when it is missing.
    std::pair<size_t, size_t> Table(const char* tag) const {
        const uint16_t count = U16(4);
        for (size_t i = 0; i < count; ++i) {
            const size_t record = 12 + 16 * i;
            if (record + 16 > Bytes.size())
                break;
            if (std::memcmp(Bytes.data() + record, tag, 4) == 0) {
                const size_t offset = U32(record + 8), length = U32(record + 12);
                if (offset <= Bytes.size() && length <= Bytes.size() - offset)
                    return {offset, length};
            }
        }
        return {0, 0};
    }
};

// A transform of a metafile's pixels onto the page's: scaling and moving only.
struct Placement {
    double Sx = 1, Sy = 1, Tx = 0, Ty = 0;
    double X(double x) const { return x * Sx + Tx; }
    double Y(double y) const { return y * Sy + Ty; }
    // A length in page pixels, by the larger scale, as pens are widened.
    double Length(double v) const { return v * std::max(std::fabs(Sx), std::fabs(Sy)); }
    QTransform Qt() const { return QTransform(Sx, 0, 0, Sy, Tx, Ty); }
};

// The graphics state the content has set, so that only changes are written.
struct GraphicsState {
    bool FillSet = true; // false after a pattern fill
    Rgb Fill{}, Stroke{};
    double Width = 1;
    TPenStyle Dash = psSolid;
    bool Round = false;
    int Font = -1;
};

} // namespace

struct PdfWriter::Impl {
    explicit Impl(QIODevice& device) : Device(device) {}
    ~Impl() {
        if (Packing)
            deflateEnd(&Packer);
    }

    QIODevice& Device;
    bool Ok = true;
    std::string Buffer;
    uint64_t Written = 0;
    std::vector<uint64_t> Offsets{0}; // by object number; 0 is the free head
    std::string Title, Creator;

    static constexpr int kCatalog = 1, kPages = 2, kResources = 3;
    std::vector<int> Pages;

    // The page being drawn. Its content goes through the packer as it grows, so that a page
    // of a million markers needs no more memory than a sheet of a table.
    bool InPage = false;
    std::string Content;
    z_stream Packer{};
    bool Packing = false;
    int ContentLength = 0;
    uint64_t ContentStart = 0;
    double PageWidth = 0, PageHeight = 0;
    bool InText = false;
    GraphicsState State;
    std::vector<GraphicsState> Saved;

    struct FontFile {
        std::string Path;
        const FontFace* Face = nullptr;
        std::array<bool, 256> Used{};
        int Descriptor = 0;
    };
    struct FontSize {
        size_t File = 0;
        double Em = 0;
        std::array<int32_t, 256> Advances{};
        int Id = 0;
    };
    std::vector<FontFile> FontFiles;
    std::vector<FontSize> Fonts;
    std::map<std::pair<std::string, double>, int> FontIndex;

    // The font of a run of texts, with its resource here.
    struct FontUse : TextFont {
        int Resource = -1;
    } Use;

    struct Image {
        Bitmap Keep; // holds the pixels, so that no other bitmap takes their address
        TRect Source;
        int Id = 0;
    };
    std::vector<Image> Images;
    std::array<int, 8> Patterns{}; // by brush style
    // Objects met inside a page's content, written when the page ends.
    struct PendingStream {
        int Id = 0;
        std::string Dictionary, Data;
        int Level = 0;
    };
    std::vector<PendingStream> Pending;

    // An ellipse is drawn by the form of its size: a graph's markers are thousands of one.
    struct EllipseForm {
        double Width = 0, Height = 0;
        char Paint = 'B';
        int Id = 0;
    };
    std::vector<EllipseForm> Ellipses;

    // Output.
    void Write(std::string_view s) {
        Buffer.append(s);
        if (Buffer.size() >= (1u << 20))
            Flush();
    }
    void Flush() {
        if (Buffer.empty())
            return;
        if (Device.write(Buffer.data(), qint64(Buffer.size())) != qint64(Buffer.size()))
            Ok = false;
        Written += Buffer.size();
        Buffer.clear();
    }
    uint64_t Position() const { return Written + Buffer.size(); }
    int NewId() {
        Offsets.push_back(0);
        return static_cast<int>(Offsets.size() - 1);
    }
    void BeginObject(int id) {
        Offsets[size_t(id)] = Position();
        std::string head;
        AppendInt(head, id);
        head += " 0 obj\n";
        Write(head);
    }
    void Object(int id, const std::string& body) {
        BeginObject(id);
        Write(body);
        Write("\nendobj\n");
    }
    void Stream(int id, std::string dictionary, std::string_view data, int level) {
        if (InPage) {
            // Not inside the page's content stream: after it.
            Pending.push_back({id, std::move(dictionary), std::string(data), level});
            return;
        }
        QByteArray packed;
        if (level > 0 && !data.empty()) {
            packed = qCompress(reinterpret_cast<const uchar*>(data.data()), qsizetype(data.size()),
                               level);
            // qCompress puts the length before the zlib stream.
            packed.remove(0, 4);
            data = std::string_view(packed.constData(), size_t(packed.size()));
            dictionary += " /Filter /FlateDecode";
        }
        BeginObject(id);
        std::string head = "<< /Length ";
        AppendInt(head, int64_t(data.size()));
        head += ' ';
        head += dictionary;
        head += " >>\nstream\n";
        Write(head);
        Write(data);
        Write("\nendstream\nendobj\n");
    }

    // Packs what the content holds so far into the file.
    void Pack(int flush) {
        Packer.next_in = reinterpret_cast<Bytef*>(Content.data());
        Packer.avail_in = static_cast<uInt>(Content.size());
        char out[65536];
        do {
            Packer.next_out = reinterpret_cast<Bytef*>(out);
            Packer.avail_out = sizeof(out);
            deflate(&Packer, flush);
            Write(std::string_view(out, sizeof(out) - Packer.avail_out));
        } while (Packer.avail_out == 0);
        Content.clear();
    }
    void Spill() {
        if (Content.size() >= (256u << 10))
            Pack(Z_NO_FLUSH);
    }

    // Content state.
    void EndText() {
        if (InText) {
            Content += "ET\n";
            InText = false;
        }
    }
    void Save() {
        EndText();
        Content += "q\n";
        Saved.push_back(State);
    }
    void Restore() {
        EndText();
        Content += "Q\n";
        State = Saved.back();
        Saved.pop_back();
    }
    void SetFill(Rgb c) {
        if (State.FillSet && State.Fill == c)
            return;
        AppendRgb(Content, c);
        Content += "rg\n";
        State.Fill = c;
        State.FillSet = true;
    }
    void SetStroke(Rgb c) {
        if (State.Stroke == c)
            return;
        AppendRgb(Content, c);
        Content += "RG\n";
        State.Stroke = c;
    }
    // A hairline, or a pen of `width` page pixels with round ends.
    void SetPen(double width, TPenStyle dash, bool round) {
        if (State.Width != width) {
            AppendNumber(Content, width);
            Content += " w\n";
            State.Width = width;
        }
        if (State.Dash != dash) {
            Content += DashOf(dash);
            State.Dash = dash;
        }
        if (State.Round != round) {
            Content += round ? "1 J 1 j\n" : "0 J 0 j\n";
            State.Round = round;
        }
    }
    // The pen of a shape's outline as the painter makes it: a hairline for a width of one
    // or less, otherwise solid at its width with round joins. False when nothing strokes.
    bool SetShapePen(const TPen& pen, const Placement& at) {
        if (pen.Style == psClear)
            return false;
        EndText();
        SetStroke(PenColor(pen));
        if (pen.Width > 1)
            SetPen(at.Length(pen.Width), psSolid, true);
        else
            SetPen(1, pen.Style, false);
        return true;
    }
    // False when the brush fills nothing.
    bool SetBrush(const TBrush& brush) {
        if (brush.Style == bsClear)
            return false;
        EndText();
        if (brush.Style == bsSolid || brush.Style > bsDiagCross) {
            SetFill(RgbOf(brush.Color));
            return true;
        }
        int& pattern = Patterns[brush.Style];
        if (pattern == 0)
            pattern = NewId();
        Content += "/CsP cs ";
        AppendRgb(Content, RgbOf(brush.Color));
        Content += "/P";
        AppendInt(Content, brush.Style);
        Content += " scn\n";
        State.FillSet = false;
        return true;
    }

    void Point(double x, double y, const char* op) { AppendPoint(Content, x, y, op); }
    void RectPath(double x, double y, double w, double h) {
        AppendNumber(Content, x);
        Content += ' ';
        AppendNumber(Content, y);
        Content += ' ';
        AppendNumber(Content, w);
        Content += ' ';
        AppendNumber(Content, h);
        Content += " re\n";
    }
    // A rectangle of logical pixels on the page.
    void RectPath(const Placement& at, double l, double t, double w, double h) {
        RectPath(at.X(l), at.Y(t), w * at.Sx, h * at.Sy);
    }

    // Drawing records.
    void Lines(const TPen& pen, const int32_t* xy, size_t count, const Placement& at);
    void Polygon(const TPen& pen, const TBrush& brush, const int32_t* xy, size_t count,
                 const Placement& at);
    void Shape(bool ellipse, const TPen& pen, const TBrush& brush, const TRect& r,
               const Placement& at);
    void Fill(const TBrush& brush, const TRect& r, const Placement& at);
    int EllipseFormFor(double w, double h, char paint);
    void WriteEllipses();
    const FontUse& UseFont(const LOGFONTA& font);
    void Text(const MetaTextState& text, const TBrush& brush, int32_t x, int32_t y,
              std::string_view s, const TRect* clip, const Placement& at);
    void DrawImage(const Bitmap& bitmap, const TRect& dest, const TRect& source,
                   const Placement& at);
    void Play(const Metafile& metafile, const Placement& at);

    // Closing.
    void WriteFonts();
    void WritePatterns();
    void WriteResources();
};

void PdfWriter::Impl::Lines(const TPen& pen, const int32_t* xy, size_t count, const Placement& at) {
    if (count < 2 || pen.Style == psClear || DrawsNothing(pen.Mode))
        return;
    EndText();
    SetStroke(PenColor(pen));
    const auto* pts = reinterpret_cast<const QPoint*>(xy);
    thread_local std::vector<QPoint> kept;
    kept.assign(pts, pts + count);
    // A pen the scale makes one pixel wide or less is a hairline, as on the screen.
    if (pen.Width > 1 && at.Length(pen.Width) >= 1.5) {
        SetPen(at.Length(pen.Width), psSolid, true);
        count = KeepLineExtremes<true>(kept.data(), count);
        count = KeepLineExtremes<false>(kept.data(), count);
        for (size_t i = 0; i < count; ++i) {
            Point(at.X(kept[i].x()), at.Y(kept[i].y()), i == 0 ? " m\n" : " l\n");
            Spill();
        }
        Content += "S\n";
        return;
    }
    // A hairline runs through the centres of the page's pixels; points on the pixel of the
    // point before add nothing.
    const QTransform t = at.Qt();
    size_t n = 0;
    for (size_t i = 0; i < count; ++i) {
        const QPoint p = DevicePixel(t, kept[i]);
        if (n == 0 || kept[n - 1] != p)
            kept[n++] = p;
    }
    const bool solid = pen.Style == psSolid || pen.Width > 1;
    if (n == 1) {
        // One pixel, which a stroke of no length would not show.
        SetFill(PenColor(pen));
        RectPath(kept[0].x(), kept[0].y(), 1, 1);
        Content += "f\n";
        return;
    }
    if (solid)
        n = KeepLineExtremes<true>(kept.data(), n);
    SetPen(1, solid ? psSolid : pen.Style, false);
    for (size_t i = 0; i < n; ++i) {
        Point(kept[i].x() + 0.5, kept[i].y() + 0.5, i == 0 ? " m\n" : " l\n");
        Spill();
    }
    Content += "S\n";
}

void PdfWriter::Impl::Polygon(const TPen& pen, const TBrush& brush, const int32_t* xy, size_t count,
                              const Placement& at) {
    if (count < 2 || DrawsNothing(pen.Mode))
        return;
    const bool fill = SetBrush(brush);
    const bool stroke = SetShapePen(pen, at);
    if (!fill && !stroke)
        return;
    for (size_t i = 0; i < count; ++i) {
        Point(at.X(xy[2 * i]), at.Y(xy[2 * i + 1]), i == 0 ? " m\n" : " l\n");
        Spill();
    }
    Content += fill && stroke ? "h B*\n" : fill ? "f*\n" : "h S\n";
}

void PdfWriter::Impl::Shape(bool ellipse, const TPen& pen, const TBrush& brush, const TRect& r,
                            const Placement& at) {
    if (DrawsNothing(pen.Mode))
        return;
    const bool hairline = pen.Style != psClear && (pen.Width <= 1 || at.Length(pen.Width) < 1.5);
    if (!ellipse && hairline && r.Width() > 0 && r.Height() > 0) {
        // The fill takes the whole rectangle; the outline, the pixels the lines would.
        if (SetBrush(brush)) {
            RectPath(at, r.Left, r.Top, r.Width(), r.Height());
            Content += "f\n";
        }
        const QTransform t = at.Qt();
        const QPoint from = DevicePixel(t, QPoint(r.Left, r.Top));
        const QPoint to = DevicePixel(t, QPoint(r.Right - 1, r.Bottom - 1));
        SetStroke(PenColor(pen));
        SetPen(1, pen.Width > 1 ? psSolid : pen.Style, false);
        RectPath(from.x() + 0.5, from.y() + 0.5, to.x() - from.x(), to.y() - from.y());
        Content += "S\n";
        return;
    }
    // The outline runs along the inside of right and bottom.
    const double l = at.X(r.Left), t = at.Y(r.Top);
    const double w = (r.Width() - 1) * at.Sx, h = (r.Height() - 1) * at.Sy;
    const bool fill = SetBrush(brush);
    const bool stroke = SetShapePen(pen, at);
    if (!fill && !stroke)
        return;
    const char paint = fill && stroke ? 'B' : fill ? 'f' : 'S';
    if (ellipse) {
        Content += "q 1 0 0 1 ";
        Point(l, t, " cm /E");
        AppendInt(Content, EllipseFormFor(w, h, paint));
        Content += " Do Q\n";
        return;
    }
    RectPath(l, t, w, h);
    Content += paint;
    Content += '\n';
}

int PdfWriter::Impl::EllipseFormFor(double w, double h, char paint) {
    w = std::round(w * 1000) / 1000;
    h = std::round(h * 1000) / 1000;
    for (size_t i = Ellipses.size(); i-- > 0;)
        if (Ellipses[i].Width == w && Ellipses[i].Height == h && Ellipses[i].Paint == paint)
            return int(i);
    Ellipses.push_back({w, h, paint, NewId()});
    return int(Ellipses.size() - 1);
}

void PdfWriter::Impl::Fill(const TBrush& brush, const TRect& r, const Placement& at) {
    if (!SetBrush(brush))
        return;
    RectPath(at, r.Left, r.Top, r.Width(), r.Height());
    Content += "f\n";
}

const PdfWriter::Impl::FontUse& PdfWriter::Impl::UseFont(const LOGFONTA& font) {
    if (!Use.Take(font))
        return Use;
    FontUse& f = Use;
    f.Resource = -1;
    if (!f.Face->Valid())
        return f;
    const std::string path = FontFileFor(font);
    const auto key = std::make_pair(path, f.Metrics.Em);
    auto it = FontIndex.find(key);
    if (it == FontIndex.end()) {
        size_t file = 0;
        while (file < FontFiles.size() && FontFiles[file].Path != path)
            ++file;
        if (file == FontFiles.size())
            FontFiles.push_back({path, f.Face, {}, 0});
        FontSize size;
        size.File = file;
        size.Em = f.Metrics.Em;
        size.Advances = f.Advances;
        size.Id = NewId();
        Fonts.push_back(size);
        it = FontIndex.emplace(key, int(Fonts.size() - 1)).first;
    }
    f.Resource = it->second;
    return f;
}

void PdfWriter::Impl::Text(const MetaTextState& state, const TBrush& brush, int32_t x, int32_t y,
                           std::string_view s, const TRect* clip, const Placement& at) {
    const LOGFONTA& font = state.Font;
    const FontUse& f = UseFont(font);
    const TFontMetrics& m = f.Metrics;
    const FontSize* size = f.Resource >= 0 ? &Fonts[size_t(f.Resource)] : nullptr;
    const int32_t width = f.Width(s);
    const int32_t dx = TextFont::Left(state.Align, width);
    const int32_t baseline = f.Baseline(state.Align);
    const bool opaque = brush.Style != bsClear;
    const bool inCell = f.InkInCell(s);
    const bool plain = !clip && font.lfEscapement == 0 && inCell;

    // The text's own frame: its reference point, turned by the escapement.
    const double angle = -font.lfEscapement / 10.0 * std::numbers::pi / 180;
    const double cs = std::cos(angle), sn = std::sin(angle);
    const double a = at.Sx * cs, b = at.Sy * sn, c = -at.Sx * sn, d = at.Sy * cs;
    const double x0 = at.X(x), y0 = at.Y(y);
    auto frame = [&](double u, double v, const char* op) {
        Point(x0 + u * a + v * c, y0 + u * b + v * d, op);
    };
    auto frameRect = [&](double u, double v, double w, double h) {
        if (font.lfEscapement == 0) {
            RectPath(x0 + u * a, y0 + v * d, w * a, h * d);
            return;
        }
        frame(u, v, " m\n");
        frame(u + w, v, " l\n");
        frame(u + w, v + h, " l\n");
        frame(u, v + h, " l h\n");
    };
    const Rgb ink = RgbOf(state.Color);

    if (!plain)
        Save();
    if (clip) {
        if (opaque) {
            EndText();
            SetFill(RgbOf(brush.Color));
            RectPath(at, clip->Left, clip->Top, clip->Width(), clip->Height());
            Content += "f\n";
        }
        RectPath(at, clip->Left, clip->Top, clip->Width(), clip->Height());
        Content += "W n\n";
    }
    if (opaque && !s.empty()) {
        EndText();
        SetFill(RgbOf(brush.Color));
        frameRect(dx, baseline - m.Ascent, width, m.Height());
        Content += "f\n";
    }
    if (!plain) {
        // Ink stays within the cell's height, as on the original platform; shown smaller, a
        // device pixel more keeps underscores and descenders.
        const double scale = at.Length(1);
        const double pad = scale < 1 && scale > 0 ? 1 / scale : 0;
        frameRect(-1e6, baseline - m.Ascent - pad, 2e6, m.Height() + 2 * pad);
        Content += "W n\n";
    }
    if (size && !s.empty()) {
        FontFile& file = FontFiles[size->File];
        for (char ch : s)
            file.Used[static_cast<uint8_t>(ch)] = true;
        if (!InText) {
            Content += "BT\n";
            InText = true;
        }
        SetFill(ink);
        if (State.Font != f.Resource) {
            Content += "/F";
            AppendInt(Content, f.Resource);
            Content += ' ';
            AppendNumber(Content, m.Em);
            Content += " Tf\n";
            State.Font = f.Resource;
        }
        // Text space runs up; the frame runs down.
        for (double v : {a, b, -c, -d}) {
            AppendNumber(Content, v);
            Content += ' ';
        }
        Point(x0 + dx * a + baseline * c, y0 + dx * b + baseline * d, " Tm\n(");
        for (char ch : s) {
            if (ch == '(' || ch == ')' || ch == '\\')
                Content += '\\';
            if (ch == '\r')
                Content += "\\r";
            else if (ch == '\n')
                Content += "\\n";
            else
                Content += ch;
        }
        Content += ")Tj\n";
    }
    if (font.lfUnderline || font.lfStrikeOut) {
        EndText();
        SetFill(ink);
        const int thickness = std::max(1, static_cast<int>(m.Em / 14 + 0.5));
        if (font.lfUnderline)
            frameRect(dx, baseline + std::max(1, m.Descent / 3), width, thickness);
        if (font.lfStrikeOut)
            frameRect(dx, baseline - m.Ascent / 3, width, thickness);
        Content += "f\n";
    }
    if (!plain)
        Restore();
}

void PdfWriter::Impl::DrawImage(const Bitmap& bitmap, const TRect& dest, const TRect& source,
                                const Placement& at) {
    const BitmapData* data = bitmap.Data().get();
    if (!data || data->Image.isNull())
        return;
    const QRect part = QRect(source.Left, source.Top, source.Width(), source.Height())
                           .intersected(data->Image.rect());
    if (part.isEmpty())
        return;
    auto it = std::find_if(Images.begin(), Images.end(), [&](const Image& i) {
        return i.Keep.Data().get() == data && i.Source == source;
    });
    if (it == Images.end()) {
        const QImage rgb = data->Image.copy(part).convertToFormat(QImage::Format_RGB888);
        std::string pixels;
        pixels.reserve(size_t(rgb.width()) * size_t(rgb.height()) * 3);
        for (int row = 0; row < rgb.height(); ++row)
            pixels.append(reinterpret_cast<const char*>(rgb.constScanLine(row)),
                          size_t(rgb.width()) * 3);
        Image image{bitmap, source, NewId()};
        std::string dictionary = "/Type /XObject /Subtype /Image /Width ";
        AppendInt(dictionary, rgb.width());
        dictionary += " /Height ";
        AppendInt(dictionary, rgb.height());
        dictionary += " /ColorSpace /DeviceRGB /BitsPerComponent 8";
        Stream(image.Id, dictionary, pixels, kFontLevel);
        Images.push_back(image);
        it = Images.end() - 1;
    }
    // The part of the source that lies on the bitmap keeps its place in the destination.
    const double sx = double(dest.Width()) / source.Width();
    const double sy = double(dest.Height()) / source.Height();
    const double l = dest.Left + (part.left() - source.Left) * sx;
    const double t = dest.Top + (part.top() - source.Top) * sy;
    const double w = part.width() * sx, h = part.height() * sy;
    Save();
    for (double v : {w * at.Sx, 0.0, 0.0, -h * at.Sy}) {
        AppendNumber(Content, v);
        Content += ' ';
    }
    Point(at.X(l), at.Y(t + h), " cm\n/Im");
    AppendInt(Content, it - Images.begin());
    Content += " Do\n";
    Restore();
}

void PdfWriter::Impl::Play(const Metafile& metafile, const Placement& at) {
    const MetafileData& d = *metafile.Data();
    MetaDrawState state;
    for (const MetaRecord& r : d.Records) {
        const int32_t* ints = d.Ints.data() + r.Offset;
        if (state.Take(d, r))
            continue;
        Spill();
        switch (r.Kind) {
        default: // the state records, taken above
            break;
        case MetaRecordKind::Polyline:
            Lines(*state.Pen, ints, r.Count, at);
            break;
        case MetaRecordKind::Polygon:
            Polygon(*state.Pen, *state.Brush, ints, r.Count, at);
            break;
        case MetaRecordKind::Rectangle:
        case MetaRecordKind::Ellipse:
            Shape(r.Kind == MetaRecordKind::Ellipse, *state.Pen, *state.Brush,
                  RectAt(d.Ints, r.Offset), at);
            break;
        case MetaRecordKind::FillRect:
            Fill(*state.Brush, RectAt(d.Ints, r.Offset), at);
            break;
        case MetaRecordKind::InvertRect: // a raster operation
            break;
        case MetaRecordKind::Text:
            Text(*state.Text, *state.Brush, ints[0], ints[1], d.Texts[r.Index], nullptr, at);
            break;
        case MetaRecordKind::ClippedText: {
            const TRect clip = RectAt(d.Ints, r.Offset + 2);
            Text(*state.Text, *state.Brush, ints[0], ints[1], d.Texts[r.Index], &clip, at);
            break;
        }
        case MetaRecordKind::DrawMetafile: {
            const TRect t = RectAt(d.Ints, r.Offset);
            const Metafile& inner = d.Metafiles[r.Index];
            if (inner.Data()->Records.empty() || inner.Width() <= 0 || inner.Height() <= 0)
                break;
            Placement next;
            next.Sx = at.Sx * t.Width() / inner.Width();
            next.Sy = at.Sy * t.Height() / inner.Height();
            next.Tx = at.X(t.Left);
            next.Ty = at.Y(t.Top);
            Play(inner, next);
            break;
        }
        case MetaRecordKind::DrawBitmap:
            DrawImage(d.Bitmaps[r.Index], RectAt(d.Ints, r.Offset), RectAt(d.Ints, r.Offset + 4),
                      at);
            break;
        }
    }
}

namespace {

// A subset's name starts with six capitals that differ with its glyphs.
std::string SubsetTag(const std::array<bool, 256>& used, const std::string& path) {
    uint32_t h = 2166136261u;
    for (char c : path)
        h = (h ^ uint8_t(c)) * 16777619u;
    for (size_t i = 0; i < used.size(); ++i)
        h = (h ^ (used[i] ? i + 1 : 0)) * 16777619u;
    std::string tag;
    for (int i = 0; i < 6; ++i, h /= 26)
        tag += char('A' + h % 26);
    return tag + "+";
}

std::string BaseName(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).completeBaseName().toStdString();
}

std::string ReadWholeFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), size_t(bytes.size()));
}

} // namespace

void PdfWriter::Impl::WriteFonts() {
    for (FontFile& file : FontFiles) {
        const std::string whole = ReadWholeFile(file.Path);
        std::vector<uint32_t> glyphs;
        for (size_t c = 0; c < 256; ++c)
            if (file.Used[c])
                glyphs.push_back(file.Face->Glyphs[c]);
        std::string embedded = SubsetTrueType(whole, glyphs);
        if (embedded.empty())
            embedded = whole;
        const int fontFile = NewId();
        std::string dictionary = "/Length1 ";
        AppendInt(dictionary, int64_t(embedded.size()));
        Stream(fontFile, dictionary, embedded, kFontLevel);

        const SfntReader sfnt{whole};
        const auto head = sfnt.Table("head").first, hhea = sfnt.Table("hhea").first;
        const auto post = sfnt.Table("post").first;
        const auto [os2, os2Length] = sfnt.Table("OS/2");
        const double units = sfnt.U16(head + 18) ? sfnt.U16(head + 18) : 1000;
        auto scaled = [&](double v) { return std::round(v * 1000 / units); };
        const double italicAngle = int32_t(sfnt.U32(post + 4)) / 65536.0;
        const bool fixedPitch = post && sfnt.U32(post + 12) != 0;
        const double capHeight =
            os2 && os2Length >= 90 && sfnt.U16(os2) >= 2 ? sfnt.S16(os2 + 88) : sfnt.S16(hhea + 4);
        std::string name = BaseName(file.Path);
        file.Descriptor = NewId();
        std::string d = "<< /Type /FontDescriptor /FontName /" + SubsetTag(file.Used, file.Path) +
                        name + " /Flags ";
        AppendInt(d, 32 | (italicAngle != 0 ? 64 : 0) | (fixedPitch ? 1 : 0));
        d += " /FontBBox [";
        for (size_t at : {36, 38, 40, 42}) {
            AppendNumber(d, scaled(sfnt.S16(head + at)));
            d += ' ';
        }
        d += "] /ItalicAngle ";
        AppendNumber(d, italicAngle);
        d += " /Ascent ";
        AppendNumber(d, scaled(sfnt.S16(hhea + 4)));
        d += " /Descent ";
        AppendNumber(d, scaled(sfnt.S16(hhea + 6)));
        d += " /CapHeight ";
        AppendNumber(d, scaled(capHeight));
        d += " /StemV 80 /FontFile2 ";
        AppendInt(d, fontFile);
        d += " 0 R >>";
        Object(file.Descriptor, d);
    }
    for (const FontSize& size : Fonts) {
        const FontFile& file = FontFiles[size.File];
        std::string d = "<< /Type /Font /Subtype /TrueType /BaseFont /" +
                        SubsetTag(file.Used, file.Path) + BaseName(file.Path) +
                        " /FirstChar 0 /LastChar 255 /Encoding /WinAnsiEncoding /Widths [";
        // The advances we lay text out with, so that each glyph stands where it was measured.
        for (size_t c = 0; c < 256; ++c) {
            AppendNumber(d, size.Advances[c] * 1000.0 / size.Em);
            d += c % 16 == 15 ? '\n' : ' ';
        }
        d += "] /FontDescriptor ";
        AppendInt(d, file.Descriptor);
        d += " 0 R >>";
        Object(size.Id, d);
    }
}

void PdfWriter::Impl::WriteEllipses() {
    for (const EllipseForm& e : Ellipses) {
        const double k = 0.5522847498;
        const double rx = e.Width / 2, ry = e.Height / 2;
        std::string path;
        AppendPoint(path, e.Width, ry, " m\n");
        auto curve = [&](double x1, double y1, double x2, double y2, double x3, double y3) {
            AppendPoint(path, x1, y1, " ");
            AppendPoint(path, x2, y2, " ");
            AppendPoint(path, x3, y3, " c\n");
        };
        curve(e.Width, ry + k * ry, rx + k * rx, e.Height, rx, e.Height);
        curve(rx - k * rx, e.Height, 0, ry + k * ry, 0, ry);
        curve(0, ry - k * ry, rx - k * rx, 0, rx, 0);
        curve(rx + k * rx, 0, e.Width, ry - k * ry, e.Width, ry);
        path += "h ";
        path += e.Paint;
        // Room for the widest pen around the shape.
        const double pad = 1000 + std::max(std::fabs(e.Width), std::fabs(e.Height));
        std::string d = "/Type /XObject /Subtype /Form /BBox [";
        for (double v : {-pad, -pad, pad, pad}) {
            AppendNumber(d, v);
            d += ' ';
        }
        d += ']';
        Stream(e.Id, d, path, 0);
    }
}

void PdfWriter::Impl::WritePatterns() {
    for (size_t style = 0; style < Patterns.size(); ++style) {
        if (Patterns[style] == 0)
            continue;
        // Eight pixels a cell, as hatches are drawn on the device; lines one pixel wide.
        std::string cell;
        const bool horizontal = style == bsHorizontal || style == bsCross;
        const bool vertical = style == bsVertical || style == bsCross;
        const bool forward = style == bsFDiagonal || style == bsDiagCross;
        const bool backward = style == bsBDiagonal || style == bsDiagCross;
        if (horizontal)
            cell += "0 3.5 m 8 3.5 l S ";
        if (vertical)
            cell += "3.5 0 m 3.5 8 l S ";
        // The pattern's space runs down the page, as the page's pixels do.
        if (forward)
            cell += "-1 -1 m 9 9 l S ";
        if (backward)
            cell += "-1 9 m 9 -1 l S ";
        std::string d = "/Type /Pattern /PatternType 1 /PaintType 2 /TilingType 1 /BBox [0 0 8 "
                        "8] /XStep 8 /YStep 8 /Resources << >> /Matrix [";
        AppendNumber(d, 72.0 / 600);
        d += " 0 0 ";
        AppendNumber(d, -72.0 / 600);
        d += " 0 0]";
        Stream(Patterns[style], d, cell, 0);
    }
}

namespace {

// " /<prefix><index> <id> 0 R": one named object of the resources.
void AppendResource(std::string& d, const char* prefix, size_t index, int id) {
    d += " /";
    d += prefix;
    AppendInt(d, int64_t(index));
    d += ' ';
    AppendInt(d, id);
    d += " 0 R";
}

} // namespace

void PdfWriter::Impl::WriteResources() {
    std::string d = "<< /ProcSet [/PDF /Text /ImageC] /ColorSpace << /CsP [/Pattern /DeviceRGB] "
                    ">>\n/Font <<";
    for (size_t i = 0; i < Fonts.size(); ++i)
        AppendResource(d, "F", i, Fonts[i].Id);
    d += " >>\n/XObject <<";
    for (size_t i = 0; i < Images.size(); ++i)
        AppendResource(d, "Im", i, Images[i].Id);
    for (size_t i = 0; i < Ellipses.size(); ++i)
        AppendResource(d, "E", i, Ellipses[i].Id);
    d += " >>\n/Pattern <<";
    for (size_t style = 0; style < Patterns.size(); ++style)
        if (Patterns[style] != 0)
            AppendResource(d, "P", style, Patterns[style]);
    d += " >> >>";
    Object(kResources, d);
}

PdfWriter::PdfWriter(QIODevice& device) : d_(std::make_unique<Impl>(device)) {
    d_->Offsets.resize(4, 0); // the catalog, the page tree and the resources come first
    d_->Write("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
}

PdfWriter::~PdfWriter() = default;

void PdfWriter::SetTitle(const std::string& title) {
    d_->Title = title;
}

void PdfWriter::SetCreator(const std::string& creator) {
    d_->Creator = creator;
}

void PdfWriter::BeginPage(double width, double height, int dotsPerInch) {
    if (d_->InPage)
        EndPage();
    Impl& d = *d_;
    d.PageWidth = width;
    d.PageHeight = height;
    d.Content.clear();
    d.ContentLength = d.NewId();
    const int contents = d.NewId();
    d.BeginObject(contents);
    d.Write("<< /Length " + std::to_string(d.ContentLength) +
            " 0 R /Filter /FlateDecode >>\nstream\n");
    d.ContentStart = d.Position();
    d.Packer = {};
    deflateInit(&d.Packer, kContentLevel);
    d.Packing = true;
    d.InPage = true;
    d.Pages.push_back(contents); // the page object follows its content
    d.State = {};
    d.Saved.clear();
    d.InText = false;
    const double scale = 72.0 / std::max(1, dotsPerInch);
    AppendNumber(d.Content, scale);
    d.Content += " 0 0 ";
    AppendNumber(d.Content, -scale);
    d.Content += " 0 ";
    AppendNumber(d.Content, height);
    d.Content += " cm\n";
}

void PdfWriter::Play(const Metafile& metafile, double left, double top, double width,
                     double height) {
    if (!d_->InPage || metafile.Data()->Records.empty() || metafile.Width() <= 0 ||
        metafile.Height() <= 0)
        return;
    Placement at;
    at.Sx = width / metafile.Width();
    at.Sy = height / metafile.Height();
    at.Tx = left;
    at.Ty = top;
    d_->Play(metafile, at);
}

void PdfWriter::EndPage() {
    Impl& d = *d_;
    if (!d.InPage)
        return;
    d.EndText();
    while (!d.Saved.empty())
        d.Restore();
    d.InPage = false;
    d.Pack(Z_FINISH);
    deflateEnd(&d.Packer);
    d.Packing = false;
    const uint64_t length = d.Position() - d.ContentStart;
    d.Write("\nendstream\nendobj\n");
    std::string number;
    AppendInt(number, int64_t(length));
    d.Object(d.ContentLength, number);
    const int contents = d.Pages.back();
    const int page = d.NewId();
    std::string p = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 ";
    AppendNumber(p, d.PageWidth);
    p += ' ';
    AppendNumber(p, d.PageHeight);
    p += "] /Resources 3 0 R /Contents ";
    AppendInt(p, contents);
    p += " 0 R >>";
    d.Object(page, p);
    d.Pages.back() = page;
    for (Impl::PendingStream& pending : d.Pending)
        d.Stream(pending.Id, std::move(pending.Dictionary), pending.Data, pending.Level);
    d.Pending.clear();
}

int PdfWriter::PageCount() const {
    return static_cast<int>(d_->Pages.size());
}

namespace {

// A text string of the document information: UTF-16 with its byte-order mark.
std::string InfoText(const std::string& cp1252) {
    const QString text = QString::fromStdString(Cp1252ToUtf8(cp1252));
    static const char* digits = "0123456789ABCDEF";
    std::string s = "<FEFF";
    for (QChar c : text)
        for (int shift : {12, 8, 4, 0})
            s += digits[(c.unicode() >> shift) & 15];
    return s + ">";
}

} // namespace

bool PdfWriter::Finish() {
    Impl& d = *d_;
    EndPage();
    d.WriteFonts();
    d.WriteEllipses();
    d.WritePatterns();
    d.WriteResources();
    std::string kids = "<< /Type /Pages /Kids [";
    for (size_t i = 0; i < d.Pages.size(); ++i) {
        AppendInt(kids, d.Pages[i]);
        kids += i % 10 == 9 ? " 0 R\n" : " 0 R ";
    }
    kids += "] /Count ";
    AppendInt(kids, int64_t(d.Pages.size()));
    kids += " >>";
    d.Object(Impl::kPages, kids);
    d.Object(Impl::kCatalog, "<< /Type /Catalog /Pages 2 0 R >>");
    const int info = d.NewId();
    const QString now = QDateTime::currentDateTimeUtc().toString("yyyyMMddHHmmss");
    d.Object(info, "<< /Title " + InfoText(d.Title) + " /Creator " + InfoText(d.Creator) +
                       " /Producer " + InfoText(d.Creator) +
                       " /CreationDate (D:" + now.toStdString() + "Z) >>");
    const uint64_t xref = d.Position();
    std::string table = "xref\n0 ";
    AppendInt(table, int64_t(d.Offsets.size()));
    table += "\n0000000000 65535 f \n";
    for (size_t i = 1; i < d.Offsets.size(); ++i) {
        char entry[32];
        std::snprintf(entry, sizeof(entry), "%010llu 00000 n \n",
                      static_cast<unsigned long long>(d.Offsets[i]));
        table += entry;
    }
    table += "trailer\n<< /Size ";
    AppendInt(table, int64_t(d.Offsets.size()));
    table += " /Root 1 0 R /Info ";
    AppendInt(table, info);
    table += " 0 R >>\nstartxref\n";
    AppendInt(table, int64_t(xref));
    table += "\n%%EOF\n";
    d.Write(table);
    d.Flush();
    return d.Ok;
}

} // namespace vx
