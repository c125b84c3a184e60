#include "localisation/mlCodePages.h"

#include "TestOwners.h"
#include "localisation/mlComp.h"
#include "localisation/mlStoredTable.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(CodePages, CharsetsMapToTheirCodePages) {
    const struct {
        int charset;
        int codePage;
    } cases[] = {{0, 1252},   {1, 0},      {2, 42},     {77, 0},     {128, 932},
                 {129, 949},  {130, 1361}, {134, 936},  {136, 950},  {161, 1253},
                 {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257},
                 {204, 1251}, {222, 874},  {238, 1250}, {255, 0},    {-1, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(CharsetToCodePage(c.charset), c.codePage) << c.charset;
}

TEST(CodePages, ConvertsBetweenCodePagesAndUtf8) {
    const struct {
        int codePage;
        std::string bytes;
        std::string utf8;
    } cases[] = {
        {1252, "caff\xE8 \x80", "caff\xC3\xA8 \xE2\x82\xAC"},
        {0, "\xE8", "\xC3\xA8"},
        {1251, "\xC4\xE0", "\xD0\x94\xD0\xB0"},
        {1250, "\x8A", "\xC5\xA0"},
        {932, "\x82\xA0", "\xE3\x81\x82"},
        {42, "A\xB7", "\xEF\x81\x81\xEF\x82\xB7"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CodePageToUtf8(c.bytes, c.codePage), c.utf8) << c.codePage;
        EXPECT_EQ(Utf8ToCodePage(c.utf8, c.codePage), c.bytes) << c.codePage;
    }
}

TEST(CodePages, ReplacesWhatCannotBeConvertedAndKeepsTheRest) {
    // A Cyrillic letter has no cp1252 byte; a cut sequence at the end is not lost silently.
    EXPECT_EQ(Utf8ToCodePage("a\xD0\x94z", 1252), "a?z");
    EXPECT_EQ(Utf8ToCodePage("a\xE2\x82", 1252), "a?");
    EXPECT_EQ(CodePageToUtf8("x\x82", 932), "x?");
    EXPECT_EQ(Utf16LeToUtf8(std::string("A\0\x3D\xD8\x00\xDE\x00\xD8", 8)),
              "A\xF0\x9F\x98\x80\xEF\xBF\xBD");
}

TEST(TmlCustomLang, StoreAsUtf8RoundTripsTheStoredBytes) {
    test::TMainForm owner;
    auto* lang = new TmlLang(&owner);
    LoadStoredTable(*lang,
                    "[TmlLang]\r\nNumOfLanguages=2\r\nLangDelim=1\r\n"
                    "LangNames=Italiano,Russian\r\n",
                    "stStrings\r\nIDS_1\1Perch\xE8\1\xC4\xE0\1\r\n"
                    "stCharSets\r\nTMainForm\1ANSI_CHARSET\1RUSSIAN_CHARSET\1\r\n");
    lang->ExtendedTranslations().Add().Values = "caff\xE8\1\xC4\1";
    const std::string before = lang->Strings()[0];

    lang->SetStoreAsUTF8(true);
    EXPECT_EQ(lang->Strings()[0], "IDS_1\1Perch\xC3\xA8\1\xD0\x94\xD0\xB0\1");
    EXPECT_EQ(lang->ExtendedTranslations().Items(0).Values, "caff\xC3\xA8\1\xD0\x94\1");
    lang->SetStoreAsUTF8(false);
    EXPECT_EQ(lang->Strings()[0], before);
    EXPECT_EQ(lang->ExtendedTranslations().Items(0).Values, "caff\xE8\1\xC4\1");
}

} // namespace
} // namespace vx
