#pragma once

#include <string>
#include <string_view>
#include <vector>

// Lesson files: plain Windows-1252 text, whatever their ".dll" ending says. Pure: bytes in, lines out.

// Splits a file's bytes into lines. A line ends at CR, at LF or at CR LF; the first NUL ends the text; a break
// at the very end opens no further line, so an empty file has no line.
std::vector<std::string> SplitLessonLines(std::string_view bytes);

// Removes every character of code 32 or less from both ends.
std::string TrimLessonLine(std::string_view line);

// The lesson file of a level, relative to the program folder: "Dictees/Level<level>.dll".
std::string LessonRelativePath(int level);

// The text of a dictation file (Windows-1252): its first line, trimmed, with the typographic signs that the
// keyboard has no key for replaced by those it has (’ ‘ ‚ as ', « » “ ” „ as ", … as ..., – — as -, œ as oe,
// Œ as OE, the no-break space as a space).
std::string DictationLine(std::string_view bytes);
