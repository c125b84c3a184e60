#include "app/JvSearchFiles.h"

#include "platform/runtime/Paths.h"
#include "platform/system/Files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <set>
#include <utility>
#include <vector>

namespace vx {

namespace {

bool Holds(TJvAttrFlagKind kind, bool present) {
    switch (kind) {
    case TJvAttrFlagKind::tsMustBeSet:
        return present;
    case TJvAttrFlagKind::tsMustBeUnSet:
        return !present;
    case TJvAttrFlagKind::tsDontCare:
        break;
    }
    return true;
}

TDateTime LocalDateTime(const struct timespec& when) {
    struct tm local {};
    const time_t seconds = when.tv_sec;
    if (!localtime_r(&seconds, &local))
        return 0;
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59),
                      static_cast<int>(when.tv_nsec / 1000000));
}

// Names of a folder's entries of every kind, in byte order, each once: the folder list also
// holds FIFOs and other special files, so what an entry is comes from stat, not from the list.
std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names = ListFolder(folder, false);
    std::vector<std::string> folders = ListFolder(folder, true);
    names.insert(names.end(), folders.begin(), folders.end());
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

bool FolderId(const std::string& folder, std::pair<dev_t, ino_t>& id) {
    struct stat st {};
    if (::stat(ToLocalPath(folder).c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    id = {st.st_dev, st.st_ino};
    return true;
}

} // namespace

std::string TJvSearchParams::FileMask() const {
    std::string text;
    for (const std::string& mask : FileMasks.Items())
        text += (text.empty() ? "" : ";") + mask;
    return text;
}

void TJvSearchParams::SetFileMask(std::string_view text) {
    FileMasks.Clear();
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find(';', start), text.size());
        if (end > start)
            FileMasks.Add(text.substr(start, end - start));
        start = end + 1;
    }
}

bool TJvSearchParams::Check(const TJvEntryFacts& entry) const {
    if (SearchTypes & stAttribute) {
        if (!Holds(Attributes.ReadOnly, entry.ReadOnly) ||
            !Holds(Attributes.Hidden, entry.Hidden) || !Holds(Attributes.System, entry.System) ||
            !Holds(Attributes.Directory, entry.Directory))
            return false;
    }
    if ((SearchTypes & stMaxSize) && entry.Size > MaxSize)
        return false;
    if ((SearchTypes & stMinSize) && entry.Size < MinSize)
        return false;
    if ((SearchTypes & stLastChangeAfter) && !(entry.LastChange > LastChangeAfter))
        return false;
    if ((SearchTypes & stLastChangeBefore) && !(entry.LastChange < LastChangeBefore))
        return false;
    if ((SearchTypes & stFileMask) && FileMasks.Count() > 0) {
        const bool ignoreCase = !(SearchTypes & stFileMaskCaseSensitive);
        const auto& masks = FileMasks.Items();
        return std::any_of(masks.begin(), masks.end(), [&](const std::string& mask) {
            return MatchesMask(entry.Name, mask, ignoreCase);
        });
    }
    return true;
}

TJvSearchFiles::TJvSearchFiles(TComponent* owner) : TComponent(owner) {}

bool TJvSearchFiles::Search() {
    files_.Clear();
    directories_.Clear();
    const std::string root = IncludeTrailingPathDelimiter(RootDirectory);
    std::pair<dev_t, ino_t> id;
    if (RootDirectory.empty() || !FolderId(root, id) ||
        ::access(ToLocalPath(root).c_str(), R_OK | X_OK) != 0)
        return false;
    std::set<std::pair<dev_t, ino_t>> searched{id};

    struct Pending {
        std::string Folder;
        int Depth;
    };
    std::vector<Pending> stack{{root, 0}};
    while (!stack.empty()) {
        const Pending current = std::move(stack.back());
        stack.pop_back();
        std::vector<Pending> subfolders;
        for (const std::string& name : Entries(current.Folder)) {
            const std::string path = current.Folder + name;
            struct stat st {};
            if (::stat(ToLocalPath(path).c_str(), &st) != 0)
                continue; // a broken link, or gone since the listing
            TJvEntryFacts facts;
            facts.Name = name;
            facts.Hidden = name.front() == '.';
            facts.Directory = S_ISDIR(st.st_mode);
            facts.ReadOnly = ::access(ToLocalPath(path).c_str(), W_OK) != 0;
            facts.Size = st.st_size;
            facts.LastChange = LocalDateTime(st.st_mtim);
            if (facts.Directory) {
                if (searched.count({st.st_dev, st.st_ino}))
                    continue;
                if ((Options & soSearchDirs) && DirParams.Check(facts))
                    directories_.Add((Options & soStripDirs) ? name : path);
                const bool deeper = RecurseDepth <= 0 || current.Depth < RecurseDepth;
                if (DirOption == TJvDirOption::doIncludeSubDirs && deeper) {
                    searched.insert({st.st_dev, st.st_ino});
                    subfolders.push_back({IncludeTrailingPathDelimiter(path), current.Depth + 1});
                }
            } else if (S_ISREG(st.st_mode) && (Options & soSearchFiles) &&
                       FileParams.Check(facts)) {
                files_.Add((Options & soStripDirs) ? name : path);
            }
        }
        // Reversed onto the stack, so that the first subfolder's tree comes out first.
        for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it)
            stack.push_back(std::move(*it));
    }
    return true;
}

} // namespace vx
