// The document file (byte 0 even) and the project file (odd), each read as a window reads
// it: a refused file leaves the tests and the test styles as they were, and says a place
// inside it.

#include "FuzzSupport.h"

#include "data/AttributiProve.h"
#include "data/Databuff.h"
#include "document/DocumentFiles.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"
#include "report/WPPage.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    vx::fuzz::Init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    vx::TMemoryStream stream{std::string(vx::fuzz::Bytes(data + 1, size - 1))};
    vx::AttributiProve().SetDefaults();
    vx::AttributiProve().Record(3).Width = 7;
    const vx::TAttributiProve styles = vx::AttributiProve();
    vx::TDatabuffer buffer;
    buffer.AddProva(3);
    // A damaged file says where reading stopped: somewhere inside it.
    const auto checkPlace = [&](const vx::EDocumentFile& e) {
        VX_FUZZ_CHECK(e.Kind != vx::TDocumentFileError::Damaged ||
                      (e.Offset >= 0 && e.Offset <= static_cast<int64_t>(size - 1)));
    };
    if (data[0] % 2 == 0) {
        bool headerRead = false;
        try {
            vx::ReadChecked(stream, "f.VRX", [&] {
                vx::ReadDocumentHeader(stream, buffer, "f.VRX");
                headerRead = true;
                vx::ReadPages(stream, &buffer);
            });
        } catch (const vx::EDocumentFile& e) {
            checkPlace(e);
            if (!headerRead) {
                VX_FUZZ_CHECK(buffer.ProvaCount() == 1);
                VX_FUZZ_CHECK(vx::AttributiProve() == styles);
            }
        }
        return 0;
    }
    try {
        vx::ReadChecked(stream, "f.CPF", [&] {
            const vx::TProjectContent project = vx::ReadProject(stream, &buffer, "f.CPF");
            VX_FUZZ_CHECK(project.Pages.size() * vx::kMinPageStream <= size);
            vx::TakeProjectLabels(project.Labels, buffer);
            VX_FUZZ_CHECK(buffer.LabelTable.Count() <= 2);
        });
    } catch (const vx::EDocumentFile& e) {
        checkPlace(e);
    }
    VX_FUZZ_CHECK(vx::AttributiProve() == styles);
    return 0;
}
