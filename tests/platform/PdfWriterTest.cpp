#include "platform/graphics/PdfWriter.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Metafile.h"
#include "platform/graphics/PainterCanvas.h"
#include "platform/graphics/TextMetrics.h"
#include "platform/runtime/Cp1252.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QSaveFile>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace vx {
namespace {

constexpr double kA4Width = 210 / 25.4 * 72;
constexpr double kA4Height = 297 / 25.4 * 72;

TDeviceCaps Caps600() {
    TDeviceCaps caps;
    caps.HorzRes = caps.PhysicalWidth = 4960;
    caps.VertRes = caps.PhysicalHeight = 7016;
    caps.LogPixelsX = caps.LogPixelsY = 600;
    return caps;
}

// Every kind of record a sheet holds, 2000 x 1400 pixels at 600 dpi.
Metafile Scene() {
    Metafile inner;
    {
        TMetafileCanvas c(inner, Caps600());
        c.Brush.Color = clFuchsia;
        c.Rectangle(0, 0, 400, 300);
        c.Font.SetName("Arial");
        c.Font.SetPixelsPerInch(600);
        c.Font.SetSize(20);
        c.Brush.Style = bsClear;
        c.TextOut(40, 60, "Inner");
    }
    inner.SetSize(400, 300);
    // A picture of four coloured squares.
    QImage image(2, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(0, 128, 0));
    image.setPixel(0, 1, qRgb(0, 0, 255));
    image.setPixel(1, 1, qRgb(0, 0, 0));
    const Bitmap squares = test::BitmapOf(image);
    Metafile mf;
    {
        TMetafileCanvas c(mf, Caps600());
        // Hairlines: solid zigzag, dashed, dotted.
        const std::vector<TPoint> zigzag = {{50, 50}, {250, 250}, {450, 50}, {650, 250}};
        c.Polyline(zigzag);
        c.Pen.Color = clRed;
        c.Pen.Style = psDash;
        c.MoveTo(50, 320);
        c.LineTo(650, 320);
        c.Pen.Style = psDot;
        c.MoveTo(50, 360);
        c.LineTo(650, 360);
        // A wide pen, solid whatever its style.
        c.Pen.Style = psSolid;
        c.Pen.Color = clBlue;
        c.Pen.Width = 14;
        const std::vector<TPoint> wide = {{60, 450}, {300, 600}, {640, 440}};
        c.Polyline(wide);
        // A hatched polygon with a hairline outline.
        c.Pen.Width = 1;
        c.Pen.Color = clBlack;
        c.Brush.Style = bsDiagCross;
        c.Brush.Color = clGreen;
        const std::vector<TPoint> triangle = {{750, 50}, {1150, 50}, {950, 400}};
        c.Polygon(triangle);
        // A filled rectangle with a hairline frame, one with a wide frame, an ellipse.
        c.Brush.Style = bsSolid;
        c.Brush.Color = clYellow;
        c.Rectangle(1250, 50, 1550, 300);
        c.Pen.Width = 10;
        c.Pen.Color = clNavy;
        c.Brush.Color = clSilver;
        c.Rectangle(1600, 50, 1950, 300);
        c.Pen.Width = 1;
        c.Pen.Color = clMaroon;
        c.Brush.Color = clLime;
        c.Ellipse(750, 450, 1150, 700);
        c.Brush.Color = clAqua;
        c.FillRect(Rect(1250, 400, 1550, 700));
        // Texts: plain, opaque and centred, accented, underlined, turned, clipped.
        c.Font.SetName("Arial");
        c.Font.SetPixelsPerInch(600);
        c.Font.SetSize(16);
        c.Brush.Style = bsClear;
        c.TextOut(60, 800, "Plain text");
        c.Brush.Style = bsSolid;
        c.Brush.Color = clYellow;
        c.SetTextAlign(TA_CENTER | TA_TOP);
        c.TextOut(1000, 800, "Centred (opaque)");
        c.SetTextAlign(TA_LEFT | TA_TOP);
        c.Brush.Style = bsClear;
        c.Font.SetColor(clRed);
        c.TextOut(60, 950, "\xC5ngstr\xF6m \x80 gjpqy");
        c.Font.SetStyle({fsUnderline, fsBold});
        c.Font.SetColor(clBlue);
        c.TextOut(60, 1100, "Underlined bold");
        c.Font.SetStyle({});
        c.Font.SetColor(clBlack);
        LOGFONTA turned = c.Font.LogFont();
        turned.lfEscapement = 900;
        c.Font.SetLogFont(turned);
        c.TextOut(1700, 1350, "Turned");
        c.Font.SetName("Arial");
        c.Font.SetSize(16);
        c.Brush.Style = bsSolid;
        c.Brush.Color = clSilver;
        c.TextRect(Rect(1000, 1100, 1300, 1200), 1000, 1100, "Clipped by its rectangle");
        c.StretchDraw(Rect(1300, 750, 1500, 900), inner);
        c.StretchDraw(Rect(1650, 400, 1950, 700), squares);
    }
    mf.SetSize(2000, 1400);
    return mf;
}

// One page, the metafile at the page's top left.
std::string WritePdf(const std::string& file, const Metafile& mf, const std::string& title) {
    QSaveFile out(QString::fromStdString(file));
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    PdfWriter writer(out);
    writer.SetTitle(title);
    writer.SetCreator("Vornix");
    writer.BeginPage(kA4Width, kA4Height, 600);
    writer.Play(mf, 0, 0, mf.Width(), mf.Height());
    writer.EndPage();
    EXPECT_TRUE(writer.Finish());
    EXPECT_TRUE(out.commit());
    return file;
}

// Pixels of `a` that have no pixel of about their colour within `radius` in `b`, against
// the pixels of `a` that are not white.
double Unmatched(const QImage& a, const QImage& b, int radius) {
    auto near = [](QRgb p, QRgb q) {
        return std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q)) <
               150;
    };
    int ink = 0, missed = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = row[x];
            if ((p & 0xFFFFFF) == 0xFFFFFF)
                continue;
            ++ink;
            bool found = false;
            for (int dy = std::max(-radius, -y); dy <= radius && !found && y + dy < b.height();
                 ++dy) {
                const auto* other = reinterpret_cast<const QRgb*>(b.constScanLine(y + dy));
                for (int dx = std::max(-radius, -x); dx <= radius && !found && x + dx < b.width();
                     ++dx)
                    found = near(p, other[x + dx]);
            }
            missed += !found;
        }
    }
    return ink ? double(missed) / ink : 1;
}

// A reader's picture of the page's top left at the page's own 600 dpi, without smoothing.
QImage ReaderPicture(const std::string& pdf, const test::TempDir& dir, int width, int height) {
    const std::string prefix = dir.File("page");
    const test::ToolResult r = test::RunTool(
        test::FindTool("pdftoppm"),
        {"-r", "600", "-aa", "no", "-aaVector", "no", "-png", "-singlefile", "-x", "0", "-y", "0",
         "-W", std::to_string(width), "-H", std::to_string(height), pdf, prefix});
    EXPECT_EQ(r.ExitCode, 0) << r.Output;
    return QImage(QString::fromStdString(prefix + ".png")).convertToFormat(QImage::Format_RGB32);
}

TEST(PdfWriterTest, AReaderDrawsThePageAsThePainterDoes) {
    if (test::FindTool("pdftoppm").empty())
        GTEST_SKIP() << "pdftoppm is missing";
    test::TempDir dir;
    const Metafile mf = Scene();
    const std::string pdf = WritePdf(dir.File("scene.pdf"), mf, "Scene");
    const QImage painted = RenderMetafile(mf, mf.Width(), mf.Height(), clWhite);
    const QImage read = ReaderPicture(pdf, dir, mf.Width(), mf.Height());
    ASSERT_EQ(read.size(), painted.size());
    if (std::getenv("VX_KEEP_PICTURES")) {
        painted.save("/tmp/scene-painted.png");
        read.save("/tmp/scene-read.png");
    }
    EXPECT_LT(Unmatched(painted, read, 2), 0.03);
    EXPECT_LT(Unmatched(read, painted, 2), 0.03);
}

// Texts with the characters a PDF string escapes come back whole, in fonts of their glyphs only.
TEST(PdfWriterTest, TextsComeBackWholeFromSubsetFonts) {
    if (test::FindTool("pdftotext").empty() || test::FindTool("pdffonts").empty())
        GTEST_SKIP() << "poppler-utils are missing";
    test::TempDir dir;
    const char* texts[] = {"a (b) c\\d", "\xE0\xE8\xEC \x80 10%", "Bold"};
    Metafile mf;
    {
        TMetafileCanvas c(mf, Caps600());
        c.Font.SetName("Arial");
        c.Font.SetPixelsPerInch(600);
        c.Font.SetSize(12);
        c.TextOut(100, 100, texts[0]);
        c.Font.SetSize(20);
        c.TextOut(100, 400, texts[1]);
        c.Font.SetStyle({fsBold});
        c.TextOut(100, 700, texts[2]);
    }
    mf.SetSize(4960, 7016);
    const std::string pdf = WritePdf(dir.File("texts.pdf"), mf, "Texts");
    const std::string text = test::RunTool(test::FindTool("pdftotext"), {pdf, "-"}).Output;
    for (const char* t : texts)
        EXPECT_NE(text.find(Cp1252ToUtf8(t)), std::string::npos) << t << "\n" << text;
    // Two faces, each embedded once as a subset though drawn at two sizes.
    const std::string fonts = test::RunTool(test::FindTool("pdffonts"), {pdf}).Output;
    EXPECT_NE(fonts.find("+LiberationSans-Regular"), std::string::npos) << fonts;
    EXPECT_NE(fonts.find("+LiberationSans-Bold"), std::string::npos) << fonts;
    // The whole faces would take over 500 KB.
    EXPECT_LT(QFile(QString::fromStdString(pdf)).size(), 100000);
}

// A device that takes no more bytes makes the file fail, not a file that ends early.
TEST(PdfWriterTest, AFailedWriteIsReported) {
    QByteArray bytes;
    QBuffer full(&bytes);
    ASSERT_TRUE(full.open(QIODevice::ReadOnly));
    PdfWriter writer(full);
    writer.BeginPage(kA4Width, kA4Height, 600);
    writer.EndPage();
    EXPECT_FALSE(writer.Finish());
}

} // namespace
} // namespace vx
