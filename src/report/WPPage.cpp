#include "report/WPPage.h"

#include "data/Databuff.h"
#include "data/GlobalText.h"
#include "data/WPComp.h"
#include "platform/graphics/Drawing.h"
#include "platform/graphics/EmfWriter.h"
#include "platform/graphics/Screen.h"
#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/DateTime.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/StringList.h"
#include "report/DrawBounds.h"
#include "report/Intestazione.h"
#include "report/WPGraph.h"
#include "report/wpreport.h"

#include <algorithm>
#include <cstdlib>

namespace vx {

namespace {

constexpr uint16_t kRecordVersion = 2;

const TDeviceCaps& Caps() {
    return Printer().Caps();
}

int32_t ScreenDpi() {
    return Screen().PixelsPerInch;
}

} // namespace

TWPPage::TWPPage(TComponent* owner)
    : TComponent(owner), pagename(GlobalText("IDS_0")), infofont_(CreateDefaultFont()) {
    for (TIntestazione** part : {&header_, &footer_}) {
        *part = new TIntestazione(this);
        (*part)->SetParent(this);
        (*part)->OnChange = [this](TComponent*) { ObjectChanged(); };
    }
    printerorientation = PrinterIndex() >= 0 ? Printer().Orientation() : poPortrait;
    CreationTime = Now();
}

TWPPage::~TWPPage() {
    // The objects go before the page's own state, which their destructors may still reach.
    FreeContent();
    DestroyComponents();
}

std::vector<TMetaobj*> TWPPage::Objects() const {
    std::vector<TMetaobj*> list{header_, footer_};
    for (TMetaobj* content : {static_cast<TMetaobj*>(graph_), static_cast<TMetaobj*>(report_),
                              static_cast<TMetaobj*>(pro_)})
        if (content)
            list.push_back(content);
    return list;
}

void TWPPage::FreeContent() {
    delete graph_;
    delete report_;
    delete pro_;
    graph_ = nullptr;
    report_ = nullptr;
    pro_ = nullptr;
}

void TWPPage::SetPageKind(TPAGEKIND kind) {
    header_->DataBuffer = DataBuffer;
    footer_->DataBuffer = DataBuffer;
    // A second call would otherwise leave the old content drawn on the page.
    FreeContent();
    pageKind_ = kind;
    TMetaobj* content = nullptr;
    switch (kind) {
    case PK_GRAPHIC:
        content = graph_ = new TWPGraph(this, DataBuffer);
        break;
    case PK_REPORT:
        report_ = new TWPReport(this);
        report_->SetDataBuffer(DataBuffer);
        report_->OnFooterPlacement = [this](TComponent*) { PlaceReportFooter(); };
        report_->OnCurrentPageChange = [this](TComponent*) { RelayoutReportPage(); };
        content = report_;
        break;
    case PK_REPORTPRO:
        content = pro_ = new TWPReportPRO(this);
        break;
    default:
        break;
    }
    if (content)
        content->SetParent(this);
    objectRelayout_ = true;
    Invalidate();
}

void TWPPage::SetZoomPercent(uint32_t value) {
    if (value == zoomPercent_)
        return;
    zoomPercent_ = value;
    if (ParentWidth >= 0)
        UpdatePageSize();
}

void TWPPage::InvalidateAll() {
    backgroundDirty_ = true;
    busy_ = true;
    fullRefresh_ = true;
    if (report_)
        report_->NeedsPagination = true;
    InvalidateObjects();
}

void TWPPage::InvalidateObjects() {
    for (TMetaobj* o : Objects())
        o->Dirty = true;
    Paint();
}

void TWPPage::ObjectChanged() {
    objectRelayout_ = true;
    Invalidate();
}

void TWPPage::ClearSelection() {
    for (TIntestazione* part : {header_, footer_})
        if (part->EditMode())
            part->SwitchCellEditor();
    // Selected axes are drawn highlighted: the picture must lose the highlight too.
    if (graph_ && graph_->SelectedAxisCount() > 0) {
        graph_->DeselectAxes();
        graph_->Dirty = true;
        graph_->Invalidate();
    }
}

int TWPPage::SelectedAxisCount() const {
    return graph_ ? graph_->SelectedAxisCount() : 0;
}

void TWPPage::EditGraphSections() {
    if (graph_)
        graph_->EditSections();
}

void TWPPage::Invalidate() {
    vx::Invalidate(*this);
    ViewChanged();
}

void TWPPage::ViewChanged() {
    if (OnViewChanged)
        OnViewChanged(*this);
}

std::optional<TRect> TWPPage::DragRect() const {
    if (!dragging_)
        return std::nullopt;
    return dragRect_;
}

// ---- conversions ----

double TWPPage::PixelsToUnits(const TDeviceCaps& dc, Tunitadimisura unit, bool horizontal,
                              int32_t pixels) {
    return vx::PixelsToUnits(horizontal ? dc.LogPixelsX : dc.LogPixelsY, unit, pixels);
}

int32_t TWPPage::UnitsToPixels(const TDeviceCaps& dc, Tunitadimisura unit, bool horizontal,
                               double value) {
    return vx::UnitsToPixels(horizontal ? dc.LogPixelsX : dc.LogPixelsY, unit, value);
}

double TWPPage::PrinterScreenRatio(bool horizontal) const {
    const TDeviceCaps& c = Caps();
    return double(horizontal ? c.LogPixelsX : c.LogPixelsY) / ScreenDpi();
}

namespace {

// Stored records may carry a zoom of 0, which must never divide, or one that would make the
// page on screen larger than memory.
int64_t Zoom(uint32_t zoom) {
    return std::clamp(zoom, TDrawBounds::ZoomMin, TDrawBounds::ZoomMax);
}

int32_t ScreenToPrinter(int32_t v, uint32_t zoom, int32_t printerDpi) {
    const int64_t s = Round(double(int64_t(v) * 100) / double(Zoom(zoom)));
    return int32_t(Round(double(s * printerDpi) / ScreenDpi()));
}

int32_t PrinterToScreen(int32_t v, uint32_t zoom, int32_t printerDpi) {
    const int64_t s = Round(double(int64_t(v) * ScreenDpi()) / std::max(printerDpi, 1));
    return int32_t(Round(double(s * Zoom(zoom)) / 100.0));
}

} // namespace

int32_t TWPPage::ScreenToPrinterX(int32_t v) const {
    return ScreenToPrinter(v, zoomPercent_, Caps().LogPixelsX);
}

int32_t TWPPage::ScreenToPrinterY(int32_t v) const {
    return ScreenToPrinter(v, zoomPercent_, Caps().LogPixelsY);
}

int32_t TWPPage::PrinterToScreenX(int32_t v) const {
    return PrinterToScreen(v, zoomPercent_, Caps().LogPixelsX);
}

int32_t TWPPage::PrinterToScreenY(int32_t v) const {
    return PrinterToScreen(v, zoomPercent_, Caps().LogPixelsY);
}

int32_t TWPPage::ScreenPageWidth() const {
    return int32_t(Round(double(Caps().PhysicalWidth) * double(Zoom(zoomPercent_)) /
                         PrinterScreenRatio(true) / 100));
}

int32_t TWPPage::ScreenPageHeight() const {
    return int32_t(Round(double(Caps().PhysicalHeight) * double(Zoom(zoomPercent_)) /
                         PrinterScreenRatio(false) / 100));
}

int32_t TWPPage::PrintableRectOnScreen(int i) const {
    const TDeviceCaps& c = Caps();
    switch (i) {
    case 0:
        return PrinterToScreenX(c.PhysicalOffsetX);
    case 1:
        return PrinterToScreenY(c.PhysicalOffsetY);
    case 2:
        return PrinterToScreenX(c.PhysicalOffsetX) + PrinterToScreenX(c.HorzRes);
    default:
        return PrinterToScreenY(c.PhysicalOffsetY) + PrinterToScreenY(c.VertRes);
    }
}

int32_t TWPPage::MarginRectOnScreen(int i) const {
    const TDeviceCaps& c = Caps();
    const int32_t left = PrinterToScreenX(c.PhysicalOffsetX + mL_);
    const int32_t top = PrinterToScreenY(c.PhysicalOffsetY + mT_);
    switch (i) {
    case 0:
        return left;
    case 1:
        return top;
    case 2:
        return left + PrinterToScreenX(c.HorzRes - (mR_ + mL_));
    default:
        return top + PrinterToScreenY(c.VertRes - (mB_ + mT_));
    }
}

int32_t TWPPage::PercentHeight(int32_t percent) const {
    return MulDiv(std::max(Caps().VertRes - (mT_ + mB_), 0),
                  std::clamp(percent, 0, TDrawBounds::Percent), 100);
}

// ---- paint ----

bool TWPPage::PrinterChanged() {
    const int index = PrinterIndex();
    if (index == rememberedPrinter_)
        return false;
    // One change is reported on two successive paints.
    rememberedPrinter_ = rememberedPrinter_ == -2 ? index : -2;
    return true;
}

void TWPPage::UpdateMargins() {
    const TDeviceCaps& c = Caps();
    const auto mm = [](int32_t margin) { return std::clamp(margin, 0, TDrawBounds::MarginMm); };
    mL_ = UnitsToPixels(c, UM_mm, true, mm(MarginLeft));
    mR_ = UnitsToPixels(c, UM_mm, true, mm(MarginRight));
    mT_ = UnitsToPixels(c, UM_mm, false, mm(MarginTop));
    mB_ = UnitsToPixels(c, UM_mm, false, mm(MarginBottom));
}

void TWPPage::UpdatePageSize() {
    layoutNeeded_ = false;
    width_ = ScreenPageWidth();
    height_ = ScreenPageHeight();
    left_ = ParentWidth > width_ ? (ParentWidth - width_) / 2 : 0;
    top_ = 10;
    for (TMetaobj* o : Objects()) {
        const bool visible = o->Visible();
        o->SetVisible(false);
        o->ApplyCoords();
        o->SetVisible(visible);
        o->Invalidate();
    }
    Invalidate();
}

void TWPPage::PlaceObject(TMetaobj& object, int32_t left, int32_t top, int32_t right,
                          int32_t bottom) {
    object.SetCoord(0, left);
    object.SetCoord(1, top);
    object.SetCoord(2, right);
    object.SetCoord(3, bottom);
    object.Dirty = true;
}

void TWPPage::LayoutGraphPage() {
    const TDeviceCaps& c = Caps();
    const int32_t left = c.PhysicalOffsetX + mL_;
    const int32_t right = c.PhysicalOffsetX + c.HorzRes - mR_;
    const int32_t top = c.PhysicalOffsetY + mT_;
    const int32_t headerPart = header_->Enabled() ? PercentHeight(AltezzaIntestazione) : 0;
    if (header_->Enabled())
        PlaceObject(*header_, left, top, right, top + headerPart);
    int32_t graphBottom = c.PhysicalOffsetY + c.VertRes - mB_;
    if (footer_->Enabled())
        graphBottom = top + headerPart + c.VertRes -
                      (mT_ + mB_ + headerPart + PercentHeight(Altezzapiepagina));
    if (graph_) {
        graph_->SetCoord(0, left);
        graph_->SetCoord(1, top + headerPart);
        graph_->SetCoord(2, right);
        graph_->SetCoord(3, graphBottom);
    }
    if (footer_->Enabled())
        PlaceObject(*footer_, left, graphBottom, right,
                    graphBottom + PercentHeight(Altezzapiepagina));
}

void TWPPage::LayoutReportObjects() {
    LayoutReportPage();
    report_->NeedsPagination = true;
    report_->Dirty = true;
    report_->SetHeaderHeight(header_->Enabled() ? header_->GetCoord(5) : 0);
    report_->SetFooterHeight(footer_->Enabled() ? footer_->GetCoord(5) : 0);
    header_->Invalidate();
    footer_->Invalidate();
}

void TWPPage::LayoutReportPage() {
    if (!report_)
        return;
    const TDeviceCaps& c = Caps();
    const int32_t left = c.PhysicalOffsetX + mL_;
    const int32_t right = c.PhysicalOffsetX + c.HorzRes - mR_;
    const int32_t top = c.PhysicalOffsetY + mT_;
    const int page = composing_ >= 0 ? composing_ : report_->CurrentPage();
    const int last = report_->PageCount() - 1;
    header_->SetVisible(page == 0 || report_->RipetiINT);
    if (header_->Enabled())
        PlaceObject(*header_, left, top, right, top + PercentHeight(AltezzaIntestazione));
    report_->SetCoord(0, left);
    report_->SetCoord(1, top);
    report_->SetCoord(2, right);
    report_->SetCoord(3, c.PhysicalOffsetY + c.VertRes - mB_);
    footer_->SetVisible(page == last || report_->RipetiPie);
    if (footer_->Enabled()) {
        const int32_t footerTop =
            !report_->piepagina_on_bottom && page == last
                ? top + report_->LastPageContentHeight()
                : c.PhysicalOffsetY + c.VertRes - mB_ - PercentHeight(Altezzapiepagina);
        PlaceObject(*footer_, left, footerTop, right, footerTop + PercentHeight(Altezzapiepagina));
    }
}

void TWPPage::RelayoutReportPage() {
    LayoutReportPage();
    ShowBackground();
}

void TWPPage::PlaceReportFooter() {
    if (report_ && footer_->Enabled()) {
        const TDeviceCaps& c = Caps();
        const int32_t top =
            report_->piepagina_on_bottom
                ? c.PhysicalOffsetY + c.VertRes - mB_ - PercentHeight(Altezzapiepagina)
                : c.PhysicalOffsetY + mT_ + report_->LastPageContentHeight();
        PlaceObject(*footer_, c.PhysicalOffsetX + mL_, top, c.PhysicalOffsetX + c.HorzRes - mR_,
                    top + PercentHeight(Altezzapiepagina));
    }
    if (OnChange)
        OnChange(*this);
}

void TWPPage::ShowBackground() {
    RenderBackground(background_);
    ViewChanged();
}

void TWPPage::Paint() {
    const bool changed = PrinterChanged();
    UpdateMargins();
    if (changed || layoutNeeded_ || fullRefresh_)
        UpdatePageSize();
    if (changed || objectRelayout_ || fullRefresh_) {
        if (pageKind_ == PK_GRAPHIC)
            LayoutGraphPage();
        else if (pageKind_ == PK_REPORT && report_)
            LayoutReportObjects();
    }
    const TDeviceCaps& c = Caps();
    if (changed || background_.Width() != c.HorzRes || background_.Height() != c.VertRes ||
        backgroundDirty_)
        RenderBackground(background_);
    DrawMarginFrame();
    fullRefresh_ = false;
    objectRelayout_ = false;
    busy_ = false;
    ViewChanged();
}

void TWPPage::RenderBackground(Metafile& picture) {
    const TDeviceCaps& c = Caps();
    picture.Clear();
    picture.SetSize(c.HorzRes, c.VertRes);
    {
        TMetafileCanvas canvas(picture, c);
        DrawInfoLines(canvas);
    }
    backgroundDirty_ = false;
}

void TWPPage::DrawMarginFrame() {
    const TDeviceCaps& c = Caps();
    marginFrame_.Clear();
    marginFrame_.SetSize(c.HorzRes, c.VertRes);
    TMetafileCanvas canvas(marginFrame_, c);
    canvas.Pen.Style = psDot;
    canvas.Pen.Color = TColor(0x808080);
    if (!ShowMargin)
        return;
    const int32_t r = c.HorzRes - mR_, b = c.VertRes - mB_;
    canvas.Polyline({{mL_, mT_}, {mL_, b}, {r, b}, {r, mT_}, {mL_, mT_}});
}

// ---- information lines ----

void TWPPage::DrawInfoLines(TCanvas& canvas) {
    canvas.Font.Assign(*infofont_);
    FitFontToPrinterResolution(canvas.Font);
    canvas.Brush.Style = bsClear;
    const TDeviceCaps& c = Caps();
    const int32_t upper = mT_ - canvas.TextHeight("X") - 5;
    const int32_t lower = c.VertRes - mB_;
    for (const auto& [line, y] :
         {std::pair{informazioni_up, upper}, std::pair{informazioni_down, lower}}) {
        const TInfoParts parts = SplitInfoLine(line);
        const std::pair<const std::string*, std::pair<uint32_t, int32_t>> placed[] = {
            {&parts.Left, {TA_LEFT | TA_TOP, mL_}},
            {&parts.Centre, {TA_CENTER | TA_TOP, c.HorzRes / 2}},
            {&parts.Right, {TA_RIGHT | TA_TOP, c.HorzRes - mR_}},
        };
        for (const auto& [text, where] : placed) {
            if (text->empty())
                continue;
            canvas.SetTextAlign(where.first);
            canvas.TextOut(where.second, y, *text);
        }
    }
    canvas.SetTextAlign(TA_LEFT | TA_TOP);
}

TWPPage::TInfoParts TWPPage::SplitInfoLine(std::string line) const {
    TInfoParts parts;
    std::string* targets[] = {&parts.Left, &parts.Centre, &parts.Right};
    while (!line.empty()) {
        std::string text;
        const int align = NextInfoField(line, text);
        if (align < 0)
            continue;
        std::string& part = *targets[align];
        part += " " + text;
        if (part.size() > 255)
            part.resize(255);
    }
    return parts;
}

int TWPPage::InfoAlignment(char c) {
    switch (c) {
    case 'c':
    case 'C':
        return 1;
    case 'r':
    case 'R':
        return 2;
    default:
        return 0;
    }
}

int TWPPage::NextInfoField(std::string& line, std::string& text) const {
    text.clear();
    const size_t amp = line.find('&');
    if (amp == std::string::npos) {
        line.clear();
        return -1;
    }
    line.erase(0, amp + 1);
    const size_t next = line.find('&');
    std::string field = line.substr(0, next);
    line.erase(0, next == std::string::npos ? line.size() : next);
    field.erase(0, field.find_first_not_of(' ') == std::string::npos
                       ? field.size()
                       : field.find_first_not_of(' '));
    if (field.empty())
        return -1;
    const char code = field[0];
    size_t alignAt = 1;
    switch (code) {
    case 'd':
    case 'D':
        text = FormatDateTime(FormatSettings().ShortDateFormat, CreationTime);
        break;
    case 't':
    case 'T':
        text = FormatDateTime(FormatSettings().LongTimeFormat, CreationTime);
        break;
    case 'n':
    case 'N':
        text = pagename;
        break;
    case 'p':
    case 'P':
        if (pageKind_ == PK_GRAPHIC)
            text = "1";
        else if (pageKind_ == PK_REPORT && report_)
            text = std::to_string(report_->ComposedPage() + 1);
        break;
    case 'k':
    case 'K':
        if (pageKind_ == PK_GRAPHIC)
            text = "1";
        else if (pageKind_ == PK_REPORT && report_)
            text = std::to_string(report_->PageCount());
        break;
    case 'f':
    case 'F':
    case 'g':
    case 'G':
        if (DataBuffer)
            for (int i = 0; i < DataBuffer->ProvaCount(); ++i) {
                const std::string& file = DataBuffer->GetProva(i).FileName;
                text += (code == 'f' || code == 'F' ? ExtractFileName(file) : file) + " ";
            }
        break;
    case '"': {
        const size_t close = field.find('"', 1);
        if (close == std::string::npos)
            return -1; // an unclosed literal draws nothing, not even its blank
        text = field.substr(1, close - 1);
        alignAt = close + 1;
        break;
    }
    default:
        return -1;
    }
    return alignAt < field.size() ? InfoAlignment(field[alignAt]) : 0;
}

// ---- header and footer drags ----

int32_t TWPPage::ScreenPercent(int32_t percent, int32_t hs) const {
    return PrinterToScreenY(ScreenToPrinterY(MulDiv(percent, hs, 100)));
}

int32_t TWPPage::LimitDragY(int32_t y) const {
    y = std::max(y, 0);
    const int32_t hs = MarginRectOnScreen(3) - MarginRectOnScreen(1);
    if (hs <= 0)
        return y;
    if (dragTarget_ == 5) {
        const int32_t top = header_->Top();
        const int32_t p = MulDiv(std::abs(y - top), 100, hs);
        if (p + Altezzapiepagina >= 80)
            y = top + ScreenPercent(80 - Altezzapiepagina, hs);
        else if (p < 5)
            y = top + ScreenPercent(5, hs);
    } else {
        const int32_t bottom = footer_->Top() + footer_->Height();
        y = std::min(y, bottom);
        const int32_t p = MulDiv(bottom - y, 100, hs);
        if (p + AltezzaIntestazione >= 80)
            y = bottom - ScreenPercent(80 - AltezzaIntestazione, hs);
        else if (p < 5)
            y = bottom - ScreenPercent(5, hs);
    }
    return y;
}

void TWPPage::SetDragRect(int32_t y) {
    const TMetaobj& o = dragTarget_ == 5 ? static_cast<TMetaobj&>(*header_) : *footer_;
    TRect r = Bounds(o.Left(), o.Top(), o.Width(), o.Height());
    if (dragTarget_ == 5)
        r.Bottom = y;
    else
        r.Top = y;
    r = NormalizeRect(r);
    r.Left = std::max(r.Left, 0);
    r.Top = std::max(r.Top, 0);
    r.Right = std::min(r.Right, width_);
    r.Bottom = std::min(r.Bottom, height_);
    dragRect_ = r;
    ViewChanged();
}

void TWPPage::PageMouseDown(TMouseButton, TShiftState, int32_t, int32_t y) {
    if (dragTarget_ == 0)
        return;
    dragging_ = true;
    SetDragRect(LimitDragY(y));
}

void TWPPage::PageMouseMove(TShiftState, int32_t, int32_t y) {
    if (dragging_) {
        SetDragRect(LimitDragY(y));
        return;
    }
    const int32_t py = ScreenToPrinterY(y);
    if (header_->Enabled() && std::abs(header_->GetCoord(3) - py) < 20) {
        cursor_ = crSizeNS;
        dragTarget_ = 5;
    } else if (footer_->Enabled() && std::abs(footer_->GetCoord(1) - py) < 20) {
        cursor_ = crSizeNS;
        dragTarget_ = 6;
    } else {
        cursor_ = 0;
        dragTarget_ = 0;
    }
}

void TWPPage::PageMouseUp(TMouseButton, TShiftState, int32_t, int32_t y) {
    if (!dragging_)
        return;
    SetDragRect(LimitDragY(y));
    dragging_ = false;
    const int32_t hs = MarginRectOnScreen(3) - MarginRectOnScreen(1);
    const int32_t percent = MulDiv(dragRect_.Height(), 100, std::max(hs, 1));
    if (dragTarget_ == 5)
        AltezzaIntestazione = percent;
    else
        Altezzapiepagina = percent;
    objectRelayout_ = true;
    Invalidate();
}

// ---- composing, printing, export ----

void TWPPage::ComposeToMetafile(Metafile& metafile, int reportPage) {
    const TDeviceCaps& c = Caps();
    TMetafileCanvas canvas(metafile, c);
    ShowBackground();
    // The background's origin is the printable corner; this picture's is the paper's.
    canvas.Draw(c.PhysicalOffsetX, c.PhysicalOffsetY, background_);
    const bool reportPage_ = pageKind_ == PK_REPORT && report_;
    for (TMetaobj* o : Objects()) {
        if (!o->Enabled())
            continue;
        if (o == report_ && reportPage >= 0) {
            // The sheet on screen stays the report's picture.
            if (const auto sheet = report_->GetPageMetafile(reportPage))
                canvas.Draw(o->GetCoord(0), o->GetCoord(1), *sheet);
            continue;
        }
        if (reportPage_) {
            const int last = report_->PageCount() - 1;
            if (o == header_) {
                if (!(reportPage == 0 || report_->RipetiINT) && reportPage >= 0)
                    continue;
                header_->Dirty = true;
            } else if (o == footer_) {
                if (!(reportPage == last || report_->RipetiPie) && reportPage >= 0)
                    continue;
                footer_->Dirty = true;
            }
        }
        if (o == header_ || o == footer_)
            static_cast<TIntestazione*>(o)->Render();
        if (o == graph_) {
            // A page never shown has no graph picture yet. Selected axes are highlighted
            // on screen only: with a selection the graph is drawn for this composition and
            // again for the screen afterwards.
            const bool selection = graph_->SelectedAxisCount() > 0;
            if (selection)
                graph_->Dirty = true;
            graph_->Paint();
            canvas.Draw(o->GetCoord(0), o->GetCoord(1), o->GetMetafile());
            if (selection)
                graph_->Dirty = true;
            continue;
        }
        canvas.Draw(o->GetCoord(0), o->GetCoord(1), o->GetMetafile());
    }
}

std::string TWPPage::PrintTitle() const {
    if (DataBuffer && DataBuffer->ProvaCount() > 0) {
        const std::string name = ExtractFileName(DataBuffer->GetProva(0).FileName);
        // A test read from no file would leave the queue an empty title.
        if (!name.empty() && name[0] != '.')
            return name.substr(0, name.find('.'));
    }
    return "Vornix Document " + FormatDateTime(FormatSettings().LongTimeFormat, Now());
}

// The 0-based report sheets of a 1-based range; -1 and -1 mean the sheet on screen. Sheets
// outside the report are skipped.
std::vector<int> TWPPage::ReportSheets(int firstPage, int lastPage) const {
    if (firstPage == -1 && lastPage == -1)
        firstPage = lastPage = report_->CurrentPage() + 1;
    std::vector<int> sheets;
    for (int p = std::max(firstPage, 1); p <= std::min(lastPage, report_->PageCount()); ++p)
        sheets.push_back(p - 1);
    return sheets;
}

void TWPPage::ForEachReportSheet(const std::vector<int>& sheets,
                                 const std::function<void(int)>& compose) {
    // Whatever happens on the way, the sheet on screen is the composed one again afterwards.
    struct Restore {
        TWPPage& page;
        ~Restore() {
            page.composing_ = -1;
            page.report_->SetComposedPage(page.report_->CurrentPage());
            page.LayoutReportPage();
            page.ShowBackground();
        }
    } restore{*this};
    for (int s : sheets) {
        report_->SetComposedPage(s);
        composing_ = s;
        LayoutReportPage();
        compose(s);
    }
}

void TWPPage::Print(int copies, int firstPage, int lastPage) {
    PrinterDevice& printer = Printer();
    const TDeviceCaps& c = Caps();
    Metafile page;
    page.SetSize(c.HorzRes, c.VertRes);
    TPrintBatch batch(printer);
    printer.Title = PrintTitle();
    printer.BeginDoc();
    auto sheet = [&](bool first) {
        if (!first)
            printer.NewPage();
        printer.Canvas().Draw(-c.PhysicalOffsetX, -c.PhysicalOffsetY, page);
    };
    if (pageKind_ == PK_GRAPHIC) {
        ComposeToMetafile(page, -1);
        for (int copy = 0; copy < copies; ++copy)
            sheet(copy == 0);
    } else if (pageKind_ == PK_REPORT && report_) {
        const std::vector<int> sheets = ReportSheets(firstPage, lastPage);
        bool first = true;
        for (int copy = 0; copy < copies; ++copy)
            ForEachReportSheet(sheets, [&](int s) {
                page.Clear();
                page.SetSize(c.HorzRes, c.VertRes);
                ComposeToMetafile(page, s);
                sheet(first);
                first = false;
            });
    }
    printer.EndDoc();
    batch.Close();
}

void TWPPage::RenderToMetafiles(std::vector<Metafile>& metafiles, TStringList& orientations,
                                int lastPage, int firstPage) {
    const TDeviceCaps& c = Caps();
    const std::string orientation = Printer().Orientation() == poLandscape ? "1" : "0";
    auto add = [&](int reportPage, bool compose) {
        Metafile m;
        m.SetSize(c.HorzRes, c.VertRes);
        if (compose)
            ComposeToMetafile(m, reportPage);
        metafiles.push_back(m);
        orientations.Add(orientation);
    };
    if (pageKind_ == PK_GRAPHIC) {
        add(-1, true);
    } else if (pageKind_ == PK_REPORT && report_) {
        ForEachReportSheet(ReportSheets(firstPage, lastPage), [&](int s) { add(s, true); });
    } else {
        add(-1, false);
    }
}

void TWPPage::SaveAsMetafile(const std::string& fileName) {
    const TDeviceCaps& c = Caps();
    Metafile m;
    m.SetSize(c.HorzRes, c.VertRes);
    ComposeToMetafile(m, pageKind_ == PK_REPORT && report_ ? report_->CurrentPage() : -1);
    SaveEmfFile(fileName, m, c);
}

// ---- page record and stream ----

void TWPPage::WritePageRecord(TStream& s) const {
    s.WriteU16(kRecordVersion);
    s.WriteU32(zoomPercent_);
    for (int32_t m : {MarginLeft, MarginTop, MarginRight, MarginBottom})
        s.WriteI32(m);
    s.WriteBool(ShowMargin);
    s.WriteI32(AltezzaIntestazione);
    s.WriteI32(Altezzapiepagina);
    s.WriteU8(printerorientation);
    s.WriteU8(pageKind_);
    s.WriteShortString(pagename);
    const auto font = infofont_->LogFont().ToBytes();
    s.WriteBuffer(font.data(), font.size());
    s.WriteI32(infofont_->Color());
    s.WriteShortString(informazioni_up);
    s.WriteShortString(informazioni_down);
}

void TWPPage::ReadPageRecord(TStream& s) {
    // Everything is read before anything is set, so that a bad record changes nothing.
    struct Record {
        uint16_t Version = 0;
        uint32_t Zoom = 0;
        int32_t Margins[4] = {};
        bool ShowMargin = false;
        int32_t Header = 0, Footer = 0;
        uint8_t Orientation = 0, Kind = 0;
        std::string Name, Up, Down;
        std::optional<LOGFONTA> Font;
        TColor Color = clBlack;
    } r;
    try {
        r.Version = s.ReadU16();
        r.Zoom = s.ReadU32();
        for (int32_t& m : r.Margins)
            m = s.ReadI32();
        r.ShowMargin = s.ReadU8() != 0;
        r.Header = s.ReadI32();
        r.Footer = s.ReadI32();
        r.Orientation = s.ReadU8();
        r.Kind = s.ReadU8();
        r.Name = s.ReadShortString();
        if (r.Version >= 2) {
            uint8_t bytes[LOGFONTA::kSize];
            s.ReadBuffer(bytes, sizeof bytes);
            r.Font = LOGFONTA::FromBytes(bytes, sizeof bytes);
            r.Color = s.ReadI32();
            r.Up = s.ReadShortString();
            r.Down = s.ReadShortString();
        }
    } catch (const EReadError&) {
        throw EReadError("The page record is incomplete");
    }
    if (r.Kind > pk_none)
        throw EReadError("Invalid page kind " + std::to_string(r.Kind) + " in the page record");
    if (r.Orientation > poLandscape)
        throw EReadError("Invalid printer orientation " + std::to_string(r.Orientation) +
                         " in the page record");
    zoomPercent_ = r.Zoom;
    MarginLeft = r.Margins[0];
    MarginTop = r.Margins[1];
    MarginRight = r.Margins[2];
    MarginBottom = r.Margins[3];
    ShowMargin = r.ShowMargin;
    AltezzaIntestazione = r.Header;
    Altezzapiepagina = r.Footer;
    printerorientation = static_cast<TPrinterOrientation>(r.Orientation);
    pageKind_ = static_cast<TPAGEKIND>(r.Kind);
    pagename = r.Name;
    if (r.Font) {
        infofont_->SetLogFont(*r.Font);
        infofont_->SetColor(r.Color);
        informazioni_up = r.Up;
        informazioni_down = r.Down;
    }
    backgroundDirty_ = true;
}

void TWPPage::SaveToStream(TStream& s) const {
    WritePageRecord(s);
    WriteComponent(s, *header_);
    WriteComponent(s, *footer_);
    if (pageKind_ == PK_GRAPHIC && graph_)
        graph_->SaveToStream(s);
    else if (pageKind_ == PK_REPORT && report_)
        WriteComponent(s, *report_);
}

void TWPPage::LoadFromStream(TStream& s) {
    // The header, the footer and the content read into themselves as they go, so a trial
    // page takes the bytes first.
    const int64_t start = s.Position();
    {
        TWPPage trial(nullptr);
        trial.DataBuffer = DataBuffer;
        trial.LoadInPlace(s);
    }
    s.SetPosition(start);
    LoadInPlace(s);
}

void TWPPage::LoadInPlace(TStream& s) {
    ReadPageRecord(s);
    ReadComponent(s, *header_);
    ReadComponent(s, *footer_);
    // Pages of the kinds without content never pass through SetPageKind, yet their header
    // and footer expand the tests' placeholders too.
    header_->DataBuffer = DataBuffer;
    footer_->DataBuffer = DataBuffer;
    const TPAGEKIND kind = pageKind_;
    if (kind == PK_GRAPHIC) {
        SetPageKind(PK_GRAPHIC);
        graph_->LoadInPlace(s);
    } else if (kind == PK_REPORT) {
        SetPageKind(PK_REPORT);
        ReadComponent(s, *report_);
    }
    layoutNeeded_ = true;
    objectRelayout_ = true;
}

const TClassInfo& TWPPage::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TWPPage>("TWPPage", &TComponent::StaticClassInfo()).Build();
    return info;
}

namespace {
const bool registered = (RegisterClass(TWPPage::StaticClassInfo()), true);
} // namespace

} // namespace vx
