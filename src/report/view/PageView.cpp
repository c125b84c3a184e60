#include "report/view/PageView.h"

#include "platform/graphics/PainterCanvas.h"
#include "platform/ui/Guard.h"
#include "platform/ui/QtInput.h"
#include "report/Intestazione.h"
#include "report/WPPage.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace vx {

namespace {

QRect BoundsOf(const TMetaobj& o) {
    return {o.Left(), o.Top(), o.Width(), o.Height()};
}

} // namespace

TPageView::TPageView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PageView"));
    setMouseTracking(true);
}

TPageView::~TPageView() {
    SetPage(nullptr);
}

void TPageView::SetPage(TWPPage* page) {
    if (page == page_)
        return;
    if (page_)
        page_->OnViewChanged = nullptr;
    page_ = page;
    captured_ = nullptr;
    pageCaptured_ = false;
    if (page_)
        page_->OnViewChanged = [this](TWPPage&) {
            if (OnViewChanged)
                OnViewChanged();
            else
                Sync();
        };
    Sync();
}

void TPageView::Sync() {
    if (!page_) {
        hide();
        return;
    }
    const QRect bounds(page_->Left(), page_->Top(), page_->Width(), page_->Height());
    if (geometry() != bounds)
        setGeometry(bounds);
    show();
    update();
}

bool TPageView::Alive(const TMetaobj* object) const {
    if (!page_ || !object)
        return false;
    const std::vector<TMetaobj*> objects = page_->Objects();
    return std::find(objects.begin(), objects.end(), object) != objects.end();
}

TMetaobj* TPageView::ObjectAt(int32_t x, int32_t y) const {
    if (!page_)
        return nullptr;
    const std::vector<TMetaobj*> objects = page_->Objects();
    // Later children stand above earlier ones.
    for (auto it = objects.rbegin(); it != objects.rend(); ++it)
        if ((*it)->Visible() && (*it)->Enabled() && BoundsOf(**it).contains(x, y))
            return *it;
    return nullptr;
}

void TPageView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!page_)
        return;
    const QRectF printable(page_->PrintableRectOnScreen(0), page_->PrintableRectOnScreen(1),
                           page_->PrintableRectOnScreen(2) - page_->PrintableRectOnScreen(0),
                           page_->PrintableRectOnScreen(3) - page_->PrintableRectOnScreen(1));
    PlayMetafile(painter, page_->Background(), printable);
    PlayMetafile(painter, page_->MarginFrame(), printable);
    for (const TMetaobj* o : page_->Objects())
        if (o->Visible() && o->Enabled())
            PlayMetafile(painter, o->GetMetafile(), BoundsOf(*o));

    // Drag feedback, inverted as the desktop's focus rectangles and lines were.
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    if (const std::optional<TRect> drag = page_->DragRect()) {
        painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(drag->Left, drag->Top, drag->Width() - 1, drag->Height() - 1);
    }
    painter.setPen(QPen(Qt::white, 1));
    for (const TIntestazione* table : {page_->Header(), page_->Footer()}) {
        const TIntestazione::TDragLine& line = table->DragLine();
        if (line.Visible && table->Visible() && table->Enabled())
            painter.drawLine(line.From.X + table->Left(), line.From.Y + table->Top(),
                             line.To.X + table->Left(), line.To.Y + table->Top());
    }
}

void TPageView::Press(QMouseEvent* event, TShiftState extra) {
    if (!page_)
        return;
    const QPoint p = event->position().toPoint();
    const TMouseButton button = MouseButtonOf(event->button());
    const TShiftState shift = ShiftStateOf(event->modifiers(), event->buttons()) | extra;
    TMetaobj* target = ObjectAt(p.x(), p.y());
    captured_ = target;
    pageCaptured_ = target == nullptr;
    Guard([&] {
        if (target)
            target->MouseDown(button, shift, p.x() - target->Left(), p.y() - target->Top());
        else
            page_->PageMouseDown(button, shift, p.x(), p.y());
    });
    update();
}

void TPageView::mousePressEvent(QMouseEvent* event) {
    Press(event, 0);
}

void TPageView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!page_)
        return;
    const QPoint p = event->position().toPoint();
    if (TMetaobj* target = ObjectAt(p.x(), p.y())) {
        Guard([&] { target->DblClick(); });
        if (!Alive(target))
            return;
    }
    Press(event, ssDouble);
}

void TPageView::mouseMoveEvent(QMouseEvent* event) {
    if (!page_)
        return;
    const QPoint p = event->position().toPoint();
    const TShiftState shift = ShiftStateOf(event->modifiers(), event->buttons());
    const bool pressed = event->buttons() != Qt::NoButton;
    TMetaobj* target = pressed ? (Alive(captured_) ? captured_ : nullptr) : ObjectAt(p.x(), p.y());
    const bool toPage = pressed ? pageCaptured_ : target == nullptr;
    Guard([&] {
        if (target)
            target->MouseMove(shift, p.x() - target->Left(), p.y() - target->Top());
        else if (toPage)
            page_->PageMouseMove(shift, p.x(), p.y());
    });
    UpdateCursor(target);
    update();
}

void TPageView::mouseReleaseEvent(QMouseEvent* event) {
    if (!page_)
        return;
    const QPoint p = event->position().toPoint();
    const TMouseButton button = MouseButtonOf(event->button());
    const TShiftState shift = ShiftStateOf(event->modifiers(), event->buttons());
    TMetaobj* target = Alive(captured_) ? captured_ : nullptr;
    const bool toPage = pageCaptured_;
    captured_ = nullptr;
    pageCaptured_ = false;
    Guard([&] {
        if (target) {
            target->MouseUp(button, shift, p.x() - target->Left(), p.y() - target->Top());
            if (Alive(target) && button == mbLeft && BoundsOf(*target).contains(p))
                target->Click();
        } else if (toPage) {
            page_->PageMouseUp(button, shift, p.x(), p.y());
        }
    });
    UpdateCursor(ObjectAt(p.x(), p.y()));
    update();
}

void TPageView::UpdateCursor(const TMetaobj* target) {
    if (!page_)
        return;
    // Over the header's lower or the footer's upper edge the page's sizing cursor wins.
    const bool pageEdge = page_->DragTarget() != 0 || page_->Dragging();
    setCursor(CursorShapeOf(target && !pageEdge ? target->Cursor : page_->Cursor()));
}

} // namespace vx
