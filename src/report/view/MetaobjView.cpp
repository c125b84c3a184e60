#include "report/view/MetaobjView.h"

#include "platform/graphics/PainterCanvas.h"
#include "platform/ui/Guard.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPen>

namespace vx {

void MetaobjMouseRouter::Press(const QMouseEvent& event, QPoint pos) {
    clicked_ = event.button() == Qt::LeftButton;
    object_.MouseDown(MouseButtonOf(event.button()), ShiftStateOf(event), pos.x(), pos.y());
}

void MetaobjMouseRouter::DoubleClick(const QMouseEvent& event, QPoint pos) {
    // The release that ends a double click is no click.
    clicked_ = false;
    if (event.button() == Qt::LeftButton)
        object_.DblClick();
    object_.MouseDown(MouseButtonOf(event.button()), ShiftStateOf(event), pos.x(), pos.y());
}

void MetaobjMouseRouter::Move(const QMouseEvent& event, QPoint pos) {
    object_.MouseMove(ShiftStateOf(event), pos.x(), pos.y());
}

void MetaobjMouseRouter::Release(const QMouseEvent& event, QPoint pos) {
    const bool inside =
        pos.x() >= 0 && pos.y() >= 0 && pos.x() < object_.Width() && pos.y() < object_.Height();
    if (clicked_ && event.button() == Qt::LeftButton) {
        clicked_ = false;
        if (inside)
            object_.Click();
    }
    object_.MouseUp(MouseButtonOf(event.button()), ShiftStateOf(event), pos.x(), pos.y());
}

const QImage& MetaobjPicture::Image(const Metafile& metafile, QSize size) {
    const QSize pictureSize(metafile.Width(), metafile.Height());
    if (image_.isNull() || data_.lock() != metafile.Data() || size_ != size ||
        pictureSize_ != pictureSize) {
        data_ = metafile.Data();
        size_ = size;
        pictureSize_ = pictureSize;
        image_ = RenderMetafile(metafile, std::max(1, size.width()), std::max(1, size.height()),
                                clWhite);
        ++renders_;
    }
    return image_;
}

void PaintFocusOverlay(QPainter& painter, const TRect& rect) {
    painter.save();
    QPen pen(Qt::black, 1, Qt::DotLine);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    // A one-pixel outline of QRect(x, y, w, h) covers x..x + w: the right and bottom lines
    // fall on the rectangle's last pixels, inside it, as a focus rectangle's do.
    painter.drawRect(
        QRect(rect.Left, rect.Top, rect.Right - 1 - rect.Left, rect.Bottom - 1 - rect.Top));
    painter.restore();
}

MetaobjView::MetaobjView(TMetaobj& object, QWidget* parent)
    : QWidget(parent), object_(object), router_(object) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    object_.OnPictureShown = [this] {
        SyncGeometry();
        update();
    };
    SyncGeometry();
}

MetaobjView::~MetaobjView() {
    object_.OnPictureShown = nullptr;
}

void MetaobjView::SyncGeometry() {
    const QRect bounds(object_.Left(), object_.Top(), object_.Width(), object_.Height());
    if (geometry() != bounds)
        setGeometry(bounds);
}

void MetaobjView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const Metafile& metafile = object_.GetMetafile();
    if (metafile.Empty() || metafile.Width() <= 0 || metafile.Height() <= 0)
        painter.fillRect(rect(), Qt::white);
    else
        painter.drawImage(QPoint(0, 0), picture_.Image(metafile, size()));
    if (const auto overlay = object_.FocusOverlay())
        PaintFocusOverlay(painter, *overlay);
}

void MetaobjView::mousePressEvent(QMouseEvent* event) {
    Guard([&] { router_.Press(*event, event->position().toPoint()); });
    AfterMouse();
}

void MetaobjView::mouseDoubleClickEvent(QMouseEvent* event) {
    Guard([&] { router_.DoubleClick(*event, event->position().toPoint()); });
    AfterMouse();
}

void MetaobjView::mouseMoveEvent(QMouseEvent* event) {
    Guard([&] { router_.Move(*event, event->position().toPoint()); });
    AfterMouse();
}

void MetaobjView::mouseReleaseEvent(QMouseEvent* event) {
    Guard([&] { router_.Release(*event, event->position().toPoint()); });
    AfterMouse();
}

// The cursor and the overlay may have changed with any event.
void MetaobjView::AfterMouse() {
    setCursor(CursorShapeOf(object_.Cursor));
    update();
}

} // namespace vx
