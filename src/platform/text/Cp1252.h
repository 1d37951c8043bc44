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

// A text as Windows-1252 bytes; characters the code page cannot hold are left out.
std::string FromUnicodeText(const QString &text);

// The bytes of a text file written either in UTF-8 (with or without its byte order mark) or in Windows-1252,
// as Windows-1252. A file is taken as UTF-8 when it is valid UTF-8 and not plain ASCII. The spaces Windows-1252
// lacks (thin and narrow no-break spaces) become spaces; other characters it cannot hold are left out.
std::string FromUtf8OrCp1252(std::string_view bytes);

} // namespace cp1252
