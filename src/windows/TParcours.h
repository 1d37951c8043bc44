#pragma once

#include <QDialog>

#include "guide/KeyboardPicture.h"

class CourseProgress;
class QLabel;
class QListWidget;
class QPushButton;
class TDXImageList;

// The course window, "Parcours - Tapotis2002": the list of the lessons with the state of each for this learner,
// the keys of the selected one on a small copy of the keyboard, "Commencer" and "Fermer". The lesson to do next
// is selected when it opens; any lesson can be started. Arrows choose, Return starts, Escape closes.
class TParcours : public QDialog
{
    Q_OBJECT
public:
    TParcours(QWidget *main, const CourseProgress &progress, const TDXImageList &pictures,
              const keymap::KeyCentres &centres);
    ~TParcours() override;

    // The lesson chosen with "Commencer" (1 for the first), 0 when the window was closed without one.
    int Chosen() const { return m_chosen; }
    // What the list reads for a lesson: "Leçon N : <titre>" and its state.
    static QString ItemText(int lesson, const CourseProgress &progress);

    QListWidget *ListeLecons = nullptr;
    QLabel *LabelTouches = nullptr;
    QLabel *ImageClavier = nullptr;
    QPushButton *BoutonCommencer = nullptr;
    QPushButton *BoutonFermer = nullptr;

protected:
    // A screen reader hears the list's current item as the window opens.
    void showEvent(QShowEvent *event) override;

private:
    void ShowLesson(int lesson);

    KeyboardPicture m_keyboard;
    int m_chosen = 0;
};
