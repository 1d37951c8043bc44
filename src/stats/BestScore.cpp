#include "stats/BestScore.h"

#include <limits>

#include "platform/text/FileIO.h"
#include "stats/HistoryStore.h"

namespace bestscore {

namespace {

// Far more than any score's digits: a bigger file is not ours.
constexpr std::size_t LargestFile = 64;

} // namespace

std::int64_t Parse(const std::string &text)
{
    std::size_t end = text.size();
    while (end > 0 && (text[end - 1] == '\n' || text[end - 1] == '\r' || text[end - 1] == ' '))
        --end;
    if (end == 0)
        return 0;
    std::int64_t score = 0;
    for (std::size_t i = 0; i < end; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return 0;
        if (score > (std::numeric_limits<std::int64_t>::max() - (c - '0')) / 10)
            return 0;
        score = score * 10 + (c - '0');
    }
    return score;
}

std::int64_t Read(const QString &path)
{
    const safefile::Contents contents = safefile::Read(path, LargestFile);
    return contents.Refused == safefile::Refusal::None ? Parse(contents.Bytes) : 0;
}

void Write(const QString &path, std::int64_t score)
{
    const std::string text = std::to_string(score < 0 ? 0 : score) + "\n";
    WriteFileSafely(path, text.data(), text.size());
}

} // namespace bestscore
