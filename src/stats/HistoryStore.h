#pragma once

#include <cstddef>

#include <QString>

#include "stats/HistoryBlock.h"

// The file operations the history store needs, so that tests can inject failures the running system will not
// produce on demand (as root, a read-only file refuses nothing). Each member does what the POSIX call of the same
// name does: same arguments, same result, errno set on failure. The base class calls the real system.
class HistoryFileSystem
{
public:
    virtual ~HistoryFileSystem() = default;
    virtual int Open(const char *path, int flags, int mode);
    virtual long Read(int fd, void *buffer, std::size_t size);
    virtual long Write(int fd, const void *buffer, std::size_t size);
    virtual int Fsync(int fd);
    virtual int Close(int fd);
    virtual int Rename(const char *from, const char *to);
    virtual int Unlink(const char *path);
    virtual int Access(const char *path, int mode);
};

HistoryFileSystem &RealFileSystem();

// The French text of an input/output error number (errno), as the learner sees it. ENOENT reads as a missing
// file; only the callers below know whether it is the folder that is missing.
QString IoErrorText(int errorNumber);

// Reads a learner's history file into `block`. The file is opened for reading and writing, so a file that could
// not be saved later is refused now. The block is cleared first and then holds exactly the bytes read, also when
// the file is too short ("Lecture au-delà de la fin de fichier"). Every failure throws a TutorError with the
// French text; no descriptor is left open.
void ReadHistoryFile(const QString &path, HistoryBlock &block, HistoryFileSystem &fs = RealFileSystem());

// Saves `block` to `path` so that no failure can destroy the previous history: the bytes go to `path` + ".tmp"
// in the same folder, are flushed to the disk, and only then replace the old file in one rename. On any failure
// the temporary file is removed, the old file is left as it was, and a TutorError with the French text is thrown.
// A temporary file left behind by an earlier crash does not prevent the save.
void WriteHistoryFile(const QString &path, const HistoryBlock &block, HistoryFileSystem &fs = RealFileSystem());

// The same safe save for any of the learner's files: `size` bytes from `bytes`.
void WriteFileSafely(const QString &path, const char *bytes, std::size_t size, HistoryFileSystem &fs = RealFileSystem());
