#pragma once

#include <string>
#include <string_view>

namespace vx {

// Path texts: '\' and '/' are both separators; paths we produce use '/'.
bool IsPathDelimiter(char c);
std::string ExtractFileName(std::string_view path);
// Folder with its trailing separator ("a/b/" for "a/b/c.txt").
std::string ExtractFilePath(std::string_view path);
// Folder without the trailing separator.
std::string ExtractFileDir(std::string_view path);
// Extension with its dot, "" when none.
std::string ExtractFileExt(std::string_view path);
// ext with its dot, or "" to drop the extension.
std::string ChangeFileExt(std::string_view path, std::string_view ext);
std::string IncludeTrailingPathDelimiter(std::string_view path);
std::string ExcludeTrailingPathDelimiter(std::string_view path);
// Every '\' becomes '/'.
std::string NormalizePath(std::string_view path);

} // namespace vx
