#pragma once

// Font character sets as code pages, and texts converted between code pages, UTF-16 and
// UTF-8 (through the C library's iconv).

#include <string>
#include <string_view>

namespace vx {

// The code page of a font character set; 0 for a set that names none (DEFAULT_CHARSET,
// OEM_CHARSET, MAC_CHARSET, unknown values). Code page 0 stands for the system's own, 1252.
int CharsetToCodePage(int charset);

// Bytes of the code page to UTF-8 and back. A byte sequence the code page does not define,
// or a character it cannot hold, becomes '?'; nothing is ever dropped silently. Code page 42
// (symbol fonts) maps byte b to U+F000 + b, as the symbol fonts do.
std::string CodePageToUtf8(std::string_view text, int codePage);
std::string Utf8ToCodePage(std::string_view utf8, int codePage);

// UTF-16LE bytes to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16LeToUtf8(std::string_view bytes);

} // namespace vx
