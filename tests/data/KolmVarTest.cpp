#include "support/TestSupport.h"

#include "data/WPComp.h"
#include "platform/system/Files.h"
#include "platform/system/IniFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace vx;
using vx::test::ReadFile;
using vx::test::TempDir;
using vx::test::WriteFile;

namespace {

// The companion program's file: other sections, comments, odd spacing, a last line without
// its line end.
const std::string companionFile = "; Kolm settings\r\n"
                                  "[Kolm Path]\r\n"
                                  "Path Prove Default=C:\\Kolm\\Modelli\r\n"
                                  " Last edit path = \"C:\\Prove\\Edit\" \r\n"
                                  "\r\n"
                                  "[Other]\r\n"
                                  "Key=Value ; not a comment here\r\n"
                                  "# hash line\r\n"
                                  "Tail=1";

std::string BaseWith(const TempDir& dir, const std::string& content) {
    ForceDirectories(dir.Path() + "System");
    WriteFile(dir.File("System/KOLMVAR.SET"), content);
    return dir.Path();
}

} // namespace

TEST(KolmVarTest, WrittenValueReadsBack) {
    TempDir dir;
    ForceDirectories(dir.Path() + "System");
    std::string value;
    EXPECT_FALSE(ReadKolmVar(dir.Path(), "Kolm Path", " Last edit path", value));
    EXPECT_EQ(value, "");
    ASSERT_TRUE(WriteKolmVar(dir.Path(), "Kolm Path", " Last edit path", "C:\\Prove\\"));
    EXPECT_TRUE(ReadKolmVar(dir.Path(), "Kolm Path", " Last edit path", value));
    EXPECT_EQ(value, "C:\\Prove\\");
    EXPECT_EQ(ReadFile(dir.File("System/KOLMVAR.SET")),
              "[Kolm Path]\r\n Last edit path=C:\\Prove\\\r\n");
}

TEST(KolmVarTest, EveryOtherLineOfTheCompanionFileStays) {
    TempDir dir;
    std::string base = BaseWith(dir, companionFile);
    std::string value;
    ASSERT_TRUE(ReadKolmVar(base, "kolm path", " Last edit path", value));
    EXPECT_EQ(value, "C:\\Prove\\Edit");
    ASSERT_TRUE(ReadKolmVar(base, "Other", "key", value));
    EXPECT_EQ(value, "Value ; not a comment here");

    ASSERT_TRUE(WriteKolmVar(base, "Kolm Path", " Last edit path", "D:\\New"));
    ASSERT_TRUE(WriteKolmVar(base, "Kolm Path", "Last doc path", "D:\\Docs"));
    ASSERT_TRUE(WriteKolmVar(base, "Extra", "Anteprima FIle", "1"));
    EXPECT_EQ(ReadFile(dir.File("System/KOLMVAR.SET")), "; Kolm settings\r\n"
                                                        "[Kolm Path]\r\n"
                                                        "Path Prove Default=C:\\Kolm\\Modelli\r\n"
                                                        " Last edit path =D:\\New\r\n"
                                                        "Last doc path=D:\\Docs\r\n"
                                                        "\r\n"
                                                        "[Other]\r\n"
                                                        "Key=Value ; not a comment here\r\n"
                                                        "# hash line\r\n"
                                                        "Tail=1\r\n"
                                                        "[Extra]\r\n"
                                                        "Anteprima FIle=1\r\n");
    ASSERT_TRUE(ReadKolmVar(base, "Kolm Path", " Last edit path", value));
    EXPECT_EQ(value, "D:\\New");
}

TEST(KolmVarTest, UnchangedValueLeavesTheFileUntouched) {
    TempDir dir;
    std::string base = BaseWith(dir, companionFile);
    ASSERT_TRUE(WriteKolmVar(base, "Other", "Tail", "1"));
    EXPECT_EQ(ReadFile(dir.File("System/KOLMVAR.SET")), companionFile);
}

TEST(KolmVarTest, FileFoundWhateverTheCaseOfItsName) {
    TempDir dir;
    ForceDirectories(dir.Path() + "system");
    WriteFile(dir.File("system/kolmvar.set"), "[Kolm Path]\nLast WHF Used=m.whf\n");
    std::string value;
    ASSERT_TRUE(ReadKolmVar(dir.Path(), "Kolm Path", "Last WHF Used", value));
    EXPECT_EQ(value, "m.whf");
    ASSERT_TRUE(WriteKolmVar(dir.Path(), "Kolm Path", "Anteprima To", "20"));
    // The file's own line ends are kept for new lines.
    EXPECT_EQ(ReadFile(dir.File("system/kolmvar.set")),
              "[Kolm Path]\nLast WHF Used=m.whf\nAnteprima To=20\n");
}

TEST(KolmVarTest, LongValuesAreCutAndFailuresReported) {
    TempDir dir;
    std::string base = BaseWith(dir, "[Kolm Path]\r\nPath Main Prove=" + std::string(300, 'p'));
    std::string value;
    ASSERT_TRUE(ReadKolmVar(base, "Kolm Path", "Path Main Prove", value));
    EXPECT_EQ(value, std::string(255, 'p'));
    // No System folder: nothing to read, and the write says it failed.
    TempDir empty;
    EXPECT_FALSE(ReadKolmVar(empty.Path(), "Kolm Path", "Path Main Prove", value));
    EXPECT_FALSE(WriteKolmVar(empty.Path() + "missing/", "Kolm Path", "x", "y"));
}

TEST(IniFileTest, SectionsAndKeysMatchIgnoringCaseAndBlanks) {
    TempDir dir;
    WriteFile(dir.File("a.ini"), "[ Options ]\r\nMultipleInstance = 1\r\n[options]\r\nX=2\r\n");
    TIniFile ini(dir.File("a.ini"));
    EXPECT_TRUE(ini.SectionExists("OPTIONS"));
    EXPECT_TRUE(ini.ValueExists("options", "multipleinstance"));
    EXPECT_FALSE(ini.ValueExists("options", "X")); // the first section of a name counts
    EXPECT_EQ(ini.ReadString("Options", "MultipleInstance", "0"), "1");
    EXPECT_EQ(ini.ReadString("Options", "Missing", "def"), "def");
    EXPECT_EQ(ini.ReadString("Nope", "MultipleInstance", "def"), "def");
    TIniFile missing(dir.File("none.ini"));
    EXPECT_EQ(missing.ReadString("a", "b", "c"), "c");
}
