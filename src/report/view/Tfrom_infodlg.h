#pragma once

#include "platform/ui/Form.h"

namespace vx {

class TLabel;
class TmlLang;

// The window that asks the user to wait while a table report lays out its sheets: on top of
// everything, centred on the screen, without border icons.
class Tfrom_infodlg : public TForm {
    Q_OBJECT

public:
    explicit Tfrom_infodlg(QWidget* parent = nullptr);
    ~Tfrom_infodlg() override;

    TLabel* Label1;
    TmlLang* mlLang1;
};

// The program's side of the report's wait hooks: one window at a time, shown until closed.
void ShowReportWaitWindow();
void CloseReportWaitWindow();
// The window while it is shown, else null.
Tfrom_infodlg* ReportWaitWindow();

} // namespace vx
