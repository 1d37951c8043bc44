// Who is typing: the name prompt on the first activation, the learner's folder, the history shown in the
// statistics window, and the history file written after every finished lesson.

#include <cstring>
#include <functional>
#include <string>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include "MainFixture.h"
#include "guide/KeyboardGuide.h"
#include "learner/LearnerFolder.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TLabel.h"
#include "windows/TLineSeries.h"

namespace {

const QString Refused =
    QStringLiteral("Avertissement: Nom de l'utilisateur est incorrect, veuillez relancer l'application");
const QString FolderMade = QStringLiteral("Information: Création du répertoire pour l'utilsateur");
const QString DesignCaption = QStringLiteral("Pourcentage d'erreur de frappe : ");

// Little-endian binary64 values, spelled out byte by byte.
const std::string Speed180("\x00\x00\x00\x00\x00\x80\x66\x40", 8);
const std::string Success95("\x00\x00\x00\x00\x00\xC0\x57\x40", 8);
const std::string Speed120("\x00\x00\x00\x00\x00\x00\x5E\x40", 8);
const std::string Success100("\x00\x00\x00\x00\x00\x00\x59\x40", 8);
const std::string Speed60("\x00\x00\x00\x00\x00\x00\x4E\x40", 8);
const std::string Success50("\x00\x00\x00\x00\x00\x00\x49\x40", 8);

std::string ZeroRecords(int count)
{
    return std::string(std::size_t(count) * 16, '\0');
}

double DoubleAt(const QByteArray &bytes, int offset)
{
    double value = 0;
    std::memcpy(&value, bytes.constData() + offset, sizeof value);
    return value;
}

class Identification : public MainFixture
{
protected:
    void WriteHistory(const QString &name, const std::string &bytes)
    {
        ASSERT_TRUE(QDir(Folder()).mkpath(name));
        QFile file(Folder() + name + QStringLiteral("/Config.txt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), qint64(bytes.size()));
    }
    QByteArray History(const QString &name) const
    {
        QFile file(Folder() + name + QStringLiteral("/Config.txt"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Finishes a one-word lesson without an error.
    void FinishALesson()
    {
        QTest::mouseClick(Main().BoutonFacile, Qt::LeftButton);
        Type(QStringLiteral("abc"));
    }
    QStringList FolderEntries() const
    {
        return QDir(Folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
};

} // namespace

TEST_F(Identification, NewLearnerGetsAFolderAMessageAndAnEmptyChart)
{
    NameAnswer = QStringLiteral("Marie");
    QString userWhileShown;
    WhileStatisticsShown = [&](TStatistiques &window) {
        userWhileShown = Shown(Main().LabelUser);
        EXPECT_EQ(window.Series1->Count(), 0);
        EXPECT_EQ(window.Series2->Count(), 0);
        EXPECT_EQ(Shown(window.LabelPF), DesignCaption);
        EXPECT_EQ(Shown(window.LabelVitesse), DesignCaption);
    };
    TMain &m = Main();
    EXPECT_EQ(Messages, QStringList{FolderMade});
    EXPECT_TRUE(QFileInfo(Folder() + QStringLiteral("Marie")).isDir());
    EXPECT_FALSE(QFileInfo::exists(Folder() + QStringLiteral("Marie/Config.txt"))) << "made by the first save";
    EXPECT_EQ(StatisticsShown, 1);
    EXPECT_EQ(userWhileShown, QStringLiteral("Marie Durand")) << "the design caption until the window closes";
    EXPECT_EQ(Shown(m.LabelUser), QStringLiteral("Marie"));
    EXPECT_EQ(m.UserName(), QStringLiteral("Marie"));
    EXPECT_TRUE(Errors.isEmpty());
    EXPECT_FALSE(m.End.Requested());
}

TEST_F(Identification, HappensOnceEvenWhenTheWindowIsActivatedAgain)
{
    TMain &m = Main();
    ASSERT_EQ(StatisticsShown, 1);
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    m.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m));
    EXPECT_EQ(StatisticsShown, 1);
    EXPECT_EQ(Messages.size(), 1);
}

TEST_F(Identification, ExistingEmptyFolderIsMadeAgainWithoutAMessage)
{
    NameAnswer = QStringLiteral("Marie");
    ASSERT_TRUE(QDir(Folder()).mkdir(QStringLiteral("Marie")));
    TMain &m = Main();
    EXPECT_TRUE(Messages.isEmpty());
    EXPECT_TRUE(QFileInfo(Folder() + QStringLiteral("Marie")).isDir());
    EXPECT_EQ(StatisticsShown, 1);
    EXPECT_EQ(Shown(m.LabelUser), QStringLiteral("Marie"));
}

// Beside the program stand a file and a link to a folder: neither name can be a learner's folder.
class RefusedName : public Identification, public ::testing::WithParamInterface<std::optional<QString>>
{
protected:
    void SetUp() override
    {
        Identification::SetUp();
        QFile file(Folder() + QStringLiteral("notes.txt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(QDir(Folder()).mkdir(QStringLiteral("Ailleurs")));
        ASSERT_TRUE(QFile::link(Folder() + QStringLiteral("Ailleurs"), Folder() + QStringLiteral("Lien")));
    }
};

TEST_P(RefusedName, WarnsEndsTheProgramAndCreatesNothing)
{
    NameAnswer = GetParam();
    const QStringList before = FolderEntries();
    TMain &m = Main();
    EXPECT_EQ(Messages, QStringList{Refused});
    EXPECT_TRUE(m.End.Requested());
    EXPECT_EQ(StatisticsShown, 0);
    EXPECT_EQ(Shown(m.LabelUser), QString());
    EXPECT_EQ(FolderEntries(), before);
    EXPECT_FALSE(QFileInfo::exists(Folder() + QStringLiteral("../evil")));
}

INSTANTIATE_TEST_SUITE_P(Identification, RefusedName,
                         ::testing::Values(std::nullopt, QString(), QStringLiteral("   "), QStringLiteral("../evil"),
                                           QStringLiteral("a/b"), QStringLiteral("a\\b"), QStringLiteral("."),
                                           QStringLiteral(".."), QString::fromUtf8("nul\0l", 5),
                                           QString(128, QChar(0xE9)), QStringLiteral("Marie\tDurand"),
                                           QStringLiteral("Marie\n"), QStringLiteral("Dictees"),
                                           QStringLiteral("notes.txt"), QStringLiteral("Lien")));

TEST_F(Identification, TheLongestNameAFolderCanHoldIsAccepted)
{
    NameAnswer = QString(127, QChar(0xE9)) + QLatin1Char('e');
    TMain &m = Main();
    EXPECT_EQ(Messages, QStringList{FolderMade});
    EXPECT_TRUE(QFileInfo(m.UserFolder()).isDir());
}

// A second copy of the program for the same learner would save over the first one's results: it is sent away
// before it reads or writes anything.
TEST_F(Identification, ASecondCopyForTheSameLearnerWritesNothing)
{
    NameAnswer = QStringLiteral("Marie");
    for (const bool withHistory : {true, false}) {
        SCOPED_TRACE(withHistory ? "with a history" : "before the first save");
        const QString folder = Folder() + QStringLiteral("Marie");
        ASSERT_TRUE(QDir(folder).removeRecursively());
        if (withHistory)
            WriteHistory(QStringLiteral("Marie"), Speed180 + Success95 + ZeroRecords(800));
        else
            ASSERT_TRUE(QDir(Folder()).mkdir(QStringLiteral("Marie")));
        LearnerFolder firstCopy;
        ASSERT_EQ(firstCopy.Take(Folder(), QStringLiteral("Marie")), LearnerFolder::Outcome::Held);
        const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        const QByteArray history = History(QStringLiteral("Marie"));

        TMain &m = Main();
        EXPECT_EQ(Messages, QStringList{QStringLiteral("Avertissement: L'utilisateur Marie utilise déjà le programme "
                                                       "dans une autre fenêtre, veuillez la fermer et relancer "
                                                       "l'application")});
        EXPECT_TRUE(m.End.Requested());
        EXPECT_EQ(StatisticsShown, 0);
        EXPECT_EQ(m.UserName(), QString());
        EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        EXPECT_EQ(History(QStringLiteral("Marie")), history);
        CloseMain();
        Messages.clear();
    }
}

// A history that was not read whole and clean is never saved over: the first save keeps it aside, says where,
// and writes the new history. A link in its place is kept as a link; what it points to is never touched.
TEST_F(Identification, AHistoryNotReadWholeIsKeptAsideByTheFirstSave)
{
    const QString elsewhere = Folder() + QStringLiteral("autre.txt");
    const std::string nan("\x00\x00\x00\x00\x00\x00\xF8\x7F", 8);
    const struct {
        const char *name;
        std::function<void(const QString &)> make;
        QString error;
        int shownPoints;
    } rows[] = {
        {"short file", [&](const QString &) { WriteHistory(QStringLiteral("Marie"), Speed180 + Success95); },
         QStringLiteral("Lecture au-delà de la fin de fichier."), 0},
        {"damaged record",
         [&](const QString &) {
             WriteHistory(QStringLiteral("Marie"),
                          Speed180 + Success95 + nan + nan + Speed60 + Success50 + ZeroRecords(798));
         },
         QString(), 1},
        {"link to another file", [&](const QString &path) { ASSERT_TRUE(QFile::link(elsewhere, path)); },
         QStringLiteral("Accès au fichier refusé."), 0},
        {"pipe", [&](const QString &path) { ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0); },
         QStringLiteral("Accès au fichier refusé."), 0},
    };
    NameAnswer = QStringLiteral("Marie");
    WriteLesson(1, "abc\r\n");
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const QString folder = Folder() + QStringLiteral("Marie");
        ASSERT_TRUE(QDir(folder).removeRecursively());
        ASSERT_TRUE(QDir(Folder()).mkdir(QStringLiteral("Marie")));
        {
            QFile other(elsewhere);
            ASSERT_TRUE(other.open(QIODevice::WriteOnly | QIODevice::Truncate));
            other.write("someone else's");
        }
        row.make(folder + QStringLiteral("/Config.txt"));
        const QFileInfo old(folder + QStringLiteral("/Config.txt"));
        const QByteArray oldBytes = old.isFile() && !old.isSymLink() ? History(QStringLiteral("Marie")) : QByteArray();

        TMain &m = Main();
        EXPECT_EQ(Errors, row.error.isEmpty() ? QStringList() : QStringList{row.error});
        EXPECT_EQ(m.Statistiques().Series1->Count(), row.shownPoints);
        FinishALesson();
        const QStringList asides =
            QDir(folder).entryList({QStringLiteral("Config.txt.*.bak")}, QDir::System | QDir::AllEntries);
        ASSERT_EQ(asides.size(), 1);
        const QString aside = folder + QLatin1Char('/') + asides.front();
        EXPECT_TRUE(
            Messages.contains(QStringLiteral("Information: L'ancien historique n'avait pas pu être lu en entier "
                                             ": il est conservé dans le fichier %1")
                                  .arg(aside)))
            << Messages.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(QFileInfo(aside).isSymLink(), old.isSymLink());
        if (!oldBytes.isEmpty()) {
            QFile kept(aside);
            ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
            EXPECT_EQ(kept.readAll(), oldBytes);
        }
        EXPECT_EQ(History(QStringLiteral("Marie")).size(), 12816);
        QFile other(elsewhere);
        ASSERT_TRUE(other.open(QIODevice::ReadOnly));
        EXPECT_EQ(other.readAll(), QByteArray("someone else's"));

        // Kept once: the next save simply replaces the new history.
        FinishALesson();
        EXPECT_EQ(QDir(folder).entryList({QStringLiteral("Config.txt.*.bak")}, QDir::System | QDir::AllEntries).size(),
                  1);
        CloseMain();
        Errors.clear();
        Messages.clear();
    }
}

TEST_F(Identification, ExistingHistoryIsShownAndTheNextLessonAddsToIt)
{
    NameAnswer = QStringLiteral("Marie");
    WriteHistory(QStringLiteral("Marie"),
                 Speed180 + Success95 + Speed120 + Success100 + Speed60 + Success50 + ZeroRecords(798));
    int pointsWhileShown = -1;
    WhileStatisticsShown = [&](TStatistiques &window) { pointsWhileShown = window.Series1->Count(); };
    TMain &m = Main();
    EXPECT_TRUE(Messages.isEmpty());
    EXPECT_EQ(pointsWhileShown, 3);
    const TStatistiques &window = m.Statistiques();
    EXPECT_EQ(window.Series1->YValue(0), 180.0);
    EXPECT_EQ(window.Series1->YValue(2), 60.0);
    EXPECT_EQ(window.Series2->YValue(0), 95.0);
    EXPECT_EQ(window.Series2->YValue(2), 50.0);
    EXPECT_FALSE(window.Series1->PointColour(0).has_value()) << "loaded points take the series' colour";

    WriteLesson(1, "abc\r\n");
    FinishALesson();
    ASSERT_TRUE(Errors.isEmpty()) << Errors.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(StatisticsShown, 2);
    const QByteArray file = History(QStringLiteral("Marie"));
    ASSERT_EQ(file.size(), 12816);
    EXPECT_EQ(file.left(48).toStdString(), Speed180 + Success95 + Speed120 + Success100 + Speed60 + Success50);
    EXPECT_EQ(DoubleAt(file, 48), window.Series1->YValue(3));
    EXPECT_EQ(file.mid(56, 8).toStdString(), Success100);
    EXPECT_EQ(file.mid(64).toStdString(), ZeroRecords(797));
}

TEST_F(Identification, ShortHistoryIsReportedAndNothingIsShown)
{
    NameAnswer = QStringLiteral("Marie");
    WriteHistory(QStringLiteral("Marie"), Speed180 + Success95 + std::string(84, '\0'));
    {
        QFile keyboard(Folder() + QStringLiteral("Marie/Clavier.txt"));
        ASSERT_TRUE(keyboard.open(QIODevice::WriteOnly));
        keyboard.write("fr(bepo)\n");
    }
    TMain &m = Main();
    EXPECT_EQ(m.DXImageList1.Items(KeyboardPictureIndex).Name, QStringLiteral("Clavier_bepo.bmp"))
        << "the learner's keyboard taken up all the same";
    EXPECT_EQ(Errors, QStringList{QStringLiteral("Lecture au-delà de la fin de fichier.")});
    EXPECT_EQ(StatisticsShown, 0);
    EXPECT_EQ(m.Statistiques().Series1->Count(), 0);
    EXPECT_EQ(Shown(m.LabelUser), QStringLiteral("Marie Durand"));
    EXPECT_EQ(m.UserName(), QStringLiteral("Marie")) << "later saves go to the same file";
    EXPECT_EQ(m.HistoryBlock().Record(0).Speed, 180.0) << "the bytes read are kept";
}

TEST_F(Identification, FailedSaveIsReportedKeepsThePointsAndTheNextSaveWritesThemAll)
{
    NameAnswer = QStringLiteral("Marie");
    WriteLesson(1, "abc\r\n");
    TMain &m = Main();
    ASSERT_TRUE(QDir(Folder() + QStringLiteral("Marie")).removeRecursively());

    FinishALesson();
    EXPECT_EQ(Errors, QStringList{QStringLiteral("Nom de fichier incorrect.")});
    EXPECT_EQ(StatisticsShown, 1) << "not shown for a result that could not be saved";
    EXPECT_FALSE(QFileInfo::exists(Folder() + QStringLiteral("Marie")));

    ASSERT_TRUE(QDir(Folder()).mkdir(QStringLiteral("Marie")));
    FinishALesson();
    EXPECT_EQ(StatisticsShown, 2);
    EXPECT_EQ(m.Statistiques().Series1->Count(), 2) << "the chart shows the result that could not be saved";
    const QByteArray file = History(QStringLiteral("Marie"));
    ASSERT_EQ(file.size(), 12816);
    EXPECT_EQ(file.mid(8, 8).toStdString(), Success100);
    EXPECT_EQ(file.mid(24, 8).toStdString(), Success100);
    EXPECT_EQ(file.mid(32).toStdString(), ZeroRecords(799));
}

TEST_F(Identification, AnInstalledProgramKeepsItsLearnersInTheirOwnDataFolder)
{
    // The program in "usr/bin", its files in "usr/share/tapotis2002", the learner's data folder elsewhere.
    ASSERT_TRUE(QDir(Folder()).mkpath(QStringLiteral("usr/bin")));
    const QString files = Folder() + QStringLiteral("usr/share/tapotis2002/");
    ASSERT_TRUE(QDir(Folder()).mkpath(files + QStringLiteral("Dictees")));
    QFile lesson(files + QStringLiteral("Dictees/Level1.dll"));
    ASSERT_TRUE(lesson.open(QIODevice::WriteOnly));
    lesson.write("abc\r\n");
    lesson.close();
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", (Folder() + QStringLiteral("data")).toUtf8());
    ExecutableFolder = Folder() + QStringLiteral("usr/bin");
    NameAnswer = QStringLiteral("Marie");

    FinishALesson();
    EXPECT_EQ(Main().ProgramFolder(), files);
    EXPECT_EQ(QFileInfo(Folder() + QStringLiteral("data/tapotis2002/Marie/Config.txt")).size(), 12816);
    EXPECT_EQ(QDir(files).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{QStringLiteral("Dictees")})
        << "nothing written among the program's files";
    qputenv("XDG_DATA_HOME", dataHome);
}
