#include "learner/HistoryFileSupport.h"

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

// ---- The best score ----

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
