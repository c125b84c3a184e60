#include "report/DocBox.h"

#include "platform/graphics/Printer.h"
#include "platform/graphics/Screen.h"
#include "report/EditorHooks.h"
#include "report/WPPage.h"
#include "report/wpreport.h"

#include <algorithm>
#include <cmath>

namespace vx {

TDocBox::TDocBox(TComponent* owner) : TComponent(owner) {}

TDocBox::~TDocBox() {
    ClearPages();
}

TWPPage* TDocBox::GetPage(int i) const {
    return i >= 0 && i < PageCount() ? pages_[i] : nullptr;
}

TWPPage* TDocBox::GetCurrentPage() {
    if (pages_.empty() || current_ < 0)
        return nullptr;
    current_ = std::min(current_, PageCount() - 1);
    return pages_[current_];
}

TWPPage* TDocBox::AddPage() {
    auto* page = new TWPPage(this);
    pages_.push_back(page);
    return page;
}

void TDocBox::AdoptPage(TWPPage* page) {
    if (!page || std::find(pages_.begin(), pages_.end(), page) != pages_.end())
        return;
    if (page->Owner() != this) {
        if (page->Owner())
            page->Owner()->RemoveComponent(page);
        InsertComponent(page);
    }
    page->ParentWidth = -1;
    pages_.push_back(page);
}

void TDocBox::DetachAll() {
    for (TWPPage* page : pages_)
        page->ParentWidth = -1;
}

void TDocBox::SetShown(TWPPage* page) {
    if (page == shown_)
        return;
    shown_ = page;
    if (OnShownPageChanged)
        OnShownPageChanged(*this);
}

void TDocBox::ShowPage(int i) {
    if (pages_.empty())
        return;
    current_ = std::clamp(i, 0, PageCount() - 1);
    DetachAll();
    TWPPage* page = pages_[current_];
    // The page takes its size and layout from the printer, so the printer turns first.
    const bool turned = PrinterIndex() >= 0 && Printer().Orientation() != page->printerorientation;
    if (PrinterIndex() >= 0)
        Printer().SetOrientation(page->printerorientation);
    page->ParentWidth = clientWidth_;
    page->UpdatePageSize();
    if (turned)
        page->InvalidateAll();
    SetShown(page);
}

void TDocBox::DeletePage(int i) {
    if (i < 0 || i >= PageCount())
        return;
    TWPPage* page = pages_[i];
    pages_.erase(pages_.begin() + i);
    if (page == shown_)
        SetShown(nullptr);
    delete page;
    if (i == 0 && current_ == 0) {
        DetachAll();
        if (!pages_.empty())
            ShowPage(0);
    }
}

void TDocBox::ClearPages() {
    SetShown(nullptr);
    std::vector<TWPPage*> pages;
    pages.swap(pages_);
    for (TWPPage* page : pages)
        delete page;
}

uint32_t TDocBox::GetZoomPercent() {
    TWPPage* page = GetCurrentPage();
    return page ? page->ZoomPercent() : 0;
}

void TDocBox::SetZoomPercent(uint32_t value) {
    TWPPage* page = GetCurrentPage();
    if (page && page->ZoomPercent() != value)
        page->SetZoomPercent(value);
}

void TDocBox::ApplyZoom(double zoom) {
    const double truncated = std::trunc(zoom);
    if (truncated >= 1 && truncated <= UINT32_MAX)
        SetZoomPercent(static_cast<uint32_t>(truncated));
}

void TDocBox::ZoomToWidth() {
    TWPPage* page = GetCurrentPage();
    if (!page || PrinterIndex() < 0)
        return;
    const int32_t physical = Printer().GetDeviceCaps(PHYSICALWIDTH);
    if (physical <= 0)
        return;
    ApplyZoom(double(clientWidth_ - Screen().VScrollBarWidth - 2) * 100 *
              page->PrinterScreenRatio(true) / physical);
}

void TDocBox::ZoomToHeight() {
    TWPPage* page = GetCurrentPage();
    if (!page || PrinterIndex() < 0)
        return;
    const int32_t physical = Printer().GetDeviceCaps(PHYSICALHEIGHT);
    if (physical <= 0)
        return;
    ApplyZoom(double(clientHeight_ - Screen().HScrollBarHeight - 2) * 100 *
              page->PrinterScreenRatio(false) / physical);
}

void TDocBox::ZoomToFit() {
    TWPPage* page = GetCurrentPage();
    if (!page)
        return;
    const int32_t height = page->ScreenPageHeight();
    if (height <= 0 || clientHeight_ <= 0)
        return;
    const double pageAspect = double(page->ScreenPageWidth()) / height;
    const double clientAspect = double(clientWidth_) / clientHeight_;
    if (pageAspect <= clientAspect)
        ZoomToHeight();
    else
        ZoomToWidth();
}

void TDocBox::RedrawCurrentPage() {
    if (TWPPage* page = GetCurrentPage())
        page->InvalidateAll();
}

void TDocBox::InvalidateCurrentPage() {
    TWPPage* page = GetCurrentPage();
    if (!page)
        return;
    if (page->PAGEKIND() == PK_REPORT && page->Report())
        page->Report()->NeedsPagination = true;
    RedrawCurrentPage();
}

void TDocBox::PrintCurrentPage(int copies, int firstPage, int lastPage) {
    if (TWPPage* page = GetCurrentPage())
        page->Print(copies, firstPage, lastPage);
}

namespace {

// Turns the printer to the page's orientation for the scope, unless it stands so already
// (while a job prints, it cannot turn).
class PageOrientation {
public:
    explicit PageOrientation(const TWPPage& page) : before_(Printer().Orientation()) {
        if (before_ != page.printerorientation)
            Printer().SetOrientation(page.printerorientation);
    }
    ~PageOrientation() {
        if (Printer().Orientation() != before_)
            Printer().SetOrientation(before_);
    }

private:
    TPrinterOrientation before_;
};

} // namespace

void TDocBox::ListPageSheets(int i, std::vector<TPageSheet>& sheets) {
    TWPPage* page = GetPage(i);
    if (!page || PrinterIndex() < 0)
        return;
    const TPAGEKIND kind = page->PAGEKIND();
    if (kind == PK_GRAPHIC) {
        PageOrientation turn(*page);
        std::vector<Metafile> metafiles;
        TStringList orientations;
        page->RenderToMetafiles(metafiles, orientations, 1, 1);
        for (Metafile& m : metafiles)
            sheets.push_back({i, -1, page->printerorientation, std::move(m)});
    } else if (kind == PK_REPORT && page->Report()) {
        for (int s = 0; s < page->Report()->PageCount(); ++s)
            sheets.push_back({i, s, page->printerorientation, {}});
    }
}

Metafile TDocBox::ComposePageSheet(const TPageSheet& sheet) {
    TWPPage* page = GetPage(sheet.Page);
    if (sheet.ReportSheet < 0 || !page || !page->Report() || PrinterIndex() < 0)
        return sheet.Picture;
    PageOrientation turn(*page);
    std::vector<Metafile> metafiles;
    TStringList orientations;
    page->RenderToMetafiles(metafiles, orientations, sheet.ReportSheet + 1, sheet.ReportSheet + 1);
    return metafiles.empty() ? Metafile() : metafiles.front();
}

void TDocBox::SaveCurrentPageAsMetafile(const std::string& fileName) {
    if (TWPPage* page = GetCurrentPage())
        page->SaveAsMetafile(fileName);
}

void TDocBox::ShowValueBox() {
    if (TWPPage* page = GetCurrentPage())
        EditorHooks().ShowValueBox(page->DataBuffer);
}

void TDocBox::SetClientSize(int32_t width, int32_t height) {
    if (width == clientWidth_ && height == clientHeight_)
        return;
    clientWidth_ = width;
    clientHeight_ = height;
    if (shown_) {
        shown_->ParentWidth = width;
        shown_->UpdatePageSize();
    }
}

} // namespace vx
