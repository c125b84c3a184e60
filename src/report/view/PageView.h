#pragma once

#include "platform/runtime/Input.h"

#include <QPointer>
#include <QWidget>

#include <functional>

namespace vx {

class TMetaobj;
class TWPPage;

// The shown page at its Left, Top and screen size. Painting only copies: the page's client
// fill, its background and margin frame stretched into PrintableRectOnScreen, each visible and
// enabled object's picture stretched into its screen bounds, then the drag feedback. The mouse
// goes to the topmost visible, enabled object under the pointer, in its own coordinates, and
// otherwise to the page's handlers.
class TPageView : public QWidget {
    Q_OBJECT
public:
    explicit TPageView(QWidget* parent = nullptr);
    ~TPageView() override;

    TWPPage* Page() const { return page_; }
    // Binds the page's view event; the previous page is let go.
    void SetPage(TWPPage* page);
    // Follows the page's bounds and repaints.
    void Sync();
    // Replaces Sync when the page reports a change, for a host that places the view.
    std::function<void()> OnViewChanged;

    // The topmost visible, enabled object at a point of the page, or null.
    TMetaobj* ObjectAt(int32_t x, int32_t y) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Press(QMouseEvent* event, TShiftState extra);
    void UpdateCursor(const TMetaobj* target);
    bool Alive(const TMetaobj* object) const;

    TWPPage* page_ = nullptr;
    // The object that took the press; it gets the moves and the release.
    TMetaobj* captured_ = nullptr;
    bool pageCaptured_ = false;
};

} // namespace vx
