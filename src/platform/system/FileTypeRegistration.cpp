#include "platform/system/FileTypeRegistration.h"

#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/Streams.h"
#include "platform/system/Files.h"
#include "platform/system/IniFile.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace vx {

namespace {

std::string ResourceText(const char* name) {
    QFile file(QString::fromLatin1(name));
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(std::string("Cannot open resource ") + name);
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), size_t(bytes.size()));
}

std::string Folder(QStandardPaths::StandardLocation location) {
    return IncludeTrailingPathDelimiter(FromQString(QStandardPaths::writableLocation(location)));
}

std::string DataHome() {
    return Folder(QStandardPaths::GenericDataLocation);
}

// One argument of an entry's Exec line: quoted, with the quoting rule's escapes and then the
// string rule's doubled backslash; '%' is a field code there and is doubled.
std::string ExecArgument(const std::string& utf8) {
    std::string quoted = "\"";
    for (char c : utf8) {
        if (c == '"' || c == '`' || c == '$')
            quoted += std::string("\\\\") + c;
        else if (c == '\\')
            quoted += "\\\\\\\\";
        else if (c == '%')
            quoted += "%%";
        else
            quoted += c;
    }
    return quoted + '"';
}

// Writes bytes to path when they differ from what it holds.
bool WriteIfChanged(const std::string& path, const std::string& bytes) {
    if (FileExists(path)) {
        try {
            if (ReadWholeFile(path) == bytes)
                return false;
        } catch (const EFOpenError&) {
            // An unreadable file is written anew.
        }
    }
    if (!ForceDirectories(ExtractFilePath(path)))
        throw EFOpenError("Cannot create file \"" + path + "\"");
    WriteFileAtomically(path, bytes);
    return true;
}

} // namespace

std::string DesktopEntryText(const std::string& programPath) {
    std::string text = ResourceText(":/desktop/vornix.desktop.in");
    const std::string marker = "@EXEC@";
    const size_t at = text.find(marker);
    if (at != std::string::npos)
        text.replace(at, marker.size(), ExecArgument(Cp1252ToUtf8(programPath)));
    return text;
}

std::string MimePackageText() {
    return ResourceText(":/desktop/vornix.xml");
}

bool RegisterDefaultIcon() {
    return WriteIfChanged(DataHome() + "icons/hicolor/scalable/apps/vornix.svg",
                          ResourceText(":/pictures/vornix.svg"));
}

bool RegisterExtension() {
    return WriteIfChanged(DataHome() + "mime/packages/vornix.xml", MimePackageText());
}

bool RegisterFileTypeCommand(const std::string& programPath) {
    return WriteIfChanged(DataHome() + "applications/" + kDesktopEntryName,
                          DesktopEntryText(programPath));
}

void RegisterDocumentType(const std::string& programPath) {
    const bool icon = RegisterDefaultIcon();
    const bool mime = RegisterExtension();
    const bool entry = RegisterFileTypeCommand(programPath);
    const QString home = QString::fromUtf8(ToLocalPath(DataHome()));
    if (mime)
        QProcess::startDetached("update-mime-database", {home + "mime"});
    if (entry || icon)
        QProcess::startDetached("update-desktop-database", {home + "applications"});
}

void RegisterFileType(bool force) {
    const std::string folder = Folder(QStandardPaths::GenericConfigLocation);
    if (!ForceDirectories(folder))
        throw EFOpenError("Cannot create file \"" + folder + "mimeapps.list\"");
    const char* section = "Default Applications";
    const std::string path = folder + "mimeapps.list";
    // A new list gets the desktop's line ends; an existing one keeps its own.
    if (!FileExists(path))
        WriteFileAtomically(path, std::string("[") + section + "]\n");
    TIniFile list(path);
    if (!force && list.ValueExists(section, kDocumentMimeType))
        return;
    list.WriteString(section, kDocumentMimeType, kDesktopEntryName);
    list.UpdateFile();
}

} // namespace vx
