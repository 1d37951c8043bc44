// Any bytes as a lesson or dictation file: the reader never fails, and the first line is what the file's bytes
// say it is.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "lesson/LessonReader.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

bool Blank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const auto lines = SplitLessonLines(bytes);
    const std::string_view text = bytes.substr(0, bytes.find('\0'));
    std::size_t kept = 0;
    for (const std::string &line : lines) {
        Check(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
        kept += line.size();
    }
    Check(kept <= text.size());
    Check(lines.empty() == text.empty());
    if (!lines.empty()) {
        // The first line: everything before the first line break.
        Check(lines.front() == text.substr(0, text.find_first_of("\r\n")));
        const std::string first = TrimLessonLine(lines.front());
        Check(first.empty() || (!Blank(first.front()) && !Blank(first.back())));
        Check(lines.front().find(first) != std::string::npos);
    }
    const std::string dictation = DictationLine(bytes);
    Check(dictation.empty() || (!Blank(dictation.front()) && !Blank(dictation.back())));
    for (char c : dictation) {
        const auto byte = static_cast<unsigned char>(c);
        Check(byte != 0x91 && byte != 0x92 && byte != 0x93 && byte != 0x94 && byte != 0x85 && byte != 0xA0);
    }
    return 0;
}
