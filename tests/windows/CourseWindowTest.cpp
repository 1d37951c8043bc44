#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "MainFixture.h"
#include "course/Course.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TEdit.h"
#include "windows/TLineSeries.h"
#include "windows/TParcours.h"

namespace {

class Course : public MainFixture
{
protected:
    // Clicks "Parcours"; the learner does `whileShown` in the course window, shown on the screen.
    void OpenCourse(const std::function<void(TParcours &)> &whileShown)
    {
        ClickOpening(Main().BoutonParcours, whileShown);
    }
    // Types every line of the running course lesson, as shown.
    void TypeCourseLesson()
    {
        const int shownBefore = StatisticsShown;
        for (int line = 0; line < 20 && StatisticsShown == shownBefore; ++line)
            Type(QString::fromLatin1(Main().Session().TargetText.c_str()));
    }
    void WriteProgress(const QByteArray &bytes)
    {
        ASSERT_TRUE(QDir(Folder()).mkpath(QStringLiteral("Testeur")));
        QFile file(Folder() + QStringLiteral("Testeur/Parcours.txt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray Progress()
    {
        QFile file(Folder() + QStringLiteral("Testeur/Parcours.txt"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

} // namespace

TEST_F(Course, TheChosenLessonRunsLineAfterLineAndIsRecordedOnce)
{
    TMain &m = Main();
    EXPECT_EQ(m.BoutonParcours->geometry(), QRect(221, 551, 28, 28));
    EXPECT_EQ(m.BoutonParcours->accessibleName(), QStringLiteral("Parcours"));
    OpenCourse([](TParcours &window) {
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Parcours - Tapotis2002"));
        ASSERT_EQ(window.ListeLecons->count(), course::LessonCount());
        EXPECT_EQ(window.ListeLecons->item(0)->text(), QStringLiteral("Leçon 1 : f, j et l'espace — à faire"));
        EXPECT_EQ(window.ListeLecons->currentRow(), 0) << "the lesson to do next";
        EXPECT_TRUE(window.ListeLecons->hasFocus());
        EXPECT_TRUE(window.LabelTouches->text().startsWith(QStringLiteral("Nouvelles touches : f j espace.")));
        QTest::keyClick(window.ListeLecons, Qt::Key_Down);
        EXPECT_TRUE(window.LabelTouches->text().startsWith(QStringLiteral("Nouvelles touches : d k.")));
        EXPECT_FALSE(window.ImageClavier->pixmap().isNull());
        QTest::keyClick(window.ListeLecons, Qt::Key_Up);
        QTest::keyClick(window.ListeLecons, Qt::Key_Return);
        EXPECT_EQ(window.result(), QDialog::Accepted);
        EXPECT_EQ(window.Chosen(), 1);
    });
    ASSERT_TRUE(Errors.isEmpty()) << Errors.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(m.Session().PracticeMode, Practice::Course);
    const std::string first = m.Session().TargetText;
    EXPECT_GE(first.size(), 40u);
    EXPECT_EQ(first.find_first_not_of("fj "), std::string::npos) << first;

    // Escape closes the window and leaves the lesson as it was.
    Type(QStringLiteral("x"));
    OpenCourse([](TParcours &window) {
        QTest::keyClick(window.ListeLecons, Qt::Key_Escape);
        EXPECT_EQ(window.Chosen(), 0);
    });
    EXPECT_EQ(m.Session().TargetText, first);
    EXPECT_EQ(Shown(m.LabelErreur), QStringLiteral("1"));

    const int shownBefore = StatisticsShown;
    Type(QString::fromLatin1(first.c_str()));
    EXPECT_EQ(BoxText(), QString()) << "the next line starts in an empty box";
    EXPECT_NE(m.Session().TargetText, first);
    EXPECT_EQ(StatisticsShown, shownBefore) << "nothing recorded between lines";
    TypeCourseLesson();
    EXPECT_EQ(StatisticsShown, shownBefore + 1);
    EXPECT_EQ(m.Statistiques().Series1->Count(), 1);
    EXPECT_TRUE(Progress().startsWith("1;")) << Progress().toStdString();
    EXPECT_TRUE(QFile::exists(m.HistoryPath()));
}

// Progress is read at identification; a file that cannot be read is reported, and kept aside by the first save.
TEST_F(Course, ProgressIsReadBackAndADamagedFileIsNeverSavedOver)
{
    WriteProgress("1;80.0;97.0;2026-12-01\n2;10.0;50.0;2026-12-02\n");
    OpenCourse([](TParcours &window) {
        EXPECT_EQ(window.ListeLecons->item(0)->text(),
                  QStringLiteral("Leçon 1 : f, j et l'espace — terminée (80 caractères par minute, 97 % de réussite)"));
        EXPECT_EQ(window.ListeLecons->item(1)->text(), QStringLiteral("Leçon 2 : d et k — en cours"));
        EXPECT_EQ(window.ListeLecons->currentRow(), 1);
        window.BoutonFermer->click();
    });
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join(QLatin1Char('|')).toStdString();
    CloseMain();

    WriteProgress("1;80.0;97.0;hier\n");
    OpenCourse([](TParcours &window) {
        EXPECT_TRUE(window.ListeLecons->item(0)->text().endsWith(QStringLiteral("à faire")));
        window.BoutonCommencer->click();
    });
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].startsWith(QStringLiteral("Avertissement: Le fichier de progression du parcours ")));
    TypeCourseLesson();
    EXPECT_TRUE(Progress().startsWith("1;")) << "a fresh progress";
    const QStringList kept =
        QDir(Folder() + QStringLiteral("Testeur")).entryList({QStringLiteral("Parcours.txt?*")}, QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    QFile old(Folder() + QStringLiteral("Testeur/") + kept[0]);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("1;80.0;97.0;hier\n"));
}
