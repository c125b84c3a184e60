#include "localisation/mlCodePages.h"

#include "platform/runtime/Cp1252.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <string>
#include <utility>

namespace vx {

namespace {

constexpr int kSymbolCodePage = 42;

struct CharsetCodePage {
    int Charset;
    int CodePage;
};

constexpr std::array<CharsetCodePage, 16> kCharsetCodePages = {{{0, 1252},
                                                                {2, kSymbolCodePage},
                                                                {128, 932},
                                                                {129, 949},
                                                                {130, 1361},
                                                                {134, 936},
                                                                {136, 950},
                                                                {161, 1253},
                                                                {162, 1254},
                                                                {163, 1258},
                                                                {177, 1255},
                                                                {178, 1256},
                                                                {186, 1257},
                                                                {204, 1251},
                                                                {222, 874},
                                                                {238, 1250}}};

std::string IconvName(int codePage) {
    return "CP" + std::to_string(codePage == 0 ? 1252 : codePage);
}

class Converter {
public:
    Converter(const std::string& to, const std::string& from)
        : cd_(iconv_open(to.c_str(), from.c_str())) {}
    ~Converter() {
        if (Valid())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts the whole input; at an input sequence that cannot be converted, the
    // replacement is written instead and skip(first byte) input bytes are passed over.
    template <class Skip>
    std::string Run(std::string_view input, std::string_view replacement, Skip skip) {
        std::string out;
        std::array<char, 1024> buffer{};
        char* in = const_cast<char*>(input.data());
        size_t inLeft = input.size();
        while (inLeft > 0) {
            char* o = buffer.data();
            size_t oLeft = buffer.size();
            const size_t r = iconv(cd_, &in, &inLeft, &o, &oLeft);
            out.append(buffer.data(), buffer.size() - oLeft);
            if (r != static_cast<size_t>(-1) || errno == E2BIG)
                continue;
            // EILSEQ or EINVAL (a sequence cut at the end): replace and go on.
            out.append(replacement);
            const size_t n = std::min(skip(static_cast<unsigned char>(*in)), inLeft);
            in += n;
            inLeft -= n;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        char* o = buffer.data();
        size_t oLeft = buffer.size();
        iconv(cd_, nullptr, nullptr, &o, &oLeft);
        out.append(buffer.data(), buffer.size() - oLeft);
        return out;
    }

private:
    iconv_t cd_;
};

// Length of the UTF-8 sequence that starts with this byte (1 for a stray byte).
size_t Utf8SequenceLength(unsigned char lead) {
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

size_t OneByte(unsigned char) {
    return 1;
}

} // namespace

int CharsetToCodePage(int charset) {
    for (const CharsetCodePage& entry : kCharsetCodePages)
        if (entry.Charset == charset)
            return entry.CodePage;
    return 0;
}

std::string CodePageToUtf8(std::string_view text, int codePage) {
    if (codePage == kSymbolCodePage) {
        std::string out;
        for (char c : text)
            AppendUtf8(out, 0xF000 + static_cast<unsigned char>(c));
        return out;
    }
    Converter converter("UTF-8", IconvName(codePage));
    if (!converter.Valid())
        return std::string(text);
    return converter.Run(text, "?", OneByte);
}

std::string Utf8ToCodePage(std::string_view utf8, int codePage) {
    if (codePage == kSymbolCodePage) {
        std::string out;
        const std::string u16 = Converter("UTF-16LE", "UTF-8")
                                    .Run(utf8, std::string_view("?\0", 2), Utf8SequenceLength);
        for (size_t i = 0; i + 1 < u16.size(); i += 2) {
            const unsigned unit =
                static_cast<unsigned char>(u16[i]) | static_cast<unsigned char>(u16[i + 1]) << 8;
            out += unit >= 0xF000 && unit <= 0xF0FF ? static_cast<char>(unit - 0xF000)
                   : unit < 0x100                   ? static_cast<char>(unit)
                                                    : '?';
        }
        return out;
    }
    Converter converter(IconvName(codePage), "UTF-8");
    if (!converter.Valid())
        return std::string(utf8);
    // A character the code page lacks is passed over whole, not byte by byte.
    return converter.Run(utf8, "?", Utf8SequenceLength);
}

std::string Utf16LeToUtf8(std::string_view bytes) {
    std::string out;
    const size_t n = bytes.size() / 2;
    auto unit = [&](size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    };
    for (size_t i = 0; i < n; ++i) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && unit(i + 1) >= 0xDC00 && unit(i + 1) < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(++i) - 0xDC00);
        else if (c >= 0xD800 && c < 0xE000)
            c = 0xFFFD;
        AppendUtf8(out, c);
    }
    return out;
}

} // namespace vx
