#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace vx {

// Every text inside the program is a Windows-1252 byte string; these convert at the edges.
// The five bytes that the code page leaves undefined map to the same code points, so every
// byte round-trips.
char16_t Cp1252ToUnicode(unsigned char byte);
// -1 when the code page has no byte for the character.
int UnicodeToCp1252(char32_t ch);

std::string Cp1252ToUtf8(std::string_view text);
// Appends the UTF-8 bytes of one code point.
void AppendUtf8(std::string& out, char32_t cp);
// A character the code page lacks becomes '?'.
std::string Utf8ToCp1252(std::string_view utf8);
// True when every character of the UTF-8 text has a cp1252 byte.
bool IsCp1252Representable(std::string_view utf8);

QString ToQString(std::string_view text);
std::string FromQString(const QString& text);

} // namespace vx
