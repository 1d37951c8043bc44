#include "lesson/LessonReader.h"

std::vector<std::string> SplitLessonLines(std::string_view bytes)
{
    const std::size_t nul = bytes.find('\0');
    if (nul != std::string_view::npos)
        bytes = bytes.substr(0, nul);
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t start = pos;
        while (pos < bytes.size() && bytes[pos] != '\r' && bytes[pos] != '\n')
            ++pos;
        lines.emplace_back(bytes.substr(start, pos - start));
        if (pos < bytes.size() && bytes[pos] == '\r')
            ++pos;
        if (pos < bytes.size() && bytes[pos] == '\n')
            ++pos;
    }
    return lines;
}

std::string TrimLessonLine(std::string_view line)
{
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    std::size_t first = 0;
    std::size_t last = line.size();
    while (first < last && blank(line[first]))
        ++first;
    while (last > first && blank(line[last - 1]))
        --last;
    return std::string(line.substr(first, last - first));
}

std::string LessonRelativePath(int level)
{
    return "Dictees/Level" + std::to_string(level) + ".dll";
}

std::string DictationLine(std::string_view bytes)
{
    const std::vector<std::string> lines = SplitLessonLines(bytes);
    if (lines.empty())
        return {};
    std::string typeable;
    for (char c : lines.front()) {
        switch (static_cast<unsigned char>(c)) {
        case 0x82:
        case 0x91:
        case 0x92: typeable += '\''; break;
        case 0x84:
        case 0x93:
        case 0x94:
        case 0xAB:
        case 0xBB: typeable += '"'; break;
        case 0x85: typeable += "..."; break;
        case 0x96:
        case 0x97: typeable += '-'; break;
        case 0x9C: typeable += "oe"; break;
        case 0x8C: typeable += "OE"; break;
        case 0xA0: typeable += ' '; break;
        default: typeable += c; break;
        }
    }
    return TrimLessonLine(typeable);
}
