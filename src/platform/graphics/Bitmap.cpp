#include "platform/graphics/Bitmap.h"

#include "platform/graphics/BitmapData.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jerror.h>
#include <jpeglib.h>

namespace vx {

namespace {

const std::shared_ptr<const BitmapData>& EmptyData() {
    static const std::shared_ptr<const BitmapData> empty = std::make_shared<BitmapData>();
    return empty;
}

void PutU16(std::string& s, uint16_t v) {
    s += char(v & 0xFF);
    s += char(v >> 8);
}

void PutU32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s += char((v >> (8 * i)) & 0xFF);
}

// A bottom-up 24-bit file, rows padded to four bytes.
uint32_t U16At(std::string_view s, size_t at) {
    return uint8_t(s[at]) | uint32_t(uint8_t(s[at + 1])) << 8;
}

uint32_t U32At(std::string_view s, size_t at) {
    return U16At(s, at) | U16At(s, at + 2) << 16;
}

// True when the file holds its whole pixel array: the decoder would otherwise hand back the
// missing rows uninitialised.
bool HoldsPixelArray(std::string_view bytes) {
    const uint64_t offset = U32At(bytes, 10);
    const uint32_t header = U32At(bytes, 14);
    uint64_t width = 0;
    uint64_t height = 0;
    uint32_t bits = 0;
    uint32_t compression = 0;
    uint64_t sizeImage = 0;
    if (header == 12) {
        width = U16At(bytes, 18);
        height = U16At(bytes, 20);
        bits = U16At(bytes, 24);
    } else if (bytes.size() >= 38) {
        width = static_cast<uint64_t>(std::abs(int64_t(int32_t(U32At(bytes, 18)))));
        height = static_cast<uint64_t>(std::abs(int64_t(int32_t(U32At(bytes, 22)))));
        bits = U16At(bytes, 28);
        compression = U32At(bytes, 30);
        sizeImage = U32At(bytes, 34);
    } else {
        return false;
    }
    constexpr uint32_t BI_RGB = 0;
    constexpr uint32_t BI_BITFIELDS = 3;
    const uint64_t pixels = compression == BI_RGB || compression == BI_BITFIELDS
                                ? (width * bits + 31) / 32 * 4 * height
                                : sizeImage;
    return offset + pixels <= bytes.size();
}

std::string EncodeBmp(const QImage& image) {
    const int w = image.width();
    const int h = image.height();
    const uint32_t stride = (uint32_t(w) * 3 + 3) & ~3u;
    const uint32_t pixels = stride * uint32_t(h);
    std::string s;
    s.reserve(54 + pixels);
    s += "BM";
    PutU32(s, 54 + pixels);
    PutU32(s, 0);
    PutU32(s, 54);
    PutU32(s, 40);
    PutU32(s, uint32_t(w));
    PutU32(s, uint32_t(h));
    PutU16(s, 1);
    PutU16(s, 24);
    PutU32(s, 0);
    PutU32(s, pixels);
    PutU32(s, 0);
    PutU32(s, 0);
    PutU32(s, 0);
    PutU32(s, 0);
    for (int y = h - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            s += char(qBlue(line[x]));
            s += char(qGreen(line[x]));
            s += char(qRed(line[x]));
        }
        s.append(stride - uint32_t(w) * 3, '\0');
    }
    return s;
}

constexpr JDIMENSION kMaxJpegSide = 30000;
constexpr uint64_t kMaxJpegBytes = 256ull << 20;

struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

void JpegErrorExit(j_common_ptr info) {
    auto* err = reinterpret_cast<JpegError*>(info->err);
    std::longjmp(err->jump, 1);
}

// Warnings stay silent, except the two that say the data ended early: the library would go on
// and hand back a picture whose missing part is grey.
void JpegMessage(j_common_ptr info, int level) {
    if (level < 0 &&
        (info->err->msg_code == JWRN_JPEG_EOF || info->err->msg_code == JWRN_HIT_MARKER))
        JpegErrorExit(info);
}

// Decodes into image; 0 on success, else the library's message code. No object with a
// destructor lives between setjmp and the library calls.
int DecodeJpeg(const unsigned char* bytes, unsigned long size, QImage& image) {
    jpeg_decompress_struct info;
    JpegError err;
    info.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = JpegErrorExit;
    err.mgr.emit_message = JpegMessage;
    if (setjmp(err.jump)) {
        const int code = err.mgr.msg_code;
        jpeg_destroy_decompress(&info);
        return code == 0 ? -1 : code;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes, size);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    // Bounded before the library allocates its buffers, so that a hostile header of a few
    // bytes cannot ask for gigabytes; the limit is the one Qt's image readers apply to BMPs.
    jpeg_calc_output_dimensions(&info);
    if (info.output_width > kMaxJpegSide || info.output_height > kMaxJpegSide ||
        uint64_t(info.output_width) * info.output_height * 4 > kMaxJpegBytes) {
        jpeg_destroy_decompress(&info);
        return -2;
    }
    jpeg_start_decompress(&info);
    image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB32);
    if (image.isNull()) {
        jpeg_destroy_decompress(&info);
        return -2;
    }
    JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                               info.output_width * 3, 1);
    while (info.output_scanline < info.output_height) {
        const int y = int(info.output_scanline);
        jpeg_read_scanlines(&info, row, 1);
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (unsigned x = 0; x < info.output_width; ++x)
            line[x] = qRgb(row[0][3 * x], row[0][3 * x + 1], row[0][3 * x + 2]);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return 0;
}

} // namespace

Bitmap::Bitmap() : data_(EmptyData()) {}

Bitmap::~Bitmap() = default;

bool Bitmap::Empty() const {
    return data_->Image.isNull();
}

int32_t Bitmap::Width() const {
    return data_->Image.width();
}

int32_t Bitmap::Height() const {
    return data_->Image.height();
}

void Bitmap::Clear() {
    data_ = EmptyData();
}

void Bitmap::LoadFromBytes(std::string_view bytes) {
    if (bytes.empty()) {
        Clear();
        return;
    }
    if (bytes.size() < 26 || bytes.substr(0, 2) != "BM" || !HoldsPixelArray(bytes))
        throw EInvalidGraphic("Bitmap image is not valid");
    auto data = std::make_shared<BitmapData>();
    data->Image = QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()),
                                   static_cast<int>(bytes.size()), "BMP");
    if (data->Image.isNull())
        throw EInvalidGraphic("Bitmap image is not valid");
    data->Image = data->Image.convertToFormat(QImage::Format_RGB32);
    data->Bytes = std::string(bytes);
    data_ = std::move(data);
}

std::string Bitmap::SaveToBytes() const {
    if (Empty())
        return {};
    if (!data_->Bytes.empty())
        return data_->Bytes;
    return EncodeBmp(data_->Image);
}

void Bitmap::LoadFromFile(const std::string& fileName) {
    TFileStream file(fileName, fmOpenRead);
    LoadFromBytes(file.ReadBytes(static_cast<size_t>(file.Size())));
}

void Bitmap::SaveToFile(const std::string& fileName) const {
    const std::string bytes = SaveToBytes();
    TFileStream file(fileName, fmCreate);
    file.WriteBuffer(bytes.data(), bytes.size());
}

void Bitmap::LoadJpegFromBytes(std::string_view bytes) {
    QImage image;
    const int code = DecodeJpeg(reinterpret_cast<const unsigned char*>(bytes.data()),
                                static_cast<unsigned long>(bytes.size()), image);
    if (code != 0)
        throw EInvalidGraphic("JPEG error #" + IntToStr(code));
    auto data = std::make_shared<BitmapData>();
    data->Image = std::move(image);
    data_ = std::move(data);
}

void Bitmap::SetSize(int32_t width, int32_t height, TColor fill) {
    auto data = std::make_shared<BitmapData>();
    if (width > 0 && height > 0) {
        data->Image = QImage(width, height, QImage::Format_RGB32);
        const TColor c = ColorToRGB(fill);
        data->Image.fill(QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
    }
    data_ = std::move(data);
}

TColor Bitmap::Pixel(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        return clNone;
    const QRgb p = data_->Image.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

} // namespace vx
