#include "platform/text/SafeFile.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/text/TutorError.h"

namespace safefile {

int FileSystem::Open(int folder, const char *name, int flags, int mode)
{
    return ::openat(folder, name, flags, mode_t(mode));
}

long FileSystem::Read(int fd, void *buffer, std::size_t size)
{
    return long(::read(fd, buffer, size));
}

long FileSystem::Write(int fd, const void *buffer, std::size_t size)
{
    return long(::write(fd, buffer, size));
}

int FileSystem::Fsync(int fd)
{
    return ::fsync(fd);
}

int FileSystem::Close(int fd)
{
    return ::close(fd);
}

int FileSystem::Rename(int folder, const char *from, const char *to, unsigned flags)
{
    return ::renameat2(folder, from, folder, to, flags);
}

int FileSystem::Unlink(int folder, const char *name, int flags)
{
    return ::unlinkat(folder, name, flags);
}

int FileSystem::Access(int folder, const char *name, int mode)
{
    return ::faccessat(folder, name, mode, AT_SYMLINK_NOFOLLOW);
}

int FileSystem::Link(int folder, const char *from, const char *to)
{
    return ::linkat(folder, from, folder, to, 0);
}

FileSystem &RealFileSystem()
{
    static FileSystem fileSystem;
    return fileSystem;
}

namespace {

Contents Refuse(Refusal refusal, int error = 0)
{
    Contents contents;
    contents.Refused = refusal;
    contents.Error = error;
    return contents;
}

// Opens `name` in `folder` to read it, never through a link nor waiting on a pipe, and checks on the descriptor that
// it is a regular file, whose status `status` then holds. -1 when it is refused, `refused` then saying why.
int OpenToRead(FileSystem &fs, int folder, const char *name, Contents &refused, struct stat &status)
{
    Descriptor file(fs.Open(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0), fs);
    if (file.Get() < 0)
        refused = Refuse(Refusal::CannotOpen, errno);
    else if (::fstat(file.Get(), &status) != 0)
        refused = Refuse(Refusal::CannotRead, errno);
    else if (!S_ISREG(status.st_mode))
        refused = Refuse(Refusal::NotAFile);
    else
        return file.Release();
    return -1;
}

// Reads until `size` bytes or the end of the file, going on after a short or interrupted read: the count read, or -1
// with errno set.
long ReadUpTo(FileSystem &fs, int fd, char *buffer, std::size_t size)
{
    std::size_t total = 0;
    while (total < size) {
        const long count = fs.Read(fd, buffer + total, size - total);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return -1;
        if (count == 0)
            break;
        total += std::size_t(count);
    }
    return long(total);
}

// The learner's folder of one read or save, opened once so that every name below is looked up in the same folder
// even if the path comes to lead elsewhere meanwhile. A link in place of the folder is refused. A folder the
// caller already holds open is borrowed, and left open.
class Folder
{
public:
    // `given` is the caller's descriptor of the folder, or -1 to open the folder of `filePath`.
    Folder(const QString &filePath, int given)
        : m_name(QFile::encodeName(QFileInfo(filePath).fileName())),
          m_owned(given >= 0 ? -1
                             : ::open(QFile::encodeName(QFileInfo(filePath).path()).constData(),
                                      O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)),
          m_fd(given >= 0 ? given : m_owned.Get())
    {
    }

    bool IsOpen() const { return m_fd >= 0; }
    int Get() const { return m_fd; }
    // The file's own name in the folder.
    const QByteArray &Name() const { return m_name; }
    // The name a save writes the file under before the rename.
    QByteArray TemporaryName() const { return m_name + ".tmp"; }

private:
    QByteArray m_name;
    Descriptor m_owned;
    int m_fd;
};

// A file a save makes (its temporary file, a copy of the old file): removed on every path unless the save kept it.
class TemporaryFile
{
public:
    TemporaryFile(FileSystem &fs, const Folder &folder, const QByteArray &name)
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
    FileSystem &m_fs;
    const Folder &m_folder;
    QByteArray m_name;
    bool m_kept = false;
};

[[noreturn]] void Fail(int errorNumber)
{
    throw TutorError(IoErrorText(errorNumber));
}

// ENOENT and ENOTDIR mean the learner's folder itself is gone when it was the folder that could not be opened,
// unless a link stands in its place.
[[noreturn]] void FailFolder(const QString &filePath, int errorNumber)
{
    struct stat status {};
    if (::lstat(QFile::encodeName(QFileInfo(filePath).path()).constData(), &status) == 0 && S_ISLNK(status.st_mode))
        errorNumber = ELOOP;
    if (errorNumber == ENOENT || errorNumber == ENOTDIR)
        throw TutorError(QStringLiteral("Nom de fichier incorrect"));
    Fail(errorNumber);
}

[[noreturn]] void InTheWay(const QString &path)
{
    throw TutorError(QStringLiteral("L'élément %1 empêche l'enregistrement : supprimez-le ou renommez-le").arg(path));
}

// The error a learner's file that cannot be read is named by. Anything but a regular file is refused as access
// denied, since a pipe or a device would hand over anybody's bytes, or none at all.
int ReadError(const Contents &refused)
{
    return refused.Refused == Refusal::NotAFile ? EACCES : refused.Error;
}

// On Linux the descriptor is released even when close is interrupted, and the data was flushed before.
bool CloseFailed(Descriptor &file)
{
    return file.Close() != 0 && errno != EINTR;
}

// A new file only this save made: never an old one reused, never through a link.
constexpr int NewFileFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;

// A temporary file that can only be new and ours: whatever stands under its name (a crash's leftover, an empty
// folder, a link planted there) is removed first.
int CreateTemporary(FileSystem &fs, const Folder &folder, const QString &path)
{
    const QByteArray name = folder.TemporaryName();
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (fs.Unlink(folder.Get(), name.constData(), 0) != 0 && (errno == EISDIR || errno == EPERM) &&
            fs.Unlink(folder.Get(), name.constData(), AT_REMOVEDIR) != 0 && errno != ENOENT)
            InTheWay(path + QStringLiteral(".tmp"));
        const int fd = fs.Open(folder.Get(), name.constData(), NewFileFlags, 0666);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST)
            Fail(errno);
    }
    // Something keeps putting an entry back under that name.
    InTheWay(path + QStringLiteral(".tmp"));
}

// Writes all `size` bytes, going on after a short or interrupted write; a write that takes nothing means a full
// disk.
void WriteAll(FileSystem &fs, int fd, const char *bytes, std::size_t size)
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

// The last steps of a new file before a rename may give it a name that counts: the permissions of the file it
// stands for (none given: those it was made with), its bytes on the disk, and a close that lost nothing.
void Finish(FileSystem &fs, Descriptor &file, const struct stat *like)
{
    if (like && ::fchmod(file.Get(), like->st_mode & 0777) != 0)
        Fail(errno);
    if (fs.Fsync(file.Get()) != 0)
        Fail(errno);
    if (CloseFailed(file))
        Fail(errno);
}

// Renames `from` to `to` in `folder` unless something stands there already (EEXIST). A file system that cannot
// promise not to replace gets the same promise from a look first.
int RenameNoReplace(FileSystem &fs, int folder, const char *from, const char *to)
{
    if (fs.Rename(folder, from, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL)
        return -1;
    struct stat taken {};
    if (::fstatat(folder, to, &taken, AT_SYMLINK_NOFOLLOW) == 0)
        errno = EEXIST;
    if (errno != ENOENT)
        return -1;
    return fs.Rename(folder, from, to, 0);
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

// The errors of a file system that gives no file a second name (or not this one), where a copy has to do.
bool NoSecondName(int errorNumber)
{
    return errorNumber == EPERM || errorNumber == EXDEV || errorNumber == EOPNOTSUPP || errorNumber == ENOTSUP ||
           errorNumber == EMLINK;
}

// Copies the old file under the first dated name from the n-th that nothing holds yet: a new file only this save
// made, with the old file's bytes and permissions, flushed to the disk. Returns nothing when the file went away.
QByteArray CopyAside(FileSystem &fs, const Folder &folder, const QString &stamp, int n)
{
    Contents refused;
    struct stat status {};
    Descriptor source(OpenToRead(fs, folder.Get(), folder.Name().constData(), refused, status), fs);
    if (source.Get() < 0 && ReadError(refused) == ENOENT)
        return QByteArray();
    if (source.Get() < 0)
        Fail(ReadError(refused));

    for (; n < AsideChoices; ++n) {
        const QByteArray aside = AsideName(folder, stamp, n);
        const int out = fs.Open(folder.Get(), aside.constData(), NewFileFlags, 0600);
        if (out < 0 && errno == EEXIST)
            continue;
        if (out < 0)
            Fail(errno);
        TemporaryFile copy(fs, folder, aside);
        Descriptor target(out, fs);
        char buffer[64 * 1024];
        for (;;) {
            const long count = ReadUpTo(fs, source.Get(), buffer, sizeof buffer);
            if (count < 0)
                Fail(errno);
            WriteAll(fs, target.Get(), buffer, std::size_t(count));
            if (std::size_t(count) < sizeof buffer)
                break;
        }
        Finish(fs, target, &status);
        copy.Keep();
        return aside;
    }
    Fail(EEXIST);
}

// Gives the old file a dated name that nothing holds yet and returns it, or nothing when the file went away
// meanwhile. With `keepingItsOwn` the dated name is a second one (a copy where there can be none), so that the
// learner's file is never missing; else the file is moved aside.
QByteArray PutAside(FileSystem &fs, const Folder &folder, bool keepingItsOwn)
{
    const QString stamp = AsideStamp();
    const char *name = folder.Name().constData();
    for (int n = 1; n < AsideChoices; ++n) {
        const QByteArray aside = AsideName(folder, stamp, n);
        if ((keepingItsOwn ? fs.Link(folder.Get(), name, aside.constData())
                           : RenameNoReplace(fs, folder.Get(), name, aside.constData())) == 0)
            return aside;
        if (errno == ENOENT)
            return QByteArray();
        if (keepingItsOwn && NoSecondName(errno))
            return CopyAside(fs, folder, stamp, n);
        if (errno != EEXIST)
            Fail(errno);
    }
    Fail(EEXIST);
}

// The path of `name`, a name in the folder of `path`.
QString Beside(const QString &path, const QByteArray &name)
{
    return QFileInfo(path).dir().filePath(QFile::decodeName(name));
}

} // namespace

Contents ReadIn(int folder, const QString &name, std::size_t limit, FileSystem &fs)
{
    Contents contents;
    struct stat status {};
    const Descriptor file(OpenToRead(fs, folder, QFile::encodeName(name).constData(), contents, status), fs);
    if (file.Get() < 0)
        return contents;
    if (status.st_size < 0 || std::size_t(status.st_size) > limit)
        return Refuse(Refusal::TooLarge);

    // The size is only a hint: a file that grows while it is read still stops one byte past the limit.
    contents.Bytes.resize(std::size_t(status.st_size) + 1);
    std::size_t total = 0;
    for (;;) {
        const long count = ReadUpTo(fs, file.Get(), &contents.Bytes[total], contents.Bytes.size() - total);
        if (count < 0)
            return Refuse(Refusal::CannotRead, errno);
        total += std::size_t(count);
        if (total < contents.Bytes.size())
            break;
        if (total > limit)
            return Refuse(Refusal::TooLarge);
        contents.Bytes.resize(std::min(limit + 1, total * 2));
    }
    contents.Bytes.resize(total);
    return contents;
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

std::string ReadWholeFile(const QString &path, std::size_t limit)
{
    Contents contents = Read(path, limit);
    switch (contents.Refused) {
    case Refusal::None: return std::move(contents.Bytes);
    case Refusal::CannotOpen:
    case Refusal::NotAFile: throw TutorError(QStringLiteral("Impossible d'ouvrir le fichier %1").arg(path));
    case Refusal::TooLarge:
        throw TutorError(QStringLiteral("Le fichier %1 est trop volumineux : sa taille ne doit pas dépasser %2")
                             .arg(path, LimitText(limit)));
    case Refusal::CannotRead: break;
    }
    throw TutorError(QStringLiteral("Impossible de lire le fichier %1").arg(path));
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

void ReadFirstBytes(const QString &path, char *buffer, std::size_t size, FileSystem &fs, int folderFd)
{
    const Folder folder(path, folderFd);
    if (!folder.IsOpen())
        FailFolder(path, errno);
    Contents refused;
    struct stat status {};
    Descriptor file(OpenToRead(fs, folder.Get(), folder.Name().constData(), refused, status), fs);
    if (file.Get() < 0)
        Fail(ReadError(refused));
    const long count = ReadUpTo(fs, file.Get(), buffer, size);
    if (count < 0)
        Fail(errno);
    if (CloseFailed(file))
        Fail(errno);
    if (std::size_t(count) < size)
        throw TutorError(QStringLiteral("Lecture au-delà de la fin de fichier"));
}

QString WriteFileSafely(const QString &path, const char *bytes, std::size_t size, FileSystem &fs, OldFile old,
                        int folderFd)
{
    const Folder folder(path, folderFd);
    if (!folder.IsOpen())
        FailFolder(path, errno);

    struct stat oldStatus {};
    const bool oldExists = ::fstatat(folder.Get(), folder.Name().constData(), &oldStatus, AT_SYMLINK_NOFOLLOW) == 0;
    if (!oldExists && errno != ENOENT)
        Fail(errno);
    const bool oldIsFile = oldExists && S_ISREG(oldStatus.st_mode);
    // The rename below would replace even a file the learner may not write; refuse as opening it would. Anything
    // but a regular file is not the learner's file and is never replaced in silence.
    if (oldIsFile && fs.Access(folder.Get(), folder.Name().constData(), W_OK) != 0)
        Fail(errno);
    if (oldExists && !oldIsFile && old == OldFile::Replace)
        Fail(EACCES);

    const int fd = CreateTemporary(fs, folder, path);
    TemporaryFile temporary(fs, folder, folder.TemporaryName());
    Descriptor file(fd, fs);
    WriteAll(fs, file.Get(), bytes, size);
    // Whoever could read the old file, and only they, can read the new one.
    Finish(fs, file, oldIsFile ? &oldStatus : nullptr);

    QByteArray aside;
    if (oldExists && old == OldFile::KeepAside) {
        aside = PutAside(fs, folder, oldIsFile);
        // The dated name reaches the disk before the rename leaves it the old file's only name.
        if (oldIsFile && !aside.isEmpty())
            ::fsync(folder.Get());
    }
    if (fs.Rename(folder.Get(), folder.TemporaryName().constData(), folder.Name().constData(), 0) != 0) {
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
    return aside.isEmpty() ? QString() : Beside(path, aside);
}

Leftover SettleLeftover(const QString &path, const std::function<bool(const std::string &)> &complete,
                        std::size_t limit, FileSystem &fs, int folderFd)
{
    const Folder folder(path, folderFd);
    if (!folder.IsOpen())
        return Leftover();
    const QByteArray temporaryName = folder.TemporaryName();
    const auto whole = [&](const QByteArray &name) {
        const Contents contents = ReadIn(folder.Get(), QFile::decodeName(name), limit, fs);
        return contents.Refused == Refusal::None && complete(contents.Bytes);
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
            aside = PutAside(fs, folder, false);
        } catch (const TutorError &) {
            // Both files are still there; the next save tells the learner what is wrong.
            return Leftover();
        }
    }
    if (RenameNoReplace(fs, folder.Get(), temporaryName.constData(), folder.Name().constData()) != 0) {
        // The start then finds what it would have found without the tidy-up.
        if (!aside.isEmpty())
            fs.Rename(folder.Get(), aside.constData(), folder.Name().constData(), RENAME_NOREPLACE);
        return Leftover();
    }
    ::fsync(folder.Get());
    Leftover settled;
    settled.Done = Leftover::Outcome::Recovered;
    if (!aside.isEmpty())
        settled.KeptAside = Beside(path, aside);
    return settled;
}

} // namespace safefile
