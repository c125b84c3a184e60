#include "platform/runtime/Cp1252.h"

namespace vx {

namespace {
// 0x80..0x9F; the five holes (81, 8D, 8F, 90, 9D) keep their own code points.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Decodes one UTF-8 sequence at s[i]; an invalid byte is taken as U+FFFD and skipped.
char32_t NextUtf8(std::string_view s, size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i++]);
    if (b0 < 0x80)
        return b0;
    int extra = b0 >= 0xF0 ? 3 : b0 >= 0xE0 ? 2 : b0 >= 0xC0 ? 1 : -1;
    if (extra < 0 || b0 > 0xF4)
        return 0xFFFD;
    char32_t cp = b0 & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80)
            return 0xFFFD;
        cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    }
    return cp;
}
} // namespace

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char16_t Cp1252ToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0)
        return kHigh[byte - 0x80];
    return byte;
}

int UnicodeToCp1252(char32_t ch) {
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return static_cast<int>(ch);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == ch)
            return 0x80 + i;
    return -1;
}

std::string Cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        AppendUtf8(out, Cp1252ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::string Utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        const int b = UnicodeToCp1252(NextUtf8(utf8, i));
        out += b < 0 ? '?' : static_cast<char>(b);
    }
    return out;
}

bool IsCp1252Representable(std::string_view utf8) {
    size_t i = 0;
    while (i < utf8.size())
        if (UnicodeToCp1252(NextUtf8(utf8, i)) < 0)
            return false;
    return true;
}

QString ToQString(std::string_view text) {
    QString out(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
    // Through the raw buffer: QString's operator[] checks for sharing at every character.
    QChar* chars = out.data();
    for (size_t i = 0; i < text.size(); ++i)
        chars[i] = QChar(Cp1252ToUnicode(static_cast<unsigned char>(text[i])));
    return out;
}

std::string FromQString(const QString& text) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (auto it = text.cbegin(); it != text.cend(); ++it) {
        char32_t cp = it->unicode();
        if (it->isHighSurrogate() && it + 1 != text.cend() && (it + 1)->isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(*it, *(it + 1));
            ++it;
        }
        const int b = UnicodeToCp1252(cp);
        out += b < 0 ? '?' : static_cast<char>(b);
    }
    return out;
}

} // namespace vx
