#include <QAccessible>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "MainFixture.h"
#include "course/Course.h"
#include "platform/controls/TBitBtn.h"
#include "records/CourseProgress.h"
#include "records/KeyFigures.h"
#include "windows/TLineSeries.h"
#include "windows/TTouches.h"

namespace {

class Keys : public MainFixture
{
protected:
    // Clicks "Mes touches"; the learner does `whileShown` in the window, shown on the screen.
    void OpenKeys(const std::function<void(TTouches &)> &whileShown) { ClickOpening(Main().BoutonTouches, whileShown); }
    // Types the line shown, a key every 200 ms of the lesson's clock, with `wrong` first wherever `key` is due.
    void TypeLine(char key = 0, char wrong = 0)
    {
        const std::string line = Main().Session().TargetText;
        for (const char c : line) {
            if (key != 0 && c == key) {
                m_now += 200;
                Type(QString(QLatin1Char(wrong)));
            }
            m_now += 200;
            Type(QString(QLatin1Char(c)));
        }
    }
    void UseClock()
    {
        Main().SetClock([this] { return m_now; });
    }
    QByteArray File(const QString &name)
    {
        QFile file(Folder() + QStringLiteral("Testeur/") + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void WriteFile(const QString &name, const QByteArray &bytes)
    {
        ASSERT_TRUE(QDir(Folder()).mkpath(QStringLiteral("Testeur")));
        QFile file(Folder() + QStringLiteral("Testeur/") + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

private:
    std::int64_t m_now = 0;
};

} // namespace

// A lesson with every "l" missed once: "l" leads the list and shows red, its finger carries the errors, and the
// drill is made of it.
TEST_F(Keys, AKeyMissedInALessonLeadsTheWindowAndMakesTheDrill)
{
    WriteLesson(1, "le lit lui le lilas\r\n");
    TMain &m = Main();
    EXPECT_EQ(m.BoutonTouches->geometry(), QRect(271, 551, 28, 28));
    EXPECT_EQ(m.BoutonTouches->accessibleName(), QStringLiteral("Mes touches"));
    UseClock();
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    const int shownBefore = StatisticsShown;
    TypeLine('l', 'k');
    ASSERT_EQ(StatisticsShown, shownBefore + 1);
    // The line's first key is not timed.
    EXPECT_TRUE(File(QStringLiteral("Touches.txt")).contains("\nl\t12\t6\t2000\t5\tk\t6\n"))
        << File(QStringLiteral("Touches.txt")).toStdString();

    const QImage keyboard = m.DXImageList1.Items(12).Picture;
    OpenKeys([&](TTouches &window) {
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Mes touches - Tapotis2002"));
        EXPECT_TRUE(window.ListeTouches->hasFocus());
        EXPECT_EQ(window.ListeTouches->item(0)->text(),
                  QStringLiteral("l : 50 % d'erreurs, 400 ms — souvent tapé à la place : k"));
        EXPECT_EQ(window.ListeTouches->count(), 8) << "l e espace i t u a s";
        KeyFigures accented;
        accented.Record(0xE9, 0xE8, false, std::nullopt);
        EXPECT_TRUE(TTouches::ItemText(0xE9, accented).startsWith(QStringLiteral("é : 100 % d'erreurs")))
            << "written as the learner reads it, and so is the key typed instead: "
            << TTouches::ItemText(0xE9, accented).toStdString();
        EXPECT_TRUE(TTouches::ItemText(0xE9, accented).endsWith(QStringLiteral("à la place : è")));
        // A screen reader hears the characters' names, the list showing the characters themselves.
        EXPECT_EQ(TTouches::ItemSpoken(0xE9, accented),
                  QStringLiteral("e accent aigu : 100 % d'erreurs — souvent tapé à la place : e accent grave"));
        EXPECT_EQ(window.ListeTouches->item(0)->data(Qt::AccessibleTextRole).toString(),
                  QStringLiteral("l : 50 % d'erreurs, 400 ms — souvent tapé à la place : k"));
        // The "l" key red, the "e" key green, a key never typed as the picture has it.
        const QImage shown = window.ImageClavier->pixmap().toImage();
        const QColor l = shown.pixelColor(289 + 7, 151 + 6), e = shown.pixelColor(124 + 7, 124 + 6);
        EXPECT_GT(l.red(), 150);
        EXPECT_LT(l.green(), 90);
        EXPECT_GT(e.green(), e.red());
        // The picture is drawn at (-1, -1).
        EXPECT_EQ(shown.pixel(96 + 7, 124 + 6), keyboard.pixel(96 + 8, 124 + 7)) << "z, never typed, untinted";
        EXPECT_TRUE(window.ImageDoigts->accessibleDescription().contains(
            QStringLiteral("Annulaire droit : 50 % d'erreurs, 400 ms")))
            << window.ImageDoigts->accessibleDescription().toStdString();

        // "Vitesse": the tints and the legend follow the mean times; "l", the slowest, stays the reddest.
        QTest::keyClick(window.CaseVitesse, Qt::Key_Space);
        EXPECT_TRUE(window.CaseVitesse->isChecked());
        EXPECT_TRUE(window.ImageLegende->accessibleName().contains(QStringLiteral("1200 ms")));
        const QImage speed = window.ImageClavier->pixmap().toImage();
        EXPECT_GT(speed.pixelColor(289 + 7, 151 + 6).red(), speed.pixelColor(124 + 7, 124 + 6).red());
        window.BoutonEntrainer->click();
    });
    ASSERT_TRUE(Errors.isEmpty()) << Errors.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(m.Session().PracticeMode, Practice::Drill);
    const std::string first = m.Session().TargetText;
    EXPECT_GE(std::count(first.begin(), first.end(), 'l') * 12, static_cast<long>(first.size())) << first;

    const int drillStart = StatisticsShown;
    for (int line = 0; line < 20 && StatisticsShown == drillStart; ++line)
        TypeLine();
    EXPECT_EQ(StatisticsShown, drillStart + 1) << "one result for the whole drill";
    EXPECT_EQ(m.Statistiques().Series1->Count(), 2);
    EXPECT_TRUE(File(QStringLiteral("Parcours.txt")).isEmpty()) << "a drill is not a course lesson";
    EXPECT_FALSE(File(QStringLiteral("Touches.txt")).contains("\nl\t12\t")) << "the drill's keys count";
}

// The figures are read at identification and add up; a file that cannot be read is reported, the figures start
// from nothing and the old file is kept aside by the first save.
TEST_F(Keys, FiguresAddUpAcrossRunsAndADamagedFileIsNeverSavedOver)
{
    WriteFile(QStringLiteral("Touches.txt"), "version\t1\nexercices\t3\nq\t3\t1\t0\t0\ts\t1\n");
    WriteLesson(1, "q\r\n");
    QTest::mouseClick(Main().BoutonFacile, Qt::LeftButton);
    Type(QStringLiteral("q"));
    EXPECT_EQ(File(QStringLiteral("Touches.txt")), QByteArray("version\t1\nexercices\t4\nq\t4\t1\t0\t0\ts\t1\n"));
    CloseMain();

    WriteFile(QStringLiteral("Touches.txt"), "version\t1\nexercices\t3\nq\t3\t9\t0\t0\n");
    OpenKeys([](TTouches &window) {
        EXPECT_EQ(window.ListeTouches->item(0)->text(),
                  QStringLiteral("Aucune touche tapée pour l'instant : faites d'abord une leçon."));
        EXPECT_FALSE(window.BoutonEntrainer->isEnabled());
        QTest::keyClick(window.ListeTouches, Qt::Key_Escape);
        EXPECT_FALSE(window.DrillChosen());
    });
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].startsWith(QStringLiteral("Avertissement: Le fichier des touches ")))
        << Messages[0].toStdString();
    QTest::mouseClick(Main().BoutonFacile, Qt::LeftButton);
    Type(QStringLiteral("q"));
    EXPECT_EQ(File(QStringLiteral("Touches.txt")), QByteArray("version\t1\nexercices\t1\nq\t1\t0\t0\t0\n"));
    const QStringList kept =
        QDir(Folder() + QStringLiteral("Testeur")).entryList({QStringLiteral("Touches.txt?*")}, QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(File(kept[0]), QByteArray("version\t1\nexercices\t3\nq\t3\t9\t0\t0\n"));

    // The keys of a lesson left unfinished are kept when the learner quits, or closes the window.
    QTest::mouseClick(Main().BoutonFacile, Qt::LeftButton);
    Type(QStringLiteral("s"));
    QTest::mouseClick(Main().BoutonQuitter, Qt::LeftButton);
    EXPECT_EQ(File(QStringLiteral("Touches.txt")), QByteArray("version\t1\nexercices\t2\nq\t2\t1\t0\t0\ts\t1\n"));
    QTest::mouseClick(Main().BoutonFacile, Qt::LeftButton);
    Type(QStringLiteral("x"));
    Main().close();
    EXPECT_EQ(File(QStringLiteral("Touches.txt")), QByteArray("version\t1\nexercices\t3\nq\t3\t2\t0\t0\ts\t1\tx\t1\n"));
}
