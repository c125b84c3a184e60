#pragma once

#include <functional>

namespace vx {

// An engine object that composes its picture outside paint events: Qt sends no paint event
// to a hidden window, yet pages must compose (and clear their busy flags) whether or not a
// window shows them. Its host copies the composed picture to the screen in paintEvent.
class TEnginePaintable {
public:
    // Composes the picture; runs from the coalesced engine paint or ProcessMessages.
    virtual void EnginePaint() = 0;

protected:
    TEnginePaintable() = default;
    TEnginePaintable(const TEnginePaintable&) = delete;
    TEnginePaintable& operator=(const TEnginePaintable&) = delete;
    // A pending paint of a destroyed object is dropped.
    virtual ~TEnginePaintable();
};

// Asks for one engine paint of the object; requests made before it runs are coalesced into
// one paint, which a zero-delay timer runs from the event loop.
void Invalidate(TEnginePaintable& object);
bool PaintPending(const TEnginePaintable& object);
// Qt's event processing, then every pending engine paint. Never call it from a paint event;
// callers re-check their objects afterwards, since any of them may have gone.
void ProcessMessages();
// Processes messages until the predicate holds or limitMs have passed; the predicate's last
// value.
bool WaitUntil(const std::function<bool()>& predicate, int limitMs);

} // namespace vx
