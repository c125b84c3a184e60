#pragma once

#include "platform/graphics/Colors.h"
#include "platform/runtime/Exceptions.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vx {

struct BitmapData;

class EInvalidGraphic : public Exception {
    using Exception::Exception;
};

// A picture that keeps the bytes of the BMP file it was loaded from, so that streams and
// files give back exactly what they were given. Copies share the picture.
class Bitmap {
public:
    Bitmap();
    ~Bitmap();
    Bitmap(const Bitmap&) = default;
    Bitmap& operator=(const Bitmap&) = default;

    bool Empty() const;
    int32_t Width() const;
    int32_t Height() const;
    void Assign(const Bitmap& source) { *this = source; }
    void Clear();

    // A BMP file; raises EInvalidGraphic "Bitmap image is not valid" for anything else and
    // leaves the picture as it was. Empty bytes give an empty picture.
    void LoadFromBytes(std::string_view bytes);
    // The bytes it was loaded from; a picture made otherwise is written as a 24-bit BMP.
    std::string SaveToBytes() const;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;

    // Decodes a JPEG held in memory; raises EInvalidGraphic "JPEG error #<n>" on a fault.
    void LoadJpegFromBytes(std::string_view bytes);

    // A new picture of the given size filled with one colour, without file bytes.
    void SetSize(int32_t width, int32_t height, TColor fill = clWhite);
    // 0x00BBGGRR of one pixel; clNone outside the picture.
    TColor Pixel(int32_t x, int32_t y) const;

    const std::shared_ptr<const BitmapData>& Data() const { return data_; }

private:
    std::shared_ptr<const BitmapData> data_;
};

} // namespace vx
