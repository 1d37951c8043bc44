#include <QAccessible>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QValueAxis>

#include "MainFixture.h"
#include "assets/EmbeddedAssets.h"
#include "course/Course.h"
#include "guide/KeyboardGuide.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TImage.h"
#include "platform/controls/TLabel.h"
#include "platform/controls/TTimer.h"
#include "windows/Announcement.h"
#include "windows/TLineSeries.h"
#include "windows/TParcours.h"
#include "windows/TResultat.h"

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
    // Writes one of the learner's files, "Parcours.txt" unless said otherwise.
    void WriteProgress(const QByteArray &bytes, const QString &name = QStringLiteral("Parcours.txt"))
    {
        ASSERT_TRUE(QDir(Folder()).mkpath(QStringLiteral("Testeur")));
        QFile file(Folder() + QStringLiteral("Testeur/") + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    // One of the learner's files, "Parcours.txt" unless said otherwise.
    QByteArray Progress(const QString &name = QStringLiteral("Parcours.txt"))
    {
        QFile file(Folder() + QStringLiteral("Testeur/") + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

// The lines of the attempts' chart, sorted: "rouge" or "bleu", the scale's side, "objectif" when dashed, then each
// point x:y.
QStringList Drawn(const TParcours &window)
{
    QStringList lines;
    for (QAbstractSeries *series : window.GraphiqueEssais->chart()->series()) {
        auto *line = qobject_cast<QLineSeries *>(series);
        QString text = line->pen().color() == QColor(Qt::red) ? QStringLiteral("rouge") : QStringLiteral("bleu");
        for (const QAbstractAxis *axis : line->attachedAxes())
            if (axis->orientation() == Qt::Vertical)
                text += axis->alignment() == Qt::AlignLeft ? QStringLiteral(" à gauche") : QStringLiteral(" à droite");
        if (line->pen().style() == Qt::DashLine)
            text += QStringLiteral(" objectif");
        else if (!line->pointsVisible())
            text += QStringLiteral(" sans points");
        for (const QPointF &point : line->points())
            text += QStringLiteral(" %1:%2").arg(point.x()).arg(point.y());
        lines << text;
    }
    lines.sort();
    return lines;
}

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
    // The lesson ends on its result; "Leçon suivante" starts the next one once the last key has been handled.
    bool resultShown = false;
    Dialogs.WhileModal = [&](QDialog &window) {
        if (auto *result = qobject_cast<TResultat *>(&window)) {
            resultShown = true;
            EXPECT_EQ(result->LabelTitre->text(), QStringLiteral("Leçon 1 : f, j et l'espace"));
            result->BoutonSuivante->click();
        }
    };
    TypeCourseLesson();
    EXPECT_TRUE(resultShown);
    EXPECT_EQ(StatisticsShown, shownBefore + 1);
    QTRY_VERIFY(m.LabelProgression->text().startsWith(QStringLiteral("Leçon 2 : d et k — ligne 1 sur ")));
    EXPECT_EQ(BoxText(), QString()) << "the lesson's last key is not left in the next one's box";
    EXPECT_EQ(m.Statistiques().Series1->Count(), 1);
    EXPECT_TRUE(Progress().startsWith("1;")) << Progress().toStdString();
    EXPECT_TRUE(Progress(QStringLiteral("Essais.txt")).startsWith("1;")) << "the attempt kept";
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

// The selected lesson's attempts are drawn over their order, each scale with its goal dashed, and said to a screen
// reader; a lesson without any says so. The list is wide enough for its longest item.
TEST_F(Course, TheChartFollowsTheSelectedLessonAndNoItemIsCut)
{
    // Lesson 26 finished: the longest item.
    WriteProgress("1;80.0;97.0;2026-12-01\n26;150.0;100.0;2026-12-01\n");
    WriteProgress("1;2026-12-01 09:00;50.0;90.0;8\n1;2026-12-01 09:10;70.2;96.0;3\n1;2026-12-01 09:20;80.0;97.0;2\n"
                  "3;2026-12-02 10:00;66.9;93.9;4\n",
                  QStringLiteral("Essais.txt"));
    OpenCourse([](TParcours &window) {
        EXPECT_EQ(window.ListeLecons->currentRow(), 1);
        EXPECT_TRUE(window.LabelEssais->isVisible());
        EXPECT_FALSE(window.GraphiqueEssais->isVisible());
        EXPECT_EQ(window.LabelEssais->text(), QStringLiteral("Aucun essai pour cette leçon"));
        EXPECT_EQ(window.ListeLecons->horizontalScrollBar()->maximum(), 0) << "nothing to scroll sideways";
        for (int row = 0; row < window.ListeLecons->count(); ++row) {
            const QListWidgetItem *item = window.ListeLecons->item(row);
            EXPECT_LE(window.ListeLecons->fontMetrics().horizontalAdvance(item->text()),
                      window.ListeLecons->viewport()->width())
                << item->text().toStdString();
        }

        QTest::keyClick(window.ListeLecons, Qt::Key_Up);
        ASSERT_TRUE(window.GraphiqueEssais->isVisible());
        EXPECT_EQ(window.GraphiqueEssais->accessibleName(), QStringLiteral("Essais de la leçon"));
        EXPECT_EQ(window.GraphiqueEssais->accessibleDescription(),
                  QStringLiteral("3 essais ; dernier : 80 caractères par minute, 97 % de réussite"));
        EXPECT_EQ(Drawn(window), (QStringList{QStringLiteral("bleu à droite 1:90 2:96 3:97"),
                                              QStringLiteral("bleu à droite objectif 0.5:94 3.5:94"),
                                              QStringLiteral("rouge à gauche 1:50 2:70.2 3:80"),
                                              QStringLiteral("rouge à gauche objectif 0.5:60 3.5:60")}));
        for (QAbstractAxis *axis : window.GraphiqueEssais->chart()->axes(Qt::Vertical)) {
            const auto *scale = qobject_cast<QValueAxis *>(axis);
            const bool left = axis->alignment() == Qt::AlignLeft;
            EXPECT_EQ(axis->titleText(),
                      left ? QStringLiteral("Caractères par minute") : QStringLiteral("Réussite (%)"));
            EXPECT_EQ(scale->min(), 0);
            if (left) {
                EXPECT_GE(scale->max(), 80) << "the fastest attempt within the scale";
            } else {
                EXPECT_EQ(scale->max(), 100);
            }
        }

        // One short of its goals: said below them, as the verdict says it; a lone attempt shows as points.
        QTest::keyClick(window.ListeLecons, Qt::Key_Down);
        QTest::keyClick(window.ListeLecons, Qt::Key_Down);
        EXPECT_EQ(window.GraphiqueEssais->accessibleDescription(),
                  QStringLiteral("1 essai ; dernier : 66 caractères par minute, 93 % de réussite"));
        EXPECT_EQ(Drawn(window), (QStringList{QStringLiteral("bleu à droite 1:93.9"),
                                              QStringLiteral("bleu à droite objectif 0.5:94 1.5:94"),
                                              QStringLiteral("rouge à gauche 1:66.9"),
                                              QStringLiteral("rouge à gauche objectif 0.5:67 1.5:67")}));
        window.BoutonFermer->click();
    });
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join(QLatin1Char('|')).toStdString();
}

// The keyboard kept for the learner is the one the course, the picture and their texts follow; another chosen in the
// course window takes over at once, and is kept.
TEST_F(Course, TheCourseFollowsTheKeyboardChosenThere)
{
    WriteProgress("fr(bepo)\n", QStringLiteral("Clavier.txt"));
    TMain &m = Main();
    EXPECT_EQ(m.DXImageList1.Items(KeyboardPictureIndex).Name, QStringLiteral("Clavier_bepo.bmp"));
    EXPECT_NE(m.Image1->Picture(), assets::Background()) << "the small hands' letters are BÉPO's";
    EXPECT_TRUE(m.TypesOnKeyboard(U'«')) << "BÉPO types the French quotes";
    OpenCourse([](TParcours &window) {
        EXPECT_EQ(window.ListeClaviers->currentText(), QStringLiteral("Français (BÉPO)"));
        EXPECT_TRUE(window.ListeLecons->item(0)->text().startsWith(QStringLiteral("Leçon 1 : e, t et l'espace")));
        EXPECT_TRUE(window.ListeLecons->item(7)->text().startsWith(QStringLiteral("Leçon 8 : é et l")));
        QTest::keyClick(window.ListeClaviers, Qt::Key_Up);
        QTest::keyClick(window.ListeClaviers, Qt::Key_Up);
        EXPECT_EQ(window.ListeClaviers->currentText(), QStringLiteral("Français (AZERTY)"));
        EXPECT_TRUE(window.ListeLecons->item(0)->text().startsWith(QStringLiteral("Leçon 1 : f, j et l'espace")));
        QTest::keyClick(window.ListeLecons, Qt::Key_Return);
    });
    EXPECT_EQ(m.Session().TargetText.find_first_not_of("fj "), std::string::npos) << m.Session().TargetText;
    EXPECT_EQ(Progress(QStringLiteral("Clavier.txt")), QByteArray("fr\n"));
    EXPECT_EQ(m.DXImageList1.Items(KeyboardPictureIndex).Name, QStringLiteral("Tapotis.bmp"));
    EXPECT_EQ(m.Image1->Picture(), assets::Background()) << "the French AZERTY's own background, exactly";
    EXPECT_FALSE(m.TypesOnKeyboard(U'«'));
}

// Another keyboard chosen in the course window ends the lesson on the line, paused or not, without recording it:
// the line, the counters, the chronometer and the pause are cleared, and a screen reader hears why; the keys typed
// stay the keyboard left's.
TEST_F(Course, ChoosingAnotherKeyboardEndsThePausedLessonUnrecorded)
{
    WriteProgress("1;80.0;97.0;2026-12-01\n");
    TMain &m = Main();
    OpenCourse([](TParcours &window) {
        QTest::keyClick(window.ListeLecons, Qt::Key_Up);
        window.BoutonCommencer->click();
    });
    ASSERT_EQ(m.Session().PracticeMode, Practice::Course);
    const char first = m.Session().TargetText.front();
    Type(QString::fromLatin1(m.Session().TargetText.substr(0, 3).c_str()) + QStringLiteral("x"));
    m.TimerChronoTimer();
    m.PauseKeyDown();
    ASSERT_TRUE(m.LabelProgression->text().endsWith(QStringLiteral("En pause — appuyez sur F5 pour reprendre")));
    const int shownBefore = StatisticsShown;

    OpenCourse([](TParcours &window) {
        QTest::keyClick(window.ListeClaviers, Qt::Key_Down);
        QTest::keyClick(window.ListeClaviers, Qt::Key_Down);
        EXPECT_EQ(window.ListeClaviers->currentText(), QStringLiteral("Français (BÉPO)"));
        EXPECT_EQ(window.ListeLecons->currentRow(), 0) << "BÉPO's course starts at its own lesson 1";
        EXPECT_TRUE(window.ListeLecons->item(0)->text().endsWith(QStringLiteral("à faire")));
        window.BoutonFermer->click();
    });
    EXPECT_EQ(m.Session().TargetText, std::string());
    EXPECT_EQ(m.Session().PracticeMode, Practice::None);
    for (const TLabel *counter : {m.LabelCorrect, m.LabelErreur, m.LabelChrono})
        EXPECT_EQ(Shown(counter), QStringLiteral("0"));
    EXPECT_FALSE(m.LabelProgression->isVisible());
    EXPECT_EQ(m.TimerChrono->Interval(), 0);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(m.Annonce)->text(QAccessible::Name),
              QStringLiteral("Clavier changé : la leçon en cours est arrêtée, sans être enregistrée."));
    EXPECT_EQ(StatisticsShown, shownBefore + 1) << "the course window alone, no result";
    EXPECT_EQ(Progress(), QByteArray("1;80.0;97.0;2026-12-01\n"));
    EXPECT_EQ(Progress(QStringLiteral("Essais.txt")), QByteArray());
    EXPECT_TRUE(Progress(QStringLiteral("Touches.txt")).contains(QByteArray("\n") + first + '\t'))
        << "the keys typed are the French AZERTY's";
    EXPECT_EQ(Progress(QStringLiteral("Touches_fr_bepo.txt")), QByteArray());

    // F5 now resumes nothing, and a key starts nothing.
    m.PauseKeyDown();
    EXPECT_FALSE(m.LabelProgression->isVisible());
    Type(QStringLiteral("e"));
    EXPECT_EQ(Shown(m.LabelCorrect), QStringLiteral("0"));
    EXPECT_EQ(m.TimerChrono->Interval(), 0);
}
