#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vx {

// File-system calls take cp1252 paths (either separator) and convert them to UTF-8 names.
bool FileExists(std::string_view path);
bool DirectoryExists(std::string_view path);
// Creates every missing folder of the path; false when one cannot be created.
bool ForceDirectories(std::string_view path);
bool DeleteFile(std::string_view path);
bool RenameFile(std::string_view from, std::string_view to);
bool CopyFile(std::string_view from, std::string_view to, bool failIfExists);
// -1 when the file does not exist.
int64_t FileSize(std::string_view path);

// Paths longer than this, or of more components, are taken as missing: a look-up lists a
// folder per component, and a hostile name must not make that unbounded.
inline constexpr size_t kMaxLookupPathBytes = 4096;
inline constexpr size_t kMaxLookupPathComponents = 64;

// Finds existing files or folders one path component at a time: the exact name first, else
// the single entry that matches ignoring case. Each folder is listed at most once however
// many look-ups of one lookup object need it, so one lookup serves one request.
class TPathLookup {
public:
    // The path as it exists ('/' separators), or "" when there is none, the match is
    // ambiguous or the path is over the bounds above.
    std::string Find(std::string_view path);
    // Only a regular file (links followed) that opens for reading: never a folder, a FIFO
    // or a device, which would fail later, block or never end.
    std::string FindReadableFile(std::string_view path);
    int Listings() const { return listings_; }

private:
    const std::vector<std::string>& Entries(const std::string& folder);

    std::vector<std::pair<std::string, std::vector<std::string>>> listed_;
    int listings_ = 0;
};

std::string FindExistingPath(std::string_view path);

// Names (not paths) of the entries of a folder, files or folders, sorted by byte order.
// Names that cp1252 cannot hold are skipped.
std::vector<std::string> ListFolder(std::string_view folder, bool folders);

// True when name matches mask ('*' any run, '?' one character) without regard to case (or
// byte for byte); a mask ending in ".*" also matches the name without any extension.
bool MatchesMask(std::string_view name, std::string_view mask, bool ignoreCase = true);

// Appends text to a log that only its owner may read: created 0600 (an older, wider one is
// narrowed). A log already past maxBytes first moves to oldPath, replacing the copy there, so
// that at most one old copy stays. Safe from several threads; false when nothing was written.
bool AppendToPrivateLog(std::string_view path, std::string_view oldPath, std::string_view text,
                        int64_t maxBytes);

// True when the user may create files in the folder.
bool IsWritableFolder(std::string_view folder);

// The local path (UTF-8) of a cp1252 path.
std::string ToLocalPath(std::string_view path);

} // namespace vx
