#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include <QString>

#include "records/HistoryBlock.h"

// The file operations the history store needs, so that tests can inject failures the running system will not
// produce on demand (as root, a read-only file refuses nothing) and races a test cannot time. Every name is taken
// inside the learner's folder, given as a descriptor, so that the folder cannot be swapped under a save. Each
// member does what the POSIX call does (openat, read, write, fsync, close, renameat2, unlinkat, faccessat without
// following a link, and linkat within the folder, flags 0): same arguments, same result, errno set on failure. The
// base class calls the system.
class HistoryFileSystem
{
public:
    virtual ~HistoryFileSystem() = default;
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

HistoryFileSystem &RealFileSystem();

// The French text of an input/output error number (errno), as the learner sees it. ENOENT reads as a missing
// file; only the callers below know whether it is the folder that is missing.
QString IoErrorText(int errorNumber);

// Every function below takes the learner's folder either from `path` (`folder` -1: the path's folder, opened
// without following a link) or as `folder`, a descriptor of the learner's folder that the caller keeps open and
// closes; the file's own name, the last part of `path`, is then looked up in it. `path` also names the file in
// messages and the returned names.

// Reads a learner's history file into `block`. The file is opened for reading only, so a history the learner may
// only read is still shown; a save refuses such a file later. A link (in place of the file or of its folder), a
// folder, a pipe or a device is refused as access denied, without waiting on it. The block is cleared first and
// then holds exactly the bytes read, also when the file is too short ("Lecture au-delà de la fin de fichier").
// Every failure throws a TutorError with the French text; no descriptor is left open.
void ReadHistoryFile(const QString &path, HistoryBlock &block, HistoryFileSystem &fs = RealFileSystem(),
                     int folder = -1);

// What a save does with the file it replaces.
enum class OldFile {
    // Replaced; anything in its place that is not a regular file (a link, a folder, a pipe) refuses the save.
    Replace,
    // Kept beside the new one under a dated name, whatever it is, once the new bytes are safely on disk. A regular
    // file gets the dated name as a second link (a copy where the file system has no links) and keeps its own
    // until the new file replaces it in one rename, so a crash at any point leaves a file under the name. Anything
    // else is moved aside: it is no history.
    KeepAside,
};

// Saves `block` to `path` so that no failure can destroy the previous history: the bytes go to a temporary file
// that only this save could have made (`path` + ".tmp", created new, never through a link), are flushed to the
// disk, take the old file's permissions, and only then replace the old file in one rename. On any failure the
// temporary file is removed, the old file is left as it was, and a TutorError with the French text is thrown. A
// stale temporary entry of an earlier crash, of whatever kind, is removed first; one that cannot be removed is
// named. Returns the path the old file was kept under, or nothing when none was kept.
QString WriteHistoryFile(const QString &path, const HistoryBlock &block, HistoryFileSystem &fs = RealFileSystem(),
                         OldFile old = OldFile::Replace, int folder = -1);

// The same safe save for any of the learner's files: `size` bytes from `bytes`.
QString WriteFileSafely(const QString &path, const char *bytes, std::size_t size,
                        HistoryFileSystem &fs = RealFileSystem(), OldFile old = OldFile::Replace, int folder = -1);

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
                        std::size_t limit, HistoryFileSystem &fs = RealFileSystem(), int folder = -1);
