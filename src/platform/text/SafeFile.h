#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include <QString>

// Reading and saving the files that someone else may have put there or may be racing: the lessons, dictations and
// help beside the program, the files a learner chose, and the learner's own files. None is trusted: a link is never
// followed, a pipe or a device is never waited on, a file bigger than its kind's limit is refused before it is read,
// and a save never leaves a name without a whole file under it.
namespace safefile {

// The largest file of each kind the program reads.
constexpr std::size_t LessonLimit = std::size_t(1) << 20;
constexpr std::size_t RecordingLimit = std::size_t(64) << 20;
constexpr std::size_t HelpLimit = std::size_t(4) << 20;

// The file operations everything below goes through, so that tests can inject failures the running system will not
// produce on demand (as root, a read-only file refuses nothing) and races a test cannot time. Each member does what
// the POSIX call does (openat, read, write, fsync, close, renameat2 within the folder, unlinkat, faccessat without
// following a link, and linkat within the folder, flags 0): same arguments, same result, errno set on failure. The
// base class calls the system.
class FileSystem
{
public:
    virtual ~FileSystem() = default;
    virtual int Open(int folder, const char *name, int flags, int mode);
    virtual long Read(int fd, void *buffer, std::size_t size);
    virtual long Write(int fd, const void *buffer, std::size_t size);
    virtual int Fsync(int fd);
    virtual int Close(int fd);
    virtual int Rename(int folder, const char *from, const char *to, unsigned flags);
    virtual int Unlink(int folder, const char *name, int flags);
    virtual int Access(int folder, const char *name, int mode);
    virtual int Link(int folder, const char *from, const char *to);
};

FileSystem &RealFileSystem();

// A descriptor, closed through the file system that opened it on every path unless it is handed on.
class Descriptor
{
public:
    explicit Descriptor(int fd, FileSystem &fs = RealFileSystem()) : m_fs(fs), m_fd(fd) {}
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    // Still open here only when another failure is on its way to the learner; that one is the one to show.
    ~Descriptor()
    {
        if (m_fd >= 0)
            m_fs.Close(m_fd);
    }
    int Get() const { return m_fd; }
    // Hands the descriptor on: it is no longer closed here.
    int Release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    // Closes it now and hands over close's result; the descriptor is released even when close reports an error.
    int Close() { return m_fs.Close(Release()); }

private:
    FileSystem &m_fs;
    int m_fd;
};

enum class Refusal {
    None,
    // It could not be opened (missing, not allowed, a link): Error holds the system's error number.
    CannotOpen,
    // A folder, a pipe, a device or a socket.
    NotAFile,
    TooLarge,
    // It opened, but reading it failed: Error holds the system's error number.
    CannotRead,
};

struct Contents {
    Refusal Refused = Refusal::None;
    int Error = 0;
    std::string Bytes;
};

// Opens `name` in the folder open as `folder` (AT_FDCWD for the current one) with O_NOFOLLOW | O_NONBLOCK |
// O_CLOEXEC, checks on the descriptor that it is a regular file of at most `limit` bytes, and reads it whole. A
// folder held open keeps every name looked up in the same place, even if its path comes to lead elsewhere. Never
// throws for what the file system does.
Contents ReadIn(int folder, const QString &name, std::size_t limit, FileSystem &fs = RealFileSystem());

// ReadIn for a path.
Contents Read(const QString &path, std::size_t limit);

// A limit as the learner reads it: "1 Mo", "64 Mo", "512 octets".
QString LimitText(std::size_t limit);

// Whole-file reads for the lessons and dictations. A file that cannot be opened or is not a regular file raises the
// French "Impossible d'ouvrir le fichier <path>"; one over `limit` names the file and the limit.
std::string ReadWholeFile(const QString &path, std::size_t limit);

// The French text of an input/output error number (errno), as the learner sees it. ENOENT reads as a missing
// file; only the functions below know whether it is the folder that is missing.
QString IoErrorText(int errorNumber);

// The learner's files. Every function below takes the learner's folder either from `path` (`folder` -1: the path's
// folder, opened without following a link) or as `folder`, a descriptor of the learner's folder that the caller keeps
// open and closes; the file's own name, the last part of `path`, is then looked up in it. `path` also names the file
// in messages and the returned names.

// Reads the first `size` bytes of a learner's file into `buffer`. The file is opened for reading only, so a file the
// learner may only read is still shown; a save refuses such a file later. A link (in place of the file or of its
// folder), a folder, a pipe or a device is refused as access denied, without waiting on it. A shorter file leaves the
// bytes it has in `buffer` and reads as "Lecture au-delà de la fin de fichier". Every failure throws a TutorError
// with the French text; no descriptor is left open.
void ReadFirstBytes(const QString &path, char *buffer, std::size_t size, FileSystem &fs = RealFileSystem(),
                    int folder = -1);

// What a save does with the file it replaces.
enum class OldFile {
    // Replaced; anything in its place that is not a regular file (a link, a folder, a pipe) refuses the save.
    Replace,
    // Kept beside the new one under a dated name, whatever it is, once the new bytes are safely on disk. A regular
    // file gets the dated name as a second link (a copy where the file system has no links) and keeps its own
    // until the new file replaces it in one rename, so a crash at any point leaves a file under the name. Anything
    // else is moved aside: it is not the learner's file.
    KeepAside,
};

// Saves `size` bytes from `bytes` to `path` so that no failure can destroy the previous file: the bytes go to a
// temporary file that only this save could have made (`path` + ".tmp", created new, never through a link), are
// flushed to the disk, take the old file's permissions, and only then replace the old file in one rename. On any
// failure the temporary file is removed, the old file is left as it was, and a TutorError with the French text is
// thrown. A stale temporary entry of an earlier crash, of whatever kind, is removed first; one that cannot be removed
// is named. Returns the path the old file was kept under, or nothing when none was kept.
QString WriteFileSafely(const QString &path, const char *bytes, std::size_t size, FileSystem &fs = RealFileSystem(),
                        OldFile old = OldFile::Replace, int folder = -1);

// What a start did with the temporary file of a save that was never finished (the program was killed or the
// machine stopped between writing it and renaming it).
struct Leftover {
    enum class Outcome { None, Removed, Recovered };
    Outcome Done = Outcome::None;
    // Where the file it replaced was kept, when it replaced one.
    QString KeptAside;
};

// Settles the temporary file a save left at `path` + ".tmp". When it is a regular file holding a whole file of its
// kind while the file itself is missing or is not one, it is the only whole copy: it takes the name, and whatever
// stood there is kept aside under a dated name. Any other regular temporary file is removed. Nothing is followed
// through a link, and an entry that is not a regular file is left to the next save, which removes it. The tidy-up
// never throws: what it cannot do it leaves as it was (None), for the next save to report.
// `complete` says whether bytes are a whole file of this kind; `limit` the largest such file.
Leftover SettleLeftover(const QString &path, const std::function<bool(const std::string &)> &complete,
                        std::size_t limit, FileSystem &fs = RealFileSystem(), int folder = -1);

} // namespace safefile
