#pragma once

#include "platform/graphics/Canvas.h"
#include "platform/graphics/EnginePaint.h"
#include "platform/graphics/Metafile.h"
#include "platform/runtime/Component.h"
#include "platform/runtime/Input.h"
#include "report/canvasObj.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vx {

// The class library's sizing cursors that page objects and the page ask for over the edges
// they let the user drag.
constexpr int32_t crSizeNESW = -6;
constexpr int32_t crSizeNS = -7;
constexpr int32_t crSizeNWSE = -8;
constexpr int32_t crSizeWE = -9;

// The page as its objects see it: conversions between screen pixels at the page's zoom and
// page units (printer pixels from the paper's corner), and the page's own mouse handling.
class TMetaobjParent {
public:
    virtual int32_t ScreenToPrinterX(int32_t v) const = 0;
    virtual int32_t ScreenToPrinterY(int32_t v) const = 0;
    virtual int32_t PrinterToScreenX(int32_t v) const = 0;
    virtual int32_t PrinterToScreenY(int32_t v) const = 0;
    virtual void PageMouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) = 0;
    virtual void PageMouseMove(TShiftState shift, int32_t x, int32_t y) = 0;
    virtual void PageMouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) = 0;

protected:
    ~TMetaobjParent() = default;
};

// An object placed on a page (graph, header and footer tables, table report): a window-less
// control whose geometry is kept in page units and, at the page's zoom, as screen bounds. Its
// picture is composed at printer resolution into the metafile it owns; the screen and the
// printer both draw that metafile. A Qt view hosts it and copies the picture to the screen.
// The paint queue's entry is the last base to go: the component's end tells others, and an
// object they ask to paint again must still be taken off the queue.
class TMetaobj : public TEnginePaintable, public TComponent {
public:
    explicit TMetaobj(TComponent* owner);
    ~TMetaobj() override;

    TMetaobjParent* Parent() const { return parent_; }
    void SetParent(TMetaobjParent* parent);

    // Screen bounds at the page's zoom; every change asks for a paint.
    int32_t Left() const { return left_; }
    int32_t Top() const { return top_; }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    void SetLeft(int32_t v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int32_t v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int32_t v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int32_t v) { SetBounds(left_, top_, width_, v); }
    void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    // The user's switch: the page lays out and draws only enabled objects.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    int32_t Cursor = 0;
    std::string Hint;
    int32_t HelpType = 1;
    std::string HelpKeyword;
    int32_t HelpContext = 0;

    // The picture must be composed again before it is drawn.
    bool Dirty = false;

    // Asks for an engine paint (the control's Invalidate).
    void Invalidate();
    void EnginePaint() override {
        // A paint that processes messages may see its document closed and this object gone.
        const std::weak_ptr<int> alive = life_;
        Paint();
        if (!alive.expired() && OnPictureShown)
            OnPictureShown();
    }
    // The host copies the picture to the screen after each engine paint.
    std::function<void()> OnPictureShown;
    // Drag feedback in control coordinates that the host paints as a focus rectangle.
    virtual std::optional<TRect> FocusOverlay() const { return std::nullopt; }

    // Keeps the page rectangle in step with the screen bounds; subclasses draw after it.
    virtual void Paint();
    virtual void DrawContent(TCanvas& canvas);
    virtual void ScreenToPrinterPoint(int32_t& x, int32_t& y) const;
    virtual void PrinterToScreenPoint(int32_t& x, int32_t& y) const;
    virtual void ScreenToPrinterRect(TRect& rect) const;
    virtual void PrinterToScreenRect(TRect& rect) const;

    // 0 left, 1 top, 2 right, 3 bottom, 4 width, 5 height of the page rectangle; else 0.
    int32_t GetCoord(int kind) const;
    // Sets one edge in page units and moves or resizes the control at once.
    void SetCoord(int kind, int32_t value);
    // Screen bounds from the page rectangle, after a zoom or page-size change.
    void ApplyCoords();
    const TRect& PageRect() const { return pageRect_; }
    Metafile& GetMetafile() { return metafile_; }
    const Metafile& GetMetafile() const { return metafile_; }
    bool PlacedFromPage() const { return placedFromPage_; }

    void FitFontToPrinter(TFont& font);
    void SetPrinterFont(TFont& target, const TFont& source);

    // Passed on to the page in its client coordinates (X + Left, Y + Top).
    virtual void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
    virtual void MouseMove(TShiftState shift, int32_t x, int32_t y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
    // The host's click and double click; each fires its event when one is assigned.
    virtual void Click();
    virtual void DblClick();
    TEngineNotifyEvent OnClick;
    TEngineNotifyEvent OnDblClick;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

protected:
    // Records the screen bounds that differ from the recorded ones; true when any did.
    bool BoundsChanged();

private:
    TMetaobjParent* parent_ = nullptr;
    int32_t left_ = 0;
    int32_t top_ = 0;
    int32_t width_ = 20;
    int32_t height_ = 20;
    bool visible_ = true;
    bool enabled_ = true;
    TRect pageRect_;
    struct Recorded {
        int32_t Left = 0;
        int32_t Top = 0;
        int32_t Width = 0;
        int32_t Height = 0;
    } recorded_; // the screen bounds last seen or applied
    Metafile metafile_;
    bool placedFromPage_ = false;

protected:
    // Expires with the object: code that may outlive it within one call checks it.
    std::shared_ptr<int> life_ = std::make_shared<int>(0);
};

} // namespace vx
