#include "platform/text/Cp1252.h"

#include <algorithm>
#include <array>

#include <QList>
#include <QStringDecoder>

namespace cp1252 {
namespace {

// 0x80..0x9F. The five bytes that the code page leaves undefined keep their C1 code point, as Windows does,
// so that every byte converts both ways.
constexpr std::array<char16_t, 32> kHighRow = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                               0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

QChar ToUnicode(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return QChar(kHighRow[byte - 0x80]);
    return QChar(static_cast<char16_t>(byte));
}

QString ToUnicode(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes)
        text.append(ToUnicode(static_cast<unsigned char>(c)));
    return text;
}

std::optional<unsigned char> FromUnicode(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<unsigned char>(codePoint);
    for (std::size_t i = 0; i < kHighRow.size(); ++i) {
        if (kHighRow[i] == codePoint)
            return static_cast<unsigned char>(0x80 + i);
    }
    return std::nullopt;
}

std::string FromUnicodeText(const QString &text)
{
    std::string bytes;
    const auto codePoints = text.toUcs4();
    for (char32_t codePoint : codePoints)
        if (const auto byte = FromUnicode(codePoint))
            bytes.push_back(static_cast<char>(*byte));
    return bytes;
}

std::string FromUtf8OrCp1252(std::string_view bytes)
{
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    const bool ascii =
        std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii)
        return std::string(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (utf8.hasError())
        return std::string(bytes);
    for (QChar space : {QChar(0x2007), QChar(0x2009), QChar(0x202F)})
        text.replace(space, QLatin1Char(' '));
    return FromUnicodeText(text);
}

} // namespace cp1252
