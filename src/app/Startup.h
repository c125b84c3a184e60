#pragma once

// The program's start: the order in which it comes up, the one copy per user, and the main
// window's life until the message loop ends. main() creates the application object and the
// services the platform needs, then runs this; tests run it in-process with their own.

#include "platform/runtime/UiServices.h"

#include <string>
#include <vector>

class QWidget;

namespace vx {

// The whole entry sequence with the program path and the arguments (cp1252) and the folder
// relative arguments count against. Returns the process's status: 0 after the main window
// closed or after the command line went to the running copy, 1 when no printer exists.
// VORNIX_QUIT_AFTER_MS=n closes the main window n ms after it is shown.
int RunStartup(const std::vector<std::string>& args, const std::string& currentDir);

// Restores a minimised window and brings it to the front as far as the desktop lets a
// program; true when it is the active window afterwards.
bool ForceForegroundWindow(QWidget* window);

// What the first copy does with a command line handed over by another copy.
void ReceiveCommandLine(const std::string& commandLine);

// The page-object classes for streaming, the report's wait window, the main window's
// extensions (file type, command server): everything the program plugs into the layers.
void InstallProgramUnits();
void InstallMainExtensions();

// VORNIX_MESSAGES=stderr: each message box a UTF-8 line on standard error, answered with its
// first button, so that scripts see what a user would have been told.
class TStderrMessages : public UiServices {
public:
    explicit TStderrMessages(UiServices& windows) : windows_(windows) {}
    int MessageDlg(const std::string& text, TMsgDlgType type, unsigned buttons) override;
    std::vector<std::string> OpenFileDialog(const FileDialogRequest& r) override {
        return windows_.OpenFileDialog(r);
    }
    std::string SaveFileDialog(const FileDialogRequest& r) override {
        return windows_.SaveFileDialog(r);
    }
    bool ColorDialog(int& color) override { return windows_.ColorDialog(color); }
    bool PrintDialog(PrintDialogRequest& r) override { return windows_.PrintDialog(r); }
    bool PrinterSetupDialog() override { return windows_.PrinterSetupDialog(); }
    bool FontDialog(FontChoice& font) override { return windows_.FontDialog(font); }
    std::string OpenPictureDialog(const FileDialogRequest& r) override {
        return windows_.OpenPictureDialog(r);
    }
    std::string SelectDirectory(const std::string& title, const std::string& start) override {
        return windows_.SelectDirectory(title, start);
    }
    std::string InputBox(const std::string& caption, const std::string& prompt,
                         const std::string& defaultText) override {
        return windows_.InputBox(caption, prompt, defaultText);
    }
    int ShowModal(QObject* form) override { return windows_.ShowModal(form); }
    void SetBusyCursor(bool busy) override { windows_.SetBusyCursor(busy); }
    bool OpenWithDesktop(const std::string& path) override {
        return windows_.OpenWithDesktop(path);
    }
    void BringToFront(QObject* window) override { windows_.BringToFront(window); }

private:
    UiServices& windows_;
};

} // namespace vx
