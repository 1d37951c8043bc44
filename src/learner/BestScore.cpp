#include "learner/BestScore.h"

#include <cerrno>
#include <limits>

#include <QFileInfo>

#include "platform/text/SafeFile.h"

namespace bestscore {

namespace {

// Far more than any score's digits: a bigger file is not ours.
constexpr std::size_t LargestFile = 64;

} // namespace

std::optional<std::int64_t> Parse(const std::string &text)
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
            return std::nullopt;
        if (score > (std::numeric_limits<std::int64_t>::max() - (c - '0')) / 10)
            return std::nullopt;
        score = score * 10 + (c - '0');
    }
    return score;
}

std::optional<std::int64_t> Read(const QString &path, int folder)
{
    const safefile::Contents contents = folder >= 0 ? safefile::ReadIn(folder, QFileInfo(path).fileName(), LargestFile)
                                                    : safefile::Read(path, LargestFile);
    if (contents.Refused == safefile::Refusal::CannotOpen && contents.Error == ENOENT)
        return 0;
    if (contents.Refused != safefile::Refusal::None)
        return std::nullopt;
    return Parse(contents.Bytes);
}

QString Write(const QString &path, std::int64_t score, safefile::OldFile old, int folder)
{
    const std::string text = std::to_string(score < 0 ? 0 : score) + "\n";
    return safefile::WriteFileSafely(path, text.data(), text.size(), safefile::RealFileSystem(), old, folder);
}

} // namespace bestscore
