#include "localisation/mlComp.h"
#include "localisation/mlLangDispatcher.h"
#include "localisation/mlStoredTable.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/TextMetrics.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"

#include "TestWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace vx {
namespace {

// One pixel per character, none for '*': enough to follow where the padding goes.
int64_t CountWidth(std::string_view s) {
    return static_cast<int64_t>(s.size() - std::count(s.begin(), s.end(), '*'));
}
int64_t OneEach(std::string_view s) {
    return static_cast<int64_t>(s.size());
}

TEST(TTestModeInfo, ExpandWidthPadsFromTheEndEverySecondPositionThenWraps) {
    const struct {
        const char* text;
        int percent;
        const char* shown;
    } cases[] = {
        {"abcd", 100, "A*B*C**D"}, {"abcd", 50, "A*BC*D"}, {"abcd", 0, "ABCD"},
        {"a", 200, "**A"},         {"", 100, ""},          {"ab", -100, "AB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExpandWidthText(c.text, '*', c.percent, OneEach), c.shown)
            << c.text << " " << c.percent;
}

TEST(TTestModeInfo, ExpandWidthStopsWhenThePaddingHasNoWidth) {
    EXPECT_EQ(ExpandWidthText("abcd", '*', 100, CountWidth), "ABCD");
}

TEST(TTestModeInfo, ExpandWidthMeasuresWithTahomaOnTheScreen) {
    TFont font;
    font.SetName("Tahoma");
    font.SetSize(8);
    const LOGFONTA tahoma = font.LogFont();
    TTestModeInfo info;
    for (int percent : {20, 100, 250}) {
        info.ExpandWidthPercent = percent;
        for (const char* text : {"Apri il file", "iiii", "WM"}) {
            const std::string shown = info.Display(text);
            const int64_t wanted = int64_t{TextWidth(tahoma, text)} * (100 + percent);
            EXPECT_GE(TextWidth(tahoma, shown) * int64_t{100}, wanted) << text << percent;
            // Stops at the first padding that reaches the width.
            if (shown.find('*') != std::string::npos) {
                EXPECT_LT((TextWidth(tahoma, shown) - TextWidth(tahoma, "*")) * int64_t{100},
                          wanted);
            }
            std::string unpadded = shown;
            std::erase(unpadded, '*');
            EXPECT_EQ(unpadded, UpperCase(text));
        }
    }
}

TEST(TTestModeInfo, OtherKindsFlipCaseAndExpandCharacters) {
    TTestModeInfo info;
    info.Kind = tmkFlipCase;
    EXPECT_EQ(info.Display("Ab1c"), "aB1C");
    info.Kind = tmkExpandChars;
    info.ExpandCharsPercent = 50;
    info.PaddingChar = '#';
    EXPECT_EQ(info.Display("abcd"), "abc#d#");
}

// A window's table linked to a dispatcher of three languages, read as a loaded form.
struct LinkedWindow {
    explicit LinkedWindow(const std::string& data) {
        TStringList names;
        for (const char* name : {"Italiano", "English", "Deutsch"})
            names.Add(name);
        dispatcher.SetLangNames(names);
        lang = new TmlLang(&window);
        lang->BeginLoading();
        ApplySystemTableSettings(*lang);
        lang->SetLangDispatcher(&dispatcher);
        TMemoryStream stream{test::TableText(data.c_str())};
        lang->ReadTranslationData(stream);
        lang->Loaded();
    }
    void TestMode(TTestModeKind kind) {
        dispatcher.TestModeInfo().Active = true;
        dispatcher.TestModeInfo().Kind = kind;
    }
    TmlLangDispatcher dispatcher;
    test::TTestControls window;
    TmlLang* lang = nullptr;
};

const char* const kTexts = "stCaptions\r\nLabel1|Nome||Name|\r\nButton1|Apri|Open|Öffnen|\r\n"
                           "stFonts\r\nLabel1|Arial||Arial|\r\n"
                           "stStrings\r\nIDS_1|Ab1c||x|\r\nIDS_2|Uno|Two|Drei|\r\nIDS_3||||\r\n";

TEST(TmlCustomLang, LookupsShowAnUntranslatedTextThroughTheTestDisplay) {
    LinkedWindow w(kTexts);
    w.TestMode(tmkFlipCase);
    w.dispatcher.SetActiveLanguage(2);
    EXPECT_EQ(w.lang->GetTextOrDefault("IDS_1"), "aB1C");
    EXPECT_EQ(w.lang->GetText("ids_1"), "aB1C");
    EXPECT_EQ(w.lang->GetTextOrDefault("IDS_2"), "Two");
    EXPECT_EQ(w.lang->GetTextOrDefault("IDS_3"), "");
    // The lists searched as text show it the same way.
    EXPECT_EQ(w.lang->InternalGetText(w.lang->Captions(), "Label1", false), "nOME");

    // Language 1 has nothing to fall back from; without the test mode the fall-back is plain.
    w.dispatcher.SetActiveLanguage(1);
    EXPECT_EQ(w.lang->GetTextOrDefault("IDS_1"), "Ab1c");
    w.dispatcher.TestModeInfo().Active = false;
    w.dispatcher.SetActiveLanguage(2);
    EXPECT_EQ(w.lang->GetTextOrDefault("IDS_1"), "Ab1c");
    EXPECT_EQ(w.lang->GetText("IDS_1"), "");
}

TEST(TmlCustomLang, ExpandWidthLookupIsWiderByThePercentage) {
    LinkedWindow w(kTexts);
    w.TestMode(tmkExpandWidth);
    w.dispatcher.TestModeInfo().ExpandWidthPercent = 60;
    w.dispatcher.SetActiveLanguage(2);
    TFont font;
    font.SetName("Tahoma");
    font.SetSize(8);
    const std::string shown = w.lang->GetTextOrDefault("IDS_1");
    EXPECT_EQ(shown.substr(0, 1), "A");
    EXPECT_GE(TextWidth(font.LogFont(), shown) * 100, TextWidth(font.LogFont(), "Ab1c") * 160);
}

TEST(TmlCustomLang, LanguageChangeShowsUntranslatedCaptionsThroughTheTestDisplay) {
    LinkedWindow w(kTexts);
    w.window.Label1->SetParentFont(false);
    w.dispatcher.SetActiveLanguage(3);
    ASSERT_EQ(w.window.Label1->Font()->Name(), "Arial");
    w.TestMode(tmkFlipCase);
    w.dispatcher.SetActiveLanguage(2);
    EXPECT_EQ(w.window.Label1->Caption(), "nOME");
    EXPECT_EQ(w.window.Button1->Caption(), "Open");
    // Font names are never shown that way: an empty one leaves the font alone.
    EXPECT_EQ(w.window.Label1->Font()->Name(), "Arial");
}

} // namespace
} // namespace vx
