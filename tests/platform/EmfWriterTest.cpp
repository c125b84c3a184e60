#include "platform/graphics/EmfWriter.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Printer.h"
#include "platform/graphics/TextMetrics.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"
#include "support/TestSupport.h"

#include <QImage>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

namespace vx {
namespace {

using test::FromHex;
using test::HexBytes;

TDeviceCaps PrinterCaps() {
    return VirtualPrinter().Caps();
}

uint32_t U32At(const std::string& b, size_t at) {
    uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

struct Record {
    uint32_t Type;
    size_t Offset;
    uint32_t Size;
};

// Walks the records as a reader does; fails the test on a size that does not fit.
std::vector<Record> Records(const std::string& file) {
    std::vector<Record> out;
    size_t at = 0;
    while (at + 8 <= file.size()) {
        const uint32_t size = U32At(file, at + 4);
        EXPECT_TRUE(size >= 8 && size % 4 == 0 && at + size <= file.size()) << at;
        if (size < 8 || at + size > file.size())
            break;
        out.push_back({U32At(file, at), at, size});
        at += size;
    }
    EXPECT_EQ(at, file.size());
    return out;
}

std::vector<uint32_t> Types(const std::vector<Record>& records) {
    std::vector<uint32_t> t;
    for (const Record& r : records)
        t.push_back(r.Type);
    return t;
}

std::string Emf(const Metafile& m) {
    TMemoryStream s;
    WriteEmf(s, m, PrinterCaps());
    return s.Bytes();
}

TEST(EmfWriterTest, GoldenBytesOfARectangle) {
    Metafile m;
    m.SetSize(100, 50);
    {
        TMetafileCanvas c(m, PrinterCaps());
        c.Rectangle(10, 10, 90, 40);
    }
    // Header: bounds 0..99 x 0..49; frame 423 x 212 (0.01 mm at 600 dpi); " EMF"; 240 bytes,
    // 8 records, 3 handles; device 4760 x 6816 px, 202 x 289 mm, 201507 x 288544 um. Then
    // graphics mode, pen, brush and the rectangle, and EOF.
    const std::string golden = FromHex(
        "01 00 00 00 6C 00 00 00 00 00 00 00 00 00 00 00 63 00 00 00 31 00 00 00 00 00 00 00 "
        "00 00 00 00 A7 01 00 00 D4 00 00 00 20 45 4D 46 00 00 01 00 F0 00 00 00 08 00 00 00 "
        "03 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 98 12 00 00 A0 1A 00 00 CA 00 00 00 "
        "21 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 23 13 03 00 20 67 04 00 "
        "4C 00 00 00 0C 00 00 00 02 00 00 00 "
        "26 00 00 00 1C 00 00 00 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
        "25 00 00 00 0C 00 00 00 01 00 00 00 "
        "27 00 00 00 18 00 00 00 02 00 00 00 00 00 00 00 FF FF FF 00 00 00 00 00 "
        "25 00 00 00 0C 00 00 00 02 00 00 00 "
        "2B 00 00 00 18 00 00 00 0A 00 00 00 0A 00 00 00 5A 00 00 00 28 00 00 00 "
        "0E 00 00 00 14 00 00 00 00 00 00 00 10 00 00 00 14 00 00 00");
    EXPECT_EQ(HexBytes(Emf(m)), HexBytes(golden));
}

TEST(EmfWriterTest, APolylineOfAnOddPointCountIsNotPadded) {
    Metafile m;
    m.SetSize(100, 50);
    {
        TMetafileCanvas c(m, PrinterCaps());
        c.Polyline({{10, 20}, {30, 40}, {50, 5}});
    }
    const std::string file = Emf(m);
    const std::vector<Record> records = Records(file);
    EXPECT_EQ(U32At(file, 48), file.size());
    EXPECT_EQ(U32At(file, 52), records.size());
    const auto poly = std::find_if(records.begin(), records.end(),
                                   [](const Record& r) { return r.Type == EMR_POLYLINE16; });
    ASSERT_NE(poly, records.end());
    // Bounds, count 3, three 16-bit points: 40 bytes.
    EXPECT_EQ(HexBytes(file.substr(poly->Offset, poly->Size)),
              "57 00 00 00 28 00 00 00 0A 00 00 00 05 00 00 00 32 00 00 00 28 00 00 00 "
              "03 00 00 00 0A 00 14 00 1E 00 28 00 32 00 05 00");
    EXPECT_EQ(records.back().Type, uint32_t(EMR_EOF));
}

TEST(EmfWriterTest, TextIsUtf16WithOurAdvancesClipAlignmentAndColours) {
    Metafile m;
    m.SetSize(4760, 6816);
    const std::string text = "Pr\xFC"
                             "f 25 \xB0"
                             "C";
    LOGFONTA lf;
    {
        TMetafileCanvas c(m, PrinterCaps());
        c.Font.SetName("Arial");
        c.Font.SetPixelsPerInch(600);
        c.Font.SetSize(12);
        c.Font.SetColor(clRed);
        LOGFONTA turned = c.Font.LogFont();
        turned.lfEscapement = turned.lfOrientation = 900;
        c.Font.SetLogFont(turned);
        lf = c.Font.LogFont();
        c.Brush.Color = clYellow;
        c.SetTextAlign(TA_RIGHT | TA_BOTTOM);
        c.TextRect(Rect(100, 200, 900, 400), 800, 390, text);
    }
    const std::string f = Emf(m);
    const auto recs = Records(f);
    EXPECT_EQ(Types(recs),
              (std::vector<uint32_t>{EMR_HEADER, EMR_SETGRAPHICSMODE, EMR_EXTCREATEFONTINDIRECTW,
                                     EMR_SELECTOBJECT, EMR_SETTEXTALIGN, EMR_SETTEXTCOLOR,
                                     EMR_SETBKCOLOR, EMR_EXTTEXTOUTW, EMR_EOF}));
    const Record font = recs[2];
    EXPECT_EQ(font.Size, 104u);
    EXPECT_EQ(static_cast<int32_t>(U32At(f, font.Offset + 12)), lf.lfHeight);
    EXPECT_EQ(U32At(f, font.Offset + 20), 900u); // escapement
    EXPECT_EQ(U32At(f, font.Offset + 24), 900u); // orientation
    EXPECT_EQ(f.substr(font.Offset + 40, 10), std::string("A\0r\0i\0a\0l\0", 10));
    EXPECT_EQ(U32At(f, recs[4].Offset + 8), TA_RIGHT | TA_BOTTOM);
    EXPECT_EQ(U32At(f, recs[5].Offset + 8), 0x0000FFu);
    EXPECT_EQ(U32At(f, recs[6].Offset + 8), 0x00FFFFu);

    const Record t = recs[7];
    EXPECT_EQ(U32At(f, t.Offset + 36), 800u); // reference point
    EXPECT_EQ(U32At(f, t.Offset + 40), 390u);
    EXPECT_EQ(U32At(f, t.Offset + 44), text.size());
    const uint32_t offString = U32At(f, t.Offset + 48);
    EXPECT_EQ(U32At(f, t.Offset + 52), 4u | 2u); // clipped, opaque
    EXPECT_EQ(HexBytes(f.substr(t.Offset + 56, 16)),
              "64 00 00 00 C8 00 00 00 84 03 00 00 90 01 00 00");
    EXPECT_EQ(HexBytes(f.substr(t.Offset + offString, 2 * text.size())),
              "50 00 72 00 FC 00 66 00 20 00 32 00 35 00 20 00 B0 00 43 00");
    const uint32_t offDx = U32At(f, t.Offset + 72);
    std::vector<int32_t> advances(text.size());
    TextAdvances(lf, text, advances.data());
    for (size_t i = 0; i < text.size(); ++i)
        EXPECT_EQ(static_cast<int32_t>(U32At(f, t.Offset + offDx + 4 * i)), advances[i]) << i;
    EXPECT_EQ(offDx + 4 * text.size(), t.Size);
}

TEST(EmfWriterTest, NestedPicturesAreInlineUnderTheirTransformAndRasterOnlyRecordsAreLeftOut) {
    Metafile inner;
    inner.SetSize(200, 100);
    {
        TMetafileCanvas c(inner, PrinterCaps());
        c.Pen.Color = clBlue;
        c.MoveTo(0, 0);
        c.LineTo(200, 100);
        c.InvertRect(Rect(0, 0, 10, 10));
    }
    Metafile outer;
    outer.SetSize(4760, 6816);
    {
        TMetafileCanvas c(outer, PrinterCaps());
        c.StretchDraw(Rect(1000, 2000, 1400, 2300), inner);
        c.Pen.Mode = pmXor;
        c.MoveTo(0, 0);
        c.LineTo(50, 50);
        c.Pen.Mode = pmCopy;
        c.Pen.Width = 8;
        c.MoveTo(0, 0);
        c.LineTo(70000, 10); // beyond 16 bits
    }
    const std::string f = Emf(outer);
    const auto recs = Records(f);
    EXPECT_EQ(Types(recs),
              (std::vector<uint32_t>{EMR_HEADER, EMR_SETGRAPHICSMODE, EMR_SAVEDC,
                                     EMR_MODIFYWORLDTRANSFORM, EMR_CREATEPEN, EMR_SELECTOBJECT,
                                     EMR_POLYLINE16, EMR_RESTOREDC, EMR_CREATEPEN, EMR_SELECTOBJECT,
                                     EMR_POLYLINE, EMR_EOF}));
    float xform[6];
    std::memcpy(xform, f.data() + recs[3].Offset + 8, sizeof xform);
    EXPECT_FLOAT_EQ(xform[0], 2.0f);
    EXPECT_FLOAT_EQ(xform[3], 3.0f);
    EXPECT_FLOAT_EQ(xform[4], 1000.0f);
    EXPECT_FLOAT_EQ(xform[5], 2000.0f);
    EXPECT_EQ(U32At(f, recs[3].Offset + 32), 2u);         // left-multiplied
    EXPECT_EQ(U32At(f, recs[7].Offset + 8), 0xFFFFFFFFu); // back one level
    EXPECT_EQ(U32At(f, recs[8].Offset + 16), 8u);         // pen width
    EXPECT_EQ(U32At(f, recs[10].Offset + 36), 70000u);    // second point, 32-bit
    // Header counts: file size, records, handles (two pens and the reserved zero).
    EXPECT_EQ(U32At(f, 48), f.size());
    EXPECT_EQ(U32At(f, 52), recs.size());
    EXPECT_EQ(f[56], 3);
}

TEST(EmfWriterTest, BitmapsAreBottomUpDibsOfTheirSourcePart) {
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixel(1, 0, qRgb(255, 0, 0));
    image.setPixel(2, 2, qRgb(0, 0, 255));
    const Bitmap b = test::BitmapOf(image);
    Metafile m;
    m.SetSize(100, 100);
    {
        TMetafileCanvas c(m, PrinterCaps());
        c.StretchBlt(Rect(10, 20, 40, 50), b, Rect(1, 0, 3, 3));
    }
    const std::string f = Emf(m);
    const auto recs = Records(f);
    ASSERT_EQ(Types(recs),
              (std::vector<uint32_t>{EMR_HEADER, EMR_SETGRAPHICSMODE, EMR_STRETCHDIBITS, EMR_EOF}));
    const Record r = recs[2];
    EXPECT_EQ(U32At(f, r.Offset + 40), 2u); // source 2 x 3
    EXPECT_EQ(U32At(f, r.Offset + 44), 3u);
    EXPECT_EQ(U32At(f, r.Offset + 72), 30u); // destination 30 x 30
    // Rows of 2 pixels padded to 8 bytes, the bottom row first: (blue at x 2), white, (red).
    EXPECT_EQ(HexBytes(f.substr(r.Offset + 120, 24)),
              "FF FF FF FF 00 00 00 00 FF FF FF FF FF FF 00 00 00 00 FF FF FF FF 00 00");
}

TEST(EmfWriterTest, UnwritableFileGivesAClearErrorAndLeavesNothing) {
    test::TempDir dir;
    Metafile m;
    m.SetSize(10, 10);
    EXPECT_THROW(SaveEmfFile(dir.File("missing/p.emf"), m, PrinterCaps()), EFOpenError);
    test::WriteFile(dir.File("p.emf"), "old");
    std::filesystem::create_directory(dir.File("d.emf"));
    EXPECT_THROW(SaveEmfFile(dir.File("d.emf"), m, PrinterCaps()), EFOpenError);
    SaveEmfFile(dir.File("p.emf"), m, PrinterCaps());
    EXPECT_EQ(test::ReadFile(dir.File("p.emf")).substr(40, 4), " EMF");
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"d.emf", "p.emf"}));
}

// An independent reader must open our files: the office suite converts one to PNG and PDF.
TEST(EmfWriterTest, AnIndependentReaderDrawsTheFile) {
    if (test::FindTool("soffice").empty())
        GTEST_SKIP() << "soffice not available: metafile reader test skipped";
    test::TempDir dir;
    const TDeviceCaps caps = PrinterCaps();
    Metafile box;
    box.SetSize(1000, 500);
    {
        TMetafileCanvas c(box, caps);
        c.Brush.Color = clRed;
        c.Pen.Color = clRed;
        c.Rectangle(0, 0, 1000, 500);
    }
    Metafile m;
    m.SetSize(caps.HorzRes, caps.VertRes);
    {
        TMetafileCanvas c(m, caps);
        c.StretchDraw(Rect(1380, 500, 3380, 1500), box); // centred, 7 % to 22 % down
        c.Font.SetName("Arial");
        c.Font.SetPixelsPerInch(600);
        c.Font.SetSize(14);
        c.Brush.Style = bsClear;
        c.TextOut(500, 5000,
                  "Pr\xFC"
                  "f 25 \xB0"
                  "C");
    }
    const std::string emf = dir.File("reader.emf");
    SaveEmfFile(emf, m, caps);

    const std::string png = test::OfficeConvert(emf, "png", dir.Path());
    ASSERT_FALSE(png.empty());
    const QImage image(QString::fromStdString(png));
    ASSERT_FALSE(image.isNull());
    EXPECT_LT(image.width(), image.height());
    const QRgb inside = image.pixel(image.width() / 2, image.height() * 15 / 100);
    EXPECT_GT(qRed(inside), 200);
    EXPECT_LT(qGreen(inside), 60);
    const QRgb above = image.pixel(image.width() / 2, image.height() * 3 / 100);
    EXPECT_EQ(qRgb(qRed(above), qGreen(above), qBlue(above)), qRgb(255, 255, 255));

    const std::string pdf = test::OfficeConvert(emf, "pdf", dir.Path());
    ASSERT_FALSE(pdf.empty());
    const auto text = test::RunTool(test::FindTool("pdftotext"), {pdf, "-"});
    EXPECT_NE(text.Output.find("Pr\xC3\xBC"
                               "f 25 \xC2\xB0"
                               "C"),
              std::string::npos)
        << text.Output;
}

} // namespace
} // namespace vx
