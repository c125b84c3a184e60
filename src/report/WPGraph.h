#pragma once

#include "data/Border.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Font.h"
#include "report/DataOwner.h"
#include "report/EditorHooks.h"
#include "report/Metaobj.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vx {

class TAsse;
class TDatabuffer;
class Tlegenda;
class TStream;
class TSerie;
class TWPSide;

// The content of a graph page: the X axis, a left and a right side of stacked sections of Y
// axes, one series per Y axis, the legend, a border and a watermark. Zones are per mille of
// the page rectangle; everything is composed at printer resolution into the picture.
class TWPGraph : public TMetaobj, public TDataOwner {
public:
    // Edges of the plotting area the mouse can drag.
    enum TDragEdge : uint8_t { DE_Top = 1, DE_Right = 2, DE_Bottom = 8, DE_Left = 16 };

    explicit TWPGraph(TComponent* page, TDatabuffer* data = nullptr);
    ~TWPGraph() override;

    TDatabuffer* Data() override { return data_; }

    // 0 ZoneassiL, 1 ZoneassiR, 2 ZoneassiT, 3 ZoneassiB, 4 ZonegraphL, 5 ZonegraphR,
    // 6 ZonegraphT, 7 ZonegraphB; any other index reads 0 and writes nothing.
    int32_t GetZone(int i) const;
    void SetZone(int i, int32_t value);
    // Printer pixels from the page rectangle's corner: 0 axis zone top, 1 its bottom,
    // 2 plotting left, 3 plotting right, 4 plotting bottom, 5 plotting top; else 0.
    int32_t ZonePixel(int k) const;
    // The same point in the control's screen coordinates.
    int32_t ZoneScreen(int k) const;

    TBorder border;
    bool Globalgrid = false;
    int32_t Globtacvert = 25;
    Bitmap Filigrana;
    uint8_t Filigrana_Status = 0; // 0 centred, 1 tiled, 2 stretched

    TAsse& XAxis() const { return *xAxis_; }
    TWPSide& LeftSide() const { return *left_; }
    TWPSide& RightSide() const { return *right_; }
    Tlegenda& Legend() const { return *legend_; }
    const std::vector<std::unique_ptr<TSerie>>& Series() const { return series_; }
    bool AutoLimitsPending() const { return autoLimitsPending_; }

    void Paint() override;
    void DrawContent(TCanvas& canvas) override;
    // Places the legend and the axes in the zones.
    void Layout();

    void AutoLimits();
    // The range an axis should cover; 0..100 when nothing can be measured.
    void DataRange(const TAsse& axis, double& min, double& max) const;

    int SelectedAxisCount() const;
    // The first selected axis of the left side, then the right side, then the X axis.
    TAsse* GetSelectedAxis() const;
    void SelectAllAxes();
    void DeselectAxes();
    bool HitTestAxes(int32_t x, int32_t y, bool single);
    void AxisClick(TComponent* sender);
    void AxisDblClick(TComponent* sender);

    void Click() override;
    void DblClick() override;
    void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;
    void MouseMove(TShiftState shift, int32_t x, int32_t y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;
    // The edges hot at a point in printer pixels (TDragEdge bits).
    uint8_t HotEdges(int32_t px, int32_t py) const;
    static int32_t CursorForEdges(uint8_t edges);
    std::optional<TRect> FocusOverlay() const override;

    // One new series per axis of the left side, then the right side, each axis bound to the
    // graph; for code that changed the sections itself.
    void RebuildSeries();

    void EditAxis(TAsse& axis);
    void EditSections();
    void EditAxisTyping();
    void ShowCursorValues(bool on);
    bool CursorValuesShown() const { return cursorWindow_ != nullptr; }

    // The channel last chosen in the axis-typing dialog, program-wide.
    static int TypingChannel();
    static void SetTypingChannel(int channel);
    // "*.*" and then the distinct values of the channel in the first test.
    static std::vector<std::string> TypingChoices(const TDatabuffer* data, int channel);

    void SaveToStream(TStream& stream) const;
    // Raises EReadError on a bad stream and then leaves the graph as it was.
    void LoadFromStream(TStream& stream);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

private:
    friend class TWPPage;
    void LoadInPlace(TStream& stream);
    template <class F>
    void ForEachAxis(F f) const;
    void LayoutSide(const TWPSide& side, int32_t slotSpace, int32_t x0, const TRect& plot,
                    int32_t top, int32_t height);
    void DrawWatermark(TCanvas& canvas);
    // Sorts every test by the channel, or back to acquisition order for -1.
    void SortTests(int channel);
    void AppendSeries(TWPSide& side, bool leftSide);
    void BindAxis(TAsse& axis);
    void Changed();
    void UpdateDragRect(int32_t x, int32_t y);
    void ApplyDrag();
    void FillAxisExchange(const TAsse& axis, TAxisExchange& x) const;
    void ApplyAxisExchange(const TAxisExchange& before, const TAxisExchange& after, TAsse& target);
    void ApplyLimits(const TAxisExchange& before, const TAxisExchange& after, TAsse& target,
                     bool limitsRuleChanged);
    void RecomputeAutomaticAxis(TAsse& axis);

    TDatabuffer* data_ = nullptr;
    TRect plotZone_{200, 50, 800, 950};
    TRect axisZone_{10, 10, 990, 990};
    TFont font_;
    TAsse* xAxis_ = nullptr;
    TWPSide* left_ = nullptr;
    TWPSide* right_ = nullptr;
    Tlegenda* legend_ = nullptr;
    std::vector<std::unique_ptr<TSerie>> series_; // one per Y axis, left side first

    int32_t pressX_ = 0; // printer pixels
    int32_t pressY_ = 0;
    TShiftState pressShift_ = 0;
    uint8_t hotEdges_ = 0;
    uint8_t dragEdges_ = 0;
    bool dragging_ = false;
    TRect dragRect_; // control coordinates
    bool dialogClosed_ = false;
    bool layout_ = true;
    bool autoLimitsPending_ = true;
    std::unique_ptr<TCursorValuesWindow> cursorWindow_;
};

} // namespace vx
