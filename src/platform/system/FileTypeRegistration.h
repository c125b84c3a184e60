#pragma once

// The document type ".VRX" for the current user, the desktop's way: a MIME package, an icon
// and an application entry below $XDG_DATA_HOME (the first set, written at every start), and
// the entry as the type's default application in $XDG_CONFIG_HOME/mimeapps.list (the second
// set). Paths are cp1252; the files themselves are UTF-8, as the desktop reads them.

#include <string>

namespace vx {

inline constexpr const char* kDocumentMimeType = "application/x-vornix-document";
inline constexpr const char* kDesktopEntryName = "vornix.desktop";

// The entry that starts programPath with the chosen file.
std::string DesktopEntryText(const std::string& programPath);
std::string MimePackageText();

// Each writes its file only when its content differs and tells whether it did; a file that
// cannot be written raises EFOpenError or EWriteError naming it.
bool RegisterDefaultIcon();
bool RegisterExtension();
bool RegisterFileTypeCommand(const std::string& programPath);

// The first set; when a file changed, the desktop's caches are rebuilt in the background
// (update-mime-database, update-desktop-database), never waited for.
void RegisterDocumentType(const std::string& programPath);

// The second set: when forced, or when mimeapps.list names no default for the type. Every
// other line of the file stays as it was.
void RegisterFileType(bool force);

} // namespace vx
