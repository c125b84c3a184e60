#pragma once

// The table report: groups of columns of channel values, laid out at printer resolution into
// output sheets; each sheet's metafile is composed when it is asked for.

#include "data/WPArrays.h"
#include "platform/graphics/Brush.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Pen.h"
#include "platform/runtime/StringList.h"
#include "report/Metaobj.h"
#include "report/canvasObj.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vx {

class TDatabuffer;
class TMetafileCanvas;
class TStream;

enum Tgridstyle : uint8_t { gs_none, gs_vertical, gs_horizontal, gs_both };
enum tcolumnsspace : uint8_t { cs_automatico, cs_omogeneo, cs_impostato };

// One column of a group.
class Tdefcanale : public TComponent {
public:
    explicit Tdefcanale(TComponent* owner);
    ~Tdefcanale() override;

    int32_t pwidth = 0;
    int32_t Height = 0;
    float DIMW = 10.0f;
    float DIMH = 10.0f;
    Tgridstyle Grid = gs_both;
    TPen Pen;
    TBrush Brush;
    std::unique_ptr<TFont> FontI;
    std::unique_ptr<TFont> FontD;
    int32_t Canale = -1;
    int32_t Prova = -1;
    uint16_t Align = 0;
    uint16_t IAlign = 6;
    std::string formato = "0.0";

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

// One group of the report: its title, switch and type filter.
class Tdefgruppo : public TComponent {
public:
    explicit Tdefgruppo(TComponent* owner);

    bool tipizza = false;
    std::string tipo = "*.*";
    std::string titolo;
    bool Enabled = true;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

class TWPReport : public TMetaobj {
public:
    explicit TWPReport(TComponent* owner);
    ~TWPReport() override;

    int32_t margine_tra_gruppi = 5; // millimetres, as the two margins below
    int32_t margine_superiore = 5;
    int32_t spazio_tra_colonne = 1;
    int32_t margine_inferiore = 5;
    int32_t rientro_laterale = 1; // printer pixels
    bool rottura_livello_gruppo = true;
    bool usa_griglia = false;
    bool Numera = true;
    bool Differenzia_righe = false;
    TColor colore_righe_pari = clWhite;
    TColor colore_righe_dispari = clWhite;
    tcolumnsspace columnsspace = cs_automatico;
    int32_t differenzia = -1;
    TStringList Consideralista;
    std::unique_ptr<TFont> FontT;
    bool Titola_tipi = false;
    uint16_t Titolotipi_Align = 6;
    uint16_t ReportAlign = 0;
    bool piepagina_on_bottom = false;
    int32_t GridWidth = 2;
    TColor Gridcolor = clBlack;
    bool Traducietichette = false;
    bool RipetiINT = false;
    bool RipetiPie = false;

    // ---- what the page gives and reads ----
    // Printer pixels; 0 when the page's header or footer is disabled (no footer at all).
    int32_t HeaderHeight() const { return headerHeight_; }
    void SetHeaderHeight(int32_t height) { headerHeight_ = height; }
    int32_t FooterHeight() const { return footerHeight_; }
    void SetFooterHeight(int32_t height) { footerHeight_ = height; }
    // Not owned.
    TDatabuffer* DataBuffer() const { return dataBuffer_; }
    void SetDataBuffer(TDatabuffer* buffer) { dataBuffer_ = buffer; }
    // Paint paginates only while both this and Dirty are set.
    bool NeedsPagination = true;
    int CurrentPage() const { return currentPage_; }
    // The sheet that printing and exporting compose.
    int ComposedPage() const { return composedPage_; }
    void SetComposedPage(int page) { composedPage_ = page; }
    int32_t LastPageContentHeight() const { return lastPageContentHeight_; }
    TEngineNotifyEvent OnFooterPlacement;
    TEngineNotifyEvent OnCurrentPageChange;

    // ---- groups and columns ----
    int GroupCount() const { return static_cast<int>(groups_.size()); }
    void SetGroupCount(int n);
    // Null outside the groups (and columns).
    Tdefgruppo* GetGroup(int i) const;
    int GetChannelCount(int group) const;
    Tdefcanale* GetChannel(int group, int i) const;
    // Nothing for a group that does not exist.
    void SetChannelCount(int group, int n);

    // ---- sheets ----
    // Pagination records what each sheet holds; a sheet's picture is composed when it is
    // asked for, and the last few are kept.
    int PageCount() const;
    // None outside the sheets.
    std::optional<Metafile> GetPageMetafile(int i);
    // The composed sheet pictures held besides the one shown.
    int HeldSheets() const;
    // A sheet outside the sheets changes nothing; it never paginates.
    void SetCurrentPage(int i);

    void Paginate();
    void Paint() override;

    // The binary property "Report". Reading replaces the groups only when the whole property
    // was read; a damaged one raises EReadError and leaves the report as it was.
    void WriteGroups(TStream& stream) const;
    void ReadGroups(TStream& stream);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

private:
    struct Layout;
    struct Pagination;
    void FreeChannels(int group);
    void ShowSheet(int i);

    TMatrix matrix_;
    std::vector<Tdefgruppo*> groups_;
    std::unique_ptr<Pagination> pagination_;
    int currentPage_ = 0;
    int composedPage_ = 0;
    int32_t headerHeight_ = 0;
    int32_t footerHeight_ = 0;
    int32_t lastPageContentHeight_ = 0;
    TDatabuffer* dataBuffer_ = nullptr;
    bool paginating_ = false;
};

// The page object of a page of kind PK_REPORTPRO: nothing of its own to draw.
class TWPReportPRO : public TMetaobj {
public:
    explicit TWPReportPRO(TComponent* owner) : TMetaobj(owner) {}
    void DrawContent(TCanvas&) override {}

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

} // namespace vx
