#include "data/ValueFormat.h"

#include "platform/runtime/DateTime.h"
#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Strings.h"

#include <algorithm>
#include <exception>

namespace vx {

namespace {

constexpr size_t MaxDisplayLength = 255;

// Number masks give only the count of decimals: the zeros right after the first '.'; '#'
// places and grouping are not honoured, so "0.0#" shows one decimal and "#,##0" no grouping.
int MaskDecimals(std::string_view mask) {
    const size_t dot = mask.find('.');
    const std::string behind = Trim(mask.substr(dot + 1));
    const size_t zeros = behind.find_first_not_of('0');
    return static_cast<int>(zeros == std::string::npos ? behind.size() : zeros);
}

std::string WithoutBrackets(std::string_view mask) {
    std::string out;
    for (char c : mask) {
        if (c != '[' && c != ']')
            out += c;
    }
    return out;
}

} // namespace

TMaskKind MaskKind(std::string_view mask) {
    if (mask.find_first_of("ymdhnsz") == std::string_view::npos)
        return TMaskKind::Number;
    return mask.find('[') != std::string_view::npos ? TMaskKind::ElapsedTime : TMaskKind::DateTime;
}

std::string FormatValueByMask(double value, std::string_view mask) {
    std::string text;
    switch (MaskKind(mask)) {
    case TMaskKind::Number: {
        const int decimals = mask.find('.') == std::string_view::npos ? 0 : MaskDecimals(mask);
        text = FormatFixed(value, decimals, FormatSettings().DecimalSeparator);
        break;
    }
    case TMaskKind::DateTime:
        text = FormatDateTime(mask, value);
        break;
    case TMaskKind::ElapsedTime:
        // The value counts seconds; beyond a day only the time of day shows, as the mask says.
        text = FormatDateTime(WithoutBrackets(mask), value / 86400);
        break;
    }
    if (text.size() > MaxDisplayLength)
        text.resize(MaxDisplayLength);
    return text;
}

std::string FormatValueText(std::string_view text, std::string_view mask) {
    if (mask == TextMask)
        return std::string(text);
    const TFormatSettings& fs = FormatSettings();
    double value = 0;
    if (text.find(fs.DateSeparator) != std::string_view::npos) {
        if (!TryStrToDateTime(text, value))
            value = 0;
    } else {
        std::string number(text);
        if (fs.DecimalSeparator == '.')
            std::replace(number.begin(), number.end(), ',', '.');
        else
            std::replace(number.begin(), number.end(), '.', fs.DecimalSeparator);
        if (!TryStrToFloat(number, value))
            value = 0;
    }
    try {
        return FormatValueByMask(value, mask);
    } catch (const std::exception&) {
        return std::string(text);
    }
}

} // namespace vx
