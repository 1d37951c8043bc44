#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include <QDialog>

class QChart;
class QFrame;
class QListWidget;
class QValueAxis;
class TChart;
class TLabel;
class TLineSeries;
struct HistoryRecord;

// The statistics window: a borderless modal window with the progress chart (speed in red on the left axis, in
// characters per minute; success in blue with lime markers on the right axis, from 0 to 100 %; one point per result
// over the result's position) and a strip with the last result's texts. It
// draws the learner's results, which the learner's records keep. A click on the chart closes it, and so does
// Ctrl+Return for a learner without a mouse; the keys that end a lesson in flight (Return, Space, Escape) do not.
// A screen reader reads the last result in the window's description and every result in the list "Résultats",
// which lies under the chart, out of sight.
class TStatistiques : public QDialog
{
    Q_OBJECT
public:
    // `main` is the window it is centred on.
    explicit TStatistiques(QWidget *main);
    ~TStatistiques() override;

    TChart *Chart1 = nullptr;
    std::unique_ptr<TLineSeries> Series2;
    QFrame *Panel1 = nullptr;
    TLabel *LabelPF = nullptr;
    TLabel *LabelVitesse = nullptr;
    std::unique_ptr<TLineSeries> Series1;
    // One row per result, for assistive tools: its number, speed and success.
    QListWidget *ListeResultats = nullptr;

    void Chart1Click();
    void Chart1DblClick();

    // Draws the learner's results, those read from the history first: the points it lacks are added (this run's
    // in the series' colours), and the speed line is thin once a result of this run stands on it.
    void Draw(const std::vector<HistoryRecord> &results, std::size_t read);
    // The strip's texts for the last result.
    void ShowResult(long double speed, long double success);

    // Rescales the speed axis to the speeds present and repaints; a lone speed shows as a point.
    void Repaint();

    // Shows the window modally, among the dialogs of the main window, and returns once it is closed.
    void ShowModal();
    // On the screen: centred on the main window.
    int exec() override;

    QChart *Chart() const { return m_chart; }

    // A request to close the window (Escape, the window manager) does nothing: only the click on the chart or
    // Ctrl+Return closes it.
    void reject() override {}

protected:
    // Ctrl+Return closes it; no other key does.
    void keyPressEvent(QKeyEvent *event) override;

private:
    QChart *m_chart = nullptr;
    QValueAxis *m_axisX = nullptr;
    QValueAxis *m_axisSpeed = nullptr;
    QValueAxis *m_axisSuccess = nullptr;
    QWidget *m_main = nullptr;
};
