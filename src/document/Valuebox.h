#pragma once

// The value box: every value of the tests of a page in a grid, one tab per test, optionally
// only the rows that a filter expression keeps.

#include "platform/ui/Form.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

class TDataCollection;
class TDatabuffer;
class TEdit;
class TLabel;
class TProgressBar;
class TSpeedButton;
class TTabSet;
class TclipGrid;
class TdataProva;
class TmlLang;

class TformValuebox : public TForm {
    Q_OBJECT
public:
    explicit TformValuebox(QWidget* parent = nullptr);
    ~TformValuebox() override;

    // Not owned; set before the window is shown.
    TDatabuffer* Data = nullptr;

    // The collection is made on the first activation only: a message box brings the window
    // back through activation, which must keep the filter.
    void FormActivate(QObject* sender);
    void TabSet1Click(QObject* sender);
    // The filter of Edit1 (an empty one shows every row).
    void SpeedButton1Click(QObject* sender);
    // Lays the grid out for tab `tab`.
    void FillGrid(int tab);

    TTabSet* TabSet1;
    TclipGrid* Grid1;
    TEdit* Edit1;
    TSpeedButton* SpeedButton1;
    TLabel* Label1;
    TLabel* Label2; // channel count
    TLabel* Label3;
    TLabel* Label4; // value count
    TLabel* Label5;
    TProgressBar* ProgressBar1;
    TmlLang* mlLang1;

protected:
    // The grid takes the room the window gives it.
    void resizeEvent(QResizeEvent* event) override;

private:
    // The rows shown of test t: the filtered copy, or the test itself without a filter.
    const TdataProva* ShownTest(int t) const;
    std::string CellText(int32_t col, int32_t row) const;

    // Without a filter the tests are shown as they are: a copy would double the memory of a
    // long acquisition for nothing.
    std::unique_ptr<TDataCollection> collection_;
    bool activated_ = false;
    // What the grid reads for the tab shown.
    const TdataProva* shown_ = nullptr;
    std::vector<std::string> header_;  // row 0, per column
    std::vector<std::string> caption_; // row 1, per column
    bool hasRows_ = false;
};

// The value box on the data, shown modally and freed; nothing without data.
void ShowValueBoxWindow(TDatabuffer* data);

} // namespace vx
