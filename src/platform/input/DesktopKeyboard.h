#pragma once

#include <optional>
#include <string>
#include <utility>

// The keyboard the desktop types with, as the X server names it: its first layout and that layout's variant
// ("fr", "bepo"). Nothing off X, or when the server does not say.
namespace desktopkeyboard {

std::optional<std::pair<std::string, std::string>> Names();

} // namespace desktopkeyboard
