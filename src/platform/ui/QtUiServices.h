#pragma once

#include "platform/runtime/UiServices.h"

#include <QString>

class QDialog;
class QFileDialog;
class QWidget;

namespace vx {

// The program's UiServices on Qt widgets. Paths cross as cp1252 texts; a chosen file whose name
// cp1252 cannot hold is refused with a message.
class QtUiServices : public UiServices {
public:
    int MessageDlg(const std::string& text, TMsgDlgType type, unsigned buttons) override;
    std::vector<std::string> OpenFileDialog(const FileDialogRequest& request) override;
    std::string SaveFileDialog(const FileDialogRequest& request) override;
    bool ColorDialog(int& color) override;
    // Our own dialogs over Printers(): Qt's print dialog knows only the system's queues.
    bool PrintDialog(PrintDialogRequest& request) override;
    bool PrinterSetupDialog() override;
    bool FontDialog(FontChoice& font) override;
    std::string OpenPictureDialog(const FileDialogRequest& request) override;
    std::string SelectDirectory(const std::string& title, const std::string& startFolder) override;
    std::string InputBox(const std::string& caption, const std::string& prompt,
                         const std::string& defaultText) override;
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

// The filter of a picture dialog whose request names none.
inline constexpr const char* kPictureFilter =
    "BMP, JPEG|*.bmp;*.jpg;*.jpeg|BMP|*.bmp|JPEG|*.jpg;*.jpeg";
// The open dialog of pictures, with a QLabel "Preview" that shows the current file scaled.
QFileDialog* MakePictureDialog(const FileDialogRequest& request, QWidget* parent = nullptr);

// The print dialog's widgets, named for tests: "PrinterList", "RangeAll", "RangeSelection",
// "RangePages", "FromPage", "ToPage", "Copies", "PrintToFile"; OK and Cancel buttons in a
// QDialogButtonBox. Read back with ReadPrintDialog after it was accepted.
QDialog* MakePrintDialog(const PrintDialogRequest& request, QWidget* parent = nullptr);
void ReadPrintDialog(const QDialog& dialog, PrintDialogRequest& request);
// "PrinterList" and "Landscape".
QDialog* MakePrinterSetupDialog(QWidget* parent = nullptr);
void ReadPrinterSetupDialog(const QDialog& dialog);

} // namespace vx
