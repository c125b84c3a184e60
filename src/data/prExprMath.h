#pragma once

// Checked arithmetic of the expression language: every fault is an EMathError, never a
// signal, a NaN or undefined behaviour.

#include <cstdint>
#include <string>

namespace vx {

// Raises on NaN or infinity.
double CheckFloat(double value);
double FloatDivide(double x, double y);
// e^(y ln x) in extended precision, so that small integer powers come out exact; x <= 0
// raises.
double FloatPower(double x, double y);
// Truncating; raises on a zero divisor and on the one quotient that does not fit.
int32_t IntegerDiv(int32_t x, int32_t y);
// Takes the sign of the dividend.
int32_t IntegerMod(int32_t x, int32_t y);
// A rounded or truncated float as a 32-bit integer; raises when it does not fit, where the
// machine would have dropped the high bits.
int32_t CheckedInteger(int64_t value);

// INTL: the value at x of the interpolation table in the file, 0 when there is no such file.
double LookupInterpolationTable(const std::string& fileName, double x);

} // namespace vx
