#pragma once

// Reading value texts as numbers is the hot path of every axis, sort and range query, so the
// common plain form ("-12.345") is read here directly; everything else goes to the run-time.

#include "platform/runtime/Numbers.h"

#include <cstdint>
#include <string_view>

namespace vx {

// Exactly TryStrToFloat(text, value, decimalSeparator), only faster for plain decimals.
inline bool TryReadValueText(std::string_view text, double& value, char decimalSeparator) {
    // With at most 2^53 as the digits and at most 22 decimals both operands are exact, so one
    // IEEE division gives the correctly rounded result, as the run-time's reader does.
    static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const char* p = text.data();
    const char* const end = p + text.size();
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+'))
        negative = *p++ == '-';
    uint64_t digits = 0;
    const char* const intStart = p;
    while (p < end && static_cast<unsigned char>(*p - '0') < 10)
        digits = digits * 10 + static_cast<unsigned>(*p++ - '0');
    size_t count = static_cast<size_t>(p - intStart);
    size_t decimals = 0;
    if (p < end && *p == decimalSeparator) {
        const char* const fracStart = ++p;
        while (p < end && static_cast<unsigned char>(*p - '0') < 10)
            digits = digits * 10 + static_cast<unsigned>(*p++ - '0');
        decimals = static_cast<size_t>(p - fracStart);
        count += decimals;
    }
    if (p != end || count == 0 || count > 19 || decimals > 22 || digits > (uint64_t{1} << 53))
        return TryStrToFloat(text, value, decimalSeparator);
    double v = static_cast<double>(digits);
    if (decimals > 0)
        v /= kPow10[decimals];
    value = negative ? -v : v;
    return true;
}

} // namespace vx
