// The load-model reader (.WHF). A model that reads must write back to bytes that read to the
// same model.

#include "FuzzSupport.h"

#include "data/Modellocaricamento.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    vx::fuzz::Init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = vx::fuzz::WriteTemp("model.whf", vx::fuzz::Bytes(data, size));
    vx::TModellocaricamento model;
    model.Mask = "unchanged";
    if (!model.LoadFromFile(path)) {
        // A refused file changes nothing.
        VX_FUZZ_CHECK(model.Mask == "unchanged" && model.FirstList.Count() == 0);
        return 0;
    }
    const std::string again = vx::fuzz::TempFolder() + "again.whf";
    VX_FUZZ_CHECK(model.SaveToFile(again));
    vx::TModellocaricamento copy;
    VX_FUZZ_CHECK(copy.LoadFromFile(again));
    VX_FUZZ_CHECK(copy.Mask == model.Mask && copy.NamesPos == model.NamesPos &&
                  copy.UnitsPos == model.UnitsPos && copy.DataPos == model.DataPos);
    VX_FUZZ_CHECK(copy.FirstList.Items() == model.FirstList.Items() &&
                  copy.SecondList.Items() == model.SecondList.Items());
    return 0;
}
