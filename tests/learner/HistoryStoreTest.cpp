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
QByteArray Pattern(int size = 12816)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + 3) & 0xFF);
    return bytes;
}

HistoryBlock BlockHolding(const QByteArray &bytes)
{
    HistoryBlock block;
    std::memcpy(block.Bytes(), bytes.constData(), std::size_t(bytes.size()));
    return block;
}

QByteArray BytesOf(const HistoryBlock &block)
{
    return QByteArray(reinterpret_cast<const char *>(block.Bytes()), 12816);
}

void WriteRaw(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray ReadRaw(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("(cannot open)");
    return file.readAll();
}

// Whether an entry of any kind stands under the name, without following a link.
bool Present(const QString &path)
{
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0;
}

bool WholeHistory(const std::string &bytes)
{
    return bytes.size() == 12816;
}

// The text the learner would see, UTF-8, or a marker when nothing failed.
std::string FailureOf(const std::function<void()> &action)
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

::testing::AssertionResult EveryDescriptorClosed(const FakeFileSystem &fs)
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

// ---- The French texts ----

TEST(HistoryErrorTexts, EachErrorNumberReadsAsTheLearnerSeesIt)
{
    const struct {
        int errorNumber;
        const char *text;
    } rows[] = {
        {ENOENT, "Fichier introuvable"},
        {ENOTDIR, "Nom de fichier incorrect"},
        {ENAMETOOLONG, "Nom de fichier incorrect"},
        {EMFILE, "Trop de fichiers ouverts"},
        {ENFILE, "Trop de fichiers ouverts"},
        {EACCES, AccessRefused},
        {EPERM, AccessRefused},
        {EROFS, AccessRefused},
        {EISDIR, AccessRefused},
        {ELOOP, AccessRefused},
        {ENOSPC, DiskFull},
        {EDQUOT, DiskFull},
        {EIO, "Erreur E/S 5"},
        {EBADF, "Erreur E/S 9"},
        {EINVAL, "Erreur E/S 22"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(safefile::IoErrorText(row.errorNumber).toStdString(), row.text) << "errno " << row.errorNumber;
}

// ---- On a real folder ----

TEST_F(HistoryFiles, SaveThenReadRoundTripsByteForByte)
{
    WriteHistoryFile(Path(), BlockHolding(Pattern()));

    EXPECT_EQ(QFileInfo(Path()).size(), 12816);
    EXPECT_EQ(ReadRaw(Path()), Pattern());
    EXPECT_FALSE(QFileInfo::exists(TemporaryPath()));

    HistoryBlock read;
    std::memset(read.Bytes(), 0x55, 12816);
    ReadHistoryFile(Path(), read);
    EXPECT_EQ(BytesOf(read), Pattern());
}

TEST_F(HistoryFiles, SaveReplacesTheWholeOldFile)
{
    for (int oldSize : {12816, 20000, 5}) {
        WriteRaw(Path(), QByteArray(oldSize, '\xEE'));
        WriteHistoryFile(Path(), BlockHolding(Pattern()));
        EXPECT_EQ(ReadRaw(Path()), Pattern()) << "old size " << oldSize;
    }
}

TEST_F(HistoryFiles, NewFileTakesTheUsualPermissions)
{
    const mode_t previous = ::umask(022);
    WriteHistoryFile(Path(), BlockHolding(Pattern()));
    ::umask(previous);
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(Path()).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, mode_t(0644));
}

TEST_F(HistoryFiles, ShortFileIsReadPastItsEndAndKeepsTheBytesRead)
{
    for (int size : {100, 0, 12815}) {
        WriteRaw(Path(), Pattern(size));
        HistoryBlock block;
        std::memset(block.Bytes(), 0xFF, 12816);
        EXPECT_EQ(FailureOf([&] { ReadHistoryFile(Path(), block); }), PastTheEnd) << size << " bytes";
        QByteArray expected = Pattern(size);
        expected.append(QByteArray(12816 - size, '\0'));
        EXPECT_EQ(BytesOf(block), expected) << size << " bytes";
    }
}

TEST_F(HistoryFiles, LongerFileGivesItsFirst12816Bytes)
{
    WriteRaw(Path(), Pattern(13000));
    HistoryBlock block;
    ReadHistoryFile(Path(), block);
    EXPECT_EQ(BytesOf(block), Pattern());
}

TEST_F(HistoryFiles, MissingFileOrFolderIsNamed)
{
    HistoryBlock block;
    std::memset(block.Bytes(), 0xFF, 12816);
    EXPECT_EQ(FailureOf([&] { ReadHistoryFile(Path(), block); }), "Fichier introuvable");
    EXPECT_EQ(BytesOf(block), QByteArray(12816, '\0'));

    const QString inRemovedFolder = folder.filePath(QStringLiteral("Parti/Config.txt"));
    EXPECT_EQ(FailureOf([&] { ReadHistoryFile(inRemovedFolder, block); }), "Nom de fichier incorrect");

    WriteRaw(folder.filePath(QStringLiteral("Fichier")), "x");
    const QString underAFile = folder.filePath(QStringLiteral("Fichier/Config.txt"));
    EXPECT_EQ(FailureOf([&] { ReadHistoryFile(underAFile, block); }), "Nom de fichier incorrect");
}

TEST_F(HistoryFiles, SaveIntoARemovedFolderCreatesNothing)
{
    const QString learnerFolder = folder.filePath(QStringLiteral("Eleve"));
    ASSERT_TRUE(QDir().mkdir(learnerFolder));
    ASSERT_TRUE(QDir().rmdir(learnerFolder));
    const QString path = learnerFolder + QStringLiteral("/Config.txt");

    EXPECT_EQ(FailureOf([&] { WriteHistoryFile(path, BlockHolding(Pattern())); }), "Nom de fichier incorrect");
    EXPECT_FALSE(QFileInfo::exists(learnerFolder));
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

TEST_F(HistoryFiles, AFolderInPlaceOfTheFileIsRefusedAndLeftAlone)
{
    ASSERT_TRUE(QDir().mkdir(Path()));
    HistoryBlock block;
    EXPECT_EQ(FailureOf([&] { ReadHistoryFile(Path(), block); }), AccessRefused);
    EXPECT_EQ(FailureOf([&] { WriteHistoryFile(Path(), BlockHolding(Pattern())); }), AccessRefused);
    EXPECT_TRUE(QFileInfo(Path()).isDir());
    EXPECT_FALSE(QFileInfo::exists(TemporaryPath()));
}

TEST_F(HistoryFiles, AStaleTemporaryEntryDoesNotPreventTheSaveUnlessItHoldsFiles)
{
    const QString elsewhere = folder.filePath(QStringLiteral("autre.txt"));
    const struct {
        const char *name;
        std::function<void()> leave;
        bool saved;
    } rows[] = {
        {"file", [&] { WriteRaw(TemporaryPath(), QByteArray(30000, '\x77')); }, true},
        {"empty folder", [&] { ASSERT_TRUE(QDir().mkdir(TemporaryPath())); }, true},
        {"link to another file", [&] { ASSERT_TRUE(QFile::link(elsewhere, TemporaryPath())); }, true},
        {"folder holding a file",
         [&] {
             ASSERT_TRUE(QDir().mkdir(TemporaryPath()));
             WriteRaw(TemporaryPath() + QStringLiteral("/x"), "x");
         },
         false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        WriteRaw(Path(), ThreeResults());
        WriteRaw(elsewhere, "someone else's");
        row.leave();
        const std::string failure = FailureOf([&] { WriteHistoryFile(Path(), BlockHolding(Pattern())); });
        EXPECT_EQ(ReadRaw(elsewhere), QByteArray("someone else's"));
        if (row.saved) {
            EXPECT_EQ(failure, "(no failure)");
            EXPECT_EQ(ReadRaw(Path()), Pattern());
            EXPECT_FALSE(QFileInfo::exists(TemporaryPath()));
        } else {
            EXPECT_EQ(failure, ("L'élément " + TemporaryPath().toStdString() +
                                " empêche l'enregistrement : supprimez-le ou renommez-le"));
            EXPECT_EQ(ReadRaw(Path()), ThreeResults());
            ASSERT_TRUE(QDir(TemporaryPath()).removeRecursively());
        }
    }
}

// Another user who may write in the learner's folder must never get the learner's saves into their own files.
TEST_F(HistoryFiles, LinksPipesAndFoldersAreNeverReadNorWrittenThrough)
{
    const QString elsewhere = folder.filePath(QStringLiteral("autre.txt"));
    const QString learner = folder.filePath(QStringLiteral("Eleve"));
    ASSERT_TRUE(QDir().mkdir(learner));
    const struct {
        const char *name;
        QString path;
        std::function<void(const QString &)> make;
    } rows[] = {
        {"link as the file", Path(), [&](const QString &p) { ASSERT_TRUE(QFile::link(elsewhere, p)); }},
        {"pipe as the file", Path(),
         [](const QString &p) { ASSERT_EQ(::mkfifo(QFile::encodeName(p).constData(), 0600), 0); }},
        {"link as the folder", folder.filePath(QStringLiteral("Lien/Config.txt")),
         [&](const QString &) { ASSERT_TRUE(QFile::link(learner, folder.filePath(QStringLiteral("Lien")))); }},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        WriteRaw(elsewhere, ThreeResults());
        WriteRaw(learner + QStringLiteral("/Config.txt"), ThreeResults());
        row.make(row.path);
        HistoryBlock block;
        EXPECT_EQ(FailureOf([&] { ReadHistoryFile(row.path, block); }), AccessRefused);
        EXPECT_EQ(BytesOf(block), QByteArray(12816, '\0')) << "nothing of another file is kept";
        EXPECT_EQ(FailureOf([&] { WriteHistoryFile(row.path, BlockHolding(Pattern())); }), AccessRefused);
        EXPECT_EQ(ReadRaw(elsewhere), ThreeResults());
        EXPECT_EQ(ReadRaw(learner + QStringLiteral("/Config.txt")), ThreeResults());
        QFile::remove(row.path);
        QFile::remove(folder.filePath(QStringLiteral("Lien")));
    }
}

TEST_F(HistoryFiles, TheNewFileKeepsTheOldFilesPermissions)
{
    const QByteArray name = QFile::encodeName(Path());
    for (const mode_t mode : {mode_t(0600), mode_t(0640)}) {
        WriteRaw(Path(), ThreeResults());
        ASSERT_EQ(::chmod(name.constData(), mode), 0);
        WriteHistoryFile(Path(), BlockHolding(Pattern()));
        EXPECT_EQ(ReadRaw(Path()), Pattern());
        struct stat status {};
        ASSERT_EQ(::stat(name.constData(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, mode);
    }
}

// A history that could not be read whole stays on disk beside the new one, whatever stood under its name.
TEST_F(HistoryFiles, AnOldFileKeptAsideKeepsItsBytesUnderANewName)
{
    const auto asides = [&] {
        return QDir(folder.path()).entryList({QStringLiteral("Config.txt.*.bak")}, QDir::AllEntries | QDir::System);
    };
    EXPECT_EQ(
        WriteHistoryFile(Path(), BlockHolding(Pattern()), safefile::RealFileSystem(), safefile::OldFile::KeepAside),
        QString())
        << "nothing to keep";

    WriteRaw(Path(), Pattern(100));
    const QString first = WriteHistoryFile(Path(), BlockHolding(ThreeResults()), safefile::RealFileSystem(),
                                           safefile::OldFile::KeepAside);
    EXPECT_EQ(ReadRaw(first), Pattern(100));
    EXPECT_EQ(ReadRaw(Path()), ThreeResults());

    // Within the same second, and with a folder in place of the file: a second name, the folder kept whole.
    ASSERT_TRUE(QFile::remove(Path()));
    ASSERT_TRUE(QDir().mkpath(Path() + QStringLiteral("/dedans")));
    const QString second =
        WriteHistoryFile(Path(), BlockHolding(Pattern()), safefile::RealFileSystem(), safefile::OldFile::KeepAside);
    EXPECT_TRUE(QFileInfo(second + QStringLiteral("/dedans")).isDir());
    EXPECT_EQ(ReadRaw(Path()), Pattern());
    EXPECT_EQ(asides().size(), 2);
    EXPECT_EQ(ReadRaw(first), Pattern(100));
}

// A folder the caller holds open is where the file is read and saved, whatever its path leads to meanwhile; the
// path only names the files, and the folder stays open for the caller.
TEST_F(HistoryFiles, AFolderHeldOpenIsUsedInPlaceOfThePathsFolder)
{
    const QString learner = folder.filePath(QStringLiteral("Eleve"));
    const QString moved = folder.filePath(QStringLiteral("Ailleurs"));
    ASSERT_TRUE(QDir().mkdir(learner));
    const int held = ::open(QFile::encodeName(learner).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_TRUE(QDir().rename(learner, moved));
    ASSERT_TRUE(QDir().mkdir(learner));
    const QString path = learner + QStringLiteral("/Config.txt");
    WriteRaw(moved + QStringLiteral("/Config.txt"), Pattern(100));

    const QString aside = WriteHistoryFile(path, BlockHolding(ThreeResults()), safefile::RealFileSystem(),
                                           safefile::OldFile::KeepAside, held);
    HistoryBlock block;
    ReadHistoryFile(path, block, safefile::RealFileSystem(), held);

    EXPECT_EQ(BytesOf(block), ThreeResults());
    EXPECT_EQ(ReadRaw(moved + QStringLiteral("/Config.txt")), ThreeResults());
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(QFileInfo(aside).path(), learner);
    EXPECT_EQ(ReadRaw(moved + QLatin1Char('/') + QFileInfo(aside).fileName()), Pattern(100));
    EXPECT_NE(::fcntl(held, F_GETFD), -1) << "still open";
    ::close(held);
}

// ---- With failures injected ----

// A history the learner may only read is still shown; a save over it is refused (AFileThatMayNotBeWritten...).
TEST_F(HistoryFaults, ReadingOpensForReadingOnly)
{
    WriteRaw(Path(), ThreeResults());
    FakeFileSystem fs;
    fs.existingFilesReadOnly = true;
    HistoryBlock block;
    ReadHistoryFile(Path(), block, fs);
    ASSERT_EQ(fs.openFlags.size(), 1u);
    EXPECT_EQ(fs.openFlags.front() & O_ACCMODE, O_RDONLY);
    EXPECT_EQ(BytesOf(block), ThreeResults());
    EXPECT_TRUE(EveryDescriptorClosed(fs));
}

TEST_F(HistoryFaults, ARefusedOpenIsNamedForReadAndSave)
{
    const struct {
        int errorNumber;
        const char *text;
    } rows[] = {
        {EACCES, AccessRefused},
        {EPERM, AccessRefused},
        {EROFS, AccessRefused},
        {EMFILE, "Trop de fichiers ouverts"},
        {ENFILE, "Trop de fichiers ouverts"},
        {ENOENT, "Fichier introuvable"},
        {ENAMETOOLONG, "Nom de fichier incorrect"},
        {EIO, "Erreur E/S 5"},
    };
    WriteRaw(Path(), ThreeResults());
    for (const auto &row : rows) {
        FakeFileSystem fs;
        fs.openErrno = row.errorNumber;
        HistoryBlock block;
        EXPECT_EQ(FailureOf([&] { ReadHistoryFile(Path(), block, fs); }), row.text)
            << "read, errno " << row.errorNumber;
        EXPECT_EQ(FailureOf([&] { WriteHistoryFile(Path(), BlockHolding(Pattern()), fs); }), row.text)
            << "save, errno " << row.errorNumber;
        EXPECT_EQ(ReadRaw(Path()), ThreeResults()) << "errno " << row.errorNumber;
        EXPECT_FALSE(QFileInfo::exists(TemporaryPath())) << "errno " << row.errorNumber;
        EXPECT_EQ(fs.opens, 0);
        EXPECT_TRUE(EveryDescriptorClosed(fs));
    }
}

// The race a real run cannot time: someone plants a link under the temporary name between its removal and its
// creation. The creation refuses it and tries again; one who keeps planting only gets a message.
TEST_F(HistoryFaults, ALinkPlantedDuringTheSaveIsNeverWrittenThrough)
{
    const QString elsewhere = folder.filePath(QStringLiteral("autre.txt"));
    for (const int plantings : {1, 100}) {
        SCOPED_TRACE(plantings);
        WriteRaw(Path(), ThreeResults());
        WriteRaw(elsewhere, "someone else's");
        FakeFileSystem fs;
        int planted = 0;
        fs.beforeOpen = [&](const char *name) {
            if (QByteArray(name).endsWith(".tmp") && planted++ < plantings)
                QFile::link(elsewhere, TemporaryPath());
        };
        const std::string failure = FailureOf([&] { WriteHistoryFile(Path(), BlockHolding(Pattern()), fs); });
        EXPECT_EQ(ReadRaw(elsewhere), QByteArray("someone else's"));
        EXPECT_EQ(ReadRaw(Path()), plantings == 1 ? Pattern() : ThreeResults());
        if (plantings > 1) {
            EXPECT_NE(failure.find("empêche l'enregistrement"), std::string::npos) << failure;
        }
        EXPECT_TRUE(EveryDescriptorClosed(fs));
        QFile::remove(TemporaryPath());
    }
}

TEST_F(HistoryFaults, AFileThatMayNotBeWrittenIsNotReplaced)
{
    WriteRaw(Path(), ThreeResults());
    for (int errorNumber : {EACCES, EPERM, EROFS}) {
        FakeFileSystem fs;
        fs.accessErrno = errorNumber;
        EXPECT_EQ(FailureOf([&] { WriteHistoryFile(Path(), BlockHolding(Pattern()), fs); }), AccessRefused)
            << "errno " << errorNumber;
        EXPECT_EQ(fs.opens, 0) << "errno " << errorNumber;
        EXPECT_EQ(ReadRaw(Path()), ThreeResults()) << "errno " << errorNumber;
        EXPECT_FALSE(QFileInfo::exists(TemporaryPath()));
    }
}

TEST_F(HistoryFaults, ReadFailuresAreNamedAndCloseTheFile)
{
    WriteRaw(Path(), ThreeResults());
    const struct {
        const char *name;
        std::function<void(FakeFileSystem &)> inject;
        const char *text;
    } rows[] = {
        {"read fails", [](FakeFileSystem &fs) { fs.readErrno = EIO; }, "Erreur E/S 5"},
        {"close fails", [](FakeFileSystem &fs) { fs.closeErrno = EIO; }, "Erreur E/S 5"},
        {"end of file after a short read",
         [](FakeFileSystem &fs) {
             fs.readScript = {100, 0};
         },
         PastTheEnd},
    };
    for (const auto &row : rows) {
        FakeFileSystem fs;
        row.inject(fs);
        HistoryBlock block;
        EXPECT_EQ(FailureOf([&] { ReadHistoryFile(Path(), block, fs); }), row.text) << row.name;
        EXPECT_EQ(fs.opens, 1) << row.name;
        EXPECT_TRUE(EveryDescriptorClosed(fs)) << row.name;
    }
}

TEST_F(HistoryFaults, AStaleTemporaryFileThatMayNotBeWrittenIsReplaced)
{
    WriteRaw(Path(), ThreeResults());
    WriteRaw(TemporaryPath(), QByteArray(30000, '\x77'));
    ASSERT_TRUE(QFile::setPermissions(TemporaryPath(), QFileDevice::ReadOwner));
    FakeFileSystem fs;
    fs.existingFilesReadOnly = true;

    WriteHistoryFile(Path(), BlockHolding(Pattern()), fs);
    EXPECT_EQ(ReadRaw(Path()), Pattern());
    EXPECT_FALSE(QFileInfo::exists(TemporaryPath()));
    EXPECT_TRUE(EveryDescriptorClosed(fs));
}

TEST_F(HistoryFaults, ShortOrInterruptedReadsAreContinued)
{
    WriteRaw(Path(), Pattern());
    FakeFileSystem fs;
    fs.readScript = {7, -EINTR, 1, 5000};
    HistoryBlock block;
    ReadHistoryFile(Path(), block, fs);
    EXPECT_EQ(BytesOf(block), Pattern());
    EXPECT_TRUE(EveryDescriptorClosed(fs));
}

TEST_F(HistoryFaults, ShortOrInterruptedWritesAreContinued)
{
    WriteRaw(Path(), ThreeResults());
    FakeFileSystem fs;
    fs.writeScript = {1000, -EINTR, 1, 5000};
    WriteHistoryFile(Path(), BlockHolding(Pattern()), fs);
    EXPECT_EQ(ReadRaw(Path()), Pattern());
    EXPECT_FALSE(QFileInfo::exists(TemporaryPath()));
    EXPECT_TRUE(EveryDescriptorClosed(fs));
}

TEST_F(HistoryFaults, AFailedSaveLeavesTheOldHistoryAsItWas)
{
    const struct {
        const char *name;
        std::function<void(FakeFileSystem &)> inject;
        const char *text;
    } rows[] = {
        {"write: disk full", [](FakeFileSystem &fs) { fs.writeScript = {-ENOSPC}; }, DiskFull},
        {"write: quota exceeded", [](FakeFileSystem &fs) { fs.writeScript = {-EDQUOT}; }, DiskFull},
        {"write: short, then nothing",
         [](FakeFileSystem &fs) {
             fs.writeScript = {100, 0};
         },
         DiskFull},
        {"write: nothing at all", [](FakeFileSystem &fs) { fs.writeScript = {0}; }, DiskFull},
        {"write: input/output error after a short write",
         [](FakeFileSystem &fs) {
             fs.writeScript = {4000, -EIO};
         },
         "Erreur E/S 5"},
        {"fsync: disk full", [](FakeFileSystem &fs) { fs.fsyncErrno = ENOSPC; }, DiskFull},
        {"fsync: input/output error", [](FakeFileSystem &fs) { fs.fsyncErrno = EIO; }, "Erreur E/S 5"},
        {"close: disk full", [](FakeFileSystem &fs) { fs.closeErrno = ENOSPC; }, DiskFull},
        {"close: input/output error", [](FakeFileSystem &fs) { fs.closeErrno = EIO; }, "Erreur E/S 5"},
        {"rename: refused", [](FakeFileSystem &fs) { fs.renameErrno = EACCES; }, AccessRefused},
        {"rename: input/output error", [](FakeFileSystem &fs) { fs.renameErrno = EIO; }, "Erreur E/S 5"},
    };
    WriteRaw(Path(), ThreeResults());
    for (const auto &row : rows) {
        FakeFileSystem fs;
        row.inject(fs);
        EXPECT_EQ(FailureOf([&] { WriteHistoryFile(Path(), BlockHolding(Pattern()), fs); }), row.text) << row.name;
        EXPECT_EQ(ReadRaw(Path()), ThreeResults()) << row.name;
        EXPECT_FALSE(QFileInfo::exists(TemporaryPath())) << row.name;
        EXPECT_EQ(fs.opens, 1) << row.name;
        EXPECT_TRUE(EveryDescriptorClosed(fs)) << row.name;
    }
}

// A save that keeps the old file aside leaves the learner's file under its name at every point a crash could stop
// it, old or new and whole, and the old bytes under the dated name at the end; the next start's tidy-up keeps that
// file and leaves no temporary one. Once with a second link, once with the copy a file system without links needs.
TEST(HistoryCrash, AKeepAsideSaveNeverLeavesTheNameEmpty)
{
    for (const int linkErrno : {0, EXDEV}) {
        SCOPED_TRACE(linkErrno == 0 ? "second link" : "copy");
        QTemporaryDir learner;
        QTemporaryDir snapshots;
        ASSERT_TRUE(learner.isValid() && snapshots.isValid());
        const QString path = learner.filePath(QStringLiteral("Config.txt"));
        WriteRaw(path, ThreeResults());
        SnapshotBeforeEachCall fs(learner.path(), snapshots.path());
        fs.linkErrno = linkErrno;

        const QString aside = WriteHistoryFile(path, BlockHolding(Pattern()), fs, safefile::OldFile::KeepAside);
        fs.Snapshot();
        EXPECT_EQ(ReadRaw(aside), ThreeResults());
        EXPECT_EQ(QFileInfo(aside).fileName().left(11), QStringLiteral("Config.txt."));

        std::set<QByteArray> seen;
        for (const QString &snapshot : fs.snapshots) {
            SCOPED_TRACE(snapshot.toStdString());
            const QString file = snapshot + QStringLiteral("/Config.txt");
            const QByteArray crashed = ReadRaw(file);
            ASSERT_TRUE(crashed == ThreeResults() || crashed == Pattern()) << crashed.size() << " bytes";
            seen.insert(crashed);
            safefile::SettleLeftover(file, WholeHistory, 12816);
            EXPECT_EQ(ReadRaw(file), crashed);
            EXPECT_FALSE(Present(file + QStringLiteral(".tmp")));
        }
        EXPECT_EQ(seen.size(), 2u) << "the crash points span the replacement";
    }
}

// The temporary file of an unfinished save takes the name only when it is whole and the file is not; it is never
// followed through a link, and only a regular one is removed.
TEST(HistoryLeftover, AWholeTemporaryFileTakesTheNameOnlyFromAFileThatIsNotWhole)
{
    using Outcome = safefile::Leftover::Outcome;
    const QByteArray missing("(cannot open)");
    const QByteArray damaged = ThreeResults().left(100);
    const auto write = [](const QByteArray &bytes) { return [=](const QString &path) { WriteRaw(path, bytes); }; };
    const std::function<void(const QString &)> nothing = [](const QString &) {};
    const std::function<void(const QString &)> linkElsewhere = [](const QString &path) {
        ASSERT_TRUE(QFile::link(QFileInfo(path).dir().filePath(QStringLiteral("autre.txt")), path));
    };
    const std::function<void(const QString &)> pipe = [](const QString &path) {
        ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    };
    const std::function<void(const QString &)> emptyFolder = [](const QString &path) {
        ASSERT_TRUE(QDir().mkdir(path));
    };
    const struct {
        const char *name;
        std::function<void(const QString &)> file;
        std::function<void(const QString &)> temporary;
        Outcome outcome;
        QByteArray fileAfter;
        QByteArray keptAside; // empty: nothing kept aside
    } rows[] = {
        {"nothing left", write(ThreeResults()), nothing, Outcome::None, ThreeResults(), {}},
        {"file missing", nothing, write(Pattern()), Outcome::Recovered, Pattern(), {}},
        {"both whole", write(ThreeResults()), write(Pattern()), Outcome::Removed, ThreeResults(), {}},
        {"file short", write(damaged), write(Pattern()), Outcome::Recovered, Pattern(), damaged},
        {"file a link to a whole file", linkElsewhere, write(Pattern()), Outcome::Recovered, Pattern(), ThreeResults()},
        {"temporary short", write(ThreeResults()), write(Pattern(12000)), Outcome::Removed, ThreeResults(), {}},
        {"temporary a link to a whole file", nothing, linkElsewhere, Outcome::None, missing, {}},
        {"temporary a pipe", nothing, pipe, Outcome::None, missing, {}},
        {"temporary a folder", nothing, emptyFolder, Outcome::None, missing, {}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("Config.txt"));
        const QString temporary = path + QStringLiteral(".tmp");
        WriteRaw(dir.filePath(QStringLiteral("autre.txt")), ThreeResults());
        row.file(path);
        row.temporary(temporary);
        const bool temporaryBefore = Present(temporary);
        const bool fileWasALink = QFileInfo(path).isSymLink();

        const safefile::Leftover settled = safefile::SettleLeftover(path, WholeHistory, 12816);
        EXPECT_EQ(settled.Done, row.outcome);
        EXPECT_EQ(ReadRaw(path), row.fileAfter);
        EXPECT_EQ(Present(temporary), row.outcome == Outcome::None && temporaryBefore);
        EXPECT_EQ(ReadRaw(dir.filePath(QStringLiteral("autre.txt"))), ThreeResults());
        if (row.keptAside.isEmpty()) {
            EXPECT_TRUE(settled.KeptAside.isEmpty()) << settled.KeptAside.toStdString();
        } else {
            EXPECT_EQ(QFileInfo(settled.KeptAside).path(), dir.path());
            EXPECT_EQ(ReadRaw(settled.KeptAside), row.keptAside);
            EXPECT_EQ(QFileInfo(settled.KeptAside).isSymLink(), fileWasALink);
        }
    }
}

// The old file never left its name, so a keep-aside save that fails at the last step takes back only the dated
// name it made.
TEST_F(HistoryFaults, AKeepAsideSaveFailingAtTheRenameLeavesOnlyTheOldFile)
{
    for (const int linkErrno : {0, EXDEV}) {
        SCOPED_TRACE(linkErrno);
        WriteRaw(Path(), ThreeResults());
        FakeFileSystem fs;
        fs.linkErrno = linkErrno;
        fs.renameErrno = EIO;
        EXPECT_EQ(
            FailureOf([&] { WriteHistoryFile(Path(), BlockHolding(Pattern()), fs, safefile::OldFile::KeepAside); }),
            "Erreur E/S 5");
        EXPECT_EQ(ReadRaw(Path()), ThreeResults());
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  QStringList{QStringLiteral("Config.txt")});
        EXPECT_TRUE(EveryDescriptorClosed(fs));
    }
}

TEST_F(HistoryFaults, AfterACrashBeforeTheRenameTheNextSaveWritesEveryPoint)
{
    WriteRaw(Path(), ThreeResults());
    HistoryBlock block;
    ReadHistoryFile(Path(), block);
    std::vector<HistoryRecord> points = block.LoadedPoints();
    ASSERT_EQ(points.size(), 3u);

    points.push_back({210.0, 97.5});
    block.StorePoints(points);
    FakeFileSystem crashing;
    crashing.renameErrno = EIO;
    EXPECT_EQ(FailureOf([&] { WriteHistoryFile(Path(), block, crashing); }), "Erreur E/S 5");
    EXPECT_EQ(ReadRaw(Path()), ThreeResults());
    EXPECT_FALSE(QFileInfo::exists(TemporaryPath()));
    EXPECT_TRUE(EveryDescriptorClosed(crashing));

    points.push_back({220.0, 98.0});
    block.StorePoints(points);
    FakeFileSystem working;
    WriteHistoryFile(Path(), block, working);
    EXPECT_TRUE(EveryDescriptorClosed(working));

    // The three lessons on disk, then 210/97.5 and 220/98, then zeros.
    const unsigned char added[32] = {
        0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x6A, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x60, 0x58, 0x40,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x6B, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x58, 0x40,
    };
    QByteArray expected = ThreeResults();
    std::memcpy(expected.data() + 48, added, sizeof added);
    EXPECT_EQ(ReadRaw(Path()), expected);
}

// The process really dies between writing the temporary file and the rename: a forked copy of this test saves
// through a file system that kills it at the rename.
TEST_F(HistoryFaults, AProcessKilledBeforeTheRenameLeavesTheOldHistory)
{
    class KilledAtRename : public safefile::FileSystem
    {
    public:
        int Rename(int, const char *, const char *, unsigned) override
        {
            std::raise(SIGKILL);
            return -1;
        }
    };
    WriteRaw(Path(), ThreeResults());
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        KilledAtRename fs;
        try {
            WriteHistoryFile(Path(), BlockHolding(Pattern()), fs);
        } catch (...) {
        }
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the copy died at the rename";
    EXPECT_EQ(ReadRaw(Path()), ThreeResults()) << "the old history, byte for byte";
    EXPECT_EQ(ReadRaw(TemporaryPath()), Pattern()) << "the new one was whole in the temporary file";

    // The next save, in the next run, replaces both.
    WriteHistoryFile(Path(), BlockHolding(Pattern()));
    EXPECT_EQ(ReadRaw(Path()), Pattern());
    EXPECT_FALSE(QFileInfo::exists(TemporaryPath()));
}

// A missing file is no score yet; anything else that is not a plain file of a score is told apart, by path and in
// the learner's folder held open alike.
TEST(BestScore, OnlyAPlainFileOfAScoreIsRead)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto path = [&](const char *name) { return dir.filePath(QLatin1String(name)); };
    auto write = [&](const char *name, const QByteArray &bytes) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    write("score", "42\n");
    write("empty", "");
    write("blank", "\r\n \n");
    write("largest", "9223372036854775807\n");
    write("overflow", "9223372036854775808\n");
    write("words", "dix\n");
    write("long", QByteArray(100, '1'));
    ASSERT_TRUE(QFile::link(path("score"), path("link")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    const int held = ::open(QFile::encodeName(dir.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(held, 0);

    const std::optional<std::int64_t> unreadable;
    const std::pair<const char *, std::optional<std::int64_t>> rows[] = {
        {"score", 42},         {"empty", 0},           {"blank", 0},
        {"missing", 0},        {"largest", INT64_MAX}, {"overflow", unreadable},
        {"words", unreadable}, {"long", unreadable},   {"link", unreadable},
        {"fifo", unreadable},  {"folder", unreadable},
    };
    for (const int folder : {-1, held}) {
        for (const auto &[name, expected] : rows)
            EXPECT_EQ(bestscore::Read(path(name), folder), expected) << name << ", folder " << folder;
    }

    EXPECT_EQ(bestscore::Write(path("score"), 1234), QString());
    EXPECT_EQ(bestscore::Read(path("score")), 1234);
    EXPECT_FALSE(QFile::exists(path("score") + QStringLiteral(".tmp")));
    const QString aside = bestscore::Write(path("words"), 7, safefile::OldFile::KeepAside, held);
    EXPECT_EQ(ReadRaw(aside), QByteArray("dix\n"));
    EXPECT_EQ(bestscore::Read(path("words")), 7);
    ::close(held);
}
