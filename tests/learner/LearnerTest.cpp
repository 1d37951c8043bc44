// The learner's files as the learner meets them at identification and at the saves: what is read, what is
// refused and said, and what is never lost, whatever stands in the learner's folder.

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "learner/Learner.h"
#include "platform/text/TutorError.h"
#include "records/LessonResult.h"
#include "support/HistorySamples.h"

// Failures show the texts the learner would read.
void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// The learner as the records meet them: the name typed at the prompt, "Title: text" of every message seen and the
// text of every failure told.
struct ScriptedLearner : LearnerNotices {
    QStringList Messages;
    QStringList Errors;
    std::optional<QString> Answer;

    std::optional<QString> AskText(const QString &, const QString &, int) override { return Answer; }
    void ShowMessage(const QString &title, const QString &text, bool) override
    {
        Messages << title + QStringLiteral(": ") + text;
    }
    void Guarded(const std::function<void()> &save) override
    {
        try {
            save();
        } catch (const TutorError &error) {
            Errors << error.Text();
        }
    }
};

const QString Refused =
    QStringLiteral("Avertissement: Nom de l'utilisateur est incorrect, veuillez relancer l'application");
const QString FolderMade = QStringLiteral("Information: Création du répertoire pour l'utilsateur");

// Three lessons of the course and the figures of two keys, as the files hold them.
const QByteArray ThreeLessons("1;80.5;97.0;2026-12-01\n2;90.0;96.0;2026-12-02\n3;100.0;98.5;2026-12-03\n");
const QByteArray TwoKeys("version\t1\nexercices\t0\ne\t4\t1\t0\t0\nz\t2\t0\t0\t0\n");

// The keys of this test's keyboard: printable ASCII and "é".
bool OnKeyboard(unsigned char ch)
{
    return (ch >= 0x20 && ch < 0x7F) || ch == 0xE9;
}

class LearnerFiles : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_root.isValid()); }

    // The folder of the learners, below the test's own (trusted) folder.
    QString Root() const { return m_root.path(); }
    QString Learners() const { return Root() + QStringLiteral("/eleves/"); }
    QString At(const QString &relative) const { return Learners() + relative; }

    std::unique_ptr<Learner> NewLearner(const QString &learners = QString())
    {
        auto learner = std::make_unique<Learner>(Dialogs);
        learner->ProgramFolder = learners.isEmpty() ? Learners() : learners;
        return learner;
    }
    // Identifies the learner who types `typed`: whether they were accepted, and the text of a failure thrown.
    bool Identify(Learner &learner, const QString &typed, QString *thrown = nullptr)
    {
        Dialogs.Answer = typed;
        try {
            return learner.Identify(26, OnKeyboard);
        } catch (const TutorError &error) {
            if (thrown)
                *thrown = error.Text();
            return true;
        }
    }

    void Write(const QString &relative, const QByteArray &bytes)
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(At(relative)).path()));
        QFile file(At(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << relative.toStdString();
        file.write(bytes);
    }
    QByteArray Read(const QString &relative) const
    {
        QFile file(At(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(absent)");
    }
    // The entries of a learner's folder kept aside under a dated name.
    QStringList Asides(const QString &relative) const
    {
        return QDir(QFileInfo(At(relative)).path())
            .entryList({QFileInfo(relative).fileName() + QStringLiteral(".*.bak")}, QDir::Files);
    }

    ScriptedLearner Dialogs;

private:
    QTemporaryDir m_root;
};

} // namespace

// One file that cannot be read never costs the others: the progress and the key figures are read as usual and
// are saved over as usual; the history that could not be read is kept aside by its first save.
TEST_F(LearnerFiles, AnUnreadableHistoryLeavesTheOtherFilesReadAndSaved)
{
    const struct {
        const char *name;
        std::function<void()> make;
        QString error;
    } rows[] = {
        {"100 bytes", [&] { Write(QStringLiteral("Zoé/Config.txt"), QByteArray(100, '\x01')); },
         QStringLiteral("Lecture au-delà de la fin de fichier")},
        {"a pipe",
         [&] {
             ASSERT_TRUE(QDir().mkpath(At(QStringLiteral("Zoé"))));
             ASSERT_EQ(::mkfifo(QFile::encodeName(At(QStringLiteral("Zoé/Config.txt"))).constData(), 0600), 0);
         },
         QStringLiteral("Accès au fichier refusé")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(QDir(Learners()).removeRecursively());
        row.make();
        Write(QStringLiteral("Zoé/Parcours.txt"), ThreeLessons);
        Write(QStringLiteral("Zoé/Touches.txt"), TwoKeys);
        Dialogs.Messages.clear();

        auto learner = NewLearner();
        QString thrown;
        ASSERT_TRUE(Identify(*learner, QStringLiteral("Zoé"), &thrown));
        EXPECT_EQ(thrown, row.error);
        EXPECT_TRUE(Dialogs.Messages.isEmpty()) << Dialogs.Messages.join(QLatin1Char('|')).toStdString();
        ASSERT_NE(learner->Progress.Of(3), nullptr);
        EXPECT_EQ(learner->Keys.Of('e').Attempts, 4u);

        learner->RecordCourseAttempt(4, 120, 99);
        learner->Keys.Record('e', 'e', true, 150);
        learner->SaveKeys();
        EXPECT_TRUE(Read(QStringLiteral("Zoé/Parcours.txt")).startsWith(ThreeLessons));
        EXPECT_TRUE(Read(QStringLiteral("Zoé/Parcours.txt")).contains("\n4;120.0;99.0;"));
        EXPECT_TRUE(Read(QStringLiteral("Zoé/Touches.txt")).contains("e\t5\t1\t150\t1\n"));
        EXPECT_TRUE(Asides(QStringLiteral("Zoé/Parcours.txt")).isEmpty()) << "read whole: saved over";

        learner->SaveHistory();
        EXPECT_EQ(Read(QStringLiteral("Zoé/Config.txt")).size(), 12816);
        EXPECT_EQ(QDir(At(QStringLiteral("Zoé")))
                      .entryList({QStringLiteral("Config.txt.*.bak")}, QDir::AllEntries | QDir::System)
                      .size(),
                  1);
    }
}

// The lock is the learner's folder itself: nothing standing where an older lock file stood, nor a folder where
// nothing may be written, turns it off.
TEST_F(LearnerFiles, ASecondCopyIsSentAwayWhateverStandsInTheFolder)
{
    const QString lockFile = QStringLiteral("Zoé/Config.txt.lock");
    const struct {
        const char *name;
        std::function<void()> make;
    } rows[] = {
        {"nothing", [] {}},
        {"a folder", [&] { ASSERT_TRUE(QDir().mkpath(At(lockFile))); }},
        {"a link", [&] { ASSERT_TRUE(QFile::link(QStringLiteral("/nowhere"), At(lockFile))); }},
        {"a pipe", [&] { ASSERT_EQ(::mkfifo(QFile::encodeName(At(lockFile)).constData(), 0600), 0); }},
        {"a read-only folder",
         [&] { ASSERT_EQ(::chmod(QFile::encodeName(At(QStringLiteral("Zoé"))).constData(), 0500), 0); }},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(QDir(Learners()).removeRecursively());
        ASSERT_TRUE(QDir().mkpath(At(QStringLiteral("Zoé"))));
        ASSERT_EQ(::chmod(QFile::encodeName(At(QStringLiteral("Zoé"))).constData(), 0700), 0);
        row.make();
        Dialogs.Messages.clear();

        auto first = NewLearner();
        ASSERT_TRUE(Identify(*first, QStringLiteral("Zoé")));
        auto second = NewLearner();
        EXPECT_FALSE(Identify(*second, QStringLiteral("Zoé")));
        EXPECT_EQ(Dialogs.Messages,
                  QStringList{QStringLiteral("Avertissement: L'utilisateur Zoé utilise déjà le programme dans une "
                                             "autre fenêtre, veuillez la fermer et relancer l'application")});
        EXPECT_EQ(second->UserName, QString());
        first.reset();
        EXPECT_TRUE(Identify(*second, QStringLiteral("Zoé"))) << "free once the first copy has ended";
        ::chmod(QFile::encodeName(At(QStringLiteral("Zoé"))).constData(), 0700);
    }
}

// Names that show alike are one learner; names holding what shows nothing are refused at the prompt.
TEST_F(LearnerFiles, NamesThatShowAlikeAreOneLearner)
{
    const struct {
        QString typed;
        QString name; // empty: refused
    } rows[] = {
        {QStringLiteral("Zoé"), QStringLiteral("Zoé")},
        {QStringLiteral("Zoé "), QStringLiteral("Zoé")},
        {QStringLiteral(" Zoé"), QStringLiteral("Zoé")},
        {QStringLiteral("Zoe\u0301"), QStringLiteral("Zoé")},
        {QStringLiteral("\u00A0Zoé\u3000"), QStringLiteral("Zoé")},
        {QStringLiteral("Zoé\u00A0Martin"), QStringLiteral("Zoé Martin")},
        {QStringLiteral("   "), QString()},
        {QStringLiteral("Zo\u200Bé"), QString()},
        {QStringLiteral("\u202EZoé"), QString()},
        {QStringLiteral("Zoé\u2066"), QString()},
        {QStringLiteral("Zo\u00ADé"), QString()},
        {QStringLiteral("Zoé\u3164"), QString()},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.typed.toStdString());
        Dialogs.Messages.clear();
        auto learner = NewLearner();
        const bool accepted = Identify(*learner, row.typed);
        EXPECT_EQ(accepted, !row.name.isEmpty());
        EXPECT_EQ(learner->UserName, row.name);
        if (!accepted) {
            EXPECT_EQ(Dialogs.Messages, QStringList{Refused});
        }
    }
    EXPECT_EQ(QDir(Learners()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{QStringLiteral("Zoé"), QStringLiteral("Zoé Martin")}));

    auto first = NewLearner();
    ASSERT_TRUE(Identify(*first, QStringLiteral("Zoé")));
    auto second = NewLearner();
    EXPECT_FALSE(Identify(*second, QStringLiteral("Zoe\u0301 "))) << "the lock covers every way of typing it";
}

// A learner's folder is the learner's alone: made private, refused when another user may reach into it, never
// reached through a link; a folder that cannot be made is named.
TEST_F(LearnerFiles, TheFolderIsPrivateAndReachedWithoutALink)
{
    auto learner = NewLearner();
    ASSERT_TRUE(Identify(*learner, QStringLiteral("Zoé")));
    EXPECT_EQ(Dialogs.Messages, QStringList{FolderMade});
    EXPECT_EQ(QFileInfo(At(QStringLiteral("Zoé"))).permissions() & 0x0777, QFile::Permissions(0x0700)) << "owner only";
    EXPECT_EQ(QFileInfo(Learners()).permissions() & 0x0777, QFile::Permissions(0x0700));
    learner.reset();

    const QString elsewhere = QDir(Learners()).filePath(QStringLiteral("../ailleurs"));
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    const QString blocked = QDir(Learners()).filePath(QStringLiteral("../fichier"));
    Write(QStringLiteral("../fichier"), "x");
    const struct {
        const char *name;
        QString learners;
        std::function<void()> make;
        QString message;
    } rows[] = {
        {"open to everyone", Learners(),
         [&] { ASSERT_EQ(::chmod(QFile::encodeName(At(QStringLiteral("Léa"))).constData(), 0777), 0); },
         QStringLiteral("Avertissement: D'autres utilisateurs peuvent écrire dans le dossier %1 : vos fichiers n'y "
                        "seraient pas à l'abri. Retirez-leur ce droit (chmod go-w) et relancez l'application")
             .arg(QDir::cleanPath(At(QStringLiteral("Léa"))))},
        {"open to the group", Learners(),
         [&] { ASSERT_EQ(::chmod(QFile::encodeName(At(QStringLiteral("Léa"))).constData(), 0770), 0); },
         QStringLiteral("Avertissement: D'autres utilisateurs peuvent écrire dans le dossier %1 : vos fichiers n'y "
                        "seraient pas à l'abri. Retirez-leur ce droit (chmod go-w) et relancez l'application")
             .arg(QDir::cleanPath(At(QStringLiteral("Léa"))))},
        {"the learners' folder a link", Root() + QStringLiteral("/lien/"),
         [&] { ASSERT_TRUE(QFile::link(elsewhere, Root() + QStringLiteral("/lien"))); },
         QStringLiteral("Avertissement: Le dossier des utilisateurs %1 ne peut pas être créé ni ouvert (c'est un lien, "
                        "qui n'est pas suivi) : vérifiez ce dossier, puis relancez l'application")
             .arg(Root() + QStringLiteral("/lien"))},
        {"the learners' folder under a file", blocked + QStringLiteral("/eleves/"), [] {},
         QStringLiteral("Avertissement: Le dossier des utilisateurs %1 ne peut pas être créé ni ouvert (ce n'est pas "
                        "un dossier) : vérifiez ce dossier, puis relancez l'application")
             .arg(QDir::cleanPath(blocked + QStringLiteral("/eleves")))},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(QDir().mkpath(At(QStringLiteral("Léa"))));
        row.make();
        Dialogs.Messages.clear();
        learner = NewLearner(row.learners);
        EXPECT_FALSE(Identify(*learner, QStringLiteral("Léa")));
        EXPECT_EQ(Dialogs.Messages, QStringList{row.message});
        EXPECT_TRUE(QDir(elsewhere).isEmpty()) << "nothing made through the link";
        ASSERT_TRUE(QDir(At(QStringLiteral("Léa"))).removeRecursively());
    }

    if (::geteuid() != 0)
        GTEST_SKIP() << "only an administrator can give a folder to another user";
    ASSERT_TRUE(QDir().mkpath(At(QStringLiteral("Léa"))));
    ASSERT_EQ(::chown(QFile::encodeName(At(QStringLiteral("Léa"))).constData(), 65534, 65534), 0);
    Dialogs.Messages.clear();
    learner = NewLearner();
    EXPECT_FALSE(Identify(*learner, QStringLiteral("Léa")));
    EXPECT_EQ(Dialogs.Messages, QStringList{QStringLiteral("Avertissement: Le dossier %1 appartient à un autre "
                                                           "utilisateur : vos fichiers n'y seraient pas à l'abri. "
                                                           "Choisissez un autre nom et relancez l'application")
                                                .arg(QDir::cleanPath(At(QStringLiteral("Léa"))))});
}

// A folder put in place of the learner's during the run is checked as at identification before anything is saved
// into it; a folder removed is named as the missing folder it is.
TEST_F(LearnerFiles, AFolderSwappedDuringTheRunIsCheckedBeforeASave)
{
    auto learner = NewLearner();
    ASSERT_TRUE(Identify(*learner, QStringLiteral("Zoé")));
    ASSERT_TRUE(QDir(Learners()).rename(QStringLiteral("Zoé"), QStringLiteral("Zoé.ancien")));
    const auto saveFails = [&] {
        try {
            learner->SaveKeys();
        } catch (const TutorError &error) {
            return error.Text();
        }
        return QString();
    };
    ASSERT_TRUE(QDir(Learners()).mkdir(QStringLiteral("Zoé")));
    ASSERT_EQ(::chmod(QFile::encodeName(At(QStringLiteral("Zoé"))).constData(), 0777), 0);
    EXPECT_TRUE(saveFails().startsWith(QStringLiteral("D'autres utilisateurs peuvent écrire dans le dossier")));
    ASSERT_TRUE(QDir(Learners()).rmdir(QStringLiteral("Zoé")));
    EXPECT_EQ(saveFails(), QStringLiteral("Nom de fichier incorrect"));
    EXPECT_TRUE(QDir(At(QStringLiteral("Zoé.ancien"))).isEmpty()) << "nothing saved where the name no longer leads";

    ASSERT_TRUE(QDir(Learners()).mkdir(QStringLiteral("Zoé")));
    ASSERT_EQ(::chmod(QFile::encodeName(At(QStringLiteral("Zoé"))).constData(), 0700), 0);
    EXPECT_EQ(saveFails(), QString());
    EXPECT_TRUE(Read(QStringLiteral("Zoé/Touches.txt")).startsWith("version\t1\n"));
}

// Figures of characters no key gives are left out and said, and the file is kept aside before it is saved over;
// so is a best score that cannot be read.
TEST_F(LearnerFiles, KeysNoKeyGivesAndADamagedScoreAreSaidAndKeptAside)
{
    const QByteArray keys = TwoKeys + "\xC3\xBE\t3\t3\t0\t0\n\xC3\x97\t1\t1\t0\t0\n\xC2\xA0\t1\t0\t0\t0\n";
    for (const QByteArray &score : {QByteArray("99999999999999999999\n"), QByteArray("12\xFF\n")}) {
        SCOPED_TRACE(score.toStdString());
        ASSERT_TRUE(QDir(At(QStringLiteral("Zoé"))).removeRecursively());
        Write(QStringLiteral("Zoé/Touches.txt"), keys);
        Write(QStringLiteral("Zoé/Jeu.txt"), score);
        Dialogs.Messages.clear();

        auto learner = NewLearner();
        ASSERT_TRUE(Identify(*learner, QStringLiteral("Zoé")));
        EXPECT_EQ(
            Dialogs.Messages,
            (QStringList{QStringLiteral("Avertissement: Le fichier des touches %1 compte des caractères qu'aucune "
                                        "touche du clavier ne donne (U+00A0 × þ) : leurs chiffres sont laissés "
                                        "de côté, et l'ancien fichier sera conservé sous un autre nom.")
                             .arg(At(QStringLiteral("Zoé/Touches.txt"))),
                         QStringLiteral("Avertissement: Le fichier du meilleur score %1 ne peut pas être lu : le "
                                        "meilleur score repart de zéro, et l'ancien fichier sera conservé sous "
                                        "un autre nom.")
                             .arg(At(QStringLiteral("Zoé/Jeu.txt")))}));
        EXPECT_EQ(learner->Keys.Of(0xFE).Attempts, 0u);
        EXPECT_EQ(learner->Keys.Of('e').Attempts, 4u);
        EXPECT_EQ(learner->Keys.Weakest(5), "ez") << "the drill is on keys that exist";
        EXPECT_EQ(learner->BestScore(), 0);

        learner->SaveKeys();
        learner->KeepBestScore(learner->BestScore(), 50);
        for (const QString &file : {QStringLiteral("Zoé/Touches.txt"), QStringLiteral("Zoé/Jeu.txt")}) {
            const QStringList asides = Asides(file);
            ASSERT_EQ(asides.size(), 1) << file.toStdString();
            EXPECT_EQ(Read(QStringLiteral("Zoé/") + asides.front()),
                      file.endsWith(QStringLiteral("Jeu.txt")) ? score : keys);
        }
        EXPECT_EQ(Read(QStringLiteral("Zoé/Jeu.txt")), QByteArray("50\n"));
        EXPECT_EQ(Read(QStringLiteral("Zoé/Touches.txt")), TwoKeys);
    }
}

// A save that a crash left unfinished is finished when its temporary file is the only whole copy, and otherwise
// tidied away.
TEST_F(LearnerFiles, ASaveLeftUnfinishedIsSettledAtTheNextStart)
{
    Write(QStringLiteral("Zoé/Config.txt.tmp"), ThreeResults());
    Write(QStringLiteral("Zoé/Parcours.txt"), ThreeLessons);
    Write(QStringLiteral("Zoé/Parcours.txt.tmp"), "1;80.5;97.0;2026-12-01\n");
    auto learner = NewLearner();
    ASSERT_TRUE(Identify(*learner, QStringLiteral("Zoé")));
    EXPECT_EQ(learner->Results.size(), 3u);
    EXPECT_EQ(Read(QStringLiteral("Zoé/Config.txt")), ThreeResults());
    EXPECT_EQ(Read(QStringLiteral("Zoé/Parcours.txt")), ThreeLessons) << "the whole file stays";
    EXPECT_EQ(QDir(At(QStringLiteral("Zoé"))).entryList({QStringLiteral("*.tmp")}, QDir::AllEntries | QDir::System),
              QStringList());
}

// A finished lesson: a course lesson's attempt goes to the progress, a course lesson's or a drill's to the attempts,
// the result to the history as the history keeps it, and the key figures are saved; a progress that cannot be saved
// is told, and the rest is kept all the same; attempts that could not be read are said and kept aside.
TEST_F(LearnerFiles, AResultGoesToTheProgressTheAttemptsTheHistoryAndTheKeyFigures)
{
    const QByteArray drillKept("0;2026-12-01 09:00;60.0;90.0;5\n"), drillDamaged("0;hier;60.0;90.0;5\n");
    const struct {
        const char *name;
        int lesson;
        bool drill;
        bool progressBlocked;
        QByteArray attemptsBefore; // nothing for no file
        QByteArray attemptsAfter;  // each date and time written <date>
    } rows[] = {
        {"a lesson outside the course", 0, false, false, {}, "(absent)"},
        {"a course lesson", 4, false, false, {}, "4;<date>;180.4;95.0;2\n"},
        {"a course lesson whose progress cannot be saved", 4, false, true, {}, "4;<date>;180.4;95.0;2\n"},
        {"a drill", 0, true, false, drillKept, "0;<date>;60.0;90.0;5\n0;<date>;180.4;95.0;2\n"},
        {"a drill over attempts that cannot be read", 0, true, false, drillDamaged, "0;<date>;180.4;95.0;2\n"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(QDir(Learners()).removeRecursively());
        // A stale temporary entry that cannot be removed: a folder with something in it.
        if (row.progressBlocked) {
            ASSERT_TRUE(QDir().mkpath(At(QStringLiteral("Zoé/Parcours.txt.tmp/bloque"))));
        }
        if (!row.attemptsBefore.isEmpty())
            Write(QStringLiteral("Zoé/Essais.txt"), row.attemptsBefore);
        Dialogs.Errors.clear();
        Dialogs.Messages.clear();
        auto learner = NewLearner();
        ASSERT_TRUE(Identify(*learner, QStringLiteral("Zoé")));
        learner->Keys.Record('e', 'e', true, 150);
        LessonResult result;
        result.Speed = 180.4L;
        result.Success = 95;
        result.Kept = {180, 95};
        result.CourseLesson = row.lesson;
        result.Drill = row.drill;
        result.Errors = 2;
        learner->Record(result);

        EXPECT_EQ(Dialogs.Errors.size(), row.progressBlocked ? 1 : 0)
            << Dialogs.Errors.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(Read(QStringLiteral("Zoé/Config.txt")), ThreeResults().left(16) + QByteArray(12800, '\0'));
        EXPECT_EQ(Read(QStringLiteral("Zoé/Parcours.txt")).startsWith("4;180.4;95.0;"),
                  row.lesson != 0 && !row.progressBlocked);
        EXPECT_EQ(QString::fromUtf8(Read(QStringLiteral("Zoé/Essais.txt")))
                      .replace(QRegularExpression(QStringLiteral("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d")),
                               QStringLiteral("<date>")),
                  QString::fromUtf8(row.attemptsAfter));
        EXPECT_TRUE(Read(QStringLiteral("Zoé/Touches.txt")).contains("\ne\t1\t")) << "the key figures follow";

        const QStringList told = Dialogs.Messages.filter(QStringLiteral("essais"));
        const QStringList asides = Asides(QStringLiteral("Zoé/Essais.txt"));
        if (row.attemptsBefore == drillDamaged) {
            ASSERT_EQ(told.size(), 2) << told.join(QLatin1Char('|')).toStdString();
            EXPECT_TRUE(told[0].startsWith(QStringLiteral("Avertissement: Le fichier des essais des leçons ")));
            ASSERT_EQ(asides.size(), 1);
            EXPECT_EQ(Read(QStringLiteral("Zoé/") + asides.front()), drillDamaged);
        } else {
            EXPECT_EQ(told, QStringList());
            EXPECT_EQ(asides, QStringList());
        }
    }
}

// The learner's keyboard: the desktop's until they choose, their choice kept and read back; a file that names no
// keyboard is said, the desktop's is used, and the old file is kept aside by the next choice.
TEST_F(LearnerFiles, TheKeyboardIsTheDesktopsUntilTheLearnerChoosesOne)
{
    using layouts::Layout;
    auto learner = NewLearner();
    learner->DesktopKeyboard = Layout::SwissFrench;
    ASSERT_TRUE(Identify(*learner, QStringLiteral("Zoé")));
    EXPECT_EQ(learner->Keyboard, Layout::SwissFrench);
    EXPECT_EQ(Read(QStringLiteral("Zoé/Clavier.txt")), QByteArray("(absent)")) << "nothing chosen, nothing written";
    learner->ChooseKeyboard(Layout::Bepo);
    EXPECT_EQ(Read(QStringLiteral("Zoé/Clavier.txt")), QByteArray("fr(bepo)\n"));
    learner.reset();

    learner = NewLearner();
    ASSERT_TRUE(Identify(*learner, QStringLiteral("Zoé")));
    EXPECT_EQ(learner->Keyboard, Layout::Bepo);
    learner.reset();

    Write(QStringLiteral("Zoé/Clavier.txt"), "dvorak\n");
    Dialogs.Messages.clear();
    learner = NewLearner();
    ASSERT_TRUE(Identify(*learner, QStringLiteral("Zoé")));
    EXPECT_EQ(learner->Keyboard, Layout::FrenchAzerty) << "no desktop keyboard known: the French AZERTY";
    ASSERT_EQ(Dialogs.Messages.size(), 1);
    EXPECT_TRUE(Dialogs.Messages[0].startsWith(QStringLiteral("Avertissement: Le fichier du clavier ")));
    learner->ChooseKeyboard(Layout::Belgian);
    const QStringList asides = Asides(QStringLiteral("Zoé/Clavier.txt"));
    ASSERT_EQ(asides.size(), 1);
    EXPECT_EQ(Read(QStringLiteral("Zoé/") + asides.front()), QByteArray("dvorak\n"));
    EXPECT_EQ(Read(QStringLiteral("Zoé/Clavier.txt")), QByteArray("be\n"));
}

// The learner's texts: each in its own file with its title, where each session ended kept beside them, a file that
// cannot be read said and left where it is (its place too), and the limits holding whatever the folder holds.
TEST_F(LearnerFiles, OwnTextsKeepTheirPlaceAndNeverLoseAFile)
{
    auto learner = NewLearner();
    ASSERT_TRUE(Identify(*learner, QStringLiteral("Zoé")));
    learner->LoadTexts();
    EXPECT_TRUE(learner->Texts.Entries().empty());
    EXPECT_EQ(learner->AddText("Été", "C'est l'été.\nIl fait beau.").File, "texte-001.txt");
    EXPECT_EQ(Read(QStringLiteral("Zoé/Textes/texte-001.txt")), QByteArray("Été\nC'est l'été.\nIl fait beau.\n"));
    LessonResult session;
    session.OwnText = {"texte-001.txt", 0, 1, 2};
    learner->Record(session);
    EXPECT_EQ(Read(QStringLiteral("Zoé/Textes/Positions.txt")), QByteArray("texte-001.txt;1\n"));
    learner.reset();

    // A text this program did not write (UTF-16) and its place stay on the disk; a new text takes another name.
    Write(QStringLiteral("Zoé/Textes/texte-002.txt"), QByteArray("\xFF\xFEx\0\n\0", 6));
    Write(QStringLiteral("Zoé/Textes/Positions.txt"), "texte-001.txt;1\ntexte-002.txt;5\n");
    learner = NewLearner();
    ASSERT_TRUE(Identify(*learner, QStringLiteral("Zoé")));
    Dialogs.Messages.clear();
    learner->LoadTexts();
    ASSERT_EQ(Dialogs.Messages.size(), 1);
    EXPECT_TRUE(Dialogs.Messages[0].contains(QStringLiteral("texte-002.txt ne peut pas être lu")));
    ASSERT_EQ(learner->Texts.Entries().size(), 1u);
    const OwnTexts::Entry &first = learner->Texts.Entries().front();
    EXPECT_EQ(first.Title, "Été");
    EXPECT_EQ(first.Characters, 26u);
    EXPECT_EQ(first.Lines, 2u);
    EXPECT_EQ(first.Position, 1u);
    EXPECT_EQ(learner->TextLines("texte-001.txt"), (std::vector<std::string>{"C'est l'été.", "Il fait beau."}));
    EXPECT_EQ(learner->AddText("Deux", "Deux.").File, "texte-003.txt");
    learner->RemoveText("texte-001.txt");
    EXPECT_EQ(Read(QStringLiteral("Zoé/Textes/texte-001.txt")), QByteArray("(absent)"));
    EXPECT_EQ(Read(QStringLiteral("Zoé/Textes/Positions.txt")), QByteArray("texte-002.txt;5\ntexte-003.txt;0\n"));

    // At most 100 texts and 10 Mo, the unreadable one counted: nothing is written past them.
    for (int number = 4; number <= 100; ++number)
        Write(QStringLiteral("Zoé/Textes/texte-%1.txt").arg(number, 3, 10, QLatin1Char('0')), "T\nx\n");
    learner->LoadTexts();
    const struct {
        std::string Text;
        const char *Refusal;
    } refused[] = {
        {"Encore.", "Vous avez déjà 100 textes"},
        {std::string(OwnTexts::MostBytes, 'a'), "Ce texte ne tient plus dans la place de vos textes (10 Mo en tout)"},
    };
    EXPECT_EQ(learner->AddText("Centième", "Cent.").File, "texte-001.txt");
    for (const auto &refusal : refused) {
        if (refusal.Text.size() > 100)
            learner->RemoveText("texte-099.txt");
        try {
            learner->AddText("Trop", refusal.Text);
            ADD_FAILURE() << refusal.Refusal;
        } catch (const TutorError &error) {
            EXPECT_TRUE(error.Text().startsWith(QString::fromUtf8(refusal.Refusal))) << error.Text().toStdString();
        }
    }
    EXPECT_EQ(QDir(At(QStringLiteral("Zoé/Textes"))).entryList({QStringLiteral("texte-*.txt")}).size(), 99);
}

// Each keyboard has its own key figures: the learner's change of keyboard reads the other's, and keeps these.
TEST_F(LearnerFiles, EachKeyboardKeepsItsOwnKeyFigures)
{
    Write(QStringLiteral("Zoé/Touches.txt"), TwoKeys);
    Write(QStringLiteral("Zoé/Touches_fr_bepo.txt"), "version\t1\nexercices\t0\na\t3\t0\t0\t0\n");
    auto learner = NewLearner();
    ASSERT_TRUE(Identify(*learner, QStringLiteral("Zoé")));
    EXPECT_EQ(learner->Keys.Of('e').Attempts, 4u);
    EXPECT_FALSE(learner->OnKeyboard(0xAB)) << "no « on this test's French keyboard";
    learner->ChooseKeyboard(layouts::Layout::Bepo);
    EXPECT_EQ(learner->Keys.Of('e').Attempts, 0u);
    EXPECT_EQ(learner->Keys.Of('a').Attempts, 3u);
    EXPECT_TRUE(learner->OnKeyboard(0xAB)) << "BÉPO types «";
    learner->ChooseKeyboard(layouts::Layout::FrenchAzerty);
    EXPECT_EQ(learner->Keys.Of('e').Attempts, 4u);
    EXPECT_EQ(Read(QStringLiteral("Zoé/Touches.txt")), TwoKeys);
}

// Each keyboard has its own course progress, attempts and key figures, the French AZERTY's under the names they
// always had: choosing another keyboard reads its files with the same care as the identification (a save cut short
// settled, a damaged file said and kept aside by the next save), and what the keyboard left could not save goes
// to its own file, never to the next one's.
TEST_F(LearnerFiles, EachKeyboardKeepsItsOwnCourseAttemptsAndKeyFigures)
{
    using layouts::Layout;
    const struct {
        const char *Stem;
        QByteArray Azerty;
        QByteArray Bepo;
        std::function<std::string(const Learner &)> Held;
    } files[] = {
        {"Parcours", ThreeLessons, "1;50.0;90.0;2026-12-04\n",
         [](const Learner &learner) { return learner.Progress.Format(); }},
        {"Essais", "1;2026-12-01 09:00;50.0;90.0;8\n", "2;2026-12-02 10:00;60.0;95.0;3\n",
         [](const Learner &learner) { return learner.Attempts.Format(); }},
        {"Touches", TwoKeys, "version\t1\nexercices\t0\na\t3\t0\t0\t0\n",
         [](const Learner &learner) { return learner.Keys.Format(); }},
    };
    LessonResult lesson;
    lesson.Speed = 120;
    lesson.Success = 96;
    lesson.Kept = {120, 96};
    lesson.CourseLesson = 5;
    for (const auto &file : files) {
        SCOPED_TRACE(file.Stem);
        ASSERT_TRUE(QDir(Learners()).removeRecursively());
        const QString stem = QStringLiteral("Zoé/") + QLatin1String(file.Stem);
        Write(stem + QStringLiteral(".txt"), file.Azerty);
        // BÉPO's first save was cut short: only its whole temporary file stands.
        Write(stem + QStringLiteral("_fr_bepo.txt.tmp"), file.Bepo);
        Write(stem + QStringLiteral("_ch_fr.txt"), "abîmé\n");
        Dialogs.Messages.clear();
        Dialogs.Errors.clear();
        auto learner = NewLearner();
        ASSERT_TRUE(Identify(*learner, QStringLiteral("Zoé")));
        const std::string nothing = file.Held(*NewLearner());
        EXPECT_EQ(file.Held(*learner), file.Azerty.toStdString());

        learner->ChooseKeyboard(Layout::Bepo);
        EXPECT_EQ(file.Held(*learner), file.Bepo.toStdString());
        EXPECT_EQ(Read(stem + QStringLiteral("_fr_bepo.txt")), file.Bepo);
        // A lesson on BÉPO whose save of this file fails: it stays in hand.
        ASSERT_TRUE(QDir().mkpath(At(stem + QStringLiteral("_fr_bepo.txt.tmp/bloque"))));
        learner->Keys.Record('a', 'a', true, 100);
        learner->Record(lesson);
        EXPECT_EQ(Dialogs.Errors.size(), 1) << Dialogs.Errors.join(QLatin1Char('|')).toStdString();
        const std::string unsaved = file.Held(*learner);
        ASSERT_TRUE(QDir(At(stem + QStringLiteral("_fr_bepo.txt.tmp"))).removeRecursively());

        learner->ChooseKeyboard(Layout::SwissFrench);
        EXPECT_EQ(Read(stem + QStringLiteral("_fr_bepo.txt")).toStdString(), unsaved) << "saved on leaving";
        EXPECT_EQ(file.Held(*learner), nothing);
        EXPECT_EQ(Dialogs.Messages.filter(At(stem + QStringLiteral("_ch_fr.txt"))).size(), 1)
            << Dialogs.Messages.join(QLatin1Char('|')).toStdString();
        learner->Record(lesson);
        const QStringList asides = Asides(stem + QStringLiteral("_ch_fr.txt"));
        ASSERT_EQ(asides.size(), 1);
        EXPECT_EQ(Read(QStringLiteral("Zoé/") + asides.front()), QByteArray("abîmé\n"));

        learner->ChooseKeyboard(Layout::FrenchAzerty);
        EXPECT_EQ(file.Held(*learner), file.Azerty.toStdString());
        EXPECT_EQ(Read(stem + QStringLiteral(".txt")), file.Azerty) << "never touched by the other keyboards";
    }
}

// Once identified, the learner is told when what they type may not be what the course expects: the desktop on
// another keyboard, or on one the program does not know, and how to choose; nothing when the two agree, or when the
// desktop does not say.
TEST_F(LearnerFiles, TheLearnerIsToldWhenTheDesktopsKeyboardIsAnother)
{
    const QString how = QStringLiteral(" Pour changer le clavier du parcours, ouvrez « Parcours » (Alt+P) et "
                                       "choisissez-en un autre dans la liste « Clavier ».");
    const struct {
        const char *Layout;
        const char *Variant;
        QByteArray Chosen; // nothing for no choice yet
        QString Notice;    // nothing for none
    } rows[] = {
        {"ch", "fr", "fr(bepo)\n",
         QStringLiteral("Le parcours suit le clavier « Français (BÉPO) », mais le bureau est réglé sur le clavier "
                        "« Suisse romand (QWERTZ) » : les touches que vous taperez ne donneront pas toujours les "
                        "caractères attendus.")},
        {"ch", "fr_nodeadkeys", {}, QString()},
        {"fr", "oss", "fr\n", QString()},
        {"us",
         "",
         {},
         QStringLiteral("Le clavier du bureau (« us ») n'est pas l'un des six claviers que Tapotis2002 connaît : le "
                        "parcours suit le clavier « Français (AZERTY) ».")},
        {"de", "neo", "be\n",
         QStringLiteral("Le clavier du bureau (« de(neo) ») n'est pas l'un des six claviers que Tapotis2002 connaît "
                        ": le parcours suit le clavier « Belge (AZERTY) ».")},
        {nullptr, nullptr, "fr(bepo)\n", QString()},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Layout ? layouts::NamesText(row.Layout, row.Variant) : "off X");
        ASSERT_TRUE(QDir(Learners()).removeRecursively());
        if (!row.Chosen.isEmpty())
            Write(QStringLiteral("Zoé/Clavier.txt"), row.Chosen);
        auto learner = NewLearner();
        if (row.Layout) {
            learner->DesktopKeyboard = layouts::FromDesktopNames(row.Layout, row.Variant);
            learner->DesktopName = QString::fromStdString(layouts::NamesText(row.Layout, row.Variant));
        }
        ASSERT_TRUE(Identify(*learner, QStringLiteral("Zoé")));
        EXPECT_EQ(learner->KeyboardNotice(),
                  row.Notice.isEmpty() ? std::optional<QString>() : std::optional<QString>(row.Notice + how));
    }
}
