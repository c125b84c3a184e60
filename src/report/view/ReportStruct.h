#pragma once

#include "platform/ui/Form.h"

class QFrame;
class QMdiArea;
class QSplitter;
class QToolBar;

namespace vx {

class TmlLang;

// The window of a table-report page's structure: a button bar, a tool bar, and a work panel
// beside a layout panel with a splitter between them. It has no behaviour of its own; closing
// it frees it.
class TFReportStruct : public TForm {
    Q_OBJECT
public:
    // Inside the main window's MDI area when one is given, shown there.
    explicit TFReportStruct(QMdiArea* mainArea = nullptr);

    QFrame* ButtonBar;
    QToolBar* ToolBar1;
    QFrame* WorkPanel;
    QSplitter* Splitter1;
    QFrame* LayoutPanel;
    TmlLang* mlLang1;
};

} // namespace vx
