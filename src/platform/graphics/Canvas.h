#pragma once

#include "platform/graphics/Brush.h"
#include "platform/graphics/DeviceCaps.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Pen.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace vx {

class Bitmap;
class Metafile;

// Text-alignment flags as the platform's SetTextAlign takes them.
constexpr uint32_t TA_LEFT = 0;
constexpr uint32_t TA_RIGHT = 2;
constexpr uint32_t TA_CENTER = 6;
constexpr uint32_t TA_TOP = 0;
constexpr uint32_t TA_BOTTOM = 8;
constexpr uint32_t TA_BASELINE = 24;

// A device context as the report engine uses it: pen, brush and font, a pen position that
// TextOut moves to the end of the text, and a text alignment that stays until changed.
// Coordinates are pixels of the device (a printer for metafile canvases). The drawing itself
// is done by a backend: a metafile that records, or a painter on an image, a printer or PDF.
class TCanvas {
public:
    virtual ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TPen Pen;
    TBrush Brush;
    TFont Font;

    // What the device reports (GetDeviceCaps on the canvas's handle).
    const TDeviceCaps& Caps() const { return caps_; }
    int32_t GetDeviceCaps(int index) const { return caps_.Get(index); }

    uint32_t TextAlign() const { return textAlign_; }
    void SetTextAlign(uint32_t flags) { textAlign_ = flags; }
    TPoint PenPos() const { return penPos_; }
    void SetPenPos(TPoint p) { MoveTo(p.X, p.Y); }

    void MoveTo(int32_t x, int32_t y);
    void LineTo(int32_t x, int32_t y);
    // Neither uses nor moves the pen position.
    void Polyline(const TPoint* points, size_t count);
    void Polyline(const std::vector<TPoint>& points) { Polyline(points.data(), points.size()); }
    // Filled with the brush, outlined with the pen.
    void Polygon(const TPoint* points, size_t count);
    void Polygon(const std::vector<TPoint>& points) { Polygon(points.data(), points.size()); }
    void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    // The brush alone, right and bottom edges excluded.
    void FillRect(const TRect& r);
    // Inverts every pixel of the rectangle; drawn only on raster targets.
    void InvertRect(const TRect& r);

    // The text at the reference point by the alignment flags, rotated with the font's
    // escapement about that point; opaque on the brush colour unless the brush is clear.
    // Moves the pen position to (x + TextWidth, y).
    void TextOut(int32_t x, int32_t y, std::string_view text);
    // As TextOut, clipped to the rectangle, which is first filled unless the brush is clear.
    void TextRect(const TRect& clip, int32_t x, int32_t y, std::string_view text);
    int32_t TextWidth(std::string_view text) const;
    int32_t TextHeight(std::string_view text) const;
    TSize TextExtent(std::string_view text) const;

    // A metafile at its own size, or stretched into the rectangle; not clipped to its frame.
    void Draw(int32_t x, int32_t y, const Metafile& metafile);
    void StretchDraw(const TRect& dest, const Metafile& metafile);
    void Draw(int32_t x, int32_t y, const Bitmap& bitmap);
    void StretchDraw(const TRect& dest, const Bitmap& bitmap);
    // Copies part of a bitmap (SRCCOPY), stretched.
    void StretchBlt(const TRect& dest, const Bitmap& bitmap, const TRect& source);

    // True when the canvas draws pixels itself (raster operations take effect).
    virtual bool IsRaster() const = 0;

protected:
    explicit TCanvas(const TDeviceCaps& caps);

    // A segment of a MoveTo/LineTo chain: `from` is the pen position.
    virtual void DoLine(TPoint from, TPoint to) = 0;
    virtual void DoPolyline(const TPoint* points, size_t count) = 0;
    virtual void DoPolygon(const TPoint* points, size_t count) = 0;
    virtual void DoRectangle(const TRect& r) = 0;
    virtual void DoEllipse(const TRect& r) = 0;
    virtual void DoFillRect(const TRect& r) = 0;
    virtual void DoInvertRect(const TRect& r) = 0;
    // clip is null for TextOut.
    virtual void DoText(int32_t x, int32_t y, std::string_view text, const TRect* clip) = 0;
    virtual void DoDrawMetafile(const TRect& dest, const Metafile& metafile) = 0;
    virtual void DoDrawBitmap(const TRect& dest, const Bitmap& bitmap, const TRect& source) = 0;
    // Tells the backend that a MoveTo broke the chain of lines.
    virtual void DoMoveTo(TPoint) {}

    void SetCaps(const TDeviceCaps& caps) { caps_ = caps; }

private:
    TDeviceCaps caps_;
    uint32_t textAlign_ = TA_LEFT | TA_TOP;
    TPoint penPos_;
};

} // namespace vx
