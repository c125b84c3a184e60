#pragma once

#include "platform/graphics/Metafile.h"
#include "platform/ui/QtInput.h"
#include "report/Metaobj.h"

#include <QCursor>
#include <QImage>
#include <QWidget>

#include <memory>

class QMouseEvent;
class QPainter;

namespace vx {

// Hands Qt's mouse events to a page object in the class library's order: a press is
// MouseDown; a release is Click (left button pressed and released inside, not the end of a
// double click) then MouseUp; a double click is DblClick then MouseDown with ssDouble. The
// page view routes to each of its objects through one of these.
class MetaobjMouseRouter {
public:
    explicit MetaobjMouseRouter(TMetaobj& object) : object_(object) {}
    // Positions are in the object's control coordinates.
    void Press(const QMouseEvent& event, QPoint pos);
    void DoubleClick(const QMouseEvent& event, QPoint pos);
    void Move(const QMouseEvent& event, QPoint pos);
    void Release(const QMouseEvent& event, QPoint pos);

private:
    TMetaobj& object_;
    bool clicked_ = false;
};

// The picture of a page object scaled to its control, rendered again only when the picture
// or the size changed. It does not keep the picture's records alive: a graph's old picture of
// a million markers is freed while its new one is drawn.
class MetaobjPicture {
public:
    const QImage& Image(const Metafile& metafile, QSize size);
    int RenderCount() const { return renders_; }

private:
    std::weak_ptr<const MetafileData> data_;
    QSize pictureSize_;
    QSize size_;
    QImage image_;
    int renders_ = 0;
};

// The drag feedback of a page object: a dotted frame just inside the rectangle.
void PaintFocusOverlay(QPainter& painter, const TRect& rect);

// Hosts one page object as a widget at the object's screen bounds: copies its picture,
// paints its drag overlay, hands it the mouse and shows the cursor it asks for. The object
// must outlive the view.
class MetaobjView : public QWidget {
public:
    explicit MetaobjView(TMetaobj& object, QWidget* parent = nullptr);
    ~MetaobjView() override;

    TMetaobj& Object() const { return object_; }
    int RenderCount() const { return picture_.RenderCount(); }
    // Moves and sizes the widget to the object's screen bounds.
    void SyncGeometry();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void AfterMouse();

    TMetaobj& object_;
    MetaobjMouseRouter router_;
    MetaobjPicture picture_;
};

} // namespace vx
