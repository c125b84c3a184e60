// The data-buffer stream "Ver 1.0" (byte 0 even) and the settings record (odd), each read as
// the program reads it.

#include "FuzzSupport.h"

#include "data/Databuff.h"
#include "data/Settings.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"

#include <sys/stat.h>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    vx::fuzz::Init(argc, argv);
    vx::BasePath = vx::fuzz::TempFolder();
    mkdir((vx::BasePath + "System").c_str(), 0700);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const std::string_view bytes = vx::fuzz::Bytes(data + 1, size - 1);
    if (data[0] % 2 == 1) {
        vx::fuzz::WriteTemp("System/impostazioni.set", bytes);
        vx::LoadSettings();
        return 0;
    }
    vx::TMemoryStream stream{std::string(bytes)};
    vx::TDatabuffer buffer;
    try {
        buffer.LoadFromStream(stream);
    } catch (const vx::Exception&) {
        return 0;
    }
    // What was read writes again and reads back to the same bytes.
    vx::TMemoryStream written;
    buffer.SaveToStream(written);
    written.SetPosition(0);
    vx::TDatabuffer copy;
    copy.LoadFromStream(written);
    vx::TMemoryStream again;
    copy.SaveToStream(again);
    VX_FUZZ_CHECK(again.Bytes() == written.Bytes());
    return 0;
}
