#include "platform/graphics/Font.h"

#include "platform/runtime/Exceptions.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vx {
namespace {

std::string Bytes(const LOGFONTA& lf) {
    const auto b = lf.ToBytes();
    return std::string(b.begin(), b.end());
}

TEST(FontTest, DefaultsAreThoseOfTheClassLibrary) {
    TFont f;
    EXPECT_EQ(f.Name(), "MS Sans Serif");
    EXPECT_EQ(f.Height(), -11);
    EXPECT_EQ(f.Size(), 8);
    EXPECT_EQ(f.PixelsPerInch(), 96);
    EXPECT_EQ(f.Color(), clWindowText);
    EXPECT_EQ(f.Charset(), DEFAULT_CHARSET);
    EXPECT_EQ(f.Pitch(), fpDefault);
}

TEST(FontTest, LogFontHasGoldenBytes) {
    TFont f;
    f.SetName("Arial");
    f.SetHeight(-100);
    f.SetStyle({fsBold, fsItalic});
    f.SetPitch(fpVariable);
    EXPECT_EQ(test::HexBytes(Bytes(f.LogFont())),
              "9C FF FF FF 00 00 00 00 00 00 00 00 00 00 00 00 BC 02 00 00 "
              "01 00 00 01 00 00 00 02 "
              "41 72 69 61 6C 00 00 00 00 00 00 00 00 00 00 00 "
              "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
}

TEST(FontTest, LogFontRoundTripsItsSixtyBytes) {
    // Bytes after the name's terminator survive, as a stored record holds them.
    const std::string bytes =
        test::FromHex("F4 FF FF FF 05 00 00 00 84 03 00 00 84 03 00 00 90 01 00 00 "
                      "00 01 01 00 07 02 03 31 "
                      "54 69 6D 65 73 20 4E 65 77 20 52 6F 6D 61 6E 00 "
                      "CC CC CC CC CC CC CC CC CC CC CC CC CC CC CC CC");
    ASSERT_EQ(bytes.size(), 60u);
    const auto lf =
        LOGFONTA::FromBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    EXPECT_EQ(lf.lfHeight, -12);
    EXPECT_EQ(lf.lfEscapement, 900);
    EXPECT_EQ(lf.lfOutPrecision, 7);
    EXPECT_EQ(lf.FaceName(), "Times New Roman");
    EXPECT_EQ(Bytes(lf), bytes);
    EXPECT_THROW(LOGFONTA::FromBytes(reinterpret_cast<const uint8_t*>(bytes.data()), 59),
                 EReadError);
}

TEST(FontTest, SetLogFontKeepsRotationUntilTheShapeChanges) {
    TFont f;
    f.SetName("Arial");
    f.SetHeight(-50);
    LOGFONTA lf = f.LogFont();
    lf.lfEscapement = lf.lfOrientation = 900;
    lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    lf.lfWeight = FW_BOLD;
    f.SetLogFont(lf);
    EXPECT_EQ(f.LogFont(), lf);
    EXPECT_TRUE(f.Style().Contains(fsBold));
    f.SetColor(clRed); // colour is not part of the logical font
    EXPECT_EQ(f.LogFont().lfEscapement, 900);
    f.SetSize(f.Size());
    EXPECT_EQ(f.LogFont().lfEscapement, 0);
    EXPECT_EQ(f.LogFont().lfOutPrecision, OUT_DEFAULT_PRECIS);
}

TEST(FontTest, SizeFollowsPixelsPerInch) {
    TFont f;
    f.SetSize(10);
    EXPECT_EQ(f.Height(), -13);
    f.SetPixelsPerInch(600);
    EXPECT_EQ(f.Height(), -13); // resolution alone does not rebuild the font
    f.SetSize(10);
    EXPECT_EQ(f.Height(), -83);
    EXPECT_EQ(f.Size(), 10);
}

TEST(FontTest, AssignRescalesToTheTargetResolutionAndKeepsOwnResolution) {
    TFont screen;
    screen.SetName("Arial");
    screen.SetSize(12);
    screen.SetColor(clBlue);
    TFont printer;
    printer.SetPixelsPerInch(600);
    std::vector<int> sizes;
    printer.OnChange = [&](TFont& font) { sizes.push_back(font.Size()); };
    printer.Assign(screen);
    EXPECT_EQ(printer.PixelsPerInch(), 600);
    EXPECT_EQ(printer.Name(), "Arial");
    EXPECT_EQ(printer.Color(), clBlue);
    EXPECT_EQ(printer.Size(), 12);
    EXPECT_EQ(printer.Height(), -100);
    EXPECT_FALSE(sizes.empty());
}

} // namespace
} // namespace vx
