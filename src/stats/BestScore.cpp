#include "stats/BestScore.h"

#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include "stats/HistoryStore.h"

namespace bestscore {

namespace {

// Far more than any score's digits: a bigger file is not ours.
constexpr int LargestFile = 64;

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
    // Opened so that nothing can stall or mislead it: no link followed, no wait on a pipe or device, and only a
    // plain file of a score's size is read.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return 0;
    struct stat status {};
    char bytes[LargestFile + 1];
    ssize_t count = -1;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size <= LargestFile)
        count = ::read(fd, bytes, sizeof bytes);
    ::close(fd);
    if (count < 0 || count > LargestFile)
        return 0;
    return Parse(std::string(bytes, static_cast<std::size_t>(count)));
}

void Write(const QString &path, std::int64_t score)
{
    const std::string text = std::to_string(score < 0 ? 0 : score) + "\n";
    WriteFileSafely(path, text.data(), text.size());
}

} // namespace bestscore
