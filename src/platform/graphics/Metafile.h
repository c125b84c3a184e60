#pragma once

#include "platform/graphics/Canvas.h"

#include <cstdint>
#include <memory>

namespace vx {

struct MetafileData;

// A recorded picture: a handle to a shared, read-only list of canvas records. Copying or
// assigning shares the records; a canvas opened on the metafile builds a new list and puts it
// in place when it closes. Width and Height are its frame in pixels of the device it was
// recorded for; drawing it stretches the frame onto the destination without clipping.
class Metafile {
public:
    Metafile();
    Metafile(const Metafile& other) = default;
    Metafile& operator=(const Metafile& other) = default;
    ~Metafile();

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    void SetWidth(int32_t width) { width_ = width; }
    void SetHeight(int32_t height) { height_ = height; }
    void SetSize(int32_t width, int32_t height);

    // No records (a sized but undrawn metafile is still empty).
    bool Empty() const;
    // Drops the records and the size.
    void Clear();
    void Assign(const Metafile& source) { *this = source; }
    size_t RecordCount() const;
    // True when some record needs a raster target (inversion, exclusive-or pens).
    bool HasRasterOps() const;
    // The records, shared with every copy; never null.
    const std::shared_ptr<const MetafileData>& Data() const { return data_; }

private:
    friend class TMetafileCanvas;
    std::shared_ptr<const MetafileData> data_;
    int32_t width_ = 0;
    int32_t height_ = 0;
};

// A canvas that records into a metafile for a reference device (the printer): text is
// measured at that device's resolution. The metafile receives the new records when the
// canvas closes; until then it keeps its old picture, so it may be drawn into its own canvas.
class TMetafileCanvas : public TCanvas {
public:
    TMetafileCanvas(Metafile& metafile, const TDeviceCaps& reference);
    ~TMetafileCanvas() override;

    void Close();
    bool IsRaster() const override { return false; }

protected:
    void DoLine(TPoint from, TPoint to) override;
    void DoMoveTo(TPoint) override;
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
    void SyncPen();
    void SyncBrush();
    void SyncText();
    void AddShape(uint8_t kind, const TRect& r);

    Metafile* metafile_;
    std::shared_ptr<MetafileData> data_;
    bool chainOpen_ = false;
};

} // namespace vx
