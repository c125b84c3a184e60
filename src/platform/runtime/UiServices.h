#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

class QObject;

namespace vx {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// Buttons of a message dialog, combinable.
enum TMsgDlgBtn : unsigned {
    mbYes = 0x1,
    mbNo = 0x2,
    mbOK = 0x4,
    mbCancel = 0x8,
    mbAbort = 0x10,
    mbRetry = 0x20,
    mbIgnore = 0x40,
};

// Modal results.
constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;
constexpr int mrAbort = 3;
constexpr int mrRetry = 4;
constexpr int mrIgnore = 5;
constexpr int mrYes = 6;
constexpr int mrNo = 7;

struct FileDialogRequest {
    std::string Title;
    std::string InitialDir;
    std::string FileName;
    // "Description|*.ext;*.ext2|..." as the class library's filters.
    std::string Filter;
    std::string DefaultExt;
    bool MultiSelect = false;
};

// Everything that asks or tells the user goes through here, so that any layer can report a
// message the way the program does and tests can answer instead of a person. Texts are cp1252.
class UiServices {
public:
    virtual ~UiServices() = default;

    // Caption "Vornix"; returns the modal result of the button pressed.
    virtual int MessageDlg(const std::string& text, TMsgDlgType type, unsigned buttons) = 0;
    void ShowMessage(const std::string& text) { MessageDlg(text, TMsgDlgType::mtCustom, mbOK); }

    // Returns the chosen paths; empty when cancelled.
    virtual std::vector<std::string> OpenFileDialog(const FileDialogRequest& request) = 0;
    virtual std::string SaveFileDialog(const FileDialogRequest& request) = 0;
    // colour as 0x00BBGGRR; false when cancelled.
    virtual bool ColorDialog(int& color) = 0;

    // Shows a window modally and returns its modal result.
    virtual int ShowModal(QObject* form) = 0;
    virtual void SetBusyCursor(bool busy) = 0;
    virtual bool OpenWithDesktop(const std::string& path) = 0;
    virtual void BringToFront(QObject* window) = 0;
};

UiServices& Ui();
// Installs the program's or a test's implementation; the caller keeps ownership.
void SetUiServices(UiServices* services);

// The implementation tests install: records every message and answers from scripts.
class ScriptedUiServices : public UiServices {
public:
    struct Message {
        std::string Text;
        TMsgDlgType Type;
        unsigned Buttons;
    };

    int MessageDlg(const std::string& text, TMsgDlgType type, unsigned buttons) override;
    std::vector<std::string> OpenFileDialog(const FileDialogRequest& request) override;
    std::string SaveFileDialog(const FileDialogRequest& request) override;
    bool ColorDialog(int& color) override;
    int ShowModal(QObject* form) override;
    void SetBusyCursor(bool busy) override { Busy = busy; }
    bool OpenWithDesktop(const std::string& path) override;
    void BringToFront(QObject* window) override {}

    std::vector<Message> Messages;
    // Answers to MessageDlg in order; when empty, the first button offered (OK, Yes, ...).
    std::deque<int> MessageAnswers;
    std::deque<std::vector<std::string>> OpenAnswers;
    std::deque<std::string> SaveAnswers;
    std::deque<int> ColorAnswers;
    std::vector<std::string> OpenedWithDesktop;
    // Sets the form's children as a user would and returns the modal result; mrCancel when
    // unset.
    std::function<int(QObject*)> ModalHook;
    bool Busy = false;
};

} // namespace vx
