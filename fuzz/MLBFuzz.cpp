// Binary translation files (.MLB), read for a table of a window class.

#include "FuzzSupport.h"

#include <QObject>

#include "localisation/mlComp.h"
#include "localisation/mlMLBFile.h"
#include "platform/runtime/Exceptions.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    vx::fuzz::Init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = vx::fuzz::WriteTemp("table.mlb", vx::fuzz::Bytes(data, size));
    vx::TMLBFileManager files(path);
    // The table is looked up by its owner's class.
    QObject owner;
    vx::TmlLang lang(&owner);
    try {
        files.ReadTable(lang);
    } catch (const vx::Exception&) {
    }
    return 0;
}
