// The component-stream reader over every registered class: byte 0 chooses between the
// registry making the class by its stored name, and reading into a fresh object of each
// registered class in turn.

#include "FuzzSupport.h"

#include "data/Valuedefnt.h"
#include "data/WPArrays.h"
#include "localisation/mlComp.h"
#include "localisation/mlLangComponent.h"
#include "platform/runtime/Component.h"
#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Streams.h"

#include <array>
#include <memory>
#include <string_view>

namespace {

// The table's stream face registers under the table's name.
constexpr std::array<std::string_view, 3> kClasses = {"TMatrix", "Tvaluedefnt", "TmlLang"};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    vx::fuzz::Init(argc, argv);
    // Registered at start-up by the units that hold them; named here so that they are linked.
    vx::RegisterClass(vx::TMatrix::StaticClassInfo());
    vx::RegisterClass(vx::Tvaluedefnt::StaticClassInfo());
    vx::RegisterTmlLang();
    for (std::string_view name : kClasses) {
        if (vx::GetClass(name) == nullptr)
            vx::fuzz::Fail("a class is not registered");
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    vx::TMemoryStream stream{std::string(vx::fuzz::Bytes(data + 1, size - 1))};
    try {
        if (data[0] % (kClasses.size() + 1) == 0) {
            std::unique_ptr<vx::TPersistent> object(vx::ReadNewComponent(stream, nullptr));
            VX_FUZZ_CHECK(object != nullptr);
        } else {
            const vx::TClassInfo& cls =
                *vx::GetClass(kClasses[data[0] % (kClasses.size() + 1) - 1]);
            std::unique_ptr<vx::TPersistent> object(cls.Create(nullptr));
            vx::ReadComponent(stream, *object);
        }
    } catch (const vx::Exception&) {
        // A refused stream: the reader's own error.
    }
    return 0;
}
