#pragma once

// What the history store's tests share: sample bytes, raw file access, a file system that injects failures and
// counts descriptors, one that snapshots the folder before each call, and the fixture on a folder of their own.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "learner/BestScore.h"
#include "learner/HistoryStore.h"
#include "platform/text/TutorError.h"
#include "support/HistorySamples.h"

namespace {

const char *const AccessRefused = "Accès au fichier refusé";
const char *const DiskFull = "Disque plein";
const char *const PastTheEnd = "Lecture au-delà de la fin de fichier";

// 12816 bytes no record would hold twice in a row, so any shift or gap shows.
inline QByteArray Pattern(int size = 12816)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + 3) & 0xFF);
    return bytes;
}

inline HistoryBlock BlockHolding(const QByteArray &bytes)
{
    HistoryBlock block;
    std::memcpy(block.Bytes(), bytes.constData(), std::size_t(bytes.size()));
    return block;
}

inline QByteArray BytesOf(const HistoryBlock &block)
{
    return QByteArray(reinterpret_cast<const char *>(block.Bytes()), 12816);
}

inline void WriteRaw(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

inline QByteArray ReadRaw(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("(cannot open)");
    return file.readAll();
}

// Whether an entry of any kind stands under the name, without following a link.
inline bool Present(const QString &path)
{
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0;
}

inline bool WholeHistory(const std::string &bytes)
{
    return bytes.size() == 12816;
}

// The text the learner would see, UTF-8, or a marker when nothing failed.
inline std::string FailureOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const TutorError &error) {
        return error.Text().toStdString();
    }
    return "(no failure)";
}

// Forwards to the real system and injects the failures a test asks for. Counts every descriptor it hands out
// and every close, so a test can tell that nothing was left open.
class FakeFileSystem : public safefile::FileSystem
{
public:
    int openErrno = 0;
    int accessErrno = 0;
    int fsyncErrno = 0;
    int closeErrno = 0;
    int renameErrno = 0;
    int readErrno = 0;
    int linkErrno = 0;
    // Each write in turn: a positive value caps the bytes written, 0 writes nothing, -e fails with errno e.
    // Once used up, writes go through.
    std::vector<long> writeScript;
    std::vector<long> readScript; // the same for reads
    std::vector<int> openFlags;
    // As a non-root learner would see it: a file left read-only cannot be opened for writing, only removed.
    bool existingFilesReadOnly = false;
    // Runs just before each open, as another user racing the save would.
    std::function<void(const char *name)> beforeOpen;

    int opens = 0;
    int closes = 0;
    std::set<int> openDescriptors;

    int Open(int folder, const char *name, int flags, int mode) override
    {
        openFlags.push_back(flags);
        if (beforeOpen)
            beforeOpen(name);
        if (openErrno != 0)
            return Failed(openErrno);
        if (existingFilesReadOnly && (flags & O_ACCMODE) != O_RDONLY &&
            safefile::FileSystem::Access(folder, name, F_OK) == 0)
            return Failed(EACCES);
        const int fd = safefile::FileSystem::Open(folder, name, flags, mode);
        if (fd >= 0) {
            ++opens;
            openDescriptors.insert(fd);
        }
        return fd;
    }
    long Read(int fd, void *buffer, std::size_t size) override
    {
        if (readErrno != 0)
            return Failed(readErrno);
        return Scripted(readScript, size, [&](std::size_t n) { return safefile::FileSystem::Read(fd, buffer, n); });
    }
    long Write(int fd, const void *buffer, std::size_t size) override
    {
        return Scripted(writeScript, size, [&](std::size_t n) { return safefile::FileSystem::Write(fd, buffer, n); });
    }
    int Fsync(int fd) override
    {
        if (fsyncErrno != 0)
            return Failed(fsyncErrno);
        return safefile::FileSystem::Fsync(fd);
    }
    // As on Linux, the descriptor is released even when close reports an error.
    int Close(int fd) override
    {
        ++closes;
        openDescriptors.erase(fd);
        const int result = safefile::FileSystem::Close(fd);
        if (closeErrno != 0)
            return Failed(closeErrno);
        return result;
    }
    int Rename(int folder, const char *from, const char *to, unsigned flags) override
    {
        if (renameErrno != 0)
            return Failed(renameErrno);
        return safefile::FileSystem::Rename(folder, from, to, flags);
    }
    int Access(int folder, const char *name, int mode) override
    {
        if (accessErrno != 0)
            return Failed(accessErrno);
        return safefile::FileSystem::Access(folder, name, mode);
    }
    int Link(int folder, const char *from, const char *to) override
    {
        if (linkErrno != 0)
            return Failed(linkErrno);
        return safefile::FileSystem::Link(folder, from, to);
    }

private:
    static int Failed(int errorNumber)
    {
        errno = errorNumber;
        return -1;
    }
    static long Scripted(std::vector<long> &script, std::size_t size, const std::function<long(std::size_t)> &call)
    {
        if (script.empty())
            return call(size);
        const long step = script.front();
        script.erase(script.begin());
        if (step < 0)
            return Failed(int(-step));
        if (step == 0)
            return 0;
        return call(std::min(size, std::size_t(step)));
    }
};

// Before each call it forwards, copies the learner's folder as it stands into a new folder: what a crash just
// before that call would leave on disk, since no destructor of the save would run. Reads and writes go by small
// steps, so that half-written files are seen too.
class SnapshotBeforeEachCall : public safefile::FileSystem
{
public:
    SnapshotBeforeEachCall(const QString &learner, const QString &snapshots) : m_learner(learner), m_into(snapshots) {}
    int linkErrno = 0;
    std::vector<QString> snapshots;

    void Snapshot()
    {
        const QString into = m_into + QLatin1Char('/') + QString::number(snapshots.size());
        ASSERT_TRUE(QDir().mkdir(into));
        const QDir learner(m_learner);
        for (const QString &name : learner.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
            ASSERT_TRUE(QFile::copy(learner.filePath(name), into + QLatin1Char('/') + name)) << name.toStdString();
        snapshots.push_back(into);
    }

    int Open(int folder, const char *name, int flags, int mode) override
    {
        Snapshot();
        return safefile::FileSystem::Open(folder, name, flags, mode);
    }
    long Read(int fd, void *buffer, std::size_t size) override
    {
        Snapshot();
        return safefile::FileSystem::Read(fd, buffer, std::min(size, Step));
    }
    long Write(int fd, const void *buffer, std::size_t size) override
    {
        Snapshot();
        return safefile::FileSystem::Write(fd, buffer, std::min(size, Step));
    }
    int Fsync(int fd) override
    {
        Snapshot();
        return safefile::FileSystem::Fsync(fd);
    }
    int Close(int fd) override
    {
        Snapshot();
        return safefile::FileSystem::Close(fd);
    }
    int Rename(int folder, const char *from, const char *to, unsigned flags) override
    {
        Snapshot();
        return safefile::FileSystem::Rename(folder, from, to, flags);
    }
    int Unlink(int folder, const char *name, int flags) override
    {
        Snapshot();
        return safefile::FileSystem::Unlink(folder, name, flags);
    }
    int Access(int folder, const char *name, int mode) override
    {
        Snapshot();
        return safefile::FileSystem::Access(folder, name, mode);
    }
    int Link(int folder, const char *from, const char *to) override
    {
        Snapshot();
        if (linkErrno != 0) {
            errno = linkErrno;
            return -1;
        }
        return safefile::FileSystem::Link(folder, from, to);
    }

private:
    static constexpr std::size_t Step = 5000;
    QString m_learner;
    QString m_into;
};

inline ::testing::AssertionResult EveryDescriptorClosed(const FakeFileSystem &fs)
{
    if (fs.opens != fs.closes || !fs.openDescriptors.empty())
        return ::testing::AssertionFailure()
               << fs.opens << " opened, " << fs.closes << " closed, " << fs.openDescriptors.size() << " still open";
    return ::testing::AssertionSuccess();
}

class HistoryStoreTest : public ::testing::Test
{
protected:
    QTemporaryDir folder;
    QString Path() const { return folder.filePath(QStringLiteral("Config.txt")); }
    QString TemporaryPath() const { return Path() + QStringLiteral(".tmp"); }
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
};

using HistoryFiles = HistoryStoreTest;
using HistoryFaults = HistoryStoreTest;

} // namespace
