#include "platform/graphics/TextMetrics.h"

#include "platform/graphics/Metafile.h"
#include "platform/graphics/PainterCanvas.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

LOGFONTA Face(const char* name, int32_t height, int32_t weight = FW_NORMAL, uint8_t italic = 0) {
    LOGFONTA lf;
    lf.SetFaceName(name);
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfItalic = italic;
    return lf;
}

TEST(TextMetricsTest, HeightComesFromWinAscentAndDescent) {
    // Liberation Sans: usWinAscent 1854, usWinDescent 434, 2048 units to the em.
    const TFontMetrics m = MeasureFont(Face("Arial", -100));
    EXPECT_DOUBLE_EQ(m.Em, 100);
    EXPECT_EQ(m.Ascent, 91);
    EXPECT_EQ(m.Descent, 21);
    EXPECT_EQ(m.Height(), 112);
    // A positive height is the cell height: em = 2288 x 2048 / (1854 + 434).
    const TFontMetrics cell = MeasureFont(Face("Arial", 2288));
    EXPECT_DOUBLE_EQ(cell.Em, 2048);
    EXPECT_EQ(cell.Height(), 2288);
}

TEST(TextMetricsTest, WidthIsTheSumOfRoundedAdvancesWithoutKerning) {
    const LOGFONTA lf = Face("Arial", -100);
    // Advances in design units: A 1366, V 1366, i 455, W 1933, blank 569.
    EXPECT_EQ(TextWidth(lf, "A"), 67);
    EXPECT_EQ(TextWidth(lf, "AV"), 134);
    EXPECT_EQ(TextWidth(lf, "Wi "), 94 + 22 + 28);
    int32_t adv[3];
    TextAdvances(lf, "Wi ", adv);
    EXPECT_EQ(adv[0], 94);
    EXPECT_EQ(adv[1], 22);
    EXPECT_EQ(adv[2], 28);
    EXPECT_EQ(TextWidth(lf, ""), 0);
}

TEST(TextMetricsTest, CanvasMeasuresTheSameWhateverTheDeviceResolution) {
    TDeviceCaps printer;
    printer.LogPixelsX = printer.LogPixelsY = 600;
    Metafile mf;
    TMetafileCanvas onPrinter(mf, printer);
    QImage image(10, 10, QImage::Format_RGB32);
    ImageCanvas onScreen(image, 96);
    for (TCanvas* c : {static_cast<TCanvas*>(&onPrinter), static_cast<TCanvas*>(&onScreen)}) {
        c->Font.SetName("Arial");
        c->Font.SetHeight(-100);
        EXPECT_EQ(c->TextHeight("X"), 112);
        EXPECT_EQ(c->TextWidth("AV"), 134);
    }
}

TEST(TextMetricsTest, FacesMapToTheirMetricTwins) {
    struct Case {
        LOGFONTA font;
        const char* file;
    };
    const Case cases[] = {
        {Face("Arial", -10), "LiberationSans-Regular.ttf"},
        {Face("MS Sans Serif", -10), "LiberationSans-Regular.ttf"},
        {Face("Testline", -10), "LiberationSans-Regular.ttf"},
        {Face("No Such Face", -10), "LiberationSans-Regular.ttf"},
        {Face("times new roman", -10), "LiberationSerif-Regular.ttf"},
        {Face("Courier New", -10, FW_BOLD), "LiberationMono-Bold.ttf"},
        {Face("Tahoma", -10, FW_NORMAL, 1), "LiberationSans-Italic.ttf"},
        {Face("Arial", -10, FW_BOLD, 1), "LiberationSans-BoldItalic.ttf"},
    };
    for (const auto& c : cases) {
        const std::string file = FontFileFor(c.font);
        EXPECT_EQ(file.substr(file.rfind('/') + 1), c.file) << c.font.FaceName();
    }
}

TEST(TextMetricsTest, FixedMetricsForLayoutTests) {
    SetFixedTextMetrics(true);
    const LOGFONTA lf = Face("Arial", -100);
    EXPECT_EQ(MeasureFont(lf).Ascent, 80);
    EXPECT_EQ(MeasureFont(lf).Descent, 20);
    EXPECT_EQ(TextWidth(lf, "AVi"), 150);
    SetFixedTextMetrics(false);
    EXPECT_EQ(TextWidth(lf, "AV"), 134);
}

} // namespace
} // namespace vx
