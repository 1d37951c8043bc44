#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "course/CourseText.h"

// Drills on the keys a learner misses most: lines as long as an attempt's, in which every weak key comes back
// on every line, the weakest most often. Characters are Windows-1252 bytes. Pure: no Qt, no files.
namespace course {

// The lines of a drill on the learner's weakest keys: weakKeys, weakest first (1 to 5 distinct characters);
// metKeys, every key the learner has already met (the text uses only these and the weak keys, and the space).
// The same seed gives the same lines.
//
// AttemptLines lines of MinLineLength to MaxLineLength characters, no line starting or ending with a space and
// no two spaces together; each line holds every weak key, and the weakest makes one character in twelve at
// least. Words of the material that hold the weak keys come first; letter groups make up for keys too few
// words hold. Throws std::invalid_argument when weakKeys is empty, longer than 5 or repeats a key, or when the
// keys give nothing to type but the space.
std::vector<std::string> MakeDrill(std::string_view weakKeys, std::string_view metKeys, const Material &material,
                                   std::uint32_t seed);

} // namespace course
