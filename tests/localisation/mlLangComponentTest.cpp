#include "localisation/mlLangComponent.h"

#include "TestOwners.h"
#include "localisation/mlComp.h"
#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Streams.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

using test::FromHex;
using test::HexBytes;

std::string SStr(std::string_view s) {
    return std::string(1, static_cast<char>(s.size())) + std::string(s);
}

std::string U32(size_t n) {
    std::string b;
    for (int i = 0; i < 4; ++i)
        b += static_cast<char>((n >> (8 * i)) & 0xFF);
    return b;
}

// A table of two languages with one identifier and one extended item, and no list that the
// constructor fills.
void FillSmallTable(TmlCustomLang& lang) {
    lang.setObjectName("mlLang1");
    lang.SetStringsTypes(TStringList());
    lang.SetExcludedProperties(TStringList());
    lang.DlgsCaptions().Clear();
    TStringList names;
    names.Add("Italiano");
    names.Add("English");
    lang.SetLangNames(names);
    lang.Strings().Add("IDS_1\1Uno\1One\1");
    TmlExtendedItem& item = lang.ExtendedTranslations().Add();
    item.SetIdentifier("TMainForm.Button1.Caption");
    item.PropertyType = tkLString;
    item.Values = "Si\1Yes\1";
}

const std::string kTranslationData = "stCaptions\r\nstHints\r\nstDisplayLabels\r\nstFonts\r\n"
                                     "stMultiLines\r\nstDlgsCaptions\r\nstStrings\r\n"
                                     "IDS_1\1Uno\1One\1\r\nstOtherStrings\r\nstLocales\r\n"
                                     "stCollections\r\nstCharSets\r\n";

std::string Written(TmlCustomLang& lang) {
    TMemoryStream stream;
    WriteLangComponent(stream, lang);
    return stream.Bytes();
}

TEST(mlLangComponentTest, TableIsWrittenAsTheComponentTmlLang) {
    test::TMainForm owner;
    TmlLang lang(&owner);
    FillSmallTable(lang);
    const std::string extended = SStr("ExtendedTranslations") + FromHex("0E 01") +
                                 SStr("Identifier") + FromHex("06") +
                                 SStr("TMainForm.Button1.Caption") + SStr("PropertyType") +
                                 FromHex("07") + SStr("tkLString") + SStr("ValuesEx") +
                                 FromHex("0A") + U32(7) + "Si\1Yes\1" + FromHex("00 00");
    const std::string expected =
        "TPF0" + SStr("TmlLang") + SStr("mlLang1") + SStr("NumOfLanguages") + FromHex("02 02") +
        SStr("LangDelim") + FromHex("02 01") + SStr("LangNames.Strings") + FromHex("01 06") +
        SStr("Italiano") + FromHex("06") + SStr("English") + FromHex("00") + SStr("Language") +
        FromHex("06") + SStr("Italiano") + extended + SStr("TranslationData") + FromHex("0A") +
        U32(kTranslationData.size()) + kTranslationData + FromHex("00 00");
    EXPECT_EQ(HexBytes(Written(lang)), HexBytes(expected));

    // Without extended items the collection is left out.
    lang.ExtendedTranslations().Clear();
    EXPECT_EQ(Written(lang).find("ExtendedTranslations"), std::string::npos);
}

TEST(mlLangComponentTest, ReadingSetsThePropertiesWhileTheTableLoads) {
    test::TMainForm from;
    TmlLang source(&from);
    FillSmallTable(source);
    source.SetNumOfLanguages(3);
    source.SetActiveLanguage(2);
    source.TranslateType = ttGetDefault;
    source.SetOptions(loUseExtCommonStrings);
    const std::string bytes = Written(source);

    test::TMainForm owner;
    TmlLang lang(&owner);
    TMemoryStream stream(bytes);
    ReadLangComponent(stream, lang);
    EXPECT_FALSE(lang.IsLoading());
    EXPECT_EQ(lang.objectName(), "mlLang1");
    EXPECT_EQ(lang.NumOfLanguages(), 3);
    EXPECT_EQ(lang.ActiveLanguage(), 2);
    EXPECT_EQ(lang.Language(), "English");
    EXPECT_EQ(lang.LangNames().Count(), 3);
    EXPECT_EQ(lang.TranslateType, ttGetDefault);
    EXPECT_EQ(lang.Options(), unsigned(loUseExtCommonStrings));
    // Loaded has run: the identifier index finds the text.
    EXPECT_EQ(lang.GetTextOrDefault("IDS_1"), "One");
    ASSERT_EQ(lang.ExtendedTranslations().Count(), 1);
    const TmlExtendedItem& item = lang.ExtendedTranslations().Items(0);
    EXPECT_EQ(item.Identifier(), "TMainForm.Button1.Caption");
    EXPECT_EQ(item.PropertyType, tkLString);
    EXPECT_EQ(item.Values, "Si\1Yes\1");
}

TEST(mlLangComponentTest, ValuesExInUtf16AreTakenToo) {
    test::TMainForm owner;
    TmlLang lang(&owner);
    TmlExtendedItem& item = lang.ExtendedTranslations().Add();
    item.SetIdentifier("TMainForm.Label1.Caption");
    // "Sì" and "Yes" in UTF-16LE with its byte-order mark.
    item.SetValuesEx(FromHex("FF FE 53 00 EC 00 01 00 59 00 65 00 73 00 01 00"));
    EXPECT_EQ(item.Values, "S\xEC\1Yes\1");
}

TEST(mlLangComponentTest, ClassRegistryMakesTablesByName) {
    ASSERT_NE(GetClass("TmlLang"), nullptr);
    test::TMainForm from;
    TmlLang source(&from);
    FillSmallTable(source);
    TMemoryStream stream(Written(source));
    TComponent owner;
    std::unique_ptr<TPersistent> made(ReadNewComponent(stream, &owner));
    auto* face = dynamic_cast<TmlLangComponent*>(made.get());
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->Name(), "mlLang1");
    EXPECT_EQ(face->Table().Strings().Text(), "IDS_1\1Uno\1One\1\r\n");
    EXPECT_FALSE(face->Table().IsLoading());
}

TEST(mlLangComponentTest, DamagedStreamsLeaveTheTableUsable) {
    test::TMainForm from;
    TmlLang source(&from);
    FillSmallTable(source);
    const std::string bytes = Written(source);
    for (size_t n = 0; n < bytes.size(); n += 7) {
        test::TMainForm owner;
        TmlLang lang(&owner);
        TMemoryStream stream(bytes.substr(0, n));
        EXPECT_THROW(ReadLangComponent(stream, lang), EReadError) << n;
        EXPECT_FALSE(lang.IsLoading()) << n;
    }
}

} // namespace
} // namespace vx
