#include "platform/runtime/Numbers.h"

#include "platform/runtime/Exceptions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace vx {

namespace {

// The value as 15 significant decimal digits (correctly rounded) and the decimal exponent of
// the first digit: value = 0.d1d2...d15 x 10^(exp+1).
struct Decimal15 {
    bool negative = false;
    char digits[15];
    int exponent = 0;
};

Decimal15 ToDecimal15(double value) {
    Decimal15 d;
    char buf[40];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    const char* p = buf;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    int n = 0;
    for (; p < res.ptr && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            d.digits[n++] = *p;
    ++p; // 'e'
    int exp = 0;
    std::from_chars(*p == '+' ? p + 1 : p, res.ptr, exp);
    d.exponent = exp;
    return d;
}

std::string SpecialText(double value) {
    if (std::isnan(value))
        return "NAN";
    return value < 0 ? "-INF" : "INF";
}

} // namespace

std::string FloatToStr(double value) {
    return FloatToStr(value, FormatSettings().DecimalSeparator);
}

std::string FloatToStr(double value, char decimalSeparator) {
    if (!std::isfinite(value))
        return SpecialText(value);
    if (value == 0)
        return "0";
    const Decimal15 d = ToDecimal15(value);
    int len = 15;
    while (len > 1 && d.digits[len - 1] == '0')
        --len;
    std::string out = d.negative ? "-" : "";
    const int e = d.exponent;
    if (e >= 15 || e <= -5) {
        out += d.digits[0];
        if (len > 1) {
            out += decimalSeparator;
            out.append(d.digits + 1, static_cast<size_t>(len - 1));
        }
        out += 'E';
        if (e < 0)
            out += '-';
        out += std::to_string(std::abs(e));
        return out;
    }
    if (e < 0) {
        out += '0';
        out += decimalSeparator;
        out.append(static_cast<size_t>(-e - 1), '0');
        out.append(d.digits, static_cast<size_t>(len));
        return out;
    }
    for (int i = 0; i <= e; ++i)
        out += i < len ? d.digits[i] : '0';
    if (len > e + 1) {
        out += decimalSeparator;
        out.append(d.digits + e + 1, static_cast<size_t>(len - e - 1));
    }
    return out;
}

bool TryStrToFloat(std::string_view text, double& value) {
    return TryStrToFloat(text, value, FormatSettings().DecimalSeparator);
}

bool TryStrToFloat(std::string_view text, double& value, char decimalSeparator) {
    size_t i = 0, n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    while (n > i && text[n - 1] == ' ')
        --n;
    // Rebuild the number in the form from_chars reads, checking the grammar on the way.
    char buf[400];
    size_t k = 0;
    auto put = [&](char c) {
        if (k >= sizeof buf - 1)
            return false;
        buf[k++] = c;
        return true;
    };
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    int digits = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
        if (!put(text[i++]))
            return false;
        ++digits;
    }
    if (i < n && text[i] == decimalSeparator) {
        ++i;
        if (!put('.'))
            return false;
        while (i < n && text[i] >= '0' && text[i] <= '9') {
            if (!put(text[i++]))
                return false;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        put('e');
        if (i < n && (text[i] == '+' || text[i] == '-'))
            put(text[i++]);
        int expDigits = 0;
        while (i < n && text[i] >= '0' && text[i] <= '9') {
            if (!put(text[i++]))
                return false;
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    if (i != n)
        return false;
    double v = 0;
    auto res = std::from_chars(buf, buf + k, v, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // Underflow reads as zero; overflow is not a number we can hold.
        const char* e = std::find(buf, buf + k, 'e');
        if (e != buf + k && e + 1 < buf + k && e[1] == '-')
            v = 0;
        else
            return false;
    } else if (res.ec != std::errc() || res.ptr != buf + k) {
        return false;
    }
    value = negative ? -v : v;
    return true;
}

double StrToFloat(std::string_view text) {
    double v;
    if (!TryStrToFloat(text, v))
        throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
    return v;
}

double StrToFloatDef(std::string_view text, double def) {
    double v;
    return TryStrToFloat(text, v) ? v : def;
}

bool TryStrToInt64(std::string_view text, int64_t& value) {
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    bool hex = false;
    if (i < n && text[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        return false;
    uint64_t acc = 0;
    const uint64_t limit = hex ? std::numeric_limits<uint64_t>::max() : (uint64_t{1} << 63);
    for (; i < n; ++i) {
        const char c = text[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        const unsigned base = hex ? 16 : 10;
        if (acc > (limit - static_cast<uint64_t>(d)) / base)
            return false;
        acc = acc * base + static_cast<uint64_t>(d);
    }
    if (!hex && !negative && acc > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
        return false;
    const auto v = static_cast<int64_t>(acc);
    value = negative ? static_cast<int64_t>(0 - acc) : v;
    return true;
}

bool TryStrToInt(std::string_view text, int32_t& value) {
    int64_t v;
    if (!TryStrToInt64(text, v))
        return false;
    const std::string_view t = text.substr(text.find_first_not_of(" +-"));
    const bool hex = !t.empty() && (t[0] == '$' || (t.size() > 1 && (t[1] == 'x' || t[1] == 'X')));
    // Hex texts are 32-bit patterns ("$FFFFFFFF" is -1), as the run-time reads them.
    if (hex && v >= -0xFFFFFFFFLL && v <= 0xFFFFFFFFLL) {
        value = static_cast<int32_t>(static_cast<uint32_t>(v));
        return true;
    }
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        return false;
    value = static_cast<int32_t>(v);
    return true;
}

int32_t StrToInt(std::string_view text) {
    int32_t v;
    if (!TryStrToInt(text, v))
        throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
    return v;
}

int32_t StrToIntDef(std::string_view text, int32_t def) {
    int32_t v;
    return TryStrToInt(text, v) ? v : def;
}

static void CheckInt64Range(double value) {
    if (!(value >= -9223372036854775808.0 && value < 9223372036854775808.0))
        throw EMathError("Invalid floating point operation");
}

int64_t Round(double value) {
    const double r = std::nearbyint(value);
    CheckInt64Range(r);
    return static_cast<int64_t>(r);
}

int64_t Trunc(double value) {
    const double t = std::trunc(value);
    CheckInt64Range(t);
    return static_cast<int64_t>(t);
}

double Frac(double value) {
    return value - std::trunc(value);
}

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0)
        return -1;
    const int64_t p = static_cast<int64_t>(a) * b;
    int64_t q = p / c;
    const int64_t r = p % c;
    // Halves go to the even neighbour; the remainder's size decides everything else.
    const uint64_t twice = static_cast<uint64_t>(r < 0 ? -r : r) * 2;
    const uint64_t absC = static_cast<uint64_t>(c < 0 ? -static_cast<int64_t>(c) : c);
    const bool negative = (p < 0) != (c < 0);
    if (twice > absC || (twice == absC && (q % 2 != 0)))
        q += negative ? -1 : 1;
    if (q < std::numeric_limits<int32_t>::min() || q > std::numeric_limits<int32_t>::max())
        return -1;
    return static_cast<int32_t>(q);
}

std::string FormatFixed(double value, int decimals, char decimalSeparator) {
    if (!std::isfinite(value))
        return SpecialText(value);
    if (decimals < 0)
        decimals = 0;
    if (decimals > 18)
        decimals = 18;
    if (value == 0) {
        std::string out = "0";
        if (decimals > 0)
            out += decimalSeparator + std::string(static_cast<size_t>(decimals), '0');
        return out;
    }
    const Decimal15 d = ToDecimal15(value);
    // Digits of the integer and fraction parts as a string of decimal digits, with the
    // position of the point; then round half away from zero at the wanted place.
    std::string digits(d.digits, 15);
    int point = d.exponent + 1; // digits before the point
    if (point <= 0) {
        digits.insert(0, static_cast<size_t>(-point + 1), '0');
        point = 1;
    }
    const int keep = point + decimals;
    if (keep < static_cast<int>(digits.size())) {
        const bool up = digits[static_cast<size_t>(keep)] >= '5';
        digits.resize(static_cast<size_t>(keep));
        if (up) {
            int i = keep - 1;
            while (i >= 0 && digits[static_cast<size_t>(i)] == '9')
                digits[static_cast<size_t>(i--)] = '0';
            if (i < 0) {
                digits.insert(0, 1, '1');
                ++point;
            } else {
                ++digits[static_cast<size_t>(i)];
            }
        }
    } else {
        digits.append(static_cast<size_t>(keep) - digits.size(), '0');
    }
    std::string intPart = digits.substr(0, static_cast<size_t>(point));
    const std::string fracPart = digits.substr(static_cast<size_t>(point));
    const size_t firstNonZero = intPart.find_first_not_of('0');
    intPart = firstNonZero == std::string::npos ? "0" : intPart.substr(firstNonZero);
    const bool allZero = intPart == "0" && fracPart.find_first_not_of('0') == std::string::npos;
    std::string out = d.negative && !allZero ? "-" : "";
    out += intPart;
    if (decimals > 0) {
        out += decimalSeparator;
        out += fracPart;
    }
    return out;
}

} // namespace vx
