#pragma once

// The sections dialog of a graph: both sides' sections and axes laid out with the mouse, and
// the section sizes entered as numbers.

#include "platform/ui/Form.h"

#include <string>

namespace vx {

class TButton;
class TLabel;
class TPanel;
class TSectionmanager;
class TSpeedButton;
class TStringGrid;
class TWPSide;
class TmlLang;

// The sizes of both sides' sections as numbers: row i of a grid is section i and its percent.
// OK is refused while a value is not a whole number from 1 or a side adds up to more than 100.
class Tfrm_def_numeric : public TForm {
    Q_OBJECT
public:
    explicit Tfrm_def_numeric(QWidget* parent = nullptr);

    // One row per section after the header; a side without sections disables its grid.
    void Fill(const TWPSide& left, const TWPSide& right);
    // Writes the grids' values into the sections; only after an accepted OK.
    void Apply(TWPSide& left, TWPSide& right) const;

    void SpeedButton1Click(QObject* sender);
    void SpeedButton2Click(QObject* sender);
    void SpeedButton3Click(QObject* sender);
    void SpeedButton4Click(QObject* sender);
    void SpeedButton5Click(QObject* sender);
    void SpeedButton6Click(QObject* sender);
    void FormCloseQuery(QObject* sender, bool& canClose);

    TLabel* Label1; // left side
    TLabel* Label4; // right side
    TStringGrid* Grid1;
    TStringGrid* Grid2;
    TSpeedButton* SpeedButton1; // left total into Label3
    TSpeedButton* SpeedButton2; // right total into Label6
    TLabel* Label3;
    TLabel* Label6;
    TSpeedButton* SpeedButton3; // "Tutti uguali", left
    TSpeedButton* SpeedButton5; // "Tutti uguali", right
    TSpeedButton* SpeedButton4; // left onto right
    TSpeedButton* SpeedButton6; // right onto left
    TButton* OKBtn;
    TButton* CancelBtn;
    TmlLang* mlLang1;

private:
    // The message that refuses a grid's values, or "" when they pass.
    std::string CheckGrid(const TStringGrid& grid);
    void ShowTotal(const TStringGrid& grid, TLabel* label);
};

// Tool modes of the sections dialog.
enum TSectionTool { stNormal, stAddSection, stDeleteSection, stAddAxis, stDeleteAxis, stSize };

class TDefiniscisezioni : public TForm {
    Q_OBJECT
public:
    explicit TDefiniscisezioni(QWidget* parent = nullptr);

    TSectionmanager& LeftManager() const { return *Sectionmanager1; }
    TSectionmanager& RightManager() const { return *Sectionmanager2; }
    int Mode() const { return mode_; }
    void SetMode(int mode);

    // What a click at (x, y) of the manager does in the current mode.
    void ManagerClick(TSectionmanager& manager, int32_t x, int32_t y);
    // The numeric dialog on both sides.
    void ToolButton2Click(QObject* sender);

    TSpeedButton* normal;
    TSpeedButton* addsect;
    TSpeedButton* delsect;
    TSpeedButton* addaxe;
    TSpeedButton* delaxe;
    TSpeedButton* ToolButton1; // size sections
    TSpeedButton* ToolButton2; // sizes as numbers
    TLabel* Label1;
    TLabel* Label2;
    TPanel* Panel1;
    TPanel* Panel2;
    TSectionmanager* Sectionmanager1; // left side, in Panel1
    TSectionmanager* Sectionmanager2; // right side, in Panel2
    TButton* OKBtn;
    TButton* CancelBtn;
    TmlLang* mlLang1;

private:
    int mode_ = stNormal;
};

// The dialog on two side streams: true, with both written back, when the user chose OK; a
// cancel leaves both as they were.
bool EditSectionsDialog(std::string& left, std::string& right);

} // namespace vx
