#include "platform/graphics/Bitmap.h"

#include "support/TestSupport.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <string>

namespace vx {
namespace {

// 3 x 2, 24 bits, bottom-up, rows padded to 12 bytes; the padding and the resolution fields
// hold values a writer would not invent, so that a rewrite would show.
const char* const kBmp3x2 =
    "42 4D 4E 00 00 00 00 00 00 00 36 00 00 00 28 00 00 00 03 00 00 00 02 00 00 00 01 00 18 00 "
    "00 00 00 00 18 00 00 00 13 0B 00 00 13 0B 00 00 00 00 00 00 00 00 00 00 "
    "00 00 FF 00 FF 00 FF 00 00 AA BB CC " // bottom row: red, green, blue
    "FF FF FF 00 00 00 80 80 80 DD EE FF"; // top row: white, black, grey

TEST(BitmapTest, BmpLoadsAndSavesByteForByte) {
    const std::string bytes = test::FromHex(kBmp3x2);
    Bitmap b;
    b.LoadFromBytes(bytes);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Height(), 2);
    EXPECT_EQ(b.Pixel(0, 1), clRed);
    EXPECT_EQ(b.Pixel(2, 1), clBlue);
    EXPECT_EQ(b.Pixel(2, 0), clGray);
    EXPECT_EQ(b.SaveToBytes(), bytes);

    test::TempDir dir;
    b.SaveToFile(dir.File("a.bmp"));
    Bitmap c;
    c.LoadFromFile(dir.File("a.bmp"));
    EXPECT_EQ(c.SaveToBytes(), bytes);
}

TEST(BitmapTest, InvalidBytesRaiseAndKeepThePicture) {
    Bitmap b;
    b.LoadFromBytes(test::FromHex(kBmp3x2));
    for (const std::string& bad :
         {std::string("GIF89a"), std::string("BM") + std::string(30, '\xFF'),
          test::FromHex(kBmp3x2).substr(0, 40)}) {
        EXPECT_THROW(b.LoadFromBytes(bad), EInvalidGraphic);
        EXPECT_EQ(b.Width(), 3);
    }
    b.LoadFromBytes("");
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.SaveToBytes(), "");
}

TEST(BitmapTest, PictureWithoutFileBytesSavesAs24BitBmp) {
    Bitmap b;
    b.SetSize(1, 1, clRed);
    EXPECT_EQ(test::HexBytes(b.SaveToBytes()),
              "42 4D 3A 00 00 00 00 00 00 00 36 00 00 00 28 00 00 00 01 00 00 00 01 00 00 00 "
              "01 00 18 00 00 00 00 00 04 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
              "00 00 00 00 FF 00");
}

// A JPEG of w x h whose left half is one colour and right half another.
std::string MakeJpeg(int w, int h, TColor left, TColor right) {
    jpeg_compress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = w;
    info.image_height = h;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::string row(size_t(w) * 3, '\0');
    for (int x = 0; x < w; ++x) {
        const TColor c = x < w / 2 ? left : right;
        row[3 * x] = char(GetRValue(c));
        row[3 * x + 1] = char(GetGValue(c));
        row[3 * x + 2] = char(GetBValue(c));
    }
    while (info.next_scanline < info.image_height) {
        JSAMPROW r = reinterpret_cast<JSAMPROW>(row.data());
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    std::string bytes(reinterpret_cast<char*>(out), size);
    jpeg_destroy_compress(&info);
    std::free(out);
    return bytes;
}

TEST(BitmapTest, JpegDecodesToItsSizeAndColours) {
    Bitmap b;
    b.LoadJpegFromBytes(MakeJpeg(32, 16, RGB(200, 30, 40), RGB(20, 60, 220)));
    EXPECT_EQ(b.Width(), 32);
    EXPECT_EQ(b.Height(), 16);
    auto near = [](TColor a, TColor e) {
        return std::abs(GetRValue(a) - GetRValue(e)) <= 8 &&
               std::abs(GetGValue(a) - GetGValue(e)) <= 8 &&
               std::abs(GetBValue(a) - GetBValue(e)) <= 8;
    };
    EXPECT_TRUE(near(b.Pixel(4, 8), RGB(200, 30, 40)));
    EXPECT_TRUE(near(b.Pixel(28, 8), RGB(20, 60, 220)));
    // The decoded picture saves as a BMP that loads back to the same pixels.
    Bitmap c;
    c.LoadFromBytes(b.SaveToBytes());
    EXPECT_EQ(c.Pixel(28, 8), b.Pixel(28, 8));
}

TEST(BitmapTest, CorruptJpegRaisesAndKeepsThePicture) {
    Bitmap b;
    b.SetSize(2, 2);
    std::string jpeg = MakeJpeg(16, 16, clRed, clBlue);
    for (const std::string& bad : {std::string(), std::string("not a jpeg"), jpeg.substr(0, 20)}) {
        try {
            b.LoadJpegFromBytes(bad);
            ADD_FAILURE() << "no error for " << bad.size() << " bytes";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message.rfind("JPEG error #", 0), 0u) << e.Message;
        }
        EXPECT_EQ(b.Width(), 2);
    }
}

TEST(BitmapTest, JpegEndingEarlyRaisesInsteadOfDecodingGrey) {
    Bitmap b;
    b.SetSize(2, 2, clRed);
    const std::string jpeg = MakeJpeg(64, 64, clRed, clBlue);
    const size_t sos = jpeg.find("\xFF\xDA");
    ASSERT_NE(sos, std::string::npos);
    try {
        b.LoadJpegFromBytes(jpeg.substr(0, sos + 14));
        ADD_FAILURE() << "a cut JPEG decoded";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message, "JPEG error #120");
    }
    EXPECT_EQ(b.Width(), 2);
    EXPECT_EQ(b.Pixel(1, 1), clRed);
}

// A few bytes of header may claim any size: the claim is refused before a buffer is taken.
TEST(BitmapTest, JpegClaimingAHugePictureIsRefusedBeforeDecoding) {
    const std::string jpeg = MakeJpeg(16, 8, clRed, clBlue);
    const size_t sof = jpeg.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    const struct {
        int Width, Height;
    } claims[] = {{30000, 6666}, {30001, 1}, {1, 30001}, {8193, 8192}};
    for (const auto& c : claims) {
        std::string bad = jpeg;
        bad[sof + 5] = char(c.Height >> 8);
        bad[sof + 6] = char(c.Height & 0xFF);
        bad[sof + 7] = char(c.Width >> 8);
        bad[sof + 8] = char(c.Width & 0xFF);
        Bitmap b;
        b.SetSize(2, 2, clRed);
        try {
            b.LoadJpegFromBytes(bad);
            ADD_FAILURE() << c.Width << " x " << c.Height << " decoded";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message, "JPEG error #-2") << c.Width << " x " << c.Height;
        }
        EXPECT_EQ(b.Pixel(1, 1), clRed);
    }
}

TEST(BitmapTest, BmpShorterThanItsPixelsIsRefused) {
    // 4 x 4, 24 bits: 54 header bytes and 4 rows of 12.
    Bitmap full;
    full.SetSize(4, 4, clBlue);
    const std::string bytes = full.SaveToBytes();
    ASSERT_EQ(bytes.size(), 102u);
    Bitmap b;
    b.LoadFromBytes(test::FromHex(kBmp3x2));
    std::string noSizeField = bytes.substr(0, 90);
    noSizeField.replace(34, 4, std::string(4, '\0')); // biSizeImage 0 is allowed for BI_RGB
    for (const std::string& cut : {bytes.substr(0, 80), bytes.substr(0, 101), noSizeField}) {
        try {
            b.LoadFromBytes(cut);
            ADD_FAILURE() << cut.size() << " bytes loaded";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message, "Bitmap image is not valid");
        }
        EXPECT_EQ(b.Width(), 3);
    }
    b.LoadFromBytes(bytes);
    EXPECT_EQ(b.Pixel(3, 3), clBlue);
}

} // namespace
} // namespace vx
