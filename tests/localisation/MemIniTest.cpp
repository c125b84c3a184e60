#include "localisation/MemIni.h"

#include "platform/runtime/Streams.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

using test::ScopedFormatSettings;
using test::TempDir;

TEST(BMHPos, FindsTheFirstOccurrence) {
    struct Case {
        const char* pattern;
        const char* text;
        int pos;
    };
    const Case cases[] = {{"AB", "ABXX", 1},
                          {"ABC", "AB", 0},
                          {"ab", "XXAB", 0},
                          {"AAB", "AAAAB", 3},
                          {"", "", 1},
                          {"", "XYZ", 1},
                          {"AB", "XXAB", 3},
                          {"B", "ABAB", 2},
                          {"XAB", "XAXAB", 3},
                          {"ABAB", "ABABAB", 1},
                          {"Z", "ABC", 0},
                          {"CAB", "ABCABC", 3},
                          {"\r\nK\x01", "A\x01\r\nK\x01x", 3}};
    for (const Case& c : cases)
        EXPECT_EQ(BMHPos(c.pattern, c.text), c.pos) << c.pattern << " in " << c.text;
}

TEST(GetDelimitedField, FieldsUpToTheNextDelimiter) {
    for (auto [n, field] : std::initializer_list<std::pair<int, const char*>>{
             {0, "K"}, {1, "a"}, {2, "b"}, {3, ""}, {4, ""}, {256, "K"}, {-1, ""}})
        EXPECT_EQ(GetDelimitedField("K#a#b#", '#', n), field) << n;
    EXPECT_EQ(GetDelimitedField("K#a", '#', 1), "a");
    EXPECT_EQ(GetDelimitedField("", '#', 0), "");
    EXPECT_EQ(GetDelimitedField("K", '#', 0), "K");
    // A NUL ends the line.
    EXPECT_EQ(GetDelimitedField(std::string_view("K#a\0b#c", 7), '#', 1), "a");
    EXPECT_EQ(GetDelimitedField(std::string_view("K#a\0b#c", 7), '#', 2), "");
}

TEST(GetDelimitedField, WideFieldNeedsItsClosingDelimiter) {
    EXPECT_EQ(GetDelimitedFieldW(u"K#a#", u'#', 1), u"a");
    EXPECT_EQ(GetDelimitedFieldW(u"K#a#", u'#', 0), u"K");
    EXPECT_EQ(GetDelimitedFieldW(u"K#a", u'#', 1), u"");
    EXPECT_EQ(GetDelimitedFieldW(u"Ka", u'#', 0), u"");
    EXPECT_EQ(GetDelimitedFieldW(u"K#\u20ac#", u'#', 1), u"\u20ac");
}

TEST(TextRoutines, WordsAndDelimiters) {
    EXPECT_EQ(CountDelimiters("a,b;c,,", ",;"), 4);
    EXPECT_EQ(WordPosition(1, "  ab  cd", " "), 3);
    EXPECT_EQ(WordPosition(2, "  ab  cd", " "), 7);
    EXPECT_EQ(WordPosition(3, "  ab  cd", " "), 0);
    EXPECT_EQ(ExtractWord(2, "ab,,cd;e", ",;"), "cd");
    EXPECT_EQ(ExtractWord(4, "ab,,cd;e", ",;"), "");
}

TEST(TextRoutines, ReplaceNeverSearchesInsideAReplacement) {
    EXPECT_EQ(BMHReplace("aXbXc", "X", "XX", true), "aXXbXXc");
    EXPECT_EQ(BMHReplace("aXbXc", "X", "-", false), "a-bXc");
    EXPECT_EQ(BMHReplace("aaaa", "aa", "a", true), "aa");
    EXPECT_EQ(BMHReplace("abc", "", "x", true), "abc");
    EXPECT_EQ(BMHReplace("abc", "z", "x", true), "abc");
}

TEST(TextRoutines, LanguageColumns) {
    EXPECT_EQ(RemoveLanguageColumn("K#a#b#c#", '#', 2), "K#a#c##");
    EXPECT_EQ(RemoveLanguageColumn("K#a#b#c#", '#', 9), "K#a#b#c##");
    EXPECT_EQ(MoveLanguageColumn("K#a#b#c#", 1, 3, '#'), "K#b#c#a##");
    EXPECT_EQ(MoveLanguageColumn("K#a#b#c#", 3, 1, '#'), "K#c#a#b##");
    EXPECT_EQ(MoveLanguageColumn("K#a#b#c#", 2, 2, '#'), "K#a#b#c#");
    TStringList lines;
    lines.Add("A#1#2#");
    lines.Add("B#3#4#");
    RemoveLanguageColumn(lines, '#', 1);
    EXPECT_EQ(lines[0], "A#2##");
    EXPECT_EQ(lines[1], "B#4##");
}

TEST(TextRoutines, TestModeTexts) {
    EXPECT_EQ(FlipCase("Ab1\xC4\xE4"), "aB1\xE4\xC4");
    // Length 4 at 100 %: 4 fill characters, after character i come left div (5 - i).
    EXPECT_EQ(ExpandChars("abcd", '*', 100), "a*b*c*d*");
    EXPECT_EQ(ExpandChars("abcd", '*', 50), "abc*d*");
    EXPECT_EQ(ExpandChars("a%s", '*', 100), "a%s");
}

void Fill(TmlMemIniFile& ini, std::initializer_list<const char*> lines) {
    TStringList list;
    for (const char* line : lines)
        list.Add(line);
    ini.SetStrings(list);
}

TEST(TmlMemIniFile, ParsesSectionsAndKeysUntrimmed) {
    TmlMemIniFile ini("");
    TStringList lines;
    for (const char* line : {"x=1", "[S]", "k=v", ";c", "", "k2", "a = b", "[A", "[T]", "e="})
        lines.Add(line);
    ini.SetStrings(lines);
    TStringList sections, keys;
    ini.ReadSections(sections);
    ASSERT_EQ(sections.Count(), 2);
    EXPECT_EQ(sections[0], "S");
    EXPECT_EQ(sections[1], "T");
    ini.ReadSection("s", keys);
    ASSERT_EQ(keys.Count(), 4);
    // Sorted by the upper-case folds: '[' comes after the letters.
    EXPECT_EQ(keys[0], "a ");
    EXPECT_EQ(keys[1], "k");
    EXPECT_EQ(keys[2], "k2");
    EXPECT_EQ(keys[3], "[A");
    EXPECT_EQ(ini.ReadString("S", "a ", "?"), " b");
    EXPECT_EQ(ini.ReadString("S", "K2", "?"), "");
    EXPECT_EQ(ini.ReadString("S", "x", "?"), "?");
    EXPECT_EQ(ini.ReadString("T", "e", "?"), "");
    EXPECT_TRUE(ini.Modified());
}

TEST(TmlMemIniFile, WritesSectionsAsLines) {
    TempDir dir;
    TmlMemIniFile ini(dir.File("t.ini"));
    ini.WriteString("S", "k", "v");
    EXPECT_TRUE(ini.Modified());
    ini.UpdateFile();
    EXPECT_FALSE(ini.Modified());
    EXPECT_EQ(test::ReadFile(dir.File("t.ini")), "[S]\r\nk=v\r\n\r\n");

    TmlMemIniFile again(dir.File("t.ini"));
    EXPECT_EQ(again.ReadString("s", "K", ""), "v");
}

TEST(TmlMemIniFile, MissingFileIsEmpty) {
    TempDir dir;
    TmlMemIniFile ini(dir.File("none.ini"));
    TStringList sections;
    ini.ReadSections(sections);
    EXPECT_TRUE(sections.Empty());
    EXPECT_EQ(ini.ReadInteger("S", "k", 7), 7);
}

TEST(TmlMemIniFile, DuplicateSectionKeepsEveryKey) {
    TmlMemIniFile ini("");
    Fill(ini, {"[S]", "a=1", "[T]", "t=0", "[s]", "b=2"});
    EXPECT_EQ(ini.ReadString("S", "a", ""), "1");
    EXPECT_EQ(ini.ReadString("S", "b", ""), "2");
    TStringList lines;
    ini.GetStrings(lines);
    EXPECT_EQ(lines.Text(), "[S]\r\na=1\r\nb=2\r\n\r\n[T]\r\nt=0\r\n\r\n");
}

TEST(TmlMemIniFile, TypedValues) {
    TmlMemIniFile ini("");
    Fill(ini, {"[S]", "h=0x1F", "x=0x", "d=12", "n=abc", "b=2", "z=0", "f=1.5"});
    EXPECT_EQ(ini.ReadInteger("S", "h", -1), 31);
    EXPECT_EQ(ini.ReadInteger("S", "x", -1), -1);
    EXPECT_EQ(ini.ReadInteger("S", "d", -1), 12);
    EXPECT_EQ(ini.ReadInteger("S", "n", -1), -1);
    EXPECT_EQ(ini.ReadInteger("S", "missing", -1), -1);
    EXPECT_TRUE(ini.ReadBool("S", "b", false));
    EXPECT_FALSE(ini.ReadBool("S", "z", true));
    EXPECT_TRUE(ini.ReadBool("S", "missing", true));
    EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "f", 0), 1.5);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "n", 9), 9);

    ini.WriteBool("S", "w", true);
    ini.WriteInteger("S", "i", -5);
    EXPECT_EQ(ini.ReadString("S", "w", ""), "1");
    EXPECT_EQ(ini.ReadString("S", "i", ""), "-5");
}

TEST(TmlMemIniFile, DatesAndTimesFallBackToTheDefault) {
    ScopedFormatSettings keep;
    FormatSettings().ShortDateFormat = "dd/mm/yyyy";
    FormatSettings().DateSeparator = '/';
    FormatSettings().TimeSeparator = ':';
    TmlMemIniFile ini("");
    Fill(ini, {"[S]", "d=31/12/2020", "t=12:30", "bad=xx", "e="});
    EXPECT_DOUBLE_EQ(ini.ReadDate("S", "d", -1), EncodeDate(2020, 12, 31));
    EXPECT_DOUBLE_EQ(ini.ReadTime("S", "t", -1), EncodeTime(12, 30, 0, 0));
    EXPECT_DOUBLE_EQ(ini.ReadTime("S", "bad", -1), -1);
    EXPECT_DOUBLE_EQ(ini.ReadDateTime("S", "e", -1), -1);
    ini.WriteDate("S", "w", EncodeDate(2021, 2, 3));
    EXPECT_EQ(ini.ReadString("S", "w", ""), "03/02/2021");
}

TEST(TmlMemIniFile, SectionsAndKeysGo) {
    TmlMemIniFile ini("");
    Fill(ini, {"[S]", "b=2", "a=1", "[T]", "t=0"});
    TStringList values;
    ini.ReadSectionValues("S", values);
    ASSERT_EQ(values.Count(), 2);
    EXPECT_EQ(values[0], "1");
    EXPECT_EQ(values[1], "2");

    ini.WriteString("S", "a", "first");
    ini.WriteString("S", "a", "second");
    TStringList keys;
    ini.ReadSection("S", keys);
    EXPECT_EQ(keys.Count(), 2);
    EXPECT_EQ(ini.ReadString("S", "a", ""), "second");

    EXPECT_TRUE(ini.SectionExists("T"));
    ini.DeleteKey("T", "t");
    EXPECT_FALSE(ini.SectionExists("T"));
    ini.EraseSection("S");
    EXPECT_FALSE(ini.SectionExists("S"));
    EXPECT_EQ(ini.ReadString("S", "b", "gone"), "gone");
}

TEST(TmlMemIniFile, LoadsFromAStream) {
    TMemoryStream stream(std::string("[S]\r\nk=v\nl=w\r\n"));
    TmlMemIniFile ini("");
    ini.LoadFromStream(stream);
    EXPECT_EQ(ini.ReadString("S", "k", ""), "v");
    EXPECT_EQ(ini.ReadString("S", "l", ""), "w");
}

} // namespace
} // namespace vx
