#include "platform/graphics/Canvas.h"

#include "GraphicsTestSupport.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/PainterCanvas.h"
#include "platform/graphics/TextMetrics.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

using test::InkBox;
using test::PixelColor;
using test::WhiteImage;

void UseArial(TCanvas& c, int32_t height) {
    c.Font.SetName("Arial");
    c.Font.SetHeight(height);
    c.Font.SetColor(clBlack);
    c.Brush.Style = bsClear;
}

TEST(CanvasTest, AlignmentPlacesTextAroundTheReferencePoint) {
    struct Case {
        uint32_t align;
        const char* what;
    };
    const Case cases[] = {{TA_RIGHT | TA_BOTTOM, "right bottom"},
                          {TA_CENTER | TA_TOP, "centre top"},
                          {TA_LEFT | TA_BASELINE, "left baseline"}};
    for (const auto& c : cases) {
        QImage image = WhiteImage(300, 300);
        {
            ImageCanvas canvas(image);
            UseArial(canvas, -40);
            canvas.SetTextAlign(c.align);
            canvas.TextOut(100, 100, "Hgq");
        }
        const QRect ink = InkBox(image);
        ASSERT_FALSE(ink.isEmpty()) << c.what;
        switch (c.align & TA_CENTER) {
        case TA_RIGHT:
            EXPECT_LT(ink.right(), 100) << c.what;
            break;
        case TA_CENTER:
            EXPECT_LT(ink.left(), 100) << c.what;
            EXPECT_GT(ink.right(), 100) << c.what;
            break;
        default:
            EXPECT_GE(ink.left(), 100) << c.what;
        }
        switch (c.align & TA_BASELINE) {
        case TA_BOTTOM:
            EXPECT_LT(ink.bottom(), 100) << c.what;
            break;
        case TA_BASELINE: // descenders of g and q go below, capitals stand above
            EXPECT_LT(ink.top(), 90) << c.what;
            EXPECT_GT(ink.bottom(), 103) << c.what;
            break;
        default:
            EXPECT_GE(ink.top(), 100) << c.what;
        }
    }
}

TEST(CanvasTest, TextOutMovesThePenAndAlignmentPersists) {
    QImage image = WhiteImage(50, 50);
    ImageCanvas canvas(image);
    UseArial(canvas, -100);
    canvas.SetTextAlign(TA_RIGHT);
    canvas.TextOut(10, 20, "AV");
    EXPECT_EQ(canvas.PenPos(), (TPoint{144, 20}));
    EXPECT_EQ(canvas.TextAlign(), TA_RIGHT);
}

TEST(CanvasTest, RotatedTextRunsUpwardsFromTheReferencePoint) {
    QImage image = WhiteImage(300, 300);
    {
        ImageCanvas canvas(image);
        UseArial(canvas, -40);
        LOGFONTA lf = canvas.Font.LogFont();
        lf.lfEscapement = lf.lfOrientation = 900;
        canvas.Font.SetLogFont(lf);
        canvas.TextOut(100, 250, "HHHHH");
    }
    const QRect ink = InkBox(image);
    EXPECT_GE(ink.left(), 100);
    EXPECT_LE(ink.right(), 100 + 45);
    EXPECT_LE(ink.bottom(), 250);
    EXPECT_LT(ink.top(), 250 - 100);
}

TEST(CanvasTest, ClippedTextLeavesNoInkOutsideItsRectangle) {
    QImage image = WhiteImage(300, 100);
    {
        ImageCanvas canvas(image);
        UseArial(canvas, -40);
        canvas.TextRect(Rect(50, 20, 120, 60), 30, 10, "WWWWWWWW");
    }
    const QRect ink = InkBox(image);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_TRUE(QRect(50, 20, 70, 40).contains(ink))
        << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height();
}

TEST(CanvasTest, SolidBrushMakesTextOpaqueAndClearBrushDoesNot) {
    for (TBrushStyle style : {bsSolid, bsClear}) {
        QImage image = WhiteImage(200, 80);
        {
            ImageCanvas canvas(image);
            UseArial(canvas, -40);
            canvas.Brush.Style = style;
            canvas.Brush.Color = clRed;
            canvas.TextOut(10, 10, "i i");
        }
        // Between the letters the cell shows the background colour.
        const bool red = PixelColor(image, 10 + 14, 30) == clRed;
        EXPECT_EQ(red, style == bsSolid);
    }
}

TEST(CanvasTest, InvertRectTwiceRestoresTheImage) {
    QImage image = WhiteImage(60, 60);
    ImageCanvas canvas(image);
    canvas.Brush.Color = clBlue;
    canvas.FillRect(Rect(10, 10, 40, 40));
    const QImage before = image.copy();
    canvas.InvertRect(Rect(0, 0, 30, 30));
    EXPECT_EQ(PixelColor(image, 5, 5), clBlack);
    EXPECT_EQ(PixelColor(image, 20, 20), RGB(255, 255, 0));
    canvas.InvertRect(Rect(0, 0, 30, 30));
    EXPECT_EQ(image, before);
}

TEST(CanvasTest, ThinPensDashAndWidePensDrawSolid) {
    struct Case {
        TPenStyle style;
        int width;
        bool gaps;
    };
    const Case cases[] = {{psDot, 1, true},
                          {psDash, 1, true},
                          {psDash, 3, false},
                          {psDot, 10, false},
                          {psSolid, 1, false}};
    for (const auto& c : cases) {
        QImage image = WhiteImage(220, 40);
        {
            ImageCanvas canvas(image);
            canvas.Pen.Style = c.style;
            canvas.Pen.Width = c.width;
            canvas.MoveTo(10, 20);
            canvas.LineTo(200, 20);
        }
        int white = 0;
        for (int x = 12; x < 198; ++x)
            white += PixelColor(image, x, 20) == clWhite ? 1 : 0;
        EXPECT_EQ(white > 0, c.gaps) << "style " << int(c.style) << " width " << c.width;
    }
}

TEST(CanvasTest, RectangleFillsInsideAndFrameStaysWithinRightAndBottom) {
    QImage image = WhiteImage(40, 40);
    {
        ImageCanvas canvas(image);
        canvas.Brush.Color = clRed;
        canvas.Rectangle(10, 10, 20, 20);
    }
    EXPECT_EQ(InkBox(image), QRect(10, 10, 10, 10));
    EXPECT_EQ(PixelColor(image, 10, 10), clBlack);
    EXPECT_EQ(PixelColor(image, 19, 19), clBlack);
    EXPECT_EQ(PixelColor(image, 15, 15), clRed);
}

TEST(CanvasTest, StretchBltCopiesPartOfABitmap) {
    Bitmap bitmap;
    bitmap.SetSize(4, 4, clRed);
    QImage image = WhiteImage(40, 40);
    {
        ImageCanvas canvas(image);
        canvas.StretchBlt(Rect(10, 10, 30, 20), bitmap, Rect(0, 0, 2, 1));
    }
    EXPECT_EQ(InkBox(image), QRect(10, 10, 20, 10));
    EXPECT_EQ(PixelColor(image, 29, 19), clRed);
}

} // namespace
} // namespace vx
