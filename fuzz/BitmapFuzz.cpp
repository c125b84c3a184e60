// The picture decoders: a BMP file (byte 0 even) or a JPEG (odd) from bytes. A picture that
// decodes has a size that its bytes can hold.

#include "FuzzSupport.h"

#include "platform/graphics/Bitmap.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    vx::fuzz::Init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const std::string_view bytes = vx::fuzz::Bytes(data + 1, size - 1);
    vx::Bitmap picture;
    try {
        if (data[0] % 2 == 0)
            picture.LoadFromBytes(bytes);
        else
            picture.LoadJpegFromBytes(bytes);
    } catch (const vx::EInvalidGraphic&) {
        VX_FUZZ_CHECK(picture.Empty());
        return 0;
    }
    if (!picture.Empty()) {
        VX_FUZZ_CHECK(picture.Width() > 0 && picture.Height() > 0);
        picture.Pixel(0, 0);
        picture.Pixel(picture.Width() - 1, picture.Height() - 1);
    }
    return 0;
}
