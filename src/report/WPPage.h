#pragma once

#include "data/WPComp.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Metafile.h"
#include "platform/graphics/Printer.h"
#include "platform/runtime/DateTime.h"
#include "report/Metaobj.h"
#include "report/canvasObj.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vx {

class TDatabuffer;
class TIntestazione;
class TStream;
class TStringList;
class TWPGraph;
class TWPReport;
class TWPReportPRO;

enum TPAGEKIND : uint8_t { PK_GRAPHIC, PK_REPORT, PK_REPORTPRO, pk_none };

// One page of a document: the parent of its header, footer and content object, composed at
// printer resolution. Every geometry is taken from the current printer's capabilities at
// each use. The page is an engine object: its Paint lays the page out and composes the
// background and the margin frame; the view that hosts it (the page container) shows its
// bounds, the background and frame stretched into PrintableRectOnScreen, the cursor and the
// drag rectangle.
class TWPPage : public TComponent, public TEnginePaintable, public TMetaobjParent {
public:
    explicit TWPPage(TComponent* owner);
    ~TWPPage() override;

    // ---- published (stored in the page record) ----
    uint32_t ZoomPercent() const { return zoomPercent_; }
    // A new value re-sizes the page when it is shown.
    void SetZoomPercent(uint32_t value);
    bool ShowMargin = false;
    int32_t AltezzaIntestazione = 10;
    int32_t Altezzapiepagina = 10;
    TPrinterOrientation printerorientation = poPortrait;
    TPAGEKIND PAGEKIND() const { return pageKind_; }
    std::string pagename;
    std::string informazioni_up;
    std::string informazioni_down;
    TFont& infofont() { return *infofont_; }
    const TFont& infofont() const { return *infofont_; }

    // Millimetres from the edges of the printable area.
    int32_t MarginLeft = 10;
    int32_t MarginTop = 10;
    int32_t MarginRight = 10;
    int32_t MarginBottom = 10;
    // Printer pixels as of the last paint (50 each before the first).
    int32_t MarginLeftPixels() const { return mL_; }
    int32_t MarginTopPixels() const { return mT_; }
    int32_t MarginRightPixels() const { return mR_; }
    int32_t MarginBottomPixels() const { return mB_; }

    // The document's tests; not owned.
    TDatabuffer* DataBuffer = nullptr;
    TDateTime CreationTime = 0;
    // Fired after the footer of a report page has been placed.
    std::function<void(TWPPage&)> OnChange;

    // ---- page objects ----
    TIntestazione* Header() const { return header_; }
    TIntestazione* Footer() const { return footer_; }
    TWPGraph* Graph() const { return graph_; }
    TWPReport* Report() const { return report_; }
    TWPReportPRO* ReportPRO() const { return pro_; }
    // The objects whose parent the page is: header, footer, then the content object.
    std::vector<TMetaobj*> Objects() const;

    // Creates the content object of the kind (freeing an earlier one) and gives header and
    // footer the data buffer.
    void SetPageKind(TPAGEKIND kind);
    void InvalidateAll();
    void InvalidateObjects();
    void ObjectChanged();
    void ClearSelection();
    int SelectedAxisCount() const;
    void EditGraphSections();

    // ---- the screen part, for the view ----
    // -1 while the page is not shown; the container's client width centres the page.
    int32_t ParentWidth = -1;
    int32_t Left() const { return left_; }
    int32_t Top() const { return top_; }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    int32_t Cursor() const { return cursor_; }
    const Metafile& Background() const { return background_; }
    const Metafile& MarginFrame() const { return marginFrame_; }
    // The drag's focus rectangle in page client pixels, while a drag is on.
    std::optional<TRect> DragRect() const;
    bool Busy() const { return busy_; }
    // Fired whenever the view should copy the page again.
    std::function<void(TWPPage&)> OnViewChanged;

    void Invalidate();
    void EnginePaint() override { Paint(); }
    // The page's paint: layout, background and margin frame.
    void Paint();

    // ---- conversions ----
    static double PixelsToUnits(const TDeviceCaps& dc, Tunitadimisura unit, bool horizontal,
                                int32_t pixels);
    static int32_t UnitsToPixels(const TDeviceCaps& dc, Tunitadimisura unit, bool horizontal,
                                 double value);
    double PrinterScreenRatio(bool horizontal) const;
    int32_t ScreenToPrinterX(int32_t v) const override;
    int32_t ScreenToPrinterY(int32_t v) const override;
    int32_t PrinterToScreenX(int32_t v) const override;
    int32_t PrinterToScreenY(int32_t v) const override;
    int32_t ScreenPageWidth() const;
    int32_t ScreenPageHeight() const;
    // 0 left, 1 top, 2 right, 3 bottom.
    int32_t PrintableRectOnScreen(int i) const;
    int32_t MarginRectOnScreen(int i) const;

    // ---- layout steps ----
    bool PrinterChanged();
    void UpdatePageSize();
    void LayoutReportPage();
    void RelayoutReportPage();
    void PlaceReportFooter();
    void RenderBackground(Metafile& picture);
    void DrawMarginFrame();
    // H(p): p percent of the height between the top and bottom margins, in printer pixels.
    int32_t PercentHeight(int32_t percent) const;

    // ---- information lines ----
    void DrawInfoLines(TCanvas& canvas);
    struct TInfoParts {
        std::string Left, Centre, Right;
    };
    TInfoParts SplitInfoLine(std::string line) const;
    // 0 left, 1 centre, 2 right, or -1 for a field that contributes nothing.
    int NextInfoField(std::string& line, std::string& text) const;
    static int InfoAlignment(char c);

    // ---- mouse (page client pixels) ----
    void PageMouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;
    void PageMouseMove(TShiftState shift, int32_t x, int32_t y) override;
    void PageMouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;
    // 0 none, 5 the header's lower edge, 6 the footer's upper edge.
    int DragTarget() const { return dragTarget_; }
    bool Dragging() const { return dragging_; }

    // ---- printing and export ----
    // ReportPage -1: the present state.
    void ComposeToMetafile(Metafile& metafile, int reportPage);
    // Pages are 1-based; -1 and -1 on a report page mean the sheet on screen.
    void Print(int copies, int firstPage, int lastPage);
    void RenderToMetafiles(std::vector<Metafile>& metafiles, TStringList& orientations,
                           int lastPage, int firstPage);
    // An enhanced metafile file whatever the extension; raises EFOpenError or EWriteError.
    void SaveAsMetafile(const std::string& fileName);
    std::string PrintTitle() const;

    // ---- page record and page stream ----
    void WritePageRecord(TStream& stream) const;
    // Raises EReadError for a kind above 3, an orientation above 1 or a short record, and
    // then leaves the page as it was.
    void ReadPageRecord(TStream& stream);
    void SaveToStream(TStream& stream) const;
    // Raises EReadError on a bad stream and then leaves the page as it was.
    void LoadFromStream(TStream& stream);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

private:
    void LoadInPlace(TStream& stream);
    void FreeContent();
    void UpdateMargins();
    void LayoutGraphPage();
    void LayoutReportObjects();
    void PlaceObject(TMetaobj& object, int32_t left, int32_t top, int32_t right, int32_t bottom);
    void ShowBackground();
    void SetDragRect(int32_t y);
    int32_t LimitDragY(int32_t y) const;
    int32_t ScreenPercent(int32_t percent, int32_t hs) const;
    void ViewChanged();
    std::vector<int> ReportSheets(int firstPage, int lastPage) const;
    void ForEachReportSheet(const std::vector<int>& sheets,
                            const std::function<void(int)>& compose);

    uint32_t zoomPercent_ = 25;
    TPAGEKIND pageKind_ = pk_none;
    std::unique_ptr<TFont> infofont_;
    bool layoutNeeded_ = true;
    int32_t mL_ = 50, mT_ = 50, mR_ = 50, mB_ = 50;
    Metafile background_;
    Metafile marginFrame_;
    TWPGraph* graph_ = nullptr;
    TWPReport* report_ = nullptr;
    TWPReportPRO* pro_ = nullptr;
    TIntestazione* header_ = nullptr;
    TIntestazione* footer_ = nullptr;
    bool dragging_ = false;
    int dragTarget_ = 0;
    TRect dragRect_;
    bool fullRefresh_ = false;
    bool objectRelayout_ = false;
    bool busy_ = false;
    bool backgroundDirty_ = true;
    int rememberedPrinter_ = -1;
    int32_t left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    int32_t cursor_ = 0;
    // The report sheet being printed or exported, -1 otherwise: the header and footer are
    // placed for it rather than for the sheet on screen.
    int composing_ = -1;
};

} // namespace vx
