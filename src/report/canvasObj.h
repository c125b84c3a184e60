#pragma once

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Pen.h"
#include "platform/runtime/Component.h"
#include "platform/runtime/DateTime.h"

#include <functional>

namespace vx {

// An event of an engine object; the sender is the object that fires it.
using TEngineNotifyEvent = std::function<void(TComponent* sender)>;

// Sets the font's resolution to the printer's LOGPIXELSY and rebuilds it at its point size:
// the size is nudged by one (down from 144 points, else up) and set back, which makes the
// class library build a new font at the new resolution.
void FitFontToPrinterResolution(TFont& font);

// The canvas font turned by angle degrees, counter-clockwise, as a TrueType-only font.
void RotateCanvasFont(TCanvas& canvas, int32_t angle);

// The base of what a graph draws inside its own picture (axes, series, legend): a rectangle
// in the graph's device pixels, a pen, and the scaling of pens and fonts to the printer,
// whose resolution every drawing uses, whatever canvas it draws on.
class TcanvasObj : public TComponent {
public:
    explicit TcanvasObj(TComponent* owner);
    ~TcanvasObj() override;

    // Set by the owner's layout before each draw.
    TRect BoundsRect;
    TDateTime CreationTime = 0;
    bool Selected = false;
    TEngineNotifyEvent OnClick;
    TEngineNotifyEvent OnDblClick;
    TPen Pen;

    // Each subclass stores the canvas first, then draws into it.
    virtual void Draw(TCanvas& canvas) = 0;

    // Edges inclusive. A hit fires OnClick when Single is true and OnClick is assigned,
    // else OnDblClick when assigned.
    bool HitTest(int32_t x, int32_t y, bool single);

    // MulDiv(the printer's LOGPIXELSY, a, b), at least 1: a length in 1/b inch in printer
    // pixels.
    static int32_t ScaleToDevice(int32_t a, int32_t b);
    void AssignFont(TCanvas& canvas, const TFont& font);
    // Keeps the point size and rebuilds the font at the printer's vertical resolution.
    void FitFontToDevice(TCanvas& canvas);
    // The canvas font turned by angle degrees, counter-clockwise, as a TrueType-only font.
    void RotateFont(TCanvas& canvas, int32_t angle);
    int32_t Width() const { return BoundsRect.Right - BoundsRect.Left; }

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

protected:
    // The canvas of the draw in progress; not owned.
    TCanvas* canvas_ = nullptr;
};

} // namespace vx
