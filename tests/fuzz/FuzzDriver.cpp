// Runs a fuzz target where no fuzzing engine is at hand: every file of the seed corpus, then a fixed number of
// inputs made from them by small random edits (flipped, inserted, removed and repeated bytes, and the
// characters the readers treat specially). The edits come from a fixed seed, so every run tries the same inputs.
// A target that finds a fault aborts, and the test fails.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace {

std::vector<std::string> ReadCorpus(const std::filesystem::path &folder)
{
    std::vector<std::string> corpus;
    for (const auto &entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream file(entry.path(), std::ios::binary);
        corpus.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    return corpus;
}

std::string Mutate(std::string input, std::mt19937 &random)
{
    static const std::string tokens[] = {"{",
                                         "}",
                                         "+",
                                         "^",
                                         "%",
                                         "(",
                                         ")",
                                         "~",
                                         "\r\n",
                                         "\n",
                                         "\r",
                                         std::string(1, '\0'),
                                         " ",
                                         "$",
                                         "-",
                                         "0X",
                                         "\xC3",
                                         "\xE2\x80",
                                         "\xFF\xFF\xFF\xFF"};
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits; ++e) {
        const std::size_t at = input.empty() ? 0 : random() % (input.size() + 1);
        switch (random() % 6) {
        case 0:
            if (!input.empty() && at < input.size())
                input[at] = static_cast<char>(input[at] ^ (1u << (random() % 8)));
            break;
        case 1: input.insert(at, 1, static_cast<char>(random() % 256)); break;
        case 2:
            if (at < input.size())
                input.erase(at, 1 + random() % 8);
            break;
        case 3: {
            input.insert(at, tokens[random() % std::size(tokens)]);
            break;
        }
        case 4:
            if (!input.empty()) {
                const std::size_t from = random() % input.size();
                input.insert(at, input.substr(from, 1 + random() % 16));
            }
            break;
        default: input.resize(random() % (input.size() + 2)); break;
        }
    }
    return input;
}

void Run(const std::string &input)
{
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(input.data()), input.size());
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::cerr << "usage: " << argv[0] << " CORPUS_FOLDER RUNS\n";
        return 2;
    }
    std::vector<std::string> corpus = ReadCorpus(argv[1]);
    if (corpus.empty()) {
        std::cerr << "no seed in " << argv[1] << '\n';
        return 2;
    }
    for (const std::string &seed : corpus)
        Run(seed);
    std::mt19937 random(20261207);
    const long runs = std::strtol(argv[2], nullptr, 10);
    for (long i = 0; i < runs; ++i)
        Run(Mutate(corpus[random() % corpus.size()], random));
    std::cout << corpus.size() << " seeds and " << runs << " edited inputs ran\n";
    return 0;
}
