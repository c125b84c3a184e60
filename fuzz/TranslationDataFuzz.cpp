// The translation-data stream of a table, read as a form's stream reads it.

#include "FuzzSupport.h"

#include "localisation/mlComp.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    vx::fuzz::Init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vx::TMemoryStream stream{std::string(vx::fuzz::Bytes(data, size))};
    vx::TmlLang lang;
    lang.BeginLoading();
    try {
        lang.ReadTranslationData(stream);
    } catch (const vx::Exception&) {
    }
    lang.Loaded();
    lang.GetTextOrDefault("IDS_0");
    return 0;
}
