#pragma once

// Value texts as a data logger writes them, shared by the benchmarks so that they measure the
// same data: a sign now and then, 1 to 5 integer digits and up to 6 decimals, never more than
// 12 characters; or, for the worst case, always 12 characters.

#include <random>
#include <string>

namespace vx::bench {

inline std::string RandomValueText(std::mt19937& random, bool full = false) {
    std::string text;
    if (full) {
        text = std::to_string(10000 + random() % 90000) + ".";
        while (text.size() < 12)
            text += static_cast<char>('0' + random() % 10);
        return text;
    }
    if (random() % 4 == 0)
        text += '-';
    const int intDigits = 1 + static_cast<int>(random() % 5);
    text += static_cast<char>('1' + random() % 9);
    for (int i = 1; i < intDigits; ++i)
        text += static_cast<char>('0' + random() % 10);
    const int decimals = static_cast<int>(random() % 7);
    if (decimals > 0 && text.size() + 1 + decimals <= 12) {
        text += '.';
        for (int i = 0; i < decimals; ++i)
            text += static_cast<char>('0' + random() % 10);
    }
    return text;
}

} // namespace vx::bench
