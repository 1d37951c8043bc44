#include "learner/LearnerFolder.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/text/SafeFile.h"

namespace {

constexpr int FolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

bool NotAFolder(int error)
{
    return error == ELOOP || error == ENOTDIR;
}

// Opens the folder `name` of `parent` without following a link; a link in its place fails with ELOOP, which the
// system reports as ENOTDIR when it is asked for a folder.
int OpenBelow(int parent, const QByteArray &name)
{
    const int fd = ::openat(parent, name.constData(), FolderFlags);
    if (fd < 0 && errno == ENOTDIR) {
        struct stat status {};
        if (::fstatat(parent, name.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(status.st_mode))
            errno = ELOOP;
        else
            errno = ENOTDIR;
    }
    return fd;
}

// The folder of the learners: its parent by path, as the user set it up (links and all), and the folder itself
// without following a link. With `make`, the parents are made where missing and the folder itself private.
int OpenLearners(const QString &learners, bool make, int &error)
{
    const QFileInfo place(QDir::cleanPath(learners));
    if (place.fileName().isEmpty()) {
        const int fd = ::open(QFile::encodeName(place.filePath()).constData(), FolderFlags);
        error = errno;
        return fd;
    }
    if (make)
        QDir().mkpath(place.path());
    const safefile::Descriptor parent(
        ::open(QFile::encodeName(place.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (parent.Get() < 0) {
        error = errno;
        return -1;
    }
    const QByteArray name = QFile::encodeName(place.fileName());
    int makeError = 0;
    if (make && ::mkdirat(parent.Get(), name.constData(), 0700) != 0 && errno != EEXIST)
        makeError = errno;
    const int fd = OpenBelow(parent.Get(), name);
    // A folder that could not be made is missing for the reason it could not be made.
    error = fd < 0 && errno == ENOENT && makeError != 0 ? makeError : errno;
    return fd;
}

} // namespace

LearnerFolder::~LearnerFolder()
{
    Release();
}

void LearnerFolder::Release()
{
    if (m_folder >= 0)
        ::close(m_folder);
    m_folder = -1;
}

LearnerFolder::Outcome LearnerFolder::Fail(Outcome outcome, int error)
{
    m_error = error;
    return outcome;
}

LearnerFolder::Outcome LearnerFolder::Take(const QString &learners, const QString &name, bool make, bool *made)
{
    Release();
    m_learners = learners;
    m_name = name;
    m_error = 0;
    if (made)
        *made = false;
    int error = 0;
    const safefile::Descriptor parent(OpenLearners(learners, make, error));
    if (parent.Get() < 0)
        return Fail(Outcome::NoLearnersFolder, error);

    const QByteArray own = QFile::encodeName(name);
    int makeError = 0;
    if (make) {
        if (::mkdirat(parent.Get(), own.constData(), 0700) == 0) {
            if (made)
                *made = true;
        } else if (errno != EEXIST) {
            makeError = errno;
        }
    }
    safefile::Descriptor folder(OpenBelow(parent.Get(), own));
    if (folder.Get() < 0) {
        error = errno;
        if (NotAFolder(error))
            return Fail(Outcome::NotAFolder, error);
        return Fail(Outcome::CannotOpen, error == ENOENT && makeError != 0 ? makeError : error);
    }
    struct stat status {};
    if (::fstat(folder.Get(), &status) != 0)
        return Fail(Outcome::CannotOpen, errno);
    // Another user's folder, or one they may write in, lets them read, replace or remove the learner's files.
    if (status.st_uid != ::geteuid())
        return Outcome::NotOwned;
    if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return Outcome::OpenToOthers;

    int locked;
    do
        locked = ::flock(folder.Get(), LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked != 0)
        return errno == EWOULDBLOCK ? Outcome::Busy : Fail(Outcome::CannotLock, errno);
    m_folder = folder.Release();
    return Outcome::Held;
}

LearnerFolder::Outcome LearnerFolder::Reach()
{
    int error = 0;
    const safefile::Descriptor parent(OpenLearners(m_learners, false, error));
    if (parent.Get() < 0)
        return Fail(Outcome::NoLearnersFolder, error);
    struct stat now {};
    if (::fstatat(parent.Get(), QFile::encodeName(m_name).constData(), &now, AT_SYMLINK_NOFOLLOW) != 0)
        return Fail(Outcome::CannotOpen, errno);
    struct stat held {};
    if (m_folder >= 0 && ::fstat(m_folder, &held) == 0 && held.st_dev == now.st_dev && held.st_ino == now.st_ino)
        return Outcome::Held;
    return Take(m_learners, m_name);
}
