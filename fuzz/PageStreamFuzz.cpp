// The page stream read into a page, as a document reads its pages: a refused stream leaves
// the page writing what it wrote before.

#include "FuzzSupport.h"

#include "data/Databuff.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"
#include "report/WPPage.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    vx::fuzz::Init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vx::TDatabuffer buffer;
    vx::TWPPage page(nullptr);
    page.DataBuffer = &buffer;
    vx::TMemoryStream stream{std::string(vx::fuzz::Bytes(data, size))};
    vx::fuzz::RefusalKeeps([&](vx::TStream& s) { page.SaveToStream(s); },
                           [&] { page.LoadFromStream(stream); });
    return 0;
}
