#pragma once

#include <string>

#include "platform/input/KeyboardLayouts.h"

// Reads how a layout of the X keyboard data types each Windows-1252 character, through libxkbcommon: every key of
// the main block (no numeric pad), at the levels reached with Shift and AltGr (never with Caps Lock), the lowest
// level winning, then the first key in scan code order; an accented letter no key gives whole is typed with the
// layout's dead key for its accent, then its letter. Throws std::runtime_error when the data cannot be read.
namespace layoutgen {

layouts::TypingTable ReadTable(const std::string &layout, const std::string &variant);

} // namespace layoutgen
