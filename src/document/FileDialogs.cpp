#include "document/FileDialogs.h"

#include "document/DocumentFiles.h"
#include "localisation/FormTable.h"
#include "localisation/mlComp.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/UiServices.h"
#include "platform/system/Files.h"

#include <QObject>

namespace vx {

std::string FileMessage(std::string_view id) {
    // Read at each use: messages are rare, and the table then always follows the language.
    QObject owner;
    return CreateFormTable(&owner, "FileMessages")->GetTextOrDefault(id);
}

std::string ChooseFile(bool save, const std::string& initialDir, const std::string& filter,
                       const std::string& ext, const std::string& proposed) {
    FileDialogRequest request;
    request.InitialDir = initialDir;
    request.FileName = proposed;
    request.Filter = filter;
    request.DefaultExt = ext;
    if (!save) {
        const std::vector<std::string> names = Ui().OpenFileDialog(request);
        return names.empty() ? std::string() : names.front();
    }
    const std::string named = Ui().SaveFileDialog(request);
    if (named.empty())
        return named;
    const std::string final = ChangeFileExt(named, "." + ext);
    return ConfirmReplace(named, final) ? final : std::string();
}

bool ConfirmReplace(const std::string& named, const std::string& final) {
    if (final == named || !FileExists(final))
        return true;
    std::string question = FileMessage("IDS_70");
    if (const size_t at = question.find("%s"); at != std::string::npos)
        question.replace(at, 2, final);
    return Ui().MessageDlg(question, TMsgDlgType::mtWarning, mbYes | mbNo) == mrYes;
}

std::string FileErrorText(const std::exception& error, const std::string& fileName, bool saving) {
    const auto* file = dynamic_cast<const EDocumentFile*>(&error);
    if (!file) {
        const std::string why = FileSystemErrorText(FileSystemErrorOf(error));
        return FileMessage(saving ? "IDS_53" : "IDS_57") + fileName +
               (why.empty() ? "" : "\r\n" + why);
    }
    const char* id = "IDS_53";
    switch (file->Kind) {
    case TDocumentFileError::NotAProject:
        id = "IDS_50";
        break;
    case TDocumentFileError::UnsupportedVersion:
        id = "IDS_51";
        break;
    case TDocumentFileError::Damaged:
        id = "IDS_52";
        break;
    case TDocumentFileError::CannotSave:
        break;
    }
    const std::string place = FilePlaceText(*file, FileMessage("IDS_56"));
    return FileMessage(id) + file->FileName + (place.empty() ? "" : "\r\n" + place);
}

std::string ErrorMessageText(const std::exception& error) {
    const auto* open = dynamic_cast<const EFOpenError*>(&error);
    if (!open || open->Path.empty())
        return error.what();
    std::string text = FileMessage(open->Creating ? "IDS_58" : "IDS_59");
    if (const size_t at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, open->Path);
    const std::string why = FileSystemErrorText(open->ErrorCode);
    return why.empty() ? text : text + " " + why;
}

} // namespace vx
