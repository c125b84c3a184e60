#include "report/Metaobj.h"

#include "report/canvasObj.h"

namespace vx {

TMetaobj::TMetaobj(TComponent* owner) : TComponent(owner) {}

TMetaobj::~TMetaobj() = default;

void TMetaobj::SetParent(TMetaobjParent* parent) {
    parent_ = parent;
    Invalidate();
}

void TMetaobj::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
    if (left == left_ && top == top_ && width == width_ && height == height_)
        return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Invalidate();
}

void TMetaobj::SetVisible(bool visible) {
    if (visible_ == visible)
        return;
    visible_ = visible;
    Invalidate();
}

void TMetaobj::SetEnabled(bool enabled) {
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    Invalidate();
}

void TMetaobj::Invalidate() {
    // Without a page there is nothing to compose for.
    if (parent_)
        vx::Invalidate(*this);
}

bool TMetaobj::BoundsChanged() {
    bool changed = false;
    auto record = [&changed](int32_t& recorded, int32_t current) {
        if (recorded != current) {
            recorded = current;
            changed = true;
        }
    };
    record(recorded_.Left, left_);
    record(recorded_.Top, top_);
    record(recorded_.Width, width_);
    record(recorded_.Height, height_);
    return changed;
}

void TMetaobj::Paint() {
    if (!parent_)
        return;
    if (BoundsChanged() && !placedFromPage_) {
        pageRect_.Left = parent_->ScreenToPrinterX(left_);
        pageRect_.Right = pageRect_.Left + parent_->ScreenToPrinterX(width_);
        pageRect_.Top = parent_->ScreenToPrinterY(top_);
        pageRect_.Bottom = pageRect_.Top + parent_->ScreenToPrinterY(height_);
    }
}

void TMetaobj::DrawContent(TCanvas&) {}

void TMetaobj::ScreenToPrinterPoint(int32_t& x, int32_t& y) const {
    if (!parent_)
        return;
    x = parent_->ScreenToPrinterX(x);
    y = parent_->ScreenToPrinterY(y);
}

void TMetaobj::PrinterToScreenPoint(int32_t& x, int32_t& y) const {
    if (!parent_)
        return;
    x = parent_->PrinterToScreenX(x);
    y = parent_->PrinterToScreenY(y);
}

void TMetaobj::ScreenToPrinterRect(TRect& rect) const {
    ScreenToPrinterPoint(rect.Left, rect.Top);
    ScreenToPrinterPoint(rect.Right, rect.Bottom);
}

void TMetaobj::PrinterToScreenRect(TRect& rect) const {
    PrinterToScreenPoint(rect.Left, rect.Top);
    PrinterToScreenPoint(rect.Right, rect.Bottom);
}

int32_t TMetaobj::GetCoord(int kind) const {
    switch (kind) {
    case 0:
        return pageRect_.Left;
    case 1:
        return pageRect_.Top;
    case 2:
        return pageRect_.Right;
    case 3:
        return pageRect_.Bottom;
    case 4:
        return pageRect_.Right - pageRect_.Left;
    case 5:
        return pageRect_.Bottom - pageRect_.Top;
    default:
        return 0;
    }
}

// Width and height are differences of converted edges, so that adjacent objects meet on
// screen without gaps from rounding.
void TMetaobj::SetCoord(int kind, int32_t value) {
    switch (kind) {
    case 0:
        pageRect_.Left = value;
        break;
    case 1:
        pageRect_.Top = value;
        break;
    case 2:
        pageRect_.Right = value;
        break;
    case 3:
        pageRect_.Bottom = value;
        break;
    default:
        break; // no edge of that kind: the height is only re-applied
    }
    if (!parent_)
        return;
    const TMetaobjParent& p = *parent_;
    switch (kind) {
    case 0:
        SetLeft(p.PrinterToScreenX(pageRect_.Left));
        recorded_.Left = left_;
        break;
    case 1:
        SetTop(p.PrinterToScreenY(pageRect_.Top));
        recorded_.Top = top_;
        break;
    case 2:
        SetWidth(p.PrinterToScreenX(pageRect_.Right) - p.PrinterToScreenX(pageRect_.Left));
        recorded_.Width = width_;
        break;
    default:
        SetHeight(p.PrinterToScreenY(pageRect_.Bottom) - p.PrinterToScreenY(pageRect_.Top));
        recorded_.Height = height_;
        break;
    }
}

void TMetaobj::ApplyCoords() {
    if (!BoundsChanged())
        placedFromPage_ = true;
    if (!parent_)
        return;
    const TMetaobjParent& p = *parent_;
    SetBounds(p.PrinterToScreenX(pageRect_.Left), p.PrinterToScreenY(pageRect_.Top),
              p.PrinterToScreenX(pageRect_.Right - pageRect_.Left),
              p.PrinterToScreenY(pageRect_.Bottom - pageRect_.Top));
}

void TMetaobj::FitFontToPrinter(TFont& font) {
    FitFontToPrinterResolution(font);
}

void TMetaobj::SetPrinterFont(TFont& target, const TFont& source) {
    target.Assign(source);
    FitFontToPrinter(target);
}

void TMetaobj::MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
    if (parent_)
        parent_->PageMouseDown(button, shift, x + left_, y + top_);
}

void TMetaobj::MouseMove(TShiftState shift, int32_t x, int32_t y) {
    if (parent_)
        parent_->PageMouseMove(shift, x + left_, y + top_);
}

void TMetaobj::MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
    if (parent_)
        parent_->PageMouseUp(button, shift, x + left_, y + top_);
}

void TMetaobj::Click() {
    if (OnClick)
        OnClick(this);
}

void TMetaobj::DblClick() {
    if (OnDblClick)
        OnDblClick(this);
}

const TClassInfo& TMetaobj::StaticClassInfo() {
    using M = TMetaobj;
    static const TClassInfo info =
        TClassBuilder<M>("TMetaobj", &TComponent::StaticClassInfo())
            .BaseProperty(
                "Left", [](const M& m) { return m.Left(); },
                [](M& m, int64_t v) { m.SetLeft(static_cast<int32_t>(v)); })
            .BaseProperty(
                "Top", [](const M& m) { return m.Top(); },
                [](M& m, int64_t v) { m.SetTop(static_cast<int32_t>(v)); })
            .BaseProperty(
                "Width", [](const M& m) { return m.Width(); },
                [](M& m, int64_t v) { m.SetWidth(static_cast<int32_t>(v)); })
            .BaseProperty(
                "Height", [](const M& m) { return m.Height(); },
                [](M& m, int64_t v) { m.SetHeight(static_cast<int32_t>(v)); })
            .BaseProperty(
                "Cursor", [](const M& m) { return m.Cursor; },
                [](M& m, int64_t v) { m.Cursor = static_cast<int32_t>(v); })
            .BaseProperty(
                "Hint", [](const M& m) { return m.Hint; },
                [](M& m, std::string v) { m.Hint = std::move(v); })
            .BaseProperty(
                "HelpType", [](const M& m) { return m.HelpType; },
                [](M& m, int64_t v) { m.HelpType = static_cast<int32_t>(v); })
            .BaseProperty(
                "HelpKeyword", [](const M& m) { return m.HelpKeyword; },
                [](M& m, std::string v) { m.HelpKeyword = std::move(v); })
            .BaseProperty(
                "HelpContext", [](const M& m) { return m.HelpContext; },
                [](M& m, int64_t v) { m.HelpContext = static_cast<int32_t>(v); })
            .BaseProperty(
                "Visible", [](const M& m) { return m.Visible(); },
                [](M& m, int64_t v) { m.SetVisible(v != 0); })
            // Stored in this spelling, as the page streams have always carried it.
            .BaseProperty(
                "enabled", [](const M& m) { return m.Enabled(); },
                [](M& m, int64_t v) { m.SetEnabled(v != 0); })
            .Build();
    return info;
}

} // namespace vx
