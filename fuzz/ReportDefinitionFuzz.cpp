// The report definition file read into a new report: a refused file gives no report and says
// a place inside it, or that its tag is another.

#include "FuzzSupport.h"

#include "document/DocumentFiles.h"
#include "platform/runtime/ComponentStream.h"
#include "report/wpreport.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    vx::fuzz::Init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = vx::fuzz::WriteTemp("r.CRF", vx::fuzz::Bytes(data, size));
    try {
        const std::unique_ptr<vx::TWPReport> report = vx::LoadReportDefinitionFile(path);
        // What was read writes again.
        (void)vx::ComponentToBytes(*report);
    } catch (const vx::EDocumentFile& e) {
        VX_FUZZ_CHECK(e.Kind == vx::TDocumentFileError::UnsupportedVersion ||
                      (e.Offset >= 0 && e.Offset <= static_cast<int64_t>(size)));
    }
    return 0;
}
