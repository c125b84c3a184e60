#pragma once

#include "FormatSettings.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

// General format with 15 significant digits; scientific when the decimal exponent is >= 15
// or <= -5 ("1E20", "1E-5").
std::string FloatToStr(double value);
std::string FloatToStr(double value, char decimalSeparator);

// Blanks, sign, digits with the current separator, optional exponent; nothing else.
bool TryStrToFloat(std::string_view text, double& value);
bool TryStrToFloat(std::string_view text, double& value, char decimalSeparator);
// Raises EConvertError "'<text>' is not a valid floating point value".
double StrToFloat(std::string_view text);
double StrToFloatDef(std::string_view text, double def);

// Leading blanks, sign, decimal digits or '$' / "0x" hex; 32-bit range.
bool TryStrToInt(std::string_view text, int32_t& value);
bool TryStrToInt64(std::string_view text, int64_t& value);
// Raises EConvertError "'<text>' is not a valid integer value".
int32_t StrToInt(std::string_view text);
int32_t StrToIntDef(std::string_view text, int32_t def);

// Halves to even; values outside int64 raise EMathError.
int64_t Round(double value);
// Toward zero; values outside int64 raise EMathError.
int64_t Trunc(double value);
double Frac(double value);
// a * b / c with a 64-bit product, halves to even; c == 0 gives -1.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

// Reduces to 15 significant digits, then rounds half away from zero to `decimals` places, as
// the run-time's fixed formats do ("%0.2f" of 1.005 is "1.01").
std::string FormatFixed(double value, int decimals, char decimalSeparator);

} // namespace vx
