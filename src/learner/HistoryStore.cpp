#include "learner/HistoryStore.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include <sys/stat.h>

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/text/FileIO.h"
#include "platform/text/TutorError.h"

namespace {

const std::size_t FileBytes = std::size_t(HistoryBytes);

// Owns a descriptor opened through the store's file system and closes it on every path. Close() hands the
// result of the close to the caller and leaves nothing to close again: the descriptor is released even when
// close reports an error.
class Descriptor
{
public:
    Descriptor(HistoryFileSystem &fs, int fd) : m_fs(fs), m_fd(fd) {}
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    // Still open here only when another failure is on its way to the learner; that one is the one to show.
    ~Descriptor()
    {
        if (m_fd >= 0)
            m_fs.Close(m_fd);
    }

    int Get() const { return m_fd; }
    int Release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    int Close() { return m_fs.Close(Release()); }

private:
    HistoryFileSystem &m_fs;
    int m_fd;
};

// The learner's folder of one read or save, opened once so that every name below is looked up in the same folder
// even if the path comes to lead elsewhere meanwhile. A link in place of the folder is refused. A folder the
// caller already holds open is borrowed, and left open.
class Folder
{
public:
    // `given` is the caller's descriptor of the folder, or -1 to open the folder of `filePath`.
    Folder(const QString &filePath, int given) : m_owned(given < 0)
    {
        const QFileInfo info(filePath);
        m_name = QFile::encodeName(info.fileName());
        m_fd = m_owned
                   ? ::open(QFile::encodeName(info.path()).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)
                   : given;
    }
    Folder(const Folder &) = delete;
    Folder &operator=(const Folder &) = delete;
    ~Folder()
    {
        if (m_owned && m_fd >= 0)
            ::close(m_fd);
    }

    bool IsOpen() const { return m_fd >= 0; }
    int Get() const { return m_fd; }
    // The file's own name in the folder.
    const QByteArray &Name() const { return m_name; }

private:
    int m_fd = -1;
    bool m_owned;
    QByteArray m_name;
};

// A file a save makes (its temporary file, a copy of the old file): removed on every path unless the save kept it.
class TemporaryFile
{
public:
    TemporaryFile(HistoryFileSystem &fs, const Folder &folder, const QByteArray &name)
        : m_fs(fs), m_folder(folder), m_name(name)
    {
    }
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;
    // A failure to remove it must not hide the failure that made the save give up.
    ~TemporaryFile()
    {
        if (!m_kept)
            m_fs.Unlink(m_folder.Get(), m_name.constData(), 0);
    }

    void Keep() { m_kept = true; }

private:
    HistoryFileSystem &m_fs;
    const Folder &m_folder;
    QByteArray m_name;
    bool m_kept = false;
};

// ENOENT and ENOTDIR mean the learner's folder itself is gone when it was the folder that could not be opened,
// unless a link stands in its place.
[[noreturn]] void FailFolder(const QString &filePath, int errorNumber)
{
    struct stat status {};
    if (::lstat(QFile::encodeName(QFileInfo(filePath).path()).constData(), &status) == 0 && S_ISLNK(status.st_mode))
        errorNumber = ELOOP;
    if (errorNumber == ENOENT || errorNumber == ENOTDIR)
        throw TutorError(QStringLiteral("Nom de fichier incorrect"));
    throw TutorError(IoErrorText(errorNumber));
}

[[noreturn]] void Fail(int errorNumber)
{
    throw TutorError(IoErrorText(errorNumber));
}

[[noreturn]] void InTheWay(const QString &path)
{
    throw TutorError(QStringLiteral("L'élément %1 empêche l'enregistrement : supprimez-le ou renommez-le").arg(path));
}

// On Linux the descriptor is released even when close is interrupted, and the data was flushed before.
bool CloseFailed(Descriptor &file)
{
    return file.Close() != 0 && errno != EINTR;
}

// A temporary file that can only be new and ours: whatever stands under its name (a crash's leftover, an empty
// folder, a link planted there) is removed first, and the creation refuses to reuse or follow anything.
int CreateTemporary(HistoryFileSystem &fs, const Folder &folder, const QByteArray &name, const QString &path)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (fs.Unlink(folder.Get(), name.constData(), 0) != 0 && (errno == EISDIR || errno == EPERM) &&
            fs.Unlink(folder.Get(), name.constData(), AT_REMOVEDIR) != 0 && errno != ENOENT)
            InTheWay(path);
        const int fd =
            fs.Open(folder.Get(), name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST)
            Fail(errno);
    }
    // Something keeps putting an entry back under that name.
    InTheWay(path);
}

// Writes all `size` bytes, going on after a short or interrupted write; a write that takes nothing means a full
// disk.
void WriteAll(HistoryFileSystem &fs, int fd, const char *bytes, std::size_t size)
{
    std::size_t written = 0;
    while (written < size) {
        const long count = fs.Write(fd, bytes + written, size - written);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            Fail(errno);
        }
        if (count == 0)
            throw TutorError(QStringLiteral("Disque plein"));
        written += std::size_t(count);
    }
}

QString AsideStamp()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
}

// The dated name an old file is kept under; the n-th choice when the earlier ones are taken.
QByteArray AsideName(const Folder &folder, const QString &stamp, int n)
{
    const QString suffix = n == 1 ? stamp : QStringLiteral("%1-%2").arg(stamp).arg(n);
    return folder.Name() + '.' + suffix.toLatin1() + ".bak";
}

constexpr int AsideChoices = 100;

// Moves the old file aside under a dated name that nothing holds yet; returns that name, or nothing when the file
// went away meanwhile.
QByteArray MoveAside(HistoryFileSystem &fs, const Folder &folder)
{
    const QString stamp = AsideStamp();
    for (int n = 1; n < AsideChoices; ++n) {
        const QByteArray aside = AsideName(folder, stamp, n);
        int moved = fs.Rename(folder.Get(), folder.Name().constData(), aside.constData(), RENAME_NOREPLACE);
        // A file system that cannot promise not to replace gets the same promise from a look first.
        if (moved != 0 && errno == EINVAL) {
            struct stat taken {};
            if (::fstatat(folder.Get(), aside.constData(), &taken, AT_SYMLINK_NOFOLLOW) == 0)
                continue;
            moved = fs.Rename(folder.Get(), folder.Name().constData(), aside.constData(), 0);
        }
        if (moved == 0)
            return aside;
        if (errno == ENOENT)
            return QByteArray();
        if (errno != EEXIST)
            Fail(errno);
    }
    Fail(EEXIST);
}

// Opens the folder's file for reading, never through a link nor waiting on a pipe; anything but a regular file is
// refused as access denied, since a pipe or a device would hand over anybody's bytes, or none at all. -1 with errno
// set when the open itself fails.
int OpenToRead(HistoryFileSystem &fs, const Folder &folder)
{
    const int fd = fs.Open(folder.Get(), folder.Name().constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    Descriptor file(fs, fd);
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0)
        Fail(errno);
    if (!S_ISREG(status.st_mode))
        Fail(EACCES);
    return file.Release();
}

// The errors of a file system that gives no file a second name (or not this one), where a copy has to do.
bool NoSecondName(int errorNumber)
{
    return errorNumber == EPERM || errorNumber == EXDEV || errorNumber == EOPNOTSUPP || errorNumber == ENOTSUP ||
           errorNumber == EMLINK;
}

// Copies the old file under the first dated name from the n-th that nothing holds yet: a new file only this save
// made, with the old file's bytes and permissions, flushed to the disk. Returns nothing when the file went away.
QByteArray CopyAside(HistoryFileSystem &fs, const Folder &folder, const QString &stamp, int n)
{
    const int in = OpenToRead(fs, folder);
    if (in < 0 && errno == ENOENT)
        return QByteArray();
    if (in < 0)
        Fail(errno);
    Descriptor source(fs, in);
    struct stat status {};
    if (::fstat(source.Get(), &status) != 0)
        Fail(errno);

    for (; n < AsideChoices; ++n) {
        const QByteArray aside = AsideName(folder, stamp, n);
        const int out =
            fs.Open(folder.Get(), aside.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (out < 0 && errno == EEXIST)
            continue;
        if (out < 0)
            Fail(errno);
        TemporaryFile copy(fs, folder, aside);
        Descriptor target(fs, out);
        char buffer[64 * 1024];
        for (;;) {
            const long count = fs.Read(source.Get(), buffer, sizeof buffer);
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0)
                Fail(errno);
            if (count == 0)
                break;
            WriteAll(fs, target.Get(), buffer, std::size_t(count));
        }
        if (::fchmod(target.Get(), status.st_mode & 0777) != 0)
            Fail(errno);
        if (fs.Fsync(target.Get()) != 0)
            Fail(errno);
        if (CloseFailed(target))
            Fail(errno);
        copy.Keep();
        return aside;
    }
    Fail(EEXIST);
}

// Gives the old file a second, dated name that nothing holds yet while it keeps its own, so that the learner's file
// is never missing; returns that name, or nothing when the file went away meanwhile.
QByteArray LinkAside(HistoryFileSystem &fs, const Folder &folder)
{
    const QString stamp = AsideStamp();
    for (int n = 1; n < AsideChoices; ++n) {
        const QByteArray aside = AsideName(folder, stamp, n);
        if (fs.Link(folder.Get(), folder.Name().constData(), aside.constData()) == 0)
            return aside;
        if (errno == ENOENT)
            return QByteArray();
        if (NoSecondName(errno))
            return CopyAside(fs, folder, stamp, n);
        if (errno != EEXIST)
            Fail(errno);
    }
    Fail(EEXIST);
}

} // namespace

int HistoryFileSystem::Open(int folder, const char *name, int flags, int mode)
{
    return ::openat(folder, name, flags, mode_t(mode));
}

long HistoryFileSystem::Read(int fd, void *buffer, std::size_t size)
{
    return long(::read(fd, buffer, size));
}

long HistoryFileSystem::Write(int fd, const void *buffer, std::size_t size)
{
    return long(::write(fd, buffer, size));
}

int HistoryFileSystem::Fsync(int fd)
{
    return ::fsync(fd);
}

int HistoryFileSystem::Close(int fd)
{
    return ::close(fd);
}

int HistoryFileSystem::Rename(int folder, const char *from, const char *to, unsigned flags)
{
    return ::renameat2(folder, from, folder, to, flags);
}

int HistoryFileSystem::Unlink(int folder, const char *name, int flags)
{
    return ::unlinkat(folder, name, flags);
}

int HistoryFileSystem::Access(int folder, const char *name, int mode)
{
    return ::faccessat(folder, name, mode, AT_SYMLINK_NOFOLLOW);
}

int HistoryFileSystem::Link(int folder, const char *from, const char *to)
{
    return ::linkat(folder, from, folder, to, 0);
}

HistoryFileSystem &RealFileSystem()
{
    static HistoryFileSystem fileSystem;
    return fileSystem;
}

QString IoErrorText(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT: return QStringLiteral("Fichier introuvable");
    case ENOTDIR:
    case ENAMETOOLONG: return QStringLiteral("Nom de fichier incorrect");
    case EMFILE:
    case ENFILE: return QStringLiteral("Trop de fichiers ouverts");
    case EACCES:
    case EPERM:
    case ELOOP:
    case EROFS:
    case EISDIR: return QStringLiteral("Accès au fichier refusé");
    case ENOSPC:
    case EDQUOT: return QStringLiteral("Disque plein");
    default: return QStringLiteral("Erreur E/S %1").arg(errorNumber);
    }
}

void ReadHistoryFile(const QString &path, HistoryBlock &block, HistoryFileSystem &fs, int folderFd)
{
    block.Clear();
    const Folder folder(path, folderFd);
    if (!folder.IsOpen())
        FailFolder(path, errno);
    const int fd = OpenToRead(fs, folder);
    if (fd < 0)
        Fail(errno);
    Descriptor file(fs, fd);

    std::size_t total = 0;
    while (total < FileBytes) {
        const long count = fs.Read(file.Get(), block.Bytes() + total, FileBytes - total);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            Fail(errno);
        }
        if (count == 0)
            break;
        total += std::size_t(count);
    }
    if (CloseFailed(file))
        Fail(errno);
    if (total < FileBytes)
        throw TutorError(QStringLiteral("Lecture au-delà de la fin de fichier"));
}

QString WriteFileSafely(const QString &path, const char *bytes, std::size_t size, HistoryFileSystem &fs, OldFile old,
                        int folderFd)
{
    const Folder folder(path, folderFd);
    if (!folder.IsOpen())
        FailFolder(path, errno);
    const QByteArray temporaryName = folder.Name() + ".tmp";

    struct stat oldStatus {};
    const bool oldExists = ::fstatat(folder.Get(), folder.Name().constData(), &oldStatus, AT_SYMLINK_NOFOLLOW) == 0;
    if (!oldExists && errno != ENOENT)
        Fail(errno);
    const bool oldIsFile = oldExists && S_ISREG(oldStatus.st_mode);
    // The rename below would replace even a file the learner may not write; refuse as opening it would. Anything
    // but a regular file is not the learner's history and is never replaced in silence.
    if (oldIsFile && fs.Access(folder.Get(), folder.Name().constData(), W_OK) != 0)
        Fail(errno);
    if (oldExists && !oldIsFile && old == OldFile::Replace)
        Fail(EACCES);

    const int fd = CreateTemporary(fs, folder, temporaryName, path + QStringLiteral(".tmp"));
    TemporaryFile temporary(fs, folder, temporaryName);
    Descriptor file(fs, fd);

    WriteAll(fs, file.Get(), bytes, size);
    // Whoever could read the old history, and only they, can read the new one.
    if (oldIsFile && ::fchmod(file.Get(), oldStatus.st_mode & 0777) != 0)
        Fail(errno);
    if (fs.Fsync(file.Get()) != 0)
        Fail(errno);
    if (CloseFailed(file))
        Fail(errno);

    QByteArray aside;
    if (oldExists && old == OldFile::KeepAside) {
        aside = oldIsFile ? LinkAside(fs, folder) : MoveAside(fs, folder);
        // The dated name reaches the disk before the rename leaves it the old file's only name.
        if (oldIsFile && !aside.isEmpty())
            ::fsync(folder.Get());
    }
    if (fs.Rename(folder.Get(), temporaryName.constData(), folder.Name().constData(), 0) != 0) {
        const int failure = errno;
        // A regular old file never left its name: only the dated one this save made goes.
        if (!aside.isEmpty() && oldIsFile)
            fs.Unlink(folder.Get(), aside.constData(), 0);
        else if (!aside.isEmpty())
            fs.Rename(folder.Get(), aside.constData(), folder.Name().constData(), RENAME_NOREPLACE);
        Fail(failure);
    }
    temporary.Keep();
    // The new name itself reaches the disk; the data already has. Failing here would report a save that was made.
    ::fsync(folder.Get());
    return aside.isEmpty() ? QString() : QFileInfo(path).dir().filePath(QFile::decodeName(aside));
}

QString WriteHistoryFile(const QString &path, const HistoryBlock &block, HistoryFileSystem &fs, OldFile old,
                         int folderFd)
{
    return WriteFileSafely(path, reinterpret_cast<const char *>(block.Bytes()), FileBytes, fs, old, folderFd);
}

Leftover SettleLeftover(const QString &path, const std::function<bool(const std::string &)> &complete,
                        std::size_t limit, HistoryFileSystem &fs, int folderFd)
{
    const Folder folder(path, folderFd);
    if (!folder.IsOpen())
        return Leftover();
    const QByteArray temporaryName = folder.Name() + ".tmp";
    const auto whole = [&](const QByteArray &name) {
        const safefile::Contents contents = safefile::ReadIn(folder.Get(), QFile::decodeName(name), limit);
        return contents.Refused == safefile::Refusal::None && complete(contents.Bytes);
    };
    const auto removed = [&] {
        Leftover settled;
        if (fs.Unlink(folder.Get(), temporaryName.constData(), 0) == 0)
            settled.Done = Leftover::Outcome::Removed;
        return settled;
    };

    struct stat status {};
    // Anything but a regular file under that name is no save of ours, and the next save removes it.
    if (::fstatat(folder.Get(), temporaryName.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(status.st_mode))
        return Leftover();
    if (!whole(temporaryName))
        return removed();
    const bool fileThere = ::fstatat(folder.Get(), folder.Name().constData(), &status, AT_SYMLINK_NOFOLLOW) == 0;
    if (!fileThere && errno != ENOENT)
        return Leftover();
    // The save stopped before its rename: the file is as it was before that save.
    if (fileThere && S_ISREG(status.st_mode) && whole(folder.Name()))
        return removed();

    QByteArray aside;
    if (fileThere) {
        try {
            aside = MoveAside(fs, folder);
        } catch (const TutorError &) {
            // Both files are still there; the next save tells the learner what is wrong.
            return Leftover();
        }
    }
    int moved = fs.Rename(folder.Get(), temporaryName.constData(), folder.Name().constData(), RENAME_NOREPLACE);
    struct stat taken {};
    if (moved != 0 && errno == EINVAL &&
        ::fstatat(folder.Get(), folder.Name().constData(), &taken, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT)
        moved = fs.Rename(folder.Get(), temporaryName.constData(), folder.Name().constData(), 0);
    if (moved != 0) {
        // The start then finds what it would have found without the tidy-up.
        if (!aside.isEmpty())
            fs.Rename(folder.Get(), aside.constData(), folder.Name().constData(), RENAME_NOREPLACE);
        return Leftover();
    }
    ::fsync(folder.Get());
    Leftover settled;
    settled.Done = Leftover::Outcome::Recovered;
    if (!aside.isEmpty())
        settled.KeptAside = QFileInfo(path).dir().filePath(QFile::decodeName(aside));
    return settled;
}
