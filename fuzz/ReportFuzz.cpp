// The "Report" property of a table report (groups and columns) read through the component
// stream into a report of two groups.

#include "ComponentFuzz.h"

#include "data/Databuff.h"
#include "report/wpreport.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    vx::fuzz::Init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vx::TDatabuffer buffer;
    vx::TWPReport report(nullptr);
    report.SetDataBuffer(&buffer);
    report.SetGroupCount(2);
    report.SetChannelCount(1, 2);
    vx::fuzz::ReadBinaryKeepingPart(
        data, size, report, "TWPReport", "Report",
        [](const vx::TWPReport& r, vx::TStream& s) { r.WriteGroups(s); });
    return 0;
}
