#include "localisation/mlComp.h"
#include "localisation/mlStoredTable.h"
#include "platform/runtime/FormatSettings.h"

#include "TestOwners.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace vx {
namespace {

TEST(TmlCustomLang, ChangeLocalesFillsTheFifteenLocaleItemsOnce) {
    test::TMainForm owner;
    TmlLang lang(&owner);
    lang.SetChangeLocales(true);
    ASSERT_EQ(lang.Locales().Count(), 15);
    for (int i = 0; i < 15; ++i) {
        const std::string& item = lang.Locales()[i];
        const std::string key(TmlCustomLang::LocaleKeys()[static_cast<size_t>(i)]);
        EXPECT_EQ(item.substr(0, key.size() + 1), key + '\1') << i;
        EXPECT_EQ(std::count(item.begin(), item.end(), '\1'), 2) << item;
        EXPECT_EQ(item.back(), '\1');
    }
    EXPECT_EQ(lang.Locales()[2],
              std::string("Decimal Separator\1") + FormatSettings().DecimalSeparator + '\1');
    const std::string months = lang.Locales()[11];
    EXPECT_EQ(std::count(months.begin(), months.end(), ','), 11);

    // Switched off and on again, or on with items present: nothing is added.
    lang.SetChangeLocales(false);
    lang.SetChangeLocales(true);
    EXPECT_EQ(lang.Locales().Count(), 15);
    TmlLang other(new QObject(&owner));
    other.Locales().Add("Decimal Separator\1,\1");
    other.SetChangeLocales(true);
    EXPECT_EQ(other.Locales().Count(), 1);
}

TEST(TmlCustomLang, NamesAndVersionSetters) {
    test::TMainForm owner;
    TmlLang lang(&owner);
    lang.SetVersion("9.9");
    EXPECT_EQ(lang.Version(), TmlCustomLang::kVersion);

    // While loading a missing language name is taken in.
    lang.BeginLoading();
    lang.SetLanguage("Klingon");
    lang.Loaded();
    EXPECT_EQ(lang.LangNames().Count(), 2);
    EXPECT_EQ(lang.LangNames()[1], "Klingon");
    EXPECT_EQ(lang.Language(), "Klingon");

    TStringList names;
    for (const char* name : {"Italiano", "English", "Deutsch", "Espa\xF1ol"})
        names.Add(name);
    lang.SetLangNames(names);
    EXPECT_EQ(lang.NumOfLanguages(), 4);
    EXPECT_EQ(lang.Language(), "Italiano");
    lang.SetLanguage("Espa\xF1ol");
    EXPECT_EQ(lang.ActiveLanguage(), 4);
}

TEST(TmlCustomLang, DelimiterChangeReachesExtendedItems) {
    test::TMainForm owner;
    TmlLang lang(&owner);
    lang.ExtendedTranslations().Add().Values = "uno\1one\1";
    lang.SetLangDelim('|');
    EXPECT_EQ(lang.ExtendedTranslations().Items(0).Values, "uno|one|");
    // While loading the delimiter is only stored.
    lang.BeginLoading();
    lang.SetLangDelim('#');
    lang.Loaded();
    EXPECT_EQ(lang.ExtendedTranslations().Items(0).Values, "uno|one|");
}

} // namespace
} // namespace vx
