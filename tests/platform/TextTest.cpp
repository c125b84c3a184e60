#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/Strings.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(Cp1252, EveryByteRoundTripsThroughUtf8AndQString) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
    EXPECT_EQ(FromQString(ToQString(all)), all);
    EXPECT_TRUE(IsCp1252Representable(Cp1252ToUtf8(all)));
}

TEST(Cp1252, KnownCodePoints) {
    EXPECT_EQ(Cp1252ToUnicode(0xA7), u'\u00A7');
    EXPECT_EQ(Cp1252ToUnicode(0x80), u'\u20AC');
    EXPECT_EQ(Cp1252ToUnicode(0x81), u'\u0081');
    EXPECT_EQ(UnicodeToCp1252(0x20AC), 0x80);
    EXPECT_EQ(UnicodeToCp1252(0x00A7), 0xA7);
    EXPECT_EQ(UnicodeToCp1252(0x4E2D), -1);
    EXPECT_EQ(Cp1252ToUtf8("\xA7"), "\xC2\xA7");
    EXPECT_EQ(Utf8ToCp1252("\xE2\x82\xAC"), "\x80");
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1252("a\xE4\xB8\xAD"
                           "b"),
              "a?b");
    EXPECT_EQ(FromQString(QString::fromUtf8("\xF0\x9F\x98\x80x")), "?x");
    EXPECT_FALSE(IsCp1252Representable("\xE4\xB8\xAD"));
    EXPECT_EQ(Utf8ToCp1252("\xFF"), "?"); // not UTF-8 at all
}

TEST(Strings, CaseFoldingCoversTheCodePage) {
    EXPECT_EQ(UpperCase("abc\xE8\xFF\x9A\xF7\xDF"), "ABC\xC8\x9F\x8A\xF7\xDF");
    EXPECT_EQ(LowerCase("ABC\xC8\x9F\x8A\xD7"), "abc\xE8\xFF\x9A\xD7");
    EXPECT_EQ(CompareText("abc", "ABD"), -1);
    EXPECT_EQ(CompareText("\xE8", "\xC8"), 0);
    EXPECT_EQ(CompareText("ab", "abc"), -1);
    EXPECT_TRUE(SameText("Speed", "SPEED"));
    // Folding goes to upper case: '_' sorts after the letters' upper forms.
    EXPECT_LT(CompareText("IDSA", "IDS_"), 0);
}

TEST(Strings, TrimAndFriends) {
    EXPECT_EQ(Trim("\t a b \r\n"), "a b");
    EXPECT_EQ(TrimLeft("  x "), "x ");
    EXPECT_EQ(TrimRight("  x "), "  x");
    EXPECT_EQ(Pos("cd", "abcdef"), 3);
    EXPECT_EQ(Pos("x", "abc"), 0);
    EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Copy("abc", 3, 10), "c");
    EXPECT_EQ(Copy("abc", 5, 1), "");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(StringReplaceAll("a,b,,c", ",", ";"), "a;b;;c");
}

TEST(Paths, BothSeparators) {
    struct Case {
        const char* path;
        const char* name;
        const char* dir;
        const char* ext;
    } cases[] = {
        {"C:\\a\\b.c.d", "b.c.d", "C:\\a\\", ".d"},
        {"/x/y/z.txt", "z.txt", "/x/y/", ".txt"},
        {"plain", "plain", "", ""},
        {"a.b/c", "c", "a.b/", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtractFileName(c.path), c.name);
        EXPECT_EQ(ExtractFilePath(c.path), c.dir);
        EXPECT_EQ(ExtractFileExt(c.path), c.ext);
    }
    EXPECT_EQ(ChangeFileExt("a.b/c", ".WHF"), "a.b/c.WHF");
    EXPECT_EQ(ChangeFileExt("C:\\a\\b.c.d", ".WHF"), "C:\\a\\b.c.WHF");
    EXPECT_EQ(ChangeFileExt("x.txt", ""), "x");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\a\\"), "C:\\a\\");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/"), "/a");
    EXPECT_EQ(ExtractFileDir("/a/b.txt"), "/a");
    EXPECT_EQ(NormalizePath("a\\b/c"), "a/b/c");
}

} // namespace
} // namespace vx
