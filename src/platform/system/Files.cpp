#include "platform/system/Files.h"

#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/Strings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace vx {

std::string ToLocalPath(std::string_view path) {
    return Cp1252ToUtf8(NormalizePath(path));
}

static QString Q(std::string_view path) {
    return ToQString(NormalizePath(path));
}

bool FileExists(std::string_view path) {
    QFileInfo info(Q(path));
    return info.exists() && !info.isDir();
}

bool DirectoryExists(std::string_view path) {
    return !path.empty() && QFileInfo(Q(path)).isDir();
}

bool ForceDirectories(std::string_view path) {
    if (path.empty())
        return false;
    return QDir().mkpath(Q(path));
}

bool DeleteFile(std::string_view path) {
    return QFile::remove(Q(path));
}

bool AppendToPrivateLog(std::string_view path, std::string_view oldPath, std::string_view text,
                        int64_t maxBytes) {
    static std::mutex lock;
    const std::lock_guard<std::mutex> hold(lock);
    const std::string local = ToLocalPath(path);
    struct stat st {};
    if (::stat(local.c_str(), &st) == 0 && st.st_size > maxBytes)
        std::rename(local.c_str(), ToLocalPath(oldPath).c_str());
    const int fd =
        ::open(local.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    if (::fstat(fd, &st) == 0 && (st.st_mode & 077) != 0)
        ::fchmod(fd, st.st_mode & 0700);
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    return done == text.size();
}

bool IsWritableFolder(std::string_view folder) {
    return !folder.empty() && ::access(ToLocalPath(folder).c_str(), W_OK | X_OK) == 0;
}

bool RenameFile(std::string_view from, std::string_view to) {
    return QFile::rename(Q(from), Q(to));
}

bool CopyFile(std::string_view from, std::string_view to, bool failIfExists) {
    if (FileExists(to)) {
        if (failIfExists)
            return false;
        QFile::remove(Q(to));
    }
    return QFile::copy(Q(from), Q(to));
}

int64_t FileSize(std::string_view path) {
    QFileInfo info(Q(path));
    return info.exists() ? info.size() : -1;
}

std::vector<std::string> ListFolder(std::string_view folder, bool folders) {
    QDir dir(Q(folder));
    const auto filter =
        (folders ? QDir::Dirs | QDir::NoDotAndDotDot : QDir::Files) | QDir::Hidden | QDir::System;
    std::vector<std::string> names;
    for (const QString& name : dir.entryList(filter, QDir::Name)) {
        const std::string utf8 = name.toStdString();
        if (IsCp1252Representable(utf8))
            names.push_back(Utf8ToCp1252(utf8));
    }
    std::sort(names.begin(), names.end());
    return names;
}

const std::vector<std::string>& TPathLookup::Entries(const std::string& folder) {
    // "a/../a" and a link to it are one folder, listed once.
    std::string key = QFileInfo(Q(folder)).canonicalFilePath().toStdString();
    if (key.empty())
        key = folder;
    for (const auto& [name, entries] : listed_)
        if (name == key)
            return entries;
    ++listings_;
    std::vector<std::string> entries = ListFolder(folder, true);
    std::vector<std::string> files = ListFolder(folder, false);
    entries.insert(entries.end(), files.begin(), files.end());
    listed_.emplace_back(key, std::move(entries));
    return listed_.back().second;
}

std::string TPathLookup::Find(std::string_view path) {
    std::string p = NormalizePath(path);
    if (p.empty() || p.size() > kMaxLookupPathBytes || p.find('\0') != std::string::npos)
        return {};
    size_t components = 0;
    for (size_t i = 0; i < p.size(); ++i)
        if (p[i] != '/' && (i == 0 || p[i - 1] == '/'))
            ++components;
    if (components > kMaxLookupPathComponents)
        return {};
    if (QFileInfo::exists(ToQString(p)))
        return p;
    std::string current = p[0] == '/' ? "/" : "";
    size_t start = p[0] == '/' ? 1 : 0;
    while (start <= p.size()) {
        size_t end = p.find('/', start);
        if (end == std::string::npos)
            end = p.size();
        const std::string part = p.substr(start, end - start);
        start = end + 1;
        if (part.empty())
            continue;
        std::string candidate = current + part;
        if (!QFileInfo::exists(ToQString(candidate))) {
            std::string match;
            int matches = 0;
            for (const std::string& name : Entries(current.empty() ? "." : current)) {
                if (SameText(name, part)) {
                    match = name;
                    ++matches;
                }
            }
            if (matches != 1)
                return {};
            candidate = current + match;
        }
        current = candidate;
        if (end < p.size())
            current += '/';
    }
    return current;
}

std::string TPathLookup::FindReadableFile(std::string_view path) {
    std::string found = Find(path);
    if (found.empty())
        return {};
    const std::string local = ToLocalPath(found);
    struct stat info {};
    if (::stat(local.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    // Non-blocking, and checked again on what was opened: a FIFO swapped in meanwhile must
    // not hold the caller.
    const int fd = ::open(local.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    return regular ? found : std::string();
}

std::string FindExistingPath(std::string_view path) {
    return TPathLookup().Find(path);
}

namespace {

bool GlobMatch(std::string_view name, std::string_view mask, bool ignoreCase) {
    const auto same = [ignoreCase](char a, char b) {
        return ignoreCase ? UpCase(a) == UpCase(b) : a == b;
    };
    size_t n = 0, m = 0, starM = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || same(mask[m], name[n]))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starM = m++;
            starN = n;
        } else if (starM != std::string_view::npos) {
            m = starM + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

} // namespace

bool MatchesMask(std::string_view name, std::string_view mask, bool ignoreCase) {
    if (mask == "*.*" || GlobMatch(name, mask, ignoreCase))
        return true;
    // As the system's file search: "a.*" finds the file "a" too.
    return mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*" &&
           name.find('.') == std::string_view::npos &&
           GlobMatch(name, mask.substr(0, mask.size() - 2), ignoreCase);
}

} // namespace vx
