#include "platform/graphics/PainterCanvas.h"

#include "platform/graphics/BitmapData.h"
#include "platform/graphics/FontFace.h"
#include "platform/graphics/LineRuns.h"
#include "platform/graphics/MetafileData.h"
#include "platform/graphics/TextFont.h"
#include "platform/graphics/TextMetrics.h"
#include "platform/system/Files.h"

#include <QGlyphRun>
#include <QPaintEngine>
#include <QPolygon>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

namespace vx {

namespace {

QColor ToQColor(TColor color) {
    const TColor c = ColorToRGB(color);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

bool IsRasterDevice(const QPainter& p) {
    return p.paintEngine() && p.paintEngine()->type() == QPaintEngine::Raster;
}

bool NeedsRaster(TPenMode mode) {
    return mode == pmNot || mode == pmXor || mode == pmNotXor;
}

// Sets the composition for a pen mode; false when nothing is to be drawn.
bool ApplyPenMode(QPainter& p, TPenMode mode) {
    switch (mode) {
    case pmNop:
        return false;
    case pmNot:
        p.setCompositionMode(QPainter::RasterOp_NotDestination);
        break;
    case pmXor:
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        break;
    case pmNotXor:
        p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        break;
    default:
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    return !NeedsRaster(mode) || IsRasterDevice(p);
}

QPen ToQPen(const TPen& pen) {
    if (pen.Style == psClear)
        return QPen(Qt::NoPen);
    QColor color = ToQColor(pen.Color);
    if (pen.Mode == pmBlack)
        color = Qt::black;
    else if (pen.Mode == pmWhite)
        color = Qt::white;
    if (pen.Width > 1) {
        // A wide pen draws solid whatever its style.
        QPen q(color, pen.Width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        return q;
    }
    QPen q(color, 0);
    q.setCosmetic(true);
    q.setCapStyle(Qt::FlatCap);
    switch (pen.Style) {
    case psDash:
        q.setDashPattern({18, 6});
        break;
    case psDot:
        q.setDashPattern({3, 3});
        break;
    case psDashDot:
        q.setDashPattern({9, 6, 3, 6});
        break;
    case psDashDotDot:
        q.setDashPattern({9, 3, 3, 3, 3, 3});
        break;
    default:
        break;
    }
    return q;
}

QBrush ToQBrush(const TBrush& brush) {
    const QColor c = ToQColor(brush.Color);
    switch (brush.Style) {
    case bsClear:
        return QBrush(Qt::NoBrush);
    case bsHorizontal:
        return QBrush(c, Qt::HorPattern);
    case bsVertical:
        return QBrush(c, Qt::VerPattern);
    case bsFDiagonal:
        return QBrush(c, Qt::FDiagPattern);
    case bsBDiagonal:
        return QBrush(c, Qt::BDiagPattern);
    case bsCross:
        return QBrush(c, Qt::CrossPattern);
    case bsDiagCross:
        return QBrush(c, Qt::DiagCrossPattern);
    default:
        return QBrush(c);
    }
}

// The drawing of every record, shared by the painter canvas and metafile playback.
class Renderer {
public:
    explicit Renderer(QPainter& p) : p_(p) {}

    void Lines(const TPen& pen, const int32_t* xy, size_t count) {
        if (count < 2 || pen.Style == psClear)
            return;
        p_.save();
        if (ApplyPenMode(p_, pen.Mode)) {
            // A wide pen that the scale makes one pixel wide or less is drawn as a hairline,
            // as the platform rounds pen widths to whole device pixels.
            const bool wide = pen.Width > 1 && DeviceWidth(pen.Width) >= 1.5;
            QPen q = ToQPen(pen);
            if (!wide && pen.Width > 1) {
                q.setWidth(0);
                q.setCosmetic(true);
            }
            p_.setPen(q);
            p_.setBrush(Qt::NoBrush);
            const auto* pts = reinterpret_cast<const QPoint*>(xy);
            if (wide && !NeedsRaster(pen.Mode)) {
                DrawWideRuns(pts, count);
            } else if (wide) {
                // Overlapping runs would invert their joins twice.
                p_.drawPolyline(pts, static_cast<int>(count));
            } else {
                DrawHairline(pts, count, pen.Style == psSolid || pen.Width > 1);
            }
        }
        p_.restore();
    }

    // Qt strokes one long wide polyline very slowly (it resolves self-intersections). A wide
    // pen has round caps and joins, so the polyline is the union of its segments each drawn
    // with round caps: drawn segment by segment it covers the same pixels, much faster.
    // A dense curve holds long runs of points of one logical x. Round-capped segments along
    // one axis-parallel line cover together what the segment from the lowest to the highest
    // of them covers: their side edges lie on the same two lines, and a cap inside the span
    // is an end cap moved inwards, within it. So such runs shrink to their first, extremes
    // and last points, leaving the same pixels; a run of one repeated point keeps no
    // segment, as Qt strokes none for it.
    void DrawWideRuns(const QPoint* pts, size_t count) {
        // Shear or rotation would map one logical line onto edges that round apart.
        if (p_.worldTransform().type() <= QTransform::TxScale) {
            QPoint* kept = Scratch(count);
            std::copy(pts, pts + count, kept);
            count = KeepLineExtremes<true>(kept, count);
            count = KeepLineExtremes<false>(kept, count);
            pts = kept;
        }
        thread_local std::vector<QLine> lines;
        constexpr size_t kBatch = 4096;
        for (size_t start = 1; start < count; start += kBatch) {
            const size_t end = std::min(count, start + kBatch);
            lines.clear();
            for (size_t i = start; i < end; ++i)
                lines.emplace_back(pts[i - 1], pts[i]);
            p_.drawLines(lines.data(), static_cast<int>(lines.size()));
        }
    }

    // Room for count points, reused from call to call: a page plays many long curves.
    static QPoint* Scratch(size_t count) {
        thread_local std::vector<QPoint> buffer;
        if (buffer.size() < count)
            buffer.resize(count);
        return buffer.data();
    }

    // A hairline in device pixels: points that fall on the pixel of the point before add
    // nothing to it, and a page of curves shown small holds many of them. Kept out of line:
    // inlined into Lines, GCC compiles its point loop to run at less than half the speed.
    [[gnu::noinline]] void DrawHairline(const QPoint* pts, size_t count, bool solid) {
        const QTransform t = p_.worldTransform();
        thread_local std::vector<QPoint> device;
        device.clear();
        device.reserve(count);
        auto add = [](const QPoint& q) {
            if (device.empty() || device.back() != q)
                device.push_back(q);
        };
        if (t.type() <= QTransform::TxScale) {
            for (size_t i = 0; i < count; ++i)
                add(DevicePixel(t, pts[i]));
        } else {
            for (size_t i = 0; i < count; ++i) {
                const QPointF m = t.map(QPointF(pts[i]));
                add(QPoint(qRound(m.x()), qRound(m.y())));
            }
        }
        if (device.size() == 1)
            device.push_back(device.front());
        // Within one pixel column a solid hairline covers exactly the pixels from the lowest
        // to the highest of its points there.
        if (solid)
            device.resize(KeepLineExtremes<true>(device.data(), device.size()));
        p_.resetTransform();
        p_.drawPolyline(device.data(), static_cast<int>(device.size()));
        p_.setWorldTransform(t);
    }

    // A length of the current coordinates in device pixels (the larger axis scale).
    double DeviceWidth(double width) const {
        const QTransform& t = p_.worldTransform();
        const double sx = std::hypot(t.m11(), t.m12());
        const double sy = std::hypot(t.m21(), t.m22());
        return width * std::max(sx, sy);
    }

    void Polygon(const TPen& pen, const TBrush& brush, const int32_t* xy, size_t count) {
        p_.save();
        if (ApplyPenMode(p_, pen.Mode)) {
            p_.setPen(ToQPen(pen));
            p_.setBrush(ToQBrush(brush));
            p_.drawPolygon(reinterpret_cast<const QPoint*>(xy), static_cast<int>(count),
                           Qt::OddEvenFill);
        }
        p_.restore();
    }

    // The outline runs along the inside of right and bottom, as the platform draws it.
    void Shape(bool ellipse, const TPen& pen, const TBrush& brush, const TRect& r) {
        p_.save();
        if (ApplyPenMode(p_, pen.Mode)) {
            const QRect q(r.Left, r.Top, r.Width() - 1, r.Height() - 1);
            // A hairline frame takes the pixels of the line drawing, so that it shows whole
            // at any scale; the fill stays within it.
            const bool hairline = pen.Style != psClear && !NeedsRaster(pen.Mode) &&
                                  (pen.Width <= 1 || DeviceWidth(pen.Width) < 1.5) &&
                                  p_.worldTransform().type() <= QTransform::TxScale;
            if (!ellipse && hairline && r.Width() > 0 && r.Height() > 0) {
                p_.setPen(Qt::NoPen);
                p_.setBrush(ToQBrush(brush));
                p_.drawRect(QRect(r.Left, r.Top, r.Width(), r.Height()));
                QPen outline = ToQPen(pen);
                outline.setWidth(0);
                outline.setCosmetic(true);
                const QTransform t = p_.worldTransform();
                const QPoint from = DevicePixel(t, QPoint(r.Left, r.Top));
                const QPoint to = DevicePixel(t, QPoint(r.Right - 1, r.Bottom - 1));
                p_.resetTransform();
                p_.setPen(outline);
                p_.setBrush(Qt::NoBrush);
                // A one-pixel outline of (x, y, w, h) covers x .. x + w.
                p_.drawRect(QRect(from.x(), from.y(), to.x() - from.x(), to.y() - from.y()));
                p_.restore();
                return;
            }
            p_.setPen(ToQPen(pen));
            p_.setBrush(ToQBrush(brush));
            if (ellipse)
                p_.drawEllipse(q);
            else
                p_.drawRect(q);
        }
        p_.restore();
    }

    void Fill(const TBrush& brush, const TRect& r) {
        if (brush.Style == bsClear)
            return;
        p_.fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), ToQBrush(brush));
    }

    void Invert(const TRect& r) {
        if (!IsRasterDevice(p_))
            return;
        p_.save();
        p_.setCompositionMode(QPainter::RasterOp_NotDestination);
        p_.fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), Qt::black);
        p_.restore();
    }

    // The font of a run of texts, with its glyphs at the size drawn.
    struct FontUse : TextFont {
        QRawFont Raw;
    };

    const FontUse& Use(const LOGFONTA& font) {
        if (font_.Take(font))
            font_.Raw = IsRasterDevice(p_) ? RawFontAt(font, font_.Metrics.Em)
                                           : VectorRawFontAt(font, font_.Metrics.Em);
        return font_;
    }

    void Text(const LOGFONTA& font, TColor color, uint32_t align, const TBrush& brush, int32_t x,
              int32_t y, std::string_view text, const TRect* clip) {
        const FontUse& f = Use(font);
        const TFontMetrics& m = f.Metrics;
        const int32_t width = f.Width(text);
        const int32_t dx = TextFont::Left(align, width);
        const int32_t baseline = f.Baseline(align);
        const bool opaque = brush.Style != bsClear;
        const QColor ink = ToQColor(color);

        // On a vector device an upright text whose ink stays inside its cell is drawn where
        // it stands, without the painter's state saved, moved and clipped around it: there
        // each of those writes the device's whole state out again, and costs more than the
        // text itself.
        if (!clip && font.lfEscapement == 0 && !IsRasterDevice(p_) && f.InkInCell(text)) {
            if (opaque && !text.empty())
                p_.fillRect(QRect(x + dx, y + baseline - m.Ascent, width, m.Height()),
                            ToQColor(brush.Color));
            if (p_.compositionMode() != QPainter::CompositionMode_SourceOver)
                p_.setCompositionMode(QPainter::CompositionMode_SourceOver);
            DrawGlyphs(f, x + dx, y + baseline, text, ink);
            DrawLines(f, x + dx, y + baseline, width, ink);
            return;
        }

        p_.save();
        p_.setCompositionMode(QPainter::CompositionMode_SourceOver);
        if (clip) {
            const QRect c(clip->Left, clip->Top, clip->Width(), clip->Height());
            if (opaque)
                p_.fillRect(c, ToQColor(brush.Color));
            p_.setClipRect(c, p_.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
        }
        p_.translate(x, y);
        if (font.lfEscapement != 0)
            p_.rotate(-font.lfEscapement / 10.0);
        if (opaque && !text.empty())
            p_.fillRect(QRect(dx, baseline - m.Ascent, width, m.Height()), ToQColor(brush.Color));
        // Ink stays within the cell's height, as on the original platform, where glyphs
        // were fitted to the rounded ascent and descent. Shown smaller, the cell's edges fall
        // inside device pixels: a device pixel more keeps underscores and descenders.
        const double scale = DeviceWidth(1);
        const double pad = scale < 1 && scale > 0 ? 1 / scale : 0;
        p_.setClipRect(QRectF(-1e7, baseline - m.Ascent - pad, 2e7, m.Height() + 2 * pad),
                       p_.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
        // Scaled down, glyphs are filled as outlines: without antialiasing the thin
        // strokes of underscores and descenders miss every pixel centre and vanish.
        if (pad > 0)
            p_.setRenderHint(QPainter::Antialiasing, true);
        DrawGlyphs(f, dx, baseline, text, ink);
        DrawLines(f, dx, baseline, width, ink);
        p_.restore();
    }

    void DrawGlyphs(const FontUse& f, int32_t x, int32_t baseline, std::string_view text,
                    const QColor& ink) {
        if (!f.Raw.isValid() || text.empty())
            return;
        QList<quint32> glyphs;
        QList<QPointF> positions;
        glyphs.reserve(qsizetype(text.size()));
        positions.reserve(qsizetype(text.size()));
        int32_t pen = x;
        for (char ch : text) {
            const auto c = static_cast<uint8_t>(ch);
            glyphs.push_back(f.Face->Glyphs[c]);
            positions.push_back(QPointF(pen, baseline));
            pen += f.Advances[c];
        }
        QGlyphRun run;
        run.setRawFont(f.Raw);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        p_.setPen(ink);
        p_.drawGlyphRun(QPointF(0, 0), run);
    }

    void DrawLines(const FontUse& f, int32_t x, int32_t baseline, int32_t width,
                   const QColor& ink) {
        const TFontMetrics& m = f.Metrics;
        const int thickness = std::max(1, static_cast<int>(m.Em / 14 + 0.5));
        if (f.Font.lfUnderline)
            p_.fillRect(QRect(x, baseline + std::max(1, m.Descent / 3), width, thickness), ink);
        if (f.Font.lfStrikeOut)
            p_.fillRect(QRect(x, baseline - m.Ascent / 3, width, thickness), ink);
    }

    void Image(const Bitmap& bitmap, const TRect& dest, const TRect& source) {
        p_.save();
        p_.setCompositionMode(QPainter::CompositionMode_Source);
        p_.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p_.drawImage(QRectF(dest.Left, dest.Top, dest.Width(), dest.Height()), bitmap.Data()->Image,
                     QRectF(source.Left, source.Top, source.Width(), source.Height()));
        p_.restore();
    }

    void Play(const Metafile& metafile, const QRectF& dest);

private:
    QPainter& p_;
    FontUse font_;
};

void Renderer::Play(const Metafile& metafile, const QRectF& dest) {
    const MetafileData& d = *metafile.Data();
    if (d.Records.empty() || metafile.Width() <= 0 || metafile.Height() <= 0)
        return;
    p_.save();
    p_.translate(dest.left(), dest.top());
    p_.scale(dest.width() / metafile.Width(), dest.height() / metafile.Height());
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
            Lines(*pen, ints, r.Count);
            break;
        case MetaRecordKind::Polygon:
            Polygon(*pen, *brush, ints, r.Count);
            break;
        case MetaRecordKind::Rectangle:
        case MetaRecordKind::Ellipse:
            Shape(r.Kind == MetaRecordKind::Ellipse, *pen, *brush, RectAt(d.Ints, r.Offset));
            break;
        case MetaRecordKind::FillRect:
            Fill(*brush, RectAt(d.Ints, r.Offset));
            break;
        case MetaRecordKind::InvertRect:
            Invert(RectAt(d.Ints, r.Offset));
            break;
        case MetaRecordKind::Text:
            Text(text->Font, text->Color, text->Align, *brush, ints[0], ints[1], d.Texts[r.Index],
                 nullptr);
            break;
        case MetaRecordKind::ClippedText: {
            const TRect clip = RectAt(d.Ints, r.Offset + 2);
            Text(text->Font, text->Color, text->Align, *brush, ints[0], ints[1], d.Texts[r.Index],
                 &clip);
            break;
        }
        case MetaRecordKind::DrawMetafile: {
            const TRect t = RectAt(d.Ints, r.Offset);
            Play(d.Metafiles[r.Index], QRectF(t.Left, t.Top, t.Width(), t.Height()));
            break;
        }
        case MetaRecordKind::DrawBitmap:
            Image(d.Bitmaps[r.Index], RectAt(d.Ints, r.Offset), RectAt(d.Ints, r.Offset + 4));
            break;
        }
    }
    p_.restore();
}

} // namespace

PainterCanvas::PainterCanvas(QPainter& painter, const TDeviceCaps& caps)
    : TCanvas(caps), painter_(painter) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
}

bool PainterCanvas::IsRaster() const {
    return IsRasterDevice(painter_);
}

void PainterCanvas::DoLine(TPoint from, TPoint to) {
    const int32_t xy[4] = {from.X, from.Y, to.X, to.Y};
    Renderer(painter_).Lines(Pen, xy, 2);
}

void PainterCanvas::DoPolyline(const TPoint* points, size_t count) {
    Renderer(painter_).Lines(Pen, &points[0].X, count);
}

void PainterCanvas::DoPolygon(const TPoint* points, size_t count) {
    Renderer(painter_).Polygon(Pen, Brush, &points[0].X, count);
}

void PainterCanvas::DoRectangle(const TRect& r) {
    Renderer(painter_).Shape(false, Pen, Brush, r);
}

void PainterCanvas::DoEllipse(const TRect& r) {
    Renderer(painter_).Shape(true, Pen, Brush, r);
}

void PainterCanvas::DoFillRect(const TRect& r) {
    Renderer(painter_).Fill(Brush, r);
}

void PainterCanvas::DoInvertRect(const TRect& r) {
    Renderer(painter_).Invert(r);
}

void PainterCanvas::DoText(int32_t x, int32_t y, std::string_view text, const TRect* clip) {
    Renderer(painter_).Text(Font.LogFont(), Font.Color(), TextAlign(), Brush, x, y, text, clip);
}

void PainterCanvas::DoDrawMetafile(const TRect& dest, const Metafile& metafile) {
    Renderer(painter_).Play(metafile, QRectF(dest.Left, dest.Top, dest.Width(), dest.Height()));
}

void PainterCanvas::DoDrawBitmap(const TRect& dest, const Bitmap& bitmap, const TRect& source) {
    Renderer(painter_).Image(bitmap, dest, source);
}

void PlayMetafile(QPainter& painter, const Metafile& metafile, const QRectF& dest) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    Renderer(painter).Play(metafile, dest);
    painter.restore();
}

QImage RenderMetafile(const Metafile& metafile, int width, int height, TColor background) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(ToQColor(background));
    QPainter painter(&image);
    PlayMetafile(painter, metafile, QRectF(0, 0, width, height));
    return image;
}

bool SaveMetafilePng(const Metafile& metafile, const std::string& fileName, int width, int height,
                     TColor background) {
    return RenderMetafile(metafile, width, height, background)
        .save(QString::fromStdString(ToLocalPath(fileName)), "PNG");
}

ImageCanvas::ImageCanvas(QImage& image, int32_t pixelsPerInch)
    : detail::ImagePainter(image), PainterCanvas(Painter, [&] {
          TDeviceCaps caps;
          caps.HorzRes = caps.PhysicalWidth = image.width();
          caps.VertRes = caps.PhysicalHeight = image.height();
          caps.LogPixelsX = caps.LogPixelsY = pixelsPerInch;
          return caps;
      }()) {}

} // namespace vx
