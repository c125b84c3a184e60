#include "platform/graphics/Metafile.h"

#include "platform/graphics/MetafileData.h"

namespace vx {

namespace {

const std::shared_ptr<const MetafileData>& EmptyData() {
    static const std::shared_ptr<const MetafileData> empty = std::make_shared<MetafileData>();
    return empty;
}

} // namespace

Metafile::Metafile() : data_(EmptyData()) {}

Metafile::~Metafile() = default;

void Metafile::SetSize(int32_t width, int32_t height) {
    width_ = width;
    height_ = height;
}

bool Metafile::Empty() const {
    return data_->Records.empty();
}

void Metafile::Clear() {
    data_ = EmptyData();
    width_ = height_ = 0;
}

size_t Metafile::RecordCount() const {
    return data_->Records.size();
}

bool Metafile::HasRasterOps() const {
    return data_->HasRasterOps;
}

TMetafileCanvas::TMetafileCanvas(Metafile& metafile, const TDeviceCaps& reference)
    : TCanvas(reference), metafile_(&metafile), data_(std::make_shared<MetafileData>()) {}

TMetafileCanvas::~TMetafileCanvas() {
    Close();
}

void TMetafileCanvas::Close() {
    if (!metafile_)
        return;
    data_->Ints.shrink_to_fit();
    metafile_->data_ = std::move(data_);
    metafile_ = nullptr;
}

// State records are written only when a drawing record needs a state that differs from the
// one in force, so a long run of lines costs one pen record.
void TMetafileCanvas::SyncPen() {
    auto& d = *data_;
    if (!d.Pens.empty() && d.Pens.back() == Pen)
        return;
    d.Pens.push_back(Pen);
    d.Records.push_back({MetaRecordKind::SetPen, 0, 0, uint32_t(d.Pens.size() - 1)});
    chainOpen_ = false;
}

void TMetafileCanvas::SyncBrush() {
    auto& d = *data_;
    if (!d.Brushes.empty() && d.Brushes.back() == Brush)
        return;
    d.Brushes.push_back(Brush);
    d.Records.push_back({MetaRecordKind::SetBrush, 0, 0, uint32_t(d.Brushes.size() - 1)});
    chainOpen_ = false;
}

void TMetafileCanvas::SyncText() {
    auto& d = *data_;
    MetaTextState s{Font.LogFont(), Font.Color(), TextAlign()};
    if (!d.TextStates.empty() && d.TextStates.back() == s)
        return;
    d.TextStates.push_back(s);
    d.Records.push_back({MetaRecordKind::SetText, 0, 0, uint32_t(d.TextStates.size() - 1)});
}

void TMetafileCanvas::DoMoveTo(TPoint) {
    chainOpen_ = false;
}

void TMetafileCanvas::DoLine(TPoint from, TPoint to) {
    SyncPen();
    if (Pen.Mode != pmCopy)
        data_->HasRasterOps = true;
    auto& d = *data_;
    // The chain is open only while nothing else was recorded since its last point, which is
    // then the pen position.
    if (chainOpen_) {
        d.Ints.push_back(to.X);
        d.Ints.push_back(to.Y);
        ++d.Records.back().Count;
        return;
    }
    d.Records.push_back({MetaRecordKind::Polyline, uint32_t(d.Ints.size()), 2, 0});
    d.Ints.insert(d.Ints.end(), {from.X, from.Y, to.X, to.Y});
    chainOpen_ = true;
}

void TMetafileCanvas::DoPolyline(const TPoint* points, size_t count) {
    SyncPen();
    if (Pen.Mode != pmCopy)
        data_->HasRasterOps = true;
    auto& d = *data_;
    d.Records.push_back({MetaRecordKind::Polyline, uint32_t(d.Ints.size()), uint32_t(count), 0});
    for (size_t i = 0; i < count; ++i) {
        d.Ints.push_back(points[i].X);
        d.Ints.push_back(points[i].Y);
    }
    chainOpen_ = false;
}

void TMetafileCanvas::DoPolygon(const TPoint* points, size_t count) {
    SyncPen();
    SyncBrush();
    if (Pen.Mode != pmCopy)
        data_->HasRasterOps = true;
    auto& d = *data_;
    d.Records.push_back({MetaRecordKind::Polygon, uint32_t(d.Ints.size()), uint32_t(count), 0});
    for (size_t i = 0; i < count; ++i) {
        d.Ints.push_back(points[i].X);
        d.Ints.push_back(points[i].Y);
    }
    chainOpen_ = false;
}

void TMetafileCanvas::AddShape(uint8_t kind, const TRect& r) {
    auto& d = *data_;
    d.Records.push_back({static_cast<MetaRecordKind>(kind), uint32_t(d.Ints.size()), 0, 0});
    d.Ints.insert(d.Ints.end(), {r.Left, r.Top, r.Right, r.Bottom});
    chainOpen_ = false;
}

void TMetafileCanvas::DoRectangle(const TRect& r) {
    SyncPen();
    SyncBrush();
    if (Pen.Mode != pmCopy)
        data_->HasRasterOps = true;
    AddShape(uint8_t(MetaRecordKind::Rectangle), r);
}

void TMetafileCanvas::DoEllipse(const TRect& r) {
    SyncPen();
    SyncBrush();
    if (Pen.Mode != pmCopy)
        data_->HasRasterOps = true;
    AddShape(uint8_t(MetaRecordKind::Ellipse), r);
}

void TMetafileCanvas::DoFillRect(const TRect& r) {
    SyncBrush();
    AddShape(uint8_t(MetaRecordKind::FillRect), r);
}

void TMetafileCanvas::DoInvertRect(const TRect& r) {
    data_->HasRasterOps = true;
    AddShape(uint8_t(MetaRecordKind::InvertRect), r);
}

void TMetafileCanvas::DoText(int32_t x, int32_t y, std::string_view text, const TRect* clip) {
    SyncBrush();
    SyncText();
    auto& d = *data_;
    d.Texts.emplace_back(text);
    const auto index = uint32_t(d.Texts.size() - 1);
    if (clip) {
        d.Records.push_back({MetaRecordKind::ClippedText, uint32_t(d.Ints.size()), 0, index});
        d.Ints.insert(d.Ints.end(), {x, y, clip->Left, clip->Top, clip->Right, clip->Bottom});
    } else {
        d.Records.push_back({MetaRecordKind::Text, uint32_t(d.Ints.size()), 0, index});
        d.Ints.insert(d.Ints.end(), {x, y});
    }
    chainOpen_ = false;
}

void TMetafileCanvas::DoDrawMetafile(const TRect& dest, const Metafile& metafile) {
    auto& d = *data_;
    d.Metafiles.push_back(metafile);
    d.HasRasterOps = d.HasRasterOps || metafile.HasRasterOps();
    d.Records.push_back({MetaRecordKind::DrawMetafile, uint32_t(d.Ints.size()), 0,
                         uint32_t(d.Metafiles.size() - 1)});
    d.Ints.insert(d.Ints.end(), {dest.Left, dest.Top, dest.Right, dest.Bottom});
    chainOpen_ = false;
}

void TMetafileCanvas::DoDrawBitmap(const TRect& dest, const Bitmap& bitmap, const TRect& source) {
    auto& d = *data_;
    d.Bitmaps.push_back(bitmap);
    d.Records.push_back(
        {MetaRecordKind::DrawBitmap, uint32_t(d.Ints.size()), 0, uint32_t(d.Bitmaps.size() - 1)});
    d.Ints.insert(d.Ints.end(), {dest.Left, dest.Top, dest.Right, dest.Bottom, source.Left,
                                 source.Top, source.Right, source.Bottom});
    chainOpen_ = false;
}

} // namespace vx
