#include "platform/runtime/Paths.h"

namespace vx {

bool IsPathDelimiter(char c) {
    return c == '/' || c == '\\';
}

static size_t LastDelimiter(std::string_view path) {
    for (size_t i = path.size(); i > 0; --i)
        if (IsPathDelimiter(path[i - 1]))
            return i - 1;
    return std::string_view::npos;
}

std::string ExtractFileName(std::string_view path) {
    const size_t p = LastDelimiter(path);
    return std::string(p == std::string_view::npos ? path : path.substr(p + 1));
}

std::string ExtractFilePath(std::string_view path) {
    const size_t p = LastDelimiter(path);
    return p == std::string_view::npos ? std::string() : std::string(path.substr(0, p + 1));
}

std::string ExtractFileDir(std::string_view path) {
    const size_t p = LastDelimiter(path);
    if (p == std::string_view::npos)
        return {};
    return std::string(path.substr(0, p == 0 ? 1 : p));
}

std::string ExtractFileExt(std::string_view path) {
    const std::string name = ExtractFileName(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
    const size_t slash = LastDelimiter(path);
    const size_t dot = path.rfind('.');
    const bool hasExt =
        dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash);
    return std::string(hasExt ? path.substr(0, dot) : path) + std::string(ext);
}

std::string IncludeTrailingPathDelimiter(std::string_view path) {
    if (!path.empty() && IsPathDelimiter(path.back()))
        return std::string(path);
    return std::string(path) + "/";
}

std::string ExcludeTrailingPathDelimiter(std::string_view path) {
    if (path.size() > 1 && IsPathDelimiter(path.back()))
        return std::string(path.substr(0, path.size() - 1));
    return std::string(path);
}

std::string NormalizePath(std::string_view path) {
    std::string out(path);
    for (char& c : out)
        if (c == '\\')
            c = '/';
    return out;
}

} // namespace vx
