#pragma once

#include "data/WPComp.h"
#include "platform/graphics/Metafile.h"
#include "platform/graphics/Printer.h"
#include "platform/runtime/Component.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vx {

class TStringList;
class TWPPage;

// One sheet that a page prints.
struct TPageSheet {
    int Page = -1;
    // The report sheet to compose, or -1 when Picture holds the sheet.
    int ReportSheet = -1;
    TPrinterOrientation Orientation = poPortrait;
    Metafile Picture;
};

// The ordered pages of one document. Only the current page is shown (its ParentWidth is the
// container's client width); the others exist without a parent. The container is an engine
// object: its view gives it the client size and shows the page it reports as shown.
class TDocBox : public TComponent {
public:
    explicit TDocBox(TComponent* owner = nullptr);
    ~TDocBox() override;

    // The unit in which the dialogs show lengths.
    Tunitadimisura unitadimisura = UM_mm;

    int PageCount() const { return static_cast<int>(pages_.size()); }
    // Null outside the list.
    TWPPage* GetPage(int i) const;
    // Null when there is no page or the current index is negative; otherwise the current
    // index is first clamped to the last page.
    TWPPage* GetCurrentPage();
    int CurrentIndex() const { return current_; }
    // The page the view shows, null when it shows none.
    TWPPage* ShownPage() const { return shown_; }

    // A new page owned by the container, appended, not shown.
    TWPPage* AddPage();
    // Appends a page made elsewhere, which the container then owns; not shown.
    void AdoptPage(TWPPage* page);
    // Clamps i to the pages, detaches every page and shows that one, the printer turned to
    // its orientation first. Nothing without pages.
    void ShowPage(int i);
    // Ignored outside the list. Deleting the current page 0 shows the new page 0; after any
    // other deletion of the shown page nothing is shown until the caller shows a page.
    void DeletePage(int i);
    // Frees every page; the current index stays.
    void ClearPages();

    // The current page's zoom; 0 without a current page.
    uint32_t GetZoomPercent();
    void SetZoomPercent(uint32_t value);
    // The zoom at which the page fits the client's width, height, or both; a client too small
    // for any zoom keeps the zoom.
    void ZoomToFit();
    void ZoomToWidth();
    void ZoomToHeight();

    void RedrawCurrentPage();
    // A report page also paginates again.
    void InvalidateCurrentPage();
    void PrintCurrentPage(int copies, int firstPage, int lastPage);
    // Page i's sheets in print order: a graph page's one composed picture, or a report page's
    // sheets, each composed only when ComposePageSheet asks for it; other kinds none. The
    // page is composed in its own orientation, which the printer keeps only for the call.
    void ListPageSheets(int i, std::vector<TPageSheet>& sheets);
    // The sheet's picture: a report sheet is composed now, in the page's orientation, which
    // the printer must have when it is printing.
    Metafile ComposePageSheet(const TPageSheet& sheet);
    void SaveCurrentPageAsMetafile(const std::string& fileName);
    void ShowValueBox();

    int32_t ClientWidth() const { return clientWidth_; }
    int32_t ClientHeight() const { return clientHeight_; }
    // From the view; the shown page is centred again.
    void SetClientSize(int32_t width, int32_t height);

    // Fired when another page (or none) is shown.
    std::function<void(TDocBox&)> OnShownPageChanged;

private:
    void SetShown(TWPPage* page);
    void DetachAll();
    // A zoom computed for the client; kept unless it is positive.
    void ApplyZoom(double zoom);

    std::vector<TWPPage*> pages_; // owned, as components of the container
    int current_ = -1;
    TWPPage* shown_ = nullptr;
    int32_t clientWidth_ = 0;
    int32_t clientHeight_ = 0;
};

} // namespace vx
