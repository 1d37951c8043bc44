#pragma once

#include <cstdint>

#include <QColor>

// Colours travel as 0x00BBGGRR values: red in the low byte, blue in the high one.
inline QColor FromColourValue(std::uint32_t value)
{
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

inline std::uint32_t ToColourValue(const QColor &colour)
{
    return static_cast<std::uint32_t>(colour.red()) | (static_cast<std::uint32_t>(colour.green()) << 8) |
           (static_cast<std::uint32_t>(colour.blue()) << 16);
}

namespace colours {
constexpr std::uint32_t Black = 0x000000;
constexpr std::uint32_t Red = 0x0000FF;
constexpr std::uint32_t Lime = 0x00FF00;
constexpr std::uint32_t Yellow = 0x00FFFF;
constexpr std::uint32_t Blue = 0xFF0000;
constexpr std::uint32_t Purple = 0x800080;
constexpr std::uint32_t Navy = 0x800000;
constexpr std::uint32_t Silver = 0xC0C0C0;
constexpr std::uint32_t Grey = 0x808080;
constexpr std::uint32_t White = 0xFFFFFF;
constexpr std::uint32_t LightGreen = 0x80FF80;
constexpr std::uint32_t BtnFace = 0xF0F0F0;
} // namespace colours
