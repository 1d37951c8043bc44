// Writes the typing tables of the French-speaking keyboards, read from the X keyboard data, as C++ for the
// program to carry: layoutgen OUTPUT.inc

#include <cstdio>
#include <exception>
#include <fstream>
#include <stdexcept>
#include <string>

#include "XkbReader.h"

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: layoutgen OUTPUT.inc\n");
        return 2;
    }
    try {
        std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
        out << "// Made by tools/layoutgen from the X keyboard data; do not edit.\n"
               "constexpr std::array<TypingTable, LayoutCount> Tables{{\n";
        for (const layouts::Description &description : layouts::Descriptions) {
            const layouts::TypingTable table = layoutgen::ReadTable(description.XkbLayout, description.XkbVariant);
            out << "    // " << description.Name << "\n    {{";
            for (std::size_t ch = 0; ch < table.size(); ++ch) {
                const layouts::Typing &t = table[ch];
                out << (ch % 4 == 0 ? "\n        " : " ") << "{{" << int(t.Dead.Key) << ", " << int(t.Dead.Level)
                    << "}, {" << int(t.Base.Key) << ", " << int(t.Base.Level) << "}},";
            }
            out << "\n    }},\n";
        }
        out << "}};\n";
        if (!out.flush())
            throw std::runtime_error(std::string("cannot write ") + argv[1]);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "layoutgen: %s\n", error.what());
        return 1;
    }
    return 0;
}
