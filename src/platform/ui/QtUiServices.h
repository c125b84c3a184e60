#pragma once

#include "platform/runtime/UiServices.h"

#include <QString>

namespace vx {

// The program's UiServices on Qt widgets. Paths cross as cp1252 texts; a chosen file whose name
// cp1252 cannot hold is refused with a message.
class QtUiServices : public UiServices {
public:
    int MessageDlg(const std::string& text, TMsgDlgType type, unsigned buttons) override;
    std::vector<std::string> OpenFileDialog(const FileDialogRequest& request) override;
    std::string SaveFileDialog(const FileDialogRequest& request) override;
    bool ColorDialog(int& color) override;
    int ShowModal(QObject* form) override;
    void SetBusyCursor(bool busy) override;
    bool OpenWithDesktop(const std::string& path) override;
    void BringToFront(QObject* window) override;

private:
    bool TakePath(const QString& chosen, std::string& path);

    int busyDepth_ = 0;
};

// "Text files|*.txt;*.tx2|All|*.*" -> "Text files (*.txt *.tx2);;All (*.*)".
QString QtFileFilter(const std::string& filter);

} // namespace vx
