#include "report/view/PageView.h"

#include "platform/graphics/PainterCanvas.h"
#include "platform/ui/DragDrop.h"
#include "platform/ui/Guard.h"
#include "platform/ui/QtInput.h"
#include "platform/ui/StringGrid.h"
#include "report/Intestazione.h"
#include "report/WPPage.h"

#include <QDropEvent>
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
    setAcceptDrops(true);
}

TPageView::~TPageView() {
    SetPage(nullptr);
}

void TPageView::SetPage(TWPPage* page) {
    if (page == page_)
        return;
    if (page_) {
        BindObjects(false);
        page_->OnViewChanged = nullptr;
    }
    page_ = page;
    captured_ = nullptr;
    router_.reset();
    pageCaptured_ = false;
    pictures_.clear();
    if (page_)
        page_->OnViewChanged = [this](TWPPage&) {
            if (OnViewChanged)
                OnViewChanged();
            else
                Sync();
        };
    Sync();
}

// A page object whose picture was composed again shows it through the page view.
void TPageView::BindObjects(bool bind) {
    for (TMetaobj* o : page_->Objects())
        o->OnPictureShown = bind ? std::function<void()>([this] { update(); }) : nullptr;
}

void TPageView::Sync() {
    if (!page_) {
        hide();
        return;
    }
    // The content object may have come since the last time.
    BindObjects(true);
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
    const std::vector<TMetaobj*> objects = page_->Objects();
    std::erase_if(pictures_, [&](const auto& entry) {
        return std::find(objects.begin(), objects.end(), entry.first) == objects.end();
    });
    for (const TMetaobj* o : objects) {
        if (!o->Visible() || !o->Enabled())
            continue;
        const QRect bounds = BoundsOf(*o);
        const Metafile& picture = o->GetMetafile();
        if (!picture.Empty() && picture.Width() > 0 && picture.Height() > 0 && !bounds.isEmpty())
            painter.drawImage(bounds.topLeft(), pictures_[o].Image(picture, bounds.size()));
        if (const std::optional<TRect> overlay = o->FocusOverlay()) {
            painter.save();
            painter.translate(bounds.topLeft());
            PaintFocusOverlay(painter, *overlay);
            painter.restore();
        }
    }

    // The page's drag rectangle and the tables' border line, inverted as the desktop's focus
    // rectangles and lines were.
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

void TPageView::Press(QMouseEvent* event, bool doubleClick) {
    if (!page_)
        return;
    const QPoint p = event->position().toPoint();
    TMetaobj* target = ObjectAt(p.x(), p.y());
    captured_ = target;
    pageCaptured_ = target == nullptr;
    router_.reset();
    Guard([&] {
        if (target) {
            router_.emplace(*target);
            const QPoint local = p - BoundsOf(*target).topLeft();
            if (doubleClick)
                router_->DoubleClick(*event, local);
            else
                router_->Press(*event, local);
        } else {
            page_->PageMouseDown(MouseButtonOf(event->button()), ShiftStateOf(*event), p.x(),
                                 p.y());
        }
    });
    update();
}

void TPageView::mousePressEvent(QMouseEvent* event) {
    Press(event, false);
}

void TPageView::mouseDoubleClickEvent(QMouseEvent* event) {
    Press(event, true);
}

void TPageView::mouseMoveEvent(QMouseEvent* event) {
    if (!page_)
        return;
    const QPoint p = event->position().toPoint();
    const bool pressed = event->buttons() != Qt::NoButton;
    TMetaobj* target = pressed ? (Alive(captured_) ? captured_ : nullptr) : ObjectAt(p.x(), p.y());
    const bool toPage = pressed ? pageCaptured_ : target == nullptr;
    Guard([&] {
        if (target) {
            const QPoint local = p - BoundsOf(*target).topLeft();
            if (pressed && router_)
                router_->Move(*event, local);
            else
                MetaobjMouseRouter(*target).Move(*event, local);
        } else if (toPage) {
            page_->PageMouseMove(ShiftStateOf(*event), p.x(), p.y());
        }
    });
    UpdateCursor(target);
    update();
}

void TPageView::mouseReleaseEvent(QMouseEvent* event) {
    if (!page_)
        return;
    const QPoint p = event->position().toPoint();
    TMetaobj* target = Alive(captured_) ? captured_ : nullptr;
    const bool toPage = pageCaptured_;
    std::optional<MetaobjMouseRouter> router = std::move(router_);
    router_.reset();
    captured_ = nullptr;
    pageCaptured_ = false;
    Guard([&] {
        if (target && router)
            router->Release(*event, p - BoundsOf(*target).topLeft());
        else if (toPage)
            page_->PageMouseUp(MouseButtonOf(event->button()), ShiftStateOf(*event), p.x(), p.y());
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

TIntestazione* TPageView::DropTable(const QWidget* source, QPoint at) const {
    if (!page_ || !qobject_cast<const TStringGrid*>(source))
        return nullptr;
    TMetaobj* target = ObjectAt(at.x(), at.y());
    for (TIntestazione* table : {page_->Header(), page_->Footer()})
        if (table && table == target && table->EditMode())
            return table;
    return nullptr;
}

void TPageView::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void TPageView::dragMoveEvent(QDragMoveEvent* event) {
    if (DropTable(DragSource(event->mimeData()), event->position().toPoint()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TPageView::dropEvent(QDropEvent* event) {
    const QPoint p = event->position().toPoint();
    const auto* grid = qobject_cast<const TStringGrid*>(DragSource(event->mimeData()));
    TIntestazione* table = DropTable(grid, p);
    if (!table) {
        event->ignore();
        return;
    }
    bool dropped = false;
    Guard([&] {
        const int col = grid->Col();
        const int row = grid->Row();
        dropped = table->DropGridCell(p.x() - table->Left(), p.y() - table->Top(), grid->Tag, col,
                                      row, grid->Cells(col, row));
    });
    if (dropped)
        event->acceptProposedAction();
    else
        event->ignore();
    update();
}

} // namespace vx
