#pragma once

// What every control of the kit shares: the class library's event signature, the font object
// that translation and tests reach by name, and the ParentFont rule.

#include "platform/runtime/Input.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

class QWidget;

namespace vx {

// Handlers receive the control that raised the event, as the class library's did.
using TNotifyEvent = std::function<void(QObject* sender)>;
// x, y: client pixels of the sender.
using TMouseEvent = std::function<void(QObject* sender, TMouseButton button, TShiftState shift,
                                       int32_t x, int32_t y)>;
using TMouseMoveEvent =
    std::function<void(QObject* sender, TShiftState shift, int32_t x, int32_t y)>;

// The "Font" object of a control: its face name and character set as properties, so that code
// that knows only property names can change them. Writing Name gives the control a font of its
// own (ParentFont becomes false), as the class library did.
class TControlFont : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_PROPERTY(int Charset READ Charset WRITE SetCharset)
    Q_PROPERTY(int Size READ Size WRITE SetSize)

public:
    explicit TControlFont(QWidget* control);

    QString Name() const;
    void SetName(const QString& name);
    // Kept for the stored forms; Qt picks glyphs by Unicode and needs no character set.
    int Charset() const { return charset_; }
    void SetCharset(int charset) { charset_ = charset; }
    // Points.
    int Size() const;
    void SetSize(int size);

private:
    QWidget* control_;
    int charset_ = 1; // DEFAULT_CHARSET
};

// Sets a control's bounds in its parent's client pixels and hands it back, so that a window
// built in code places each child where it is made.
template <class T>
T* Placed(T* control, int left, int top, int width, int height) {
    control->setGeometry(left, top, width, height);
    return control;
}

// ParentFont: true while the widget shows its parent's font.
bool ParentFontOf(const QWidget* widget);
void SetParentFontOf(QWidget* widget, bool parentFont);

} // namespace vx
