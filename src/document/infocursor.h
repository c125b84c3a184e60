#pragma once

// The window of values under the mouse on a graph: one column per test, a row for the X axis
// and one per channel of the axes of the left and then the right side.

#include "platform/ui/Form.h"
#include "report/EditorHooks.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vx {

class TAsse;
class TDatabuffer;
class TSpeedButton;
class TStringGrid;
class TTimer;
class TWPSide;
class TmlLang;

class Tfrm_infocursor : public TForm, public TCursorValuesWindow {
    Q_OBJECT
public:
    explicit Tfrm_infocursor(QWidget* parent = nullptr);
    ~Tfrm_infocursor() override;

    // Keeps the buffer, the X axis and the sides (never their axes, which the graph may
    // replace), selects snapping and lays the grid out.
    void Setup(TDatabuffer* data, TAsse* xAxis, TWPSide* leftSide, TWPSide* rightSide);
    // A position in printer pixels of the graph, shown at the next tick.
    void SetCursorPos(int32_t x, int32_t y);
    void ShowPosition(int32_t x, int32_t y) override { SetCursorPos(x, y); }
    // Allows the window to close.
    void MarkClosing() override;

    // 1 snaps to the measured samples, 0 shows the values of the cursor's position.
    int Mode() const { return mode_; }
    // One refresh: the layout when the axes or tests changed, then the values.
    void Timer1Timer();
    void SpeedButton2Click(QObject* sender);
    void SpeedButton3Click(QObject* sender);

    TStringGrid* Grid1;
    TSpeedButton* SpeedButton1;
    TSpeedButton* SpeedButton2;
    TSpeedButton* SpeedButton3;
    TTimer* Timer1;
    TmlLang* mlLang1;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // A channel row: the axis and the channel as they stand now.
    struct TRowSource {
        TAsse* Axis;
        int32_t Channel;
    };

    std::vector<TRowSource> CurrentRows() const;
    // Column 0 and row 0 as the current axes and tests give them.
    std::vector<std::string> RowTitles(const std::vector<TRowSource>& rows) const;
    std::vector<std::string> ColumnTitles() const;
    void Layout(const std::vector<std::string>& rowTitles,
                const std::vector<std::string>& columnTitles);
    void ShowSnapped(const std::vector<TRowSource>& rows);
    void ShowFree(const std::vector<TRowSource>& rows);
    void WriteColumn(int col, const std::vector<std::string>& texts);

    TDatabuffer* data_ = nullptr;
    TAsse* xAxis_ = nullptr;
    TWPSide* left_ = nullptr;
    TWPSide* right_ = nullptr;
    int mode_ = 1;
    int32_t x_ = 0;
    int32_t y_ = 0;
    bool closing_ = false;
    std::unique_ptr<TTimer> timer_;
    std::vector<std::string> rowTitles_;
    std::vector<std::string> columnTitles_;
};

} // namespace vx
