#include "localisation/MemIni.h"
#include "localisation/mlLangDispatcher.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/TextMetrics.h"
#include "platform/runtime/Strings.h"

namespace vx {

std::string ExpandWidthText(std::string_view text, char padding, int percent,
                            const std::function<int64_t(std::string_view)>& textWidth) {
    std::string result = UpperCase(text);
    const int64_t target = textWidth(text) * (100 + int64_t{percent});
    int64_t width = textWidth(result);
    // Every second position from the end, starting again at the end once the start is near.
    size_t position = result.size();
    while (width * 100 < target) {
        const size_t at = position > 0 ? position - 1 : 0;
        result.insert(at, 1, padding);
        const int64_t wider = textWidth(result);
        if (wider <= width) {
            result.erase(at, 1);
            break;
        }
        width = wider;
        position = position >= 4 ? position - 2 : result.size();
    }
    return result;
}

std::string TTestModeInfo::Display(std::string_view text) const {
    switch (Kind) {
    case tmkExpandWidth: {
        // Measured as a dialog of the original platform showed its texts.
        TFont font;
        font.SetName("Tahoma");
        font.SetSize(8);
        const LOGFONTA logFont = font.LogFont();
        return ExpandWidthText(text, PaddingChar, ExpandWidthPercent,
                               [&](std::string_view s) { return TextWidth(logFont, s); });
    }
    case tmkFlipCase:
        return FlipCase(text);
    case tmkExpandChars:
        return ExpandChars(text, PaddingChar, ExpandCharsPercent);
    }
    return std::string(text);
}

} // namespace vx
