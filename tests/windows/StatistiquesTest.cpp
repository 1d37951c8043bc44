// The statistics window as the learner sees it: its frame and texts, the two curves and their markers, and
// which clicks close it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QChart>
#include <QFrame>
#include <QLineSeries>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <QValueAxis>

#include "platform/controls/TLabel.h"
#include "records/HistoryBlock.h"
#include "windows/TChart.h"
#include "windows/TLineSeries.h"
#include "windows/TStatistiques.h"

namespace {

// Pixels whose colour is mostly `channel` (0 red, 1 green, 2 blue): lines are drawn smooth, so their pixels are
// the colour blended over the light background, never the background itself (whose channels are all high).
int PixelsOf(const QImage &picture, int channel)
{
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb c = picture.pixel(x, y);
            const int values[3] = {qRed(c), qGreen(c), qBlue(c)};
            bool strong = values[channel] >= 180;
            for (int other = 0; other < 3; ++other)
                strong = strong && (other == channel || values[other] <= 100);
            count += strong;
        }
    return count;
}

constexpr int Red = 0;
constexpr int Green = 1;
constexpr int Blue = 2;

class Statistics : public ::testing::Test
{
protected:
    // Lays the chart out as it is when the learner sees it, and gives its plot area: the axes, written in the
    // curves' colours, lie outside it.
    QImage Shot()
    {
        Window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&Window));
        QCoreApplication::processEvents();
        const QImage shot = Window.Chart1->grab().toImage();
        Window.hide();
        const QRect plot = Window.Chart1->mapFromScene(Window.Chart()->plotArea()).boundingRect();
        return shot.copy(plot.translated(Window.Chart1->viewport()->pos()).adjusted(2, 2, -2, -2));
    }

    QWidget Main;
    TStatistiques Window{&Main};
};

} // namespace

TEST_F(Statistics, IsABorderlessModalWindowWithTheChartAboveTheStrip)
{
    EXPECT_EQ(Window.size(), QSize(438, 356));
    EXPECT_TRUE(Window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(Window.isModal());
    EXPECT_EQ(Window.Chart1->geometry(), QRect(0, 0, 438, 328));
    EXPECT_EQ(Window.Panel1->geometry(), QRect(0, 328, 438, 28));
    EXPECT_TRUE(Window.Chart()->title().contains(
        QStringLiteral("Tapotis2002 - Statistiques<br>Vitesse de saisie d'un caractère")));
    EXPECT_FALSE(Window.Chart()->legend()->isVisible());
    EXPECT_EQ(Window.LabelPF->Caption(), QStringLiteral("Pourcentage d'erreur de frappe : "));
    EXPECT_EQ(Window.LabelVitesse->Caption(), QStringLiteral("Pourcentage d'erreur de frappe : "));
    EXPECT_EQ(Window.LabelPF->geometry().topLeft(), QPoint(18, 7));
    EXPECT_EQ(Window.LabelVitesse->geometry().topLeft(), QPoint(250, 7));
    EXPECT_EQ(Window.LabelPF->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(Window.LabelVitesse->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

TEST_F(Statistics, SpeedIsARedLineAndSuccessABlueLineWithLimeMarkers)
{
    Window.Series1->AddY(180);
    Window.Series1->AddY(150);
    Window.Repaint();
    const QImage speedOnly = Shot();
    EXPECT_GT(PixelsOf(speedOnly, Red), 100) << "the speed line";
    EXPECT_EQ(PixelsOf(speedOnly, Green), 0) << "no marker on the speed points";
    EXPECT_EQ(PixelsOf(speedOnly, Blue), 0);

    Window.Series2->AddY(90);
    Window.Series2->AddY(100);
    Window.Repaint();
    const QImage both = Shot();
    EXPECT_GT(PixelsOf(both, Blue), 100) << "the success line";
    EXPECT_GE(PixelsOf(both, Green), 2 * 9) << "a lime disc on each success point";
}

// A lone speed is a line of one point, which draws nothing: it shows as a marker.
TEST_F(Statistics, ALoneFirstResultShowsBothPoints)
{
    Window.Draw({{180, 95}}, 0);
    const QImage shot = Shot();
    EXPECT_GE(PixelsOf(shot, Red), 9) << "the speed point";
    EXPECT_GE(PixelsOf(shot, Green), 9) << "the success point";
}

// Speed on the left in characters per minute, success on the right from 0 to 100 %: each curve spans the plot's
// height over its own values, rather than percentages flattened under speeds.
TEST_F(Statistics, EachCurveHasItsOwnLabelledAxis)
{
    for (double y : {150.0, 800.0, 420.0})
        Window.Series1->AddY(y);
    for (double y : {3.5, 100.0, 60.0})
        Window.Series2->AddY(y);
    Window.Repaint();
    Shot();
    const QRectF plot = Window.Chart()->plotArea();
    const auto at = [&](double x, double y, const TLineSeries &series) {
        const QPointF point = Window.Chart()->mapToPosition(QPointF(x, y), series.Series());
        EXPECT_TRUE(plot.contains(point)) << y << " at " << point.x() << "," << point.y();
        return point.y();
    };
    EXPECT_GT(at(0, 150, *Window.Series1) - at(1, 800, *Window.Series1), plot.height() * 0.8);
    EXPECT_GT(at(0, 3.5, *Window.Series2) - at(1, 100, *Window.Series2), plot.height() * 0.8);

    const struct {
        const TLineSeries *series;
        Qt::Alignment side;
        QString title;
        QColor colour;
    } axes[] = {
        {Window.Series1.get(), Qt::AlignLeft, QStringLiteral("Caractères par minute"), QColor(255, 0, 0)},
        {Window.Series2.get(), Qt::AlignRight, QStringLiteral("Réussite (%)"), QColor(0, 0, 255)},
    };
    for (const auto &axis : axes) {
        const QList<QAbstractAxis *> vertical = Window.Chart()->axes(Qt::Vertical, axis.series->Series());
        ASSERT_EQ(vertical.size(), 1);
        EXPECT_EQ(vertical[0]->alignment(), axis.side);
        EXPECT_EQ(vertical[0]->titleText(), axis.title);
        EXPECT_EQ(vertical[0]->labelsColor(), axis.colour);
    }
    const auto *success = qobject_cast<QValueAxis *>(Window.Chart()->axes(Qt::Vertical, Window.Series2->Series())[0]);
    ASSERT_NE(success, nullptr);
    EXPECT_LE(success->min(), 0);
    EXPECT_GE(success->max(), 100);
    EXPECT_GT(success->min(), -10) << "0 to 100 whatever the results";
    EXPECT_LT(success->max(), 110);
}

TEST_F(Statistics, AClickOnTheChartClosesItAndOneOnTheStripDoesNot)
{
    Main.resize(800, 600);
    Main.show();
    bool visibleAfterStripClick = false;
    QTimer::singleShot(0, &Window, [&] {
        QTest::mouseClick(Window.Panel1, Qt::LeftButton, {}, QPoint(200, 14));
        QTest::mouseClick(Window.LabelPF, Qt::LeftButton);
        visibleAfterStripClick = Window.isVisible();
        QTest::mouseClick(Window.Chart1->viewport(), Qt::LeftButton, {}, QPoint(200, 150));
    });
    QTimer::singleShot(5000, &Window, [&] { Window.done(QDialog::Rejected); });
    Window.ShowModal();
    EXPECT_TRUE(visibleAfterStripClick);
    EXPECT_FALSE(Window.isVisible());
    EXPECT_EQ(Window.result(), QDialog::Accepted) << "closed by the chart, not by the safety timer";

    QTimer::singleShot(0, &Window, [&] { QTest::mouseDClick(Window.Chart1->viewport(), Qt::LeftButton); });
    QTimer::singleShot(5000, &Window, [&] { Window.done(QDialog::Rejected); });
    Window.ShowModal();
    EXPECT_EQ(Window.result(), QDialog::Accepted);
}

// The keys that may end a lesson in flight never close it; Ctrl+Return does, for a learner without a mouse.
TEST_F(Statistics, OnlyTheChartOrCtrlReturnClosesIt)
{
    Main.show();
    for (const bool byKeyboard : {false, true}) {
        bool visibleAfterKeys = false;
        QTimer::singleShot(0, &Window, [&] {
            for (QWidget *target : {static_cast<QWidget *>(&Window), static_cast<QWidget *>(Window.Chart1),
                                    static_cast<QWidget *>(Window.ListeResultats)})
                for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Space})
                    QTest::keyClick(target, key);
            Window.close();
            visibleAfterKeys = Window.isVisible();
            if (byKeyboard)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ControlModifier);
            else
                QTest::mouseClick(Window.Chart1->viewport(), Qt::LeftButton, {}, QPoint(200, 150));
        });
        QTimer::singleShot(5000, &Window, [&] { Window.done(QDialog::Rejected); });
        Window.ShowModal();
        EXPECT_TRUE(visibleAfterKeys);
        EXPECT_EQ(Window.result(), QDialog::Accepted) << "closed by the learner, not by the safety timer";
    }
}

// A screen reader reads every result in the list under the chart, and the last one with the way on in the window's
// description.
TEST_F(Statistics, TheResultsAreReadAsAListAndTheLastInTheDescription)
{
    EXPECT_EQ(Window.accessibleDescription(), QString());
    Window.Draw({}, 0);
    EXPECT_EQ(Window.accessibleDescription(),
              QStringLiteral("Aucun résultat pour l'instant. Appuyez sur Ctrl+Entrée pour continuer."));
    Window.Draw({{180, 95}, {182, 96.4}}, 1);
    EXPECT_EQ(Window.ListeResultats->accessibleName(), QStringLiteral("Résultats"));
    ASSERT_EQ(Window.ListeResultats->count(), 2);
    EXPECT_EQ(Window.ListeResultats->item(1)->text(),
              QStringLiteral("Résultat 2 : 182 caractères par minute, 96 % de réussite"));
    EXPECT_EQ(Window.ListeResultats->currentRow(), 1);
    EXPECT_EQ(Window.accessibleDescription(), QStringLiteral("Dernier résultat : 182 caractères par minute, 96 % de "
                                                             "réussite. Appuyez sur Ctrl+Entrée pour continuer."));
    // Out of sight: the chart covers it whole.
    EXPECT_EQ(Window.ListeResultats->geometry(), Window.Chart1->geometry());
}

TEST_F(Statistics, IsCentredOnTheMainWindow)
{
    Main.setGeometry(100, 80, 800, 600);
    Main.show();
    QPoint centre;
    QTimer::singleShot(0, &Window, [&] {
        centre = Window.frameGeometry().center();
        Window.Chart1Click();
    });
    Window.ShowModal();
    EXPECT_LE((centre - Main.frameGeometry().center()).manhattanLength(), 2);
}

// The strip reads the last result rounded; the chart draws the learner's results, those of this run in the series'
// colours and the speed line thin once one stands on it.
TEST_F(Statistics, ResultsShowRoundedInTheStripAndThisRunsPointsInTheSeriesColours)
{
    const struct {
        long double speed;
        long double success;
        const char *speedShown;
        const char *successShown;
    } rows[] = {
        {180.0L, 100.0L - 3.0L / 90.0L * 100.0L, "180", "97"},
        {22.5L, 87.5L, "22", "88"},
        {60.0L, 62.5L, "60", "62"},
    };
    for (const auto &row : rows) {
        Window.ShowResult(row.speed, row.success);
        EXPECT_EQ(Window.LabelVitesse->Caption(),
                  QStringLiteral("Nombre de caractere par minute : ") + QLatin1String(row.speedShown));
        EXPECT_EQ(Window.LabelPF->Caption(),
                  QStringLiteral("Pourcentage de réussite : ") + QLatin1String(row.successShown) + QLatin1Char('%'));
    }

    const int width = Window.Series1->LineWidth();
    Window.Draw({{180, 95}}, 1);
    EXPECT_EQ(Window.Series1->LineWidth(), width) << "no result of this run yet";
    Window.Draw({{180, 95}, {22, 87.5}, {60, 62.5}}, 1);
    ASSERT_EQ(Window.Series1->Count(), 3);
    EXPECT_EQ(Window.Series1->YValue(1), 22.0);
    EXPECT_EQ(Window.Series2->YValue(2), 62.5);
    EXPECT_FALSE(Window.Series1->PointColour(0).has_value()) << "points read take the series' colour";
    EXPECT_EQ(Window.Series1->PointColour(1), std::optional<std::uint32_t>(0x0000FF));
    EXPECT_EQ(Window.Series2->PointColour(2), std::optional<std::uint32_t>(0xFF0000));
    EXPECT_EQ(Window.Series1->LineWidth(), 1);
}
