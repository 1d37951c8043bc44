#pragma once

#include <QDialog>

#include "guide/KeyboardPicture.h"

class CourseProgress;
class LessonAttempts;
class QChartView;
class QLabel;
class QLineSeries;
class QListWidget;
class QPushButton;
class QStackedWidget;
class QValueAxis;
class TDXImageList;

// The course window, "Parcours - Tapotis2002": the list of the lessons with the state of each for this learner,
// the keys of the selected one on a small copy of the keyboard and a small chart of its attempts, "Commencer" and
// "Fermer". The lesson to do next is selected when it opens; any lesson can be started. Arrows choose, Return
// starts, Escape closes. The list is as wide as its longest item, so that no item is cut.
class TParcours : public QDialog
{
    Q_OBJECT
public:
    TParcours(QWidget *main, const CourseProgress &progress, const LessonAttempts &attempts,
              const TDXImageList &pictures, const keymap::KeyCentres &centres);
    ~TParcours() override;

    // The lesson chosen with "Commencer" (1 for the first), 0 when the window was closed without one.
    int Chosen() const { return m_chosen; }
    // What the list reads for a lesson: "Leçon N : <titre>" and its state.
    static QString ItemText(int lesson, const CourseProgress &progress);

    QListWidget *ListeLecons = nullptr;
    QLabel *LabelTouches = nullptr;
    QLabel *ImageClavier = nullptr;
    // The selected lesson's attempts in their order: speed (red, left scale) and success (blue, right scale), each
    // with its goal dashed; its description says how many and the last one. In its place, without any attempt,
    // LabelEssais says so.
    QChartView *GraphiqueEssais = nullptr;
    QLabel *LabelEssais = nullptr;
    QPushButton *BoutonCommencer = nullptr;
    QPushButton *BoutonFermer = nullptr;

protected:
    // A screen reader hears the list's current item as the window opens.
    void showEvent(QShowEvent *event) override;

private:
    void ShowLesson(int lesson);
    void ShowAttempts(int lesson);

    const LessonAttempts &m_attempts;
    KeyboardPicture m_keyboard;
    QStackedWidget *m_attemptsShown = nullptr;
    QLineSeries *m_speed = nullptr;
    QLineSeries *m_success = nullptr;
    QLineSeries *m_speedGoal = nullptr;
    QLineSeries *m_successGoal = nullptr;
    QValueAxis *m_axisAttempts = nullptr;
    QValueAxis *m_axisSpeed = nullptr;
    int m_chosen = 0;
};
