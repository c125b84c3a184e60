#include "platform/ui/FontDialog.h"

#include "support/TestSupport.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace vx {
namespace {

TFont Sample() {
    TFont font;
    font.SetPixelsPerInch(600);
    font.SetName("Arial");
    font.SetSize(10);
    font.SetStyle({fsBold});
    font.SetColor(static_cast<TColor>(0x0000FF));
    font.SetCharset(ANSI_CHARSET);
    return font;
}

TEST(FontDialogTest, ChooseFontTakesNameSizeColourAndStylesAndKeepsTheRest) {
    test::ScopedUi scoped;
    scoped.ui.FontHook = [](FontChoice& f) {
        f.Name = "Times New Roman";
        f.Size = 12;
        f.Color = 0x00FF00;
        f.Bold = false;
        f.Italic = true;
        return true;
    };
    TFont font = Sample();
    ASSERT_TRUE(ChooseFont(font));
    ASSERT_EQ(scoped.ui.FontRequests.size(), 1u);
    const FontChoice& asked = scoped.ui.FontRequests[0];
    EXPECT_EQ(asked.Name, "Arial");
    EXPECT_EQ(asked.Size, 10);
    EXPECT_EQ(asked.Color, 0x0000FF);
    EXPECT_TRUE(asked.Bold);
    EXPECT_FALSE(asked.Italic || asked.Underline || asked.StrikeOut);

    EXPECT_EQ(font.Name(), "Times New Roman");
    EXPECT_EQ(font.Size(), 12);
    EXPECT_EQ(font.Color(), static_cast<TColor>(0x00FF00));
    EXPECT_EQ(font.Style(), TFontStyles({fsItalic}));
    EXPECT_EQ(font.Charset(), ANSI_CHARSET);
    EXPECT_EQ(font.PixelsPerInch(), 600);
    EXPECT_EQ(font.Height(), -100);

    // Cancelled: not a field moves.
    scoped.ui.FontHook = [](FontChoice& f) {
        f.Name = "Courier New";
        return false;
    };
    TFont kept = Sample();
    EXPECT_FALSE(ChooseFont(kept));
    EXPECT_EQ(kept.LogFont(), Sample().LogFont());
    EXPECT_EQ(kept.Color(), Sample().Color());
    EXPECT_EQ(kept.PixelsPerInch(), 600);
}

TEST(FontDialogTest, ShowFontShowsTheNameInTheFontItself) {
    QLabel label;
    TFont font = Sample();
    font.SetStyle({fsItalic, fsUnderline});
    ShowFont(&label, font);
    EXPECT_EQ(label.text(), "Arial");
    EXPECT_EQ(label.font().family(), "Arial");
    EXPECT_EQ(label.font().pointSize(), 10);
    EXPECT_FALSE(label.font().bold());
    EXPECT_TRUE(label.font().italic());
    EXPECT_TRUE(label.font().underline());
    EXPECT_FALSE(label.font().strikeOut());
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

} // namespace
} // namespace vx
