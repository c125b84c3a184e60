#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

// Case rules are cp1252 folding followed by byte order, everywhere.
char UpCase(char c);
char LowCase(char c);
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
// <0, 0, >0 comparing the upper-case folds byte by byte.
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
// Exact byte comparison: <0, 0, >0.
int CompareStr(std::string_view a, std::string_view b);

// Trim removes control characters and blanks (bytes <= ' ') at both ends.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

std::string IntToStr(int64_t value);
std::string IntToHex(int64_t value, int digits);
// 1-based position of sub in s, 0 when absent (as the run-time's Pos).
int Pos(std::string_view sub, std::string_view s);
// 1-based index, count clamped to the text as the run-time's Copy.
std::string Copy(std::string_view s, int index, int count);
std::string StringReplaceAll(std::string_view s, std::string_view from, std::string_view to);

} // namespace vx
