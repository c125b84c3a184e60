#include "report/canvasObj.h"

#include "platform/graphics/GraphicsMeta.h"
#include "platform/graphics/Printer.h"
#include "platform/runtime/Numbers.h"

#include <algorithm>

namespace vx {

TcanvasObj::TcanvasObj(TComponent* owner) : TComponent(owner), CreationTime(Time()) {}

TcanvasObj::~TcanvasObj() = default;

bool TcanvasObj::HitTest(int32_t x, int32_t y, bool single) {
    const TRect& r = BoundsRect;
    if (x < r.Left || x > r.Right || y < r.Top || y > r.Bottom)
        return false;
    if (single && OnClick)
        OnClick(this);
    else if (OnDblClick)
        OnDblClick(this);
    return true;
}

int32_t TcanvasObj::ScaleToDevice(int32_t a, int32_t b) {
    return std::max(1, MulDiv(Printer().GetDeviceCaps(LOGPIXELSY), a, b));
}

void TcanvasObj::AssignFont(TCanvas& canvas, const TFont& font) {
    canvas.Font.Assign(font);
    FitFontToDevice(canvas);
}

void FitFontToPrinterResolution(TFont& font) {
    const int32_t size = font.Size();
    font.SetPixelsPerInch(Printer().GetDeviceCaps(LOGPIXELSY));
    font.SetSize(size < 144 ? size + 1 : size - 1);
    font.SetSize(size);
}

void TcanvasObj::FitFontToDevice(TCanvas& canvas) {
    FitFontToPrinterResolution(canvas.Font);
}

void TcanvasObj::RotateFont(TCanvas& canvas, int32_t angle) {
    RotateCanvasFont(canvas, angle);
}

void RotateCanvasFont(TCanvas& canvas, int32_t angle) {
    LOGFONTA lf = canvas.Font.LogFont();
    lf.lfEscapement = angle * 10;
    lf.lfOrientation = angle * 10;
    lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    canvas.Font.SetLogFont(lf);
}

const TClassInfo& TcanvasObj::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TcanvasObj>("TcanvasObj", &TComponent::StaticClassInfo())
            .Object<TPen>("Pen", PenClassInfo(), [](TcanvasObj& o) { return &o.Pen; })
            .Build();
    return info;
}

} // namespace vx
