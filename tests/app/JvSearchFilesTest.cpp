#include "app/JvSearchFiles.h"

#include "platform/runtime/DateTime.h"
#include "platform/system/Files.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace vx {
namespace {

using test::WriteFile;

// R/ holds a.txt (3 bytes), B.TXT (5), .hid, a FIFO, a broken link, and the folders
// s1/{x.txt, deep/y.txt}, s2/z.txt.
class JvSearchFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = dir.Path() + "R/";
        for (const auto& [name, bytes] :
             std::vector<std::pair<std::string, std::string>>{{"a.txt", "abc"},
                                                              {"B.TXT", "12345"},
                                                              {".hid", "h"},
                                                              {"s1/x.txt", "x"},
                                                              {"s1/deep/y.txt", "y"},
                                                              {"s2/z.txt", "z"}}) {
            ForceDirectories(ExtractFolder(root + name));
            WriteFile(root + name, bytes);
        }
        ASSERT_EQ(::mkfifo((root + "f.txt").c_str(), 0644), 0);
        ASSERT_EQ(::symlink("gone", (root + "broken.txt").c_str()), 0);
        search.RootDirectory = root.substr(0, root.size() - 1);
    }
    static std::string ExtractFolder(const std::string& path) {
        return path.substr(0, path.rfind('/'));
    }
    std::vector<std::string> Found() {
        EXPECT_TRUE(search.Search());
        std::vector<std::string> names;
        for (const std::string& path : search.Files().Items())
            names.push_back(path.rfind(root, 0) == 0 ? path.substr(root.size()) : path);
        return names;
    }

    test::TempDir dir;
    std::string root;
    TJvSearchFiles search;
};

TEST_F(JvSearchFilesTest, DefaultsSearchEveryRegularFileDepthFirst) {
    EXPECT_EQ(search.Options, unsigned(soSearchFiles));
    EXPECT_EQ(search.DirOption, TJvDirOption::doIncludeSubDirs);
    EXPECT_EQ(search.RecurseDepth, 0);
    EXPECT_EQ(search.FileParams.SearchTypes, 0u);
    EXPECT_EQ(Found(), (std::vector<std::string>{".hid", "B.TXT", "a.txt", "s1/x.txt",
                                                 "s1/deep/y.txt", "s2/z.txt"}));
}

TEST_F(JvSearchFilesTest, DepthAndFolderOptionsBoundTheSearch) {
    search.RecurseDepth = 1;
    EXPECT_EQ(Found(),
              (std::vector<std::string>{".hid", "B.TXT", "a.txt", "s1/x.txt", "s2/z.txt"}));
    search.DirOption = TJvDirOption::doExcludeSubDirs;
    EXPECT_EQ(Found(), (std::vector<std::string>{".hid", "B.TXT", "a.txt"}));

    search.DirOption = TJvDirOption::doIncludeSubDirs;
    search.RecurseDepth = 0;
    search.Options = soSearchDirs | soStripDirs;
    EXPECT_TRUE(search.Search());
    EXPECT_EQ(search.Files().Count(), 0);
    EXPECT_EQ(search.Directories().Items(), (std::vector<std::string>{"s1", "s2", "deep"}));
}

TEST_F(JvSearchFilesTest, MasksIgnoreCaseUnlessAsked) {
    search.FileParams.SearchTypes = stFileMask;
    search.FileParams.SetFileMask("*.txt;?.T*");
    EXPECT_EQ(search.FileParams.FileMask(), "*.txt;?.T*");
    search.DirOption = TJvDirOption::doExcludeSubDirs;
    EXPECT_EQ(Found(), (std::vector<std::string>{"B.TXT", "a.txt"}));
    search.FileParams.SearchTypes |= stFileMaskCaseSensitive;
    search.FileParams.SetFileMask("*.txt");
    EXPECT_EQ(Found(), std::vector<std::string>{"a.txt"});
    search.FileParams.SetFileMask("*.*");
    EXPECT_EQ(Found(), (std::vector<std::string>{".hid", "B.TXT", "a.txt"}));
}

TEST_F(JvSearchFilesTest, SizesAreInclusiveDatesStrictAndAttributesAsTheSystemHasThem) {
    search.DirOption = TJvDirOption::doExcludeSubDirs;
    search.FileParams.SearchTypes = stMinSize | stMaxSize;
    search.FileParams.MinSize = 3;
    search.FileParams.MaxSize = 5;
    EXPECT_EQ(Found(), (std::vector<std::string>{"B.TXT", "a.txt"}));

    // a.txt changed on 2026-01-02 at noon, the others now.
    const TDateTime noon = EncodeDate(2026, 1, 2) + EncodeTime(12, 0, 0, 0);
    struct tm local {};
    local.tm_year = 126;
    local.tm_mon = 0;
    local.tm_mday = 2;
    local.tm_hour = 12;
    local.tm_isdst = -1;
    const struct timeval times[2] = {{mktime(&local), 0}, {mktime(&local), 0}};
    ASSERT_EQ(::utimes((root + "a.txt").c_str(), times), 0);
    search.FileParams.SearchTypes = stLastChangeBefore;
    search.FileParams.LastChangeBefore = noon;
    EXPECT_TRUE(Found().empty());
    search.FileParams.LastChangeBefore = noon + 1.0 / 86400;
    EXPECT_EQ(Found(), std::vector<std::string>{"a.txt"});
    search.FileParams.SearchTypes = stLastChangeAfter;
    search.FileParams.LastChangeAfter = noon;
    EXPECT_EQ(Found(), (std::vector<std::string>{".hid", "B.TXT"}));

    search.FileParams.SearchTypes = stAttribute;
    search.FileParams.Attributes.Hidden = TJvAttrFlagKind::tsMustBeUnSet;
    EXPECT_EQ(Found(), (std::vector<std::string>{"B.TXT", "a.txt"}));
    search.FileParams.Attributes.Hidden = TJvAttrFlagKind::tsDontCare;
    search.FileParams.Attributes.System = TJvAttrFlagKind::tsMustBeSet;
    EXPECT_TRUE(Found().empty());
    search.FileParams.Attributes.System = TJvAttrFlagKind::tsDontCare;
    search.FileParams.Attributes.ReadOnly = TJvAttrFlagKind::tsMustBeSet;
    // root writes everything: nothing is read-only to it
    ::chmod((root + "a.txt").c_str(), 0444);
    EXPECT_EQ(Found(),
              geteuid() == 0 ? std::vector<std::string>{} : std::vector<std::string>{"a.txt"});
}

TEST_F(JvSearchFilesTest, ARootThatCannotBeListedFindsNothing) {
    search.Search();
    search.RootDirectory = root + "missing";
    EXPECT_FALSE(search.Search());
    EXPECT_EQ(search.Files().Count(), 0);
    search.RootDirectory = root + "a.txt";
    EXPECT_FALSE(search.Search());
    search.RootDirectory = "";
    EXPECT_FALSE(search.Search());
}

} // namespace
} // namespace vx
