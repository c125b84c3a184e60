#pragma once

// The canvas backend that draws with a QPainter (images, printers, PDF), and metafile
// playback. Only the graphics layer and the Qt views include this header.

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Metafile.h"

#include <QImage>
#include <QPainter>
#include <QRectF>
#include <string>

namespace vx {

class PainterCanvas : public TCanvas {
public:
    // The painter's coordinates are the canvas's device pixels; caps tell what the device is.
    PainterCanvas(QPainter& painter, const TDeviceCaps& caps);
    bool IsRaster() const override;

protected:
    void DoLine(TPoint from, TPoint to) override;
    void DoPolyline(const TPoint* points, size_t count) override;
    void DoPolygon(const TPoint* points, size_t count) override;
    void DoRectangle(const TRect& r) override;
    void DoEllipse(const TRect& r) override;
    void DoFillRect(const TRect& r) override;
    void DoInvertRect(const TRect& r) override;
    void DoText(int32_t x, int32_t y, std::string_view text, const TRect* clip) override;
    void DoDrawMetafile(const TRect& dest, const Metafile& metafile) override;
    void DoDrawBitmap(const TRect& dest, const Bitmap& bitmap, const TRect& source) override;

private:
    QPainter& painter_;
};

// Plays the metafile's frame onto the rectangle (in the painter's coordinates), scaled, not
// clipped at the frame. Raster operations are drawn only when the painter draws on an image.
void PlayMetafile(QPainter& painter, const Metafile& metafile, const QRectF& dest);

// A picture of the metafile at the given size on a background colour.
QImage RenderMetafile(const Metafile& metafile, int width, int height, TColor background);

namespace detail {
struct ImagePainter {
    explicit ImagePainter(QImage& image) : Painter(&image) {}
    QPainter Painter;
};
} // namespace detail

// Writes RenderMetafile's picture as a PNG file (for looking at what the engine draws); false
// when the file cannot be written.
bool SaveMetafilePng(const Metafile& metafile, const std::string& fileName, int width, int height,
                     TColor background = clWhite);

// A canvas on an image at a resolution (96 dpi for screen bitmaps).
class ImageCanvas : private detail::ImagePainter, public PainterCanvas {
public:
    explicit ImageCanvas(QImage& image, int32_t pixelsPerInch = 96);
};

} // namespace vx
