// The history store when the file system fails, is tampered with during a save, or the program is stopped
// halfway: what is said, what is left on disk, and that nothing is ever lost.

#include "learner/HistoryFileSupport.h"

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
