#pragma once

#include <functional>
#include <vector>

#include <QDialog>

#include "course/Course.h"
#include "guide/KeyboardPicture.h"
#include "platform/input/KeyboardLayouts.h"

class CourseProgress;
class LessonAttempts;
class QChartView;
class QComboBox;
class QLabel;
class QLineSeries;
class QListWidget;
class QPushButton;
class QStackedWidget;
class QValueAxis;
class TDXImageList;

// The keyboard the learner types on, as the course window offers it, and what choosing another does (the caller
// brings the lessons, the pictures and the keys' places up to date before it returns). Without Choose, it is shown
// and cannot be changed.
struct CourseKeyboards {
    layouts::Layout Current = layouts::Layout::FrenchAzerty;
    std::function<void(layouts::Layout)> Choose;
};

// The course window, "Parcours - Tapotis2002": the list of the lessons with the state of each for this learner,
// the keys of the selected one on a small copy of the keyboard and a small chart of its attempts, "Commencer" and
// "Fermer". The lesson to do next is selected when it opens; any lesson can be started. Arrows choose, Return
// starts, Escape closes. The list is as wide as its longest item, so that no item is cut. "Clavier" chooses the
// keyboard the learner types on: the lessons, their states and attempts, the keys shown and the picture are that
// keyboard's at once, its next lesson selected.
class TParcours : public QDialog
{
    Q_OBJECT
public:
    using Keyboards = CourseKeyboards;

    // `lessons`, `pictures` and `centres` are the learner's keyboard's, kept by the caller.
    TParcours(QWidget *main, const CourseProgress &progress, const LessonAttempts &attempts,
              const TDXImageList &pictures, const keymap::KeyCentres &centres,
              const std::vector<course::Lesson> &lessons = course::Lessons(), CourseKeyboards keyboards = {});
    ~TParcours() override;

    // The lesson chosen with "Commencer" (1 for the first), 0 when the window was closed without one.
    int Chosen() const { return m_chosen; }
    // What the list reads for a lesson: "Leçon N : <titre>" and its state.
    static QString ItemText(const course::Lesson &lesson, const CourseProgress &progress);

    QLabel *LabelClavier = nullptr;
    QComboBox *ListeClaviers = nullptr;
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
    // The lessons' items again, for the keyboard chosen.
    void FillLessons();
    void ShowAttempts(int lesson);

    const CourseProgress &m_progress;
    const LessonAttempts &m_attempts;
    const std::vector<course::Lesson> &m_lessons;
    Keyboards m_keyboards;
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
