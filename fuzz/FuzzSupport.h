#pragma once

// What every fuzz target shares: the process set up once as the program runs (headless Qt,
// scripted answers instead of a user, fixed number conventions), a private folder for the
// files a reader wants by name, and a check that stops the run where a reader breaks a
// promise without crashing.

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vx::fuzz {

void Init(int* argc, char*** argv);

// The bytes in a file of that name in the process's folder; its path.
std::string WriteTemp(std::string_view name, std::string_view bytes);
// The process's folder, ending in '/'.
const std::string& TempFolder();

inline std::string_view Bytes(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Aborts with the message, so that libFuzzer keeps the input as a finding.
[[noreturn]] void Fail(const char* what);

} // namespace vx::fuzz

#define VX_FUZZ_CHECK(cond)                                                                        \
    do {                                                                                           \
        if (!(cond))                                                                               \
            ::vx::fuzz::Fail(#cond);                                                               \
    } while (false)

namespace vx::fuzz {

// Runs read; when it refuses its input with Refusal, what write gives of the object must be
// what it gave before. Any other exception escapes and is a finding.
template <class Refusal = Exception, class Write, class Read>
void RefusalKeeps(Write write, Read read) {
    TMemoryStream before;
    write(before);
    try {
        read();
    } catch (const Refusal&) {
        TMemoryStream after;
        write(after);
        VX_FUZZ_CHECK(after.Bytes() == before.Bytes());
    }
}

} // namespace vx::fuzz
