#pragma once

// The file search the test converter expands folders with: the files (and, when asked, the
// folders) below a root folder that pass a set of tests on name, size, date and attributes.

#include "platform/runtime/Component.h"
#include "platform/runtime/DateTime.h"
#include "platform/runtime/StringList.h"

#include <cstdint>
#include <string>

namespace vx {

enum TJvSearchOption : unsigned {
    soAllowDuplicates = 0x1,
    soCheckRootDirValid = 0x2,
    soExcludeFilesInRootDir = 0x4,
    soOwnerData = 0x8,
    soSearchDirs = 0x10,
    soSearchFiles = 0x20,
    soSorted = 0x40,
    soStripDirs = 0x80,
    soIncludeSystemHiddenDirs = 0x100,
    soIncludeSystemHiddenFiles = 0x200,
};
using TJvSearchOptions = unsigned;

enum class TJvDirOption {
    doExcludeSubDirs,
    doIncludeSubDirs,
    doExcludeInvalidDirs,
    doExcludeCompleteInvalidDirs
};

enum class TJvErrorResponse { erAbort, erIgnore, erRaise };

enum TJvSearchType : unsigned {
    stAttribute = 0x1,
    stFileMask = 0x2,
    stFileMaskCaseSensitive = 0x4,
    stLastChangeAfter = 0x8,
    stLastChangeBefore = 0x10,
    stMaxSize = 0x20,
    stMinSize = 0x40,
};
using TJvSearchTypes = unsigned;

enum class TJvAttrFlagKind { tsMustBeSet, tsDontCare, tsMustBeUnSet };

// What an entry must or must not be. On this system a name starting with "." is hidden,
// nothing is a system file, and read-only means the user may not write it.
struct TJvSearchAttributes {
    TJvAttrFlagKind ReadOnly = TJvAttrFlagKind::tsDontCare;
    TJvAttrFlagKind Hidden = TJvAttrFlagKind::tsDontCare;
    TJvAttrFlagKind System = TJvAttrFlagKind::tsDontCare;
    TJvAttrFlagKind Directory = TJvAttrFlagKind::tsDontCare;
};

// The facts about one entry that the tests look at.
struct TJvEntryFacts {
    std::string Name; // without folder, cp1252
    bool ReadOnly = false;
    bool Hidden = false;
    bool System = false;
    bool Directory = false;
    int64_t Size = 0;
    TDateTime LastChange = 0;
};

class TJvSearchParams {
public:
    TJvSearchTypes SearchTypes = 0;
    TJvSearchAttributes Attributes;
    TStringList FileMasks;
    int64_t MinSize = 0;
    int64_t MaxSize = 0;
    TDateTime LastChangeAfter = 0;
    TDateTime LastChangeBefore = 0;

    // The masks as one text, separated by ";".
    std::string FileMask() const;
    void SetFileMask(std::string_view text);

    // Sizes are inclusive bounds, dates strict ones.
    bool Check(const TJvEntryFacts& entry) const;
};

class TJvSearchFiles : public TComponent {
public:
    explicit TJvSearchFiles(TComponent* owner = nullptr);

    std::string RootDirectory;
    TJvSearchOptions Options = soSearchFiles;
    TJvDirOption DirOption = TJvDirOption::doIncludeSubDirs;
    // 0: no limit; n: folders down to n levels below the root are searched.
    int RecurseDepth = 0;
    TJvErrorResponse ErrorResponse = TJvErrorResponse::erAbort;
    TJvSearchParams FileParams;
    TJvSearchParams DirParams;

    // What the last search found, folder included unless soStripDirs.
    const TStringList& Files() const { return files_; }
    const TStringList& Directories() const { return directories_; }

    // Depth first: a folder's files in byte order, then each subfolder's whole tree in turn.
    // Only regular files are found (links followed); a folder reached twice, through a link
    // for instance, is searched once. False when the root cannot be listed.
    bool Search();

private:
    TStringList files_;
    TStringList directories_;
};

} // namespace vx
