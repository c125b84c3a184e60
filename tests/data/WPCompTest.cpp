#include "support/TestSupport.h"

#include "data/WPComp.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/StringList.h"
#include "platform/system/Files.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vx;
using vx::test::TempDir;

TEST(WPCompTest, PenWidthCodes) {
    const int widths[] = {1, 2, 3, 4, 6, 8, 12};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(PenWidthToIndex(widths[i]), i);
        EXPECT_EQ(IndexToPenWidth(i), widths[i]);
    }
    EXPECT_EQ(PenWidthToIndex(5), 0);
    EXPECT_EQ(IndexToPenWidth(9), 1);
    EXPECT_EQ(IndexToPenWidth(-1), 1);
}

TEST(WPCompTest, PenStyleCodes) {
    const TPenStyle styles[] = {psSolid, psDot, psDash, psDashDot, psDashDotDot};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(PenStyleToIndex(styles[i]), i);
        EXPECT_EQ(IndexToPenStyle(i), styles[i]);
    }
    EXPECT_EQ(PenStyleToIndex(psClear), 0);
    EXPECT_EQ(PenStyleToIndex(psInsideFrame), 0);
    EXPECT_EQ(IndexToPenStyle(5), psSolid);
    EXPECT_EQ(IndexToPenStyle(-1), psSolid);
}

TEST(WPCompTest, LengthUnitsOnADevice) {
    EXPECT_EQ(UnitsToPixels(96, UM_mm, 25.4), 96);
    EXPECT_EQ(UnitsToPixels(600, UM_Cm, 1), 236); // 236.22
    EXPECT_EQ(UnitsToPixels(600, UM_Inch, 0.5), 300);
    EXPECT_EQ(UnitsToPixels(2, UM_Inch, 1.25), 2); // 2.5 rounds to even
    EXPECT_DOUBLE_EQ(PixelsToUnits(96, UM_Cm, 96), 2.54);
    EXPECT_DOUBLE_EQ(PixelsToUnits(600, UM_mm, 300), 12.7);
    EXPECT_DOUBLE_EQ(PixelsToUnits(96, UM_Inch, 48), 0.5);
}

TEST(WPCompTest, FileNameEditing) {
    EXPECT_EQ(ReplaceExtension("C:\\a\\b.c.d", "WHF"), "C:\\a\\b.WHF");
    EXPECT_EQ(ReplaceExtension("C:\\a\\b", "WHF"), "C:\\a\\b.WHF");
    EXPECT_EQ(ReplaceExtension("/x.y/b", "CPF"), "/x.y/b.CPF");
    EXPECT_EQ(ForceExtension("test.whf", ".WHF"), "test.whf");
    EXPECT_EQ(ForceExtension("test.txt", ".WHF"), "test.WHF");
    EXPECT_EQ(ForceExtension("a.b/test", ".WHF"), "a.b/test.WHF");
    EXPECT_EQ(ReplaceChar("a/b/c", '/', '\\'), "a\\b\\c");
    EXPECT_EQ(ReplaceChar("abc", 'b', 'b'), "abc");
}

TEST(WPCompTest, ValidFileNames) {
    struct Case {
        std::string name;
        bool valid;
    } cases[] = {{"", true},
                 {"a.x", true},
                 {".x", false},
                 {"a?b", false},
                 {" a", false},
                 {"a b.txt", true},
                 {"a|b", false},
                 {"a\\b", false},
                 {"a/b", false},
                 {"a:b", false},
                 {"a\x81", false},
                 {"\xE0t\xE9", true},
                 {"a\tb", false},
                 {std::string("a\0b", 3), true},
                 {std::string("\0a", 2), false}};
    for (const Case& c : cases)
        EXPECT_EQ(IsValidFileName(c.name), c.valid) << c.name;
}

TEST(WPCompTest, CommandLine) {
    const std::string cmd =
        "\"C:\\Prog Files\\vornix.exe\"  \"\" \"C:\\My Docs\\a.vrx\" /p x\"y z\"w";
    EXPECT_EQ(GetParamStr(cmd, 1), "C:\\My Docs\\a.vrx");
    EXPECT_EQ(GetParamStr(cmd, 2), "/p");
    EXPECT_EQ(GetParamStr(cmd, 3), "xy zw");
    EXPECT_EQ(GetParamStr(cmd, 4), "");
    EXPECT_EQ(GetParamStr("prog\x01one\x1Ftwo", 2), "two");
    EXPECT_FALSE(GetParamStr(cmd, 0).empty());

    EXPECT_EQ(ExtractCommandLinePath("\"C:\\vornix.exe\" C:\\Docs\\a.vrx"), "C:\\Docs\\a.vrx");
    EXPECT_EQ(ExtractCommandLinePath("\"C:\\vornix.exe\" \"C:\\My Docs\\a.vrx\""),
              "C:\\My Docs\\a.vrx");
    EXPECT_EQ(ExtractCommandLinePath("\"C:\\vornix.exe\"  a.vrx \\x"), "a.vrx");
}

TEST(WPCompTest, Rectangles) {
    EXPECT_TRUE(PointInRect(0, 0, {0, 0, 10, 10}));
    EXPECT_TRUE(PointInRect(10, 10, {0, 0, 10, 10}));
    EXPECT_FALSE(PointInRect(11, 5, {0, 0, 10, 10}));
    EXPECT_EQ(NormalizeRect({10, 20, 0, 5}), (TRect{0, 5, 10, 20}));
    struct Case {
        TRect in, out;
    } cases[] = {{{150, 10, 200, 20}, {99, 10, 100, 20}},
                 {{-50, 10, -20, 20}, {0, 10, 1, 20}},
                 {{10, -5, 20, 200}, {10, 0, 20, 100}},
                 {{10, 150, 20, 300}, {10, 99, 20, 100}},
                 {{5, 5, 5, 5}, {5, 5, 5, 5}}};
    for (const Case& c : cases)
        EXPECT_EQ(ClampRectToRect({0, 0, 100, 100}, c.in), c.out) << c.in.Left << "," << c.in.Top;
    int32_t a = 1, b = 2;
    SwapInt(a, b);
    EXPECT_EQ(a, 2);

    struct Control {
        TPoint ClientToScreen(TPoint p) const { return {p.X + 100, p.Y + 50}; }
        TPoint ScreenToClient(TPoint p) const { return {p.X - 100, p.Y - 50}; }
    } control;
    EXPECT_EQ(RectClientToScreen(control, {1, 2, 3, 4}), (TRect{101, 52, 103, 54}));
    EXPECT_EQ(RectScreenToClient(control, {101, 52, 103, 54}), (TRect{1, 2, 3, 4}));
}

TEST(WPCompTest, FilesByMaskIgnoreCase) {
    TempDir dir;
    for (const char* name : {"a.TXT", "b.txt", "c.dat", "d", "e.txt.bak"})
        test::WriteFile(dir.File(name), "x");
    TStringList list;
    list.Add("kept");
    ListFilesByMask(list, dir.Path() + "*.txt");
    EXPECT_EQ(list.CommaText(), "kept,a.TXT,b.txt");
    list.Clear();
    ListFilesByMask(list, dir.Path() + "?.*");
    EXPECT_EQ(list.Count(), 5); // "d" has no extension and matches as the system's search does
    EXPECT_TRUE(MatchesMask("anything", "*.*"));
    EXPECT_FALSE(MatchesMask("ab", "a"));

    EXPECT_EQ(DeleteFilesByMask(dir.File("ignored.name"), "*.TxT"), 2);
    EXPECT_FALSE(FileExists(dir.File("a.TXT")));
    EXPECT_TRUE(FileExists(dir.File("c.dat")));
    EXPECT_TRUE(FileExists(dir.File("e.txt.bak")));
    EXPECT_EQ(DeleteFilesByMask(dir.File("missing/x"), "*.*"), 0);
}

TEST(WPCompTest, UniqueFileNamesAreNewFiles) {
    TempDir dir;
    std::set<std::string> names;
    for (int i = 0; i < 50; ++i) {
        std::string name = MakeUniqueFileName(dir.Path(), "tmp");
        ASSERT_TRUE(names.insert(name).second);
        ASSERT_TRUE(FileExists(name));
        std::string file = name.substr(dir.Path().size());
        ASSERT_EQ(file.size(), 13u) << file;
        EXPECT_EQ(file.substr(9), ".tmp");
        EXPECT_EQ(file.find_first_not_of("0123456789ABCDE"), 9u);
    }
    std::string withDot = MakeUniqueFileName(dir.Path().substr(0, dir.Path().size() - 1), ".~tm");
    EXPECT_EQ(withDot.substr(withDot.size() - 4), ".~tm");
    EXPECT_THROW(MakeUniqueFileName(dir.File("no/such/folder"), ".x"), EFOpenError);
}

TEST(WPCompTest, FileInUse) {
    TempDir dir;
    const std::string file = dir.File("out.pdf");
    EXPECT_TRUE(IsFileInUse(file)); // missing
    test::WriteFile(file, "data");
    EXPECT_FALSE(IsFileInUse(file));

    ::chmod(ToLocalPath(file).c_str(), 0444);
    EXPECT_FALSE(IsFileInUse(file)); // made writable for good
    struct stat st {};
    ::stat(ToLocalPath(file).c_str(), &st);
    EXPECT_TRUE(st.st_mode & S_IWUSR);

    int fd = ::open(ToLocalPath(file).c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    EXPECT_TRUE(IsFileInUse(file));
    ::close(fd);
    EXPECT_FALSE(IsFileInUse(file));
}

TEST(WPCompTest, SpecialFolders) {
    EXPECT_FALSE(GetSpecialFolderPath(CSIDL_LOCAL_APPDATA).empty());
    EXPECT_EQ(GetSpecialFolderPath(0x7777), "");
}
