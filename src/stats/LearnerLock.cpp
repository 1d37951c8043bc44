#include "stats/LearnerLock.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

LearnerLock::~LearnerLock()
{
    Release();
}

void LearnerLock::Release()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

LearnerLock::Outcome LearnerLock::Take(const QString &folder)
{
    Release();
    const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + FileName);
    // Never through a link, never waiting on a pipe: the file only carries the lock, its bytes are never used.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return Outcome::Unavailable;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return Outcome::Unavailable;
    }
    int locked;
    do
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const bool busy = errno == EWOULDBLOCK;
        ::close(fd);
        return busy ? Outcome::Busy : Outcome::Unavailable;
    }
    m_fd = fd;
    return Outcome::Held;
}
