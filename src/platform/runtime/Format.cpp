#include "platform/runtime/Format.h"

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Strings.h"

#include <charconv>
#include <cmath>

namespace vx {

namespace {

[[noreturn]] void Invalid(std::string_view fmt) {
    throw EConvertError("Format '" + std::string(fmt) + "' invalid or incompatible with argument");
}

// "-d.ddd...E+ddd" with `precision` significant digits, as the run-time's %e.
std::string Scientific(double value, int precision, char sep) {
    if (!std::isfinite(value))
        return FloatToStr(value, sep);
    if (precision < 1)
        precision = 1;
    if (precision > 17)
        precision = 17;
    char buf[64];
    auto res =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, precision - 1);
    std::string s(buf, res.ptr);
    const size_t e = s.find('e');
    std::string mant = s.substr(0, e);
    for (char& c : mant)
        if (c == '.')
            c = sep;
    const int exp = std::stoi(s.substr(e + 1));
    std::string expText = std::to_string(std::abs(exp));
    expText.insert(0, 3 - std::min<size_t>(3, expText.size()), '0');
    return mant + "E" + (exp < 0 ? "-" : "+") + expText;
}

std::string WithThousands(const std::string& fixed, char sep, char thousands) {
    const size_t start = fixed[0] == '-' ? 1 : 0;
    size_t end = fixed.find(sep);
    if (end == std::string::npos)
        end = fixed.size();
    std::string out = fixed.substr(0, start);
    const std::string intPart = fixed.substr(start, end - start);
    for (size_t i = 0; i < intPart.size(); ++i) {
        if (i > 0 && (intPart.size() - i) % 3 == 0)
            out += thousands;
        out += intPart[i];
    }
    return out + fixed.substr(end);
}

} // namespace

std::string Format(std::string_view fmt, std::initializer_list<FormatArg> args) {
    const TFormatSettings& fs = FormatSettings();
    std::string out;
    auto next = args.begin();
    auto take = [&]() -> const FormatArg& {
        if (next == args.end())
            Invalid(fmt);
        return *next++;
    };
    size_t i = 0;
    while (i < fmt.size()) {
        const char c = fmt[i++];
        if (c != '%') {
            out += c;
            continue;
        }
        if (i < fmt.size() && fmt[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        // %[index:][-][width][.precision]type
        auto readNumber = [&](int& value) -> bool {
            if (i < fmt.size() && fmt[i] == '*') {
                const FormatArg& a = take();
                if (!std::holds_alternative<int64_t>(a.Value()))
                    Invalid(fmt);
                value = static_cast<int>(std::get<int64_t>(a.Value()));
                ++i;
                return true;
            }
            bool any = false;
            value = 0;
            while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
                value = value * 10 + (fmt[i++] - '0');
                if (value > 100000)
                    Invalid(fmt);
                any = true;
            }
            return any;
        };
        int number = 0;
        const size_t save = i;
        bool digits = false;
        while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9' && number < 100000) {
            number = number * 10 + (fmt[i++] - '0');
            digits = true;
        }
        if (digits && i < fmt.size() && fmt[i] == ':') {
            if (number < 0 || number >= static_cast<int>(args.size()))
                Invalid(fmt);
            next = args.begin() + number;
            ++i;
        } else {
            i = save;
        }
        bool left = false;
        if (i < fmt.size() && fmt[i] == '-') {
            left = true;
            ++i;
        }
        int width = 0;
        readNumber(width);
        int precision = -1;
        if (i < fmt.size() && fmt[i] == '.') {
            ++i;
            if (!readNumber(precision))
                precision = 0;
        }
        if (i >= fmt.size())
            Invalid(fmt);
        const char type = static_cast<char>(UpCase(fmt[i++]));
        const FormatArg& arg = take();
        const auto& v = arg.Value();
        std::string text;
        switch (type) {
        case 'D':
        case 'U': {
            if (!std::holds_alternative<int64_t>(v))
                Invalid(fmt);
            int64_t n = std::get<int64_t>(v);
            if (type == 'U')
                n = static_cast<int64_t>(static_cast<uint32_t>(n));
            std::string digits = std::to_string(n < 0 ? -static_cast<uint64_t>(n) : n);
            if (precision > 0 && static_cast<int>(digits.size()) < precision)
                digits.insert(0, static_cast<size_t>(precision) - digits.size(), '0');
            text = (n < 0 ? "-" : "") + digits;
            break;
        }
        case 'X': {
            if (!std::holds_alternative<int64_t>(v))
                Invalid(fmt);
            const int64_t n = std::get<int64_t>(v);
            const bool wide = n < INT32_MIN || n > UINT32_MAX;
            text = IntToHex(wide ? n : static_cast<int64_t>(static_cast<uint32_t>(n)),
                            precision > 0 ? precision : 1);
            break;
        }
        case 'F':
        case 'N':
        case 'M':
        case 'E':
        case 'G': {
            if (!std::holds_alternative<double>(v))
                Invalid(fmt);
            const double x = std::get<double>(v);
            if (type == 'E') {
                text = Scientific(x, precision < 0 ? 15 : precision, fs.DecimalSeparator);
            } else if (type == 'G') {
                text = FloatToStr(x, fs.DecimalSeparator);
            } else {
                text = FormatFixed(x, precision < 0 ? 2 : precision, fs.DecimalSeparator);
                if (type != 'F')
                    text = WithThousands(text, fs.DecimalSeparator, fs.ThousandSeparator);
            }
            break;
        }
        case 'S': {
            if (!std::holds_alternative<std::string>(v))
                Invalid(fmt);
            text = std::get<std::string>(v);
            if (precision >= 0 && static_cast<size_t>(precision) < text.size())
                text.resize(static_cast<size_t>(precision));
            break;
        }
        default:
            Invalid(fmt);
        }
        if (static_cast<int>(text.size()) < width) {
            const std::string pad(static_cast<size_t>(width) - text.size(), ' ');
            text = left ? text + pad : pad + text;
        }
        out += text;
    }
    return out;
}

} // namespace vx
