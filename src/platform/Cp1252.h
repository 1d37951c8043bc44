#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QChar>
#include <QString>

// Windows-1252 at the edges: the typing engine works on single bytes, Qt on Unicode. Conversion happens only
// where text meets a widget, and a character that the code page cannot hold is never replaced by another one.
namespace cp1252 {

QChar ToUnicode(unsigned char byte);
QString ToUnicode(std::string_view bytes);

// The byte for a Unicode character, or nothing when Windows-1252 has no such character.
std::optional<unsigned char> FromUnicode(char32_t codePoint);

} // namespace cp1252
