#pragma once

#include "platform/runtime/Input.h"
#include "report/view/MetaobjView.h"

#include <QWidget>

#include <functional>
#include <map>
#include <optional>

namespace vx {

class TIntestazione;
class TMetaobj;
class TWPPage;

// The shown page at its Left, Top and screen size. Painting only copies: the page's client
// fill, its background and margin frame stretched into PrintableRectOnScreen, each visible and
// enabled object's picture stretched into its screen bounds, then the drag feedback. The mouse
// goes to the topmost visible, enabled object under the pointer, in its own coordinates and
// order as a MetaobjView hands it on, and otherwise to the page's handlers. A string grid's drag
// (BeginDrag) drops on the header or footer table in edit mode: the table takes the grid's
// current cell as a placeholder; every other drop is refused.
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
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void Press(QMouseEvent* event, bool doubleClick);
    void UpdateCursor(const TMetaobj* target);
    bool Alive(const TMetaobj* object) const;
    void BindObjects(bool bind);
    // The table in edit mode under a point that takes a drag of the source, or null.
    TIntestazione* DropTable(const QWidget* source, QPoint at) const;

    TWPPage* page_ = nullptr;
    // The object that took the press; it gets the moves and the release.
    TMetaobj* captured_ = nullptr;
    std::optional<MetaobjMouseRouter> router_;
    bool pageCaptured_ = false;
    std::map<const TMetaobj*, MetaobjPicture> pictures_;
};

} // namespace vx
