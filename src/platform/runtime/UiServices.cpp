#include "platform/runtime/UiServices.h"

#include "platform/runtime/Cp1252.h"

#include <filesystem>
#include <system_error>

namespace vx {

namespace {
// Until the program or a test installs its own, nothing blocks on a user who is not there.
ScriptedUiServices& Fallback() {
    static ScriptedUiServices fallback;
    return fallback;
}
UiServices* current = nullptr;
} // namespace

UiServices& Ui() {
    return current ? *current : Fallback();
}

void SetUiServices(UiServices* services) {
    current = services;
}

int ScriptedUiServices::MessageDlg(const std::string& text, TMsgDlgType type, unsigned buttons) {
    Messages.push_back({text, type, buttons});
    if (!MessageAnswers.empty()) {
        const int answer = MessageAnswers.front();
        MessageAnswers.pop_front();
        return answer;
    }
    return FirstButton(buttons);
}

int FirstButton(unsigned buttons) {
    if (buttons & mbOK)
        return mrOk;
    if (buttons & mbYes)
        return mrYes;
    if (buttons & mbNo)
        return mrNo;
    if (buttons & mbCancel)
        return mrCancel;
    return mrOk;
}

namespace {
template <class T>
T TakeAnswer(std::deque<T>& answers) {
    if (answers.empty())
        return {};
    T answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}
} // namespace

std::vector<std::string> ScriptedUiServices::OpenFileDialog(const FileDialogRequest& request) {
    FileRequests.push_back({TFileRequestKind::Open, request, {}});
    return TakeAnswer(OpenAnswers);
}

std::string ScriptedUiServices::SaveFileDialog(const FileDialogRequest& request) {
    FileRequests.push_back({TFileRequestKind::Save, request, {}});
    return TakeAnswer(SaveAnswers);
}

std::string ScriptedUiServices::OpenPictureDialog(const FileDialogRequest& request) {
    FileRequests.push_back({TFileRequestKind::Picture, request, {}});
    return TakeAnswer(PictureAnswers);
}

std::string ScriptedUiServices::SelectDirectory(const std::string& title,
                                                const std::string& startFolder) {
    FileDialogRequest request;
    request.Title = title;
    request.InitialDir = startFolder;
    FileRequests.push_back({TFileRequestKind::Folder, request, {}});
    return TakeAnswer(FolderAnswers);
}

std::string ScriptedUiServices::InputBox(const std::string& caption, const std::string& prompt,
                                         const std::string& defaultText) {
    FileDialogRequest request;
    request.Title = caption;
    request.FileName = defaultText;
    FileRequests.push_back({TFileRequestKind::Input, request, prompt});
    return TakeAnswer(InputAnswers).value_or(defaultText);
}

std::string UiServices::SaveFileAsking(const FileDialogRequest& request) {
    std::string path = SaveFileDialog(request);
    if (path.empty() || request.OverwritePrompt.empty())
        return path;
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::path(Cp1252ToUtf8(path)), error))
        return path;
    std::string question = request.OverwritePrompt;
    if (const auto at = question.find("%s"); at != std::string::npos)
        question.replace(at, 2, path);
    if (MessageDlg(question, TMsgDlgType::mtWarning, mbYes | mbNo) != mrYes)
        return {};
    return path;
}

bool ScriptedUiServices::PrintDialog(PrintDialogRequest& request) {
    PrintRequests.push_back(request);
    PrintDialogRequest answer = request;
    if (!PrintHook || !PrintHook(answer))
        return false;
    request = answer;
    return true;
}

bool ScriptedUiServices::PrinterSetupDialog() {
    return PrinterSetupHook && PrinterSetupHook();
}

bool ScriptedUiServices::FontDialog(FontChoice& font) {
    FontRequests.push_back(font);
    FontChoice answer = font;
    if (!FontHook || !FontHook(answer))
        return false;
    font = answer;
    return true;
}

bool ScriptedUiServices::ColorDialog(int& color) {
    if (ColorAnswers.empty())
        return false;
    color = ColorAnswers.front();
    ColorAnswers.pop_front();
    return true;
}

int ScriptedUiServices::ShowModal(QObject* form) {
    return ModalHook ? ModalHook(form) : mrCancel;
}

bool ScriptedUiServices::OpenWithDesktop(const std::string& path) {
    OpenedWithDesktop.push_back(path);
    return true;
}

} // namespace vx
