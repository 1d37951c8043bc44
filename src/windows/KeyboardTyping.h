#pragma once

#include <string>

#include "platform/input/KeyboardLayouts.h"

// What a keyboard lets the learner type, for the texts that reach the line from outside the course: the learner's
// own texts, the lesson files and the dictations. A character is typed when some way of the keyboard gives it (the
// French AZERTY's is the program's own layout, the others' are read from the X keyboard data).
namespace keyboardtyping {

bool Types(layouts::Layout keyboard, char32_t character);
// Whether one of the six keyboards types it: what an own text keeps, whatever keyboard it is practised on later.
bool TypesOnSomeKeyboard(char32_t character);
// A line (Windows-1252) made typeable on the keyboard as the learner's own texts are: what it lacks is replaced as
// French typists do or left out. A line it types whole stands as it is; empty when nothing of it is left.
std::string TypeableLine(layouts::Layout keyboard, const std::string &line);

} // namespace keyboardtyping
