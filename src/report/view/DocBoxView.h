#pragma once

#include "platform/runtime/Geometry.h"
#include "platform/runtime/Input.h"

#include <QScrollArea>

#include <functional>

namespace vx {

class TDocBox;
class TPageView;

// The scrolling host of a page container: its viewport is the container's client area and it
// shows the container's shown page. Mouse-wheel turns go to handlers the document window
// binds; a handler that sets handled keeps the area from scrolling.
class TDocBoxView : public QScrollArea {
    Q_OBJECT
public:
    using TMouseWheelEvent =
        std::function<void(QObject* sender, TShiftState shift, TPoint mousePos, bool& handled)>;

    explicit TDocBoxView(TDocBox* box, QWidget* parent = nullptr);
    ~TDocBoxView() override;

    TDocBox* Box() const { return box_; }
    TPageView* PageView() const { return pageView_; }
    // Shows the container's shown page at its place and size.
    void Relayout();

    TMouseWheelEvent OnMouseWheelDown;
    TMouseWheelEvent OnMouseWheelUp;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    TDocBox* box_;
    QWidget* surface_;
    TPageView* pageView_;
};

} // namespace vx
