// The "Intestazione" property of a header table (its cells) read through the component stream
// into a table of 2 x 2 cells.

#include "ComponentFuzz.h"

#include "data/Databuff.h"
#include "report/Intestazione.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    vx::fuzz::Init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vx::TDatabuffer buffer;
    vx::TIntestazione table(nullptr);
    table.DataBuffer = &buffer;
    table.SetColumnCount(2);
    table.SetRowCount(2);
    vx::fuzz::ReadBinaryKeepingPart(
        data, size, table, "TIntestazione", "Intestazione",
        [](const vx::TIntestazione& t, vx::TStream& s) { t.WriteCells(s); });
    return 0;
}
