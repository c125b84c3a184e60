#include "platform/graphics/Drawing.h"

#include "GraphicsTestSupport.h"
#include "platform/graphics/Metafile.h"
#include "platform/graphics/PainterCanvas.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

using test::InkBox;
using test::PixelColor;
using test::WhiteImage;

TEST(DrawingTest, SquareMarkerFillsItsSquare) {
    QImage image = WhiteImage(100, 100);
    {
        ImageCanvas c(image);
        c.Brush.Color = clBlue;
        DrawMarker(c, 50, 50, 1, 10);
    }
    EXPECT_EQ(InkBox(image), QRect(40, 40, 21, 21));
    for (int y = 42; y <= 58; ++y)
        for (int x = 42; x <= 58; ++x)
            ASSERT_EQ(PixelColor(image, x, y), clBlue) << x << "," << y;
}

TEST(DrawingTest, EveryKnownShapeDrawsAroundItsCentreAndOthersNothing) {
    for (int shape = -1; shape <= 12; ++shape) {
        QImage image = WhiteImage(100, 100);
        {
            ImageCanvas c(image);
            DrawMarker(c, 50, 50, shape, 10);
        }
        const QRect ink = InkBox(image);
        if (shape < 0 || shape > 9) {
            EXPECT_TRUE(ink.isEmpty()) << shape;
            continue;
        }
        EXPECT_TRUE(QRect(40, 40, 21, 21).contains(ink)) << shape;
        EXPECT_GE(ink.width(), 19) << shape;
    }
    Metafile mf;
    {
        TMetafileCanvas c(mf, TDeviceCaps{});
        DrawMarker(c, 50, 50, 12, 10);
    }
    EXPECT_TRUE(mf.Empty());
}

TEST(DrawingTest, XorLineDrawnTwiceDisappearsAndThePenModeIsKept) {
    QImage image = WhiteImage(60, 60);
    ImageCanvas c(image);
    c.Brush.Color = clAqua;
    c.FillRect(Rect(0, 0, 30, 60));
    const QImage before = image.copy();
    DrawXorLine(c, {0, 10}, {59, 50});
    EXPECT_NE(image, before);
    EXPECT_EQ(c.Pen.Mode, pmCopy);
    DrawXorLine(c, {0, 10}, {59, 50});
    EXPECT_EQ(image, before);
}

TEST(DrawingTest, DefaultFontIsEightPointTestline) {
    const auto font = CreateDefaultFont();
    EXPECT_EQ(font->Name(), "Testline");
    EXPECT_EQ(font->Size(), 8);
    EXPECT_EQ(font->Color(), clBlack);
    EXPECT_EQ(font->Style(), TFontStyles{});
}

} // namespace
} // namespace vx
