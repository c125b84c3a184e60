#pragma once

// What every fuzz target shares: the process set up once as the program runs (headless Qt,
// scripted answers instead of a user, fixed number conventions), a private folder for the
// files a reader wants by name, and a check that stops the run where a reader breaks a
// promise without crashing.

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
