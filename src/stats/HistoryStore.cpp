#include "stats/HistoryStore.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include "platform/TutorError.h"

namespace {

const std::size_t FileBytes = std::size_t(HistoryBytes);

// Owns a descriptor opened through the store's file system and closes it on every path. Close() hands the
// result of the close to the caller and leaves nothing to close again: the descriptor is released even when
// close reports an error.
class Descriptor
{
public:
    Descriptor(HistoryFileSystem &fs, int fd) : fs_(fs), fd_(fd) {}
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    // Still open here only when another failure is on its way to the learner; that one is the one to show.
    ~Descriptor()
    {
        if (fd_ >= 0)
            fs_.Close(fd_);
    }

    int Get() const { return fd_; }
    int Close()
    {
        const int fd = fd_;
        fd_ = -1;
        return fs_.Close(fd);
    }

private:
    HistoryFileSystem &fs_;
    int fd_;
};

// The temporary file of a save: removed on every path unless the save went through and it became the history.
class TemporaryFile
{
public:
    TemporaryFile(HistoryFileSystem &fs, const QByteArray &name) : fs_(fs), name_(name) {}
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;
    // A failure to remove it must not hide the failure that made the save give up.
    ~TemporaryFile()
    {
        if (!kept_)
            fs_.Unlink(name_.constData());
    }

    void Keep() { kept_ = true; }

private:
    HistoryFileSystem &fs_;
    QByteArray name_;
    bool kept_ = false;
};

// A missing file and a missing folder (a learner's folder removed behind the program's back) read differently.
QString FailureText(const QString &path, int errorNumber)
{
    if ((errorNumber == ENOENT || errorNumber == ENOTDIR) && !QFileInfo(QFileInfo(path).absolutePath()).isDir())
        return QStringLiteral("Nom de fichier incorrect");
    return IoErrorText(errorNumber);
}

[[noreturn]] void Fail(const QString &path, int errorNumber)
{
    throw TutorError(FailureText(path, errorNumber));
}

// On Linux the descriptor is released even when close is interrupted, and the data was flushed before.
bool CloseFailed(Descriptor &file)
{
    return file.Close() != 0 && errno != EINTR;
}

} // namespace

int HistoryFileSystem::Open(const char *path, int flags, int mode)
{
    return ::open(path, flags, mode_t(mode));
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

int HistoryFileSystem::Rename(const char *from, const char *to)
{
    return ::rename(from, to);
}

int HistoryFileSystem::Unlink(const char *path)
{
    return ::unlink(path);
}

int HistoryFileSystem::Access(const char *path, int mode)
{
    return ::access(path, mode);
}

HistoryFileSystem &RealFileSystem()
{
    static HistoryFileSystem fileSystem;
    return fileSystem;
}

QString IoErrorText(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT:
        return QStringLiteral("Fichier introuvable");
    case ENOTDIR:
    case ENAMETOOLONG:
        return QStringLiteral("Nom de fichier incorrect");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Trop de fichiers ouverts");
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return QStringLiteral("Accès au fichier refusé");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Disque plein");
    default:
        return QStringLiteral("Erreur E/S %1").arg(errorNumber);
    }
}

void ReadHistoryFile(const QString &path, HistoryBlock &block, HistoryFileSystem &fs)
{
    block.Clear();
    const QByteArray name = QFile::encodeName(path);
    const int fd = fs.Open(name.constData(), O_RDWR | O_CLOEXEC, 0);
    if (fd < 0)
        Fail(path, errno);
    Descriptor file(fs, fd);

    std::size_t total = 0;
    while (total < FileBytes) {
        const long count = fs.Read(file.Get(), block.Bytes() + total, FileBytes - total);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            Fail(path, errno);
        }
        if (count == 0)
            break;
        total += std::size_t(count);
    }
    if (CloseFailed(file))
        Fail(path, errno);
    if (total < FileBytes)
        throw TutorError(QStringLiteral("Lecture au-delà de la fin de fichier"));
}

void WriteFileSafely(const QString &path, const char *bytes, std::size_t size, HistoryFileSystem &fs)
{
    const QByteArray name = QFile::encodeName(path);
    const QByteArray temporaryName = QFile::encodeName(path + QStringLiteral(".tmp"));

    // The rename below would replace even a file the learner may not write; refuse as opening it would. A file
    // that does not exist yet is simply created.
    if (fs.Access(name.constData(), W_OK) != 0 && errno != ENOENT)
        Fail(path, errno);

    // A leftover of an earlier crash may be read-only: removing it lets the open create a fresh file. When it
    // cannot be removed, the open says why.
    fs.Unlink(temporaryName.constData());
    const int fd = fs.Open(temporaryName.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        Fail(path, errno);
    TemporaryFile temporary(fs, temporaryName);
    Descriptor file(fs, fd);

    std::size_t written = 0;
    while (written < size) {
        const long count = fs.Write(file.Get(), bytes + written, size - written);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            Fail(path, errno);
        }
        if (count == 0)
            throw TutorError(QStringLiteral("Disque plein"));
        written += std::size_t(count);
    }
    if (fs.Fsync(file.Get()) != 0)
        Fail(path, errno);
    if (CloseFailed(file))
        Fail(path, errno);
    if (fs.Rename(temporaryName.constData(), name.constData()) != 0)
        Fail(path, errno);
    temporary.Keep();
}

void WriteHistoryFile(const QString &path, const HistoryBlock &block, HistoryFileSystem &fs)
{
    WriteFileSafely(path, reinterpret_cast<const char *>(block.Bytes()), FileBytes, fs);
}
