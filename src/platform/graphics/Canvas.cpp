#include "platform/graphics/Canvas.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Metafile.h"
#include "platform/graphics/TextMetrics.h"

namespace vx {

TCanvas::TCanvas(const TDeviceCaps& caps) : caps_(caps) {}

TCanvas::~TCanvas() = default;

void TCanvas::MoveTo(int32_t x, int32_t y) {
    penPos_ = {x, y};
    DoMoveTo(penPos_);
}

void TCanvas::LineTo(int32_t x, int32_t y) {
    const TPoint to{x, y};
    DoLine(penPos_, to);
    penPos_ = to;
}

void TCanvas::Polyline(const TPoint* points, size_t count) {
    if (count >= 2)
        DoPolyline(points, count);
}

void TCanvas::Polygon(const TPoint* points, size_t count) {
    if (count >= 2)
        DoPolygon(points, count);
}

void TCanvas::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    DoRectangle({left, top, right, bottom});
}

void TCanvas::Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    DoEllipse({left, top, right, bottom});
}

void TCanvas::FillRect(const TRect& r) {
    DoFillRect(r);
}

void TCanvas::InvertRect(const TRect& r) {
    DoInvertRect(r);
}

void TCanvas::TextOut(int32_t x, int32_t y, std::string_view text) {
    DoText(x, y, text, nullptr);
    MoveTo(x + TextWidth(text), y);
}

void TCanvas::TextRect(const TRect& clip, int32_t x, int32_t y, std::string_view text) {
    DoText(x, y, text, &clip);
}

int32_t TCanvas::TextWidth(std::string_view text) const {
    return vx::TextWidth(Font.LogFont(), text);
}

int32_t TCanvas::TextHeight(std::string_view) const {
    return MeasureFont(Font.LogFont()).Height();
}

TSize TCanvas::TextExtent(std::string_view text) const {
    const LOGFONTA lf = Font.LogFont();
    return {vx::TextWidth(lf, text), MeasureFont(lf).Height()};
}

void TCanvas::Draw(int32_t x, int32_t y, const Metafile& metafile) {
    StretchDraw(Bounds(x, y, metafile.Width(), metafile.Height()), metafile);
}

void TCanvas::StretchDraw(const TRect& dest, const Metafile& metafile) {
    if (!metafile.Empty())
        DoDrawMetafile(dest, metafile);
}

void TCanvas::Draw(int32_t x, int32_t y, const Bitmap& bitmap) {
    StretchDraw(Bounds(x, y, bitmap.Width(), bitmap.Height()), bitmap);
}

void TCanvas::StretchDraw(const TRect& dest, const Bitmap& bitmap) {
    StretchBlt(dest, bitmap, Rect(0, 0, bitmap.Width(), bitmap.Height()));
}

void TCanvas::StretchBlt(const TRect& dest, const Bitmap& bitmap, const TRect& source) {
    if (!bitmap.Empty())
        DoDrawBitmap(dest, bitmap, source);
}

} // namespace vx
