// INI-style translation files: the in-memory INI file (byte 0 even) and a whole table read
// from such a file (odd).

#include "FuzzSupport.h"

#include "localisation/MemIni.h"
#include "localisation/mlComp.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/StringList.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    vx::fuzz::Init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const std::string_view bytes = vx::fuzz::Bytes(data + 1, size - 1);
    try {
        if (data[0] % 2 == 0) {
            vx::TmlMemIniFile ini("");
            vx::TMemoryStream stream{std::string(bytes)};
            ini.LoadFromStream(stream);
            vx::TStringList sections;
            ini.ReadSections(sections);
            for (const std::string& section : sections.Items()) {
                vx::TStringList values;
                ini.ReadSectionValues(section, values);
            }
        } else {
            const std::string path = vx::fuzz::WriteTemp("table.lng", bytes);
            vx::TmlLang lang;
            lang.LoadAllFromFile(path);
            lang.GetTextOrDefault("IDS_0");
        }
    } catch (const vx::Exception&) {
    }
    return 0;
}
