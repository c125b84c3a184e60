#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace vx {

// One argument of Format: an integer, a float or a text.
class FormatArg {
public:
    FormatArg(int v) : value_(static_cast<int64_t>(v)) {}
    FormatArg(unsigned v) : value_(static_cast<int64_t>(v)) {}
    FormatArg(long v) : value_(static_cast<int64_t>(v)) {}
    FormatArg(long long v) : value_(static_cast<int64_t>(v)) {}
    FormatArg(unsigned long v) : value_(static_cast<int64_t>(v)) {}
    FormatArg(double v) : value_(v) {}
    FormatArg(const char* v) : value_(std::string(v)) {}
    FormatArg(std::string v) : value_(std::move(v)) {}
    FormatArg(std::string_view v) : value_(std::string(v)) {}
    const std::variant<int64_t, double, std::string>& Value() const { return value_; }

private:
    std::variant<int64_t, double, std::string> value_;
};

// The run-time's Format for the conversions the system uses: %d %u %s %x %f %e %g %n %m %%,
// with "-", width, ".precision" and "*". A mismatch raises EConvertError
// "Format '<fmt>' invalid or incompatible with argument".
std::string Format(std::string_view fmt, std::initializer_list<FormatArg> args);

} // namespace vx
