#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How the learner's text records write their figures, whole numbers and dates, and read them back: always as
// written, whatever the locale, so that a file reads back exactly as it was saved and anything else counts as
// damaged. Standard library only.
namespace recordtext {

// The fastest speed a record keeps, in characters per minute: far beyond anyone's typing.
constexpr double FastestSpeed = 10000;

// A figure cut (never rounded up) to one decimal, as a record keeps it.
double Tenths(double figure);
// A figure as a record keeps it: within 0..highest (0 for one that is not a number), cut to one decimal.
double AsKept(double figure, double highest);
// A figure with one decimal after a full stop: "80.5", "100.0"; cut as Tenths cuts it.
std::string Figure(double value);
// A figure exactly as Figure writes it, from 0 to `highest`; nothing for anything else.
std::optional<double> ReadFigure(std::string_view text, double highest);
// A whole number in decimal digits without a leading zero ("0" for zero), from `lowest` to `highest`.
std::optional<int> ReadWhole(std::string_view text, int lowest, int highest);
// A day that exists, written YYYY-MM-DD.
bool IsDate(std::string_view text);
// A day and a time of it, written YYYY-MM-DD HH:MM.
bool IsDateTime(std::string_view text);
// The lines of a text, each ended by its line feed; nothing when the last one has none.
std::optional<std::vector<std::string_view>> Lines(std::string_view text);
// The fields of a line between its separators: "a;;b" gives "a", "" and "b".
std::vector<std::string_view> Fields(std::string_view line, char separator);

} // namespace recordtext
