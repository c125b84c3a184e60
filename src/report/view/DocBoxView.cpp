#include "report/view/DocBoxView.h"

#include "platform/ui/Guard.h"
#include "platform/ui/QtInput.h"
#include "report/DocBox.h"
#include "report/WPPage.h"
#include "report/view/PageView.h"

#include <QResizeEvent>
#include <QWheelEvent>

#include <algorithm>

namespace vx {

TDocBoxView::TDocBoxView(TDocBox* box, QWidget* parent)
    : QScrollArea(parent), box_(box), surface_(new QWidget), pageView_(new TPageView(surface_)) {
    setObjectName(QStringLiteral("DocBoxView"));
    setWidgetResizable(false);
    setWidget(surface_);
    pageView_->hide();
    pageView_->OnViewChanged = [this] { Relayout(); };
    box_->OnShownPageChanged = [this](TDocBox&) { Relayout(); };
    Relayout();
}

TDocBoxView::~TDocBoxView() {
    box_->OnShownPageChanged = nullptr;
    pageView_->SetPage(nullptr);
}

void TDocBoxView::Relayout() {
    TWPPage* page = box_->ShownPage();
    if (pageView_->Page() != page)
        pageView_->SetPage(page);
    // The surface covers the client area and reaches past the page, so the bars appear
    // only when the page does not fit.
    QSize size = viewport()->size();
    if (page)
        size = size.expandedTo(QSize(page->Left() + page->Width(), page->Top() + page->Height()));
    surface_->resize(size);
    pageView_->Sync();
}

void TDocBoxView::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    box_->SetClientSize(viewport()->width(), viewport()->height());
    Relayout();
}

void TDocBoxView::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    const TMouseWheelEvent& handler = delta < 0 ? OnMouseWheelDown : OnMouseWheelUp;
    bool handled = false;
    if (delta != 0 && handler) {
        const QPoint p = event->position().toPoint();
        Guard([&] {
            handler(this, ShiftStateOf(event->modifiers(), event->buttons()), TPoint{p.x(), p.y()},
                    handled);
        });
    }
    if (handled) {
        event->accept();
        return;
    }
    QScrollArea::wheelEvent(event);
}

} // namespace vx
