#include "platform/text/FileIO.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include "platform/text/TutorError.h"

namespace safefile {

namespace {

Contents Refuse(Refusal refusal, int error = 0)
{
    Contents contents;
    contents.Refused = refusal;
    contents.Error = error;
    return contents;
}

} // namespace

Contents ReadIn(int folder, const QString &name, std::size_t limit)
{
    const OwnedDescriptor file(
        ::openat(folder, QFile::encodeName(name).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (file.Get() < 0)
        return Refuse(Refusal::CannotOpen, errno);
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0)
        return Refuse(Refusal::CannotRead, errno);
    if (!S_ISREG(status.st_mode))
        return Refuse(Refusal::NotAFile);
    if (status.st_size < 0 || std::size_t(status.st_size) > limit)
        return Refuse(Refusal::TooLarge);

    // The size is only a hint: a file that grows while it is read still stops one byte past the limit.
    Contents contents;
    contents.Bytes.resize(std::size_t(status.st_size) + 1 > limit ? limit + 1 : std::size_t(status.st_size) + 1);
    std::size_t total = 0;
    for (;;) {
        if (total == contents.Bytes.size()) {
            if (total > limit)
                return Refuse(Refusal::TooLarge);
            contents.Bytes.resize(std::min(limit + 1, total * 2));
        }
        const ssize_t count = ::read(file.Get(), &contents.Bytes[total], contents.Bytes.size() - total);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return Refuse(Refusal::CannotRead, errno);
        }
        if (count == 0)
            break;
        total += std::size_t(count);
    }
    if (total > limit)
        return Refuse(Refusal::TooLarge);
    contents.Bytes.resize(total);
    return contents;
}

OwnedDescriptor::~OwnedDescriptor()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int OwnedDescriptor::Release()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

Contents Read(const QString &path, std::size_t limit)
{
    return ReadIn(AT_FDCWD, path, limit);
}

QString LimitText(std::size_t limit)
{
    if (limit >= (std::size_t(1) << 20) && limit % (std::size_t(1) << 20) == 0)
        return QStringLiteral("%1 Mo").arg(limit >> 20);
    if (limit >= 1024 && limit % 1024 == 0)
        return QStringLiteral("%1 Ko").arg(limit >> 10);
    return QStringLiteral("%1 octets").arg(limit);
}

} // namespace safefile

std::string ReadWholeFile(const QString &path, std::size_t limit)
{
    safefile::Contents contents = safefile::Read(path, limit);
    switch (contents.Refused) {
    case safefile::Refusal::None: return std::move(contents.Bytes);
    case safefile::Refusal::CannotOpen:
    case safefile::Refusal::NotAFile: throw TutorError(QStringLiteral("Impossible d'ouvrir le fichier %1").arg(path));
    case safefile::Refusal::TooLarge:
        throw TutorError(QStringLiteral("Le fichier %1 est trop volumineux : sa taille ne doit pas dépasser %2")
                             .arg(path, safefile::LimitText(limit)));
    case safefile::Refusal::CannotRead: break;
    }
    throw TutorError(QStringLiteral("Impossible de lire le fichier %1").arg(path));
}
