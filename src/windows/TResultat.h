#pragma once

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <QDialog>

#include "records/LessonResult.h"

class QLabel;
class QListWidget;
class QPushButton;

// The window "Résultat - Tapotis2002" that ends a course lesson, a drill or a session of the learner's text: whether
// the goals are reached ("Objectif atteint", "Pas encore"), the speed and the success beside their goals with what is
// missing, the lines typed with each place of a wrong key marked, the wrong keys as a list a screen reader reads, the
// keys most missed, and the way on: "Leçon suivante" (after a session of the learner's text, "Suite du texte", while
// the text has more), "Recommencer", "S'entraîner sur mes touches", "Fermer".
//
// Kept true: Return, Enter, Space and Escape do nothing for a short moment after the window is shown (they may be the
// lesson's last keys, typed in flight), wherever the focus is in the window; a key held down from then on does not
// act by repeating, nor on its release. After that moment Return presses the default button ("Leçon suivante" when
// the goals are reached, else "Recommencer"), or the focused one, Space the focused button, Escape closes.
class TResultat : public QDialog
{
    Q_OBJECT
public:
    enum class Choice { Close, NextLesson, Again, Drill };

    // `drillOffered`: whether there are keys to drill, without which "S'entraîner sur mes touches" is disabled.
    TResultat(QWidget *main, const LessonResult &result, bool drillOffered);
    ~TResultat() override;

    // What the learner chose; Close when the window was closed without a choice.
    Choice Chosen() const { return m_chosen; }

    // The lines typed as rich text: each character escaped, those at a wrong key's place in red and underlined.
    static QString MarkedLines(const std::vector<std::string> &lines, const std::vector<Mistake> &mistakes);

    // How long the keys a lesson may end on do nothing once the window is shown, in milliseconds.
    static constexpr qint64 QuietMs = 500;
    // A steady clock in milliseconds; tests replace it.
    std::function<qint64()> Clock;

    QLabel *LabelTitre = nullptr;
    QLabel *LabelVerdict = nullptr;
    QLabel *LabelVitesse = nullptr;
    QLabel *LabelReussite = nullptr;
    QLabel *TexteLignes = nullptr;
    QLabel *LabelErreurs = nullptr;
    QListWidget *ListeErreurs = nullptr;
    QLabel *LabelManquees = nullptr;
    QPushButton *BoutonSuivante = nullptr;
    QPushButton *BoutonRecommencer = nullptr;
    QPushButton *BoutonEntrainer = nullptr;
    QPushButton *BoutonFermer = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Choose(Choice choice);

    Choice m_chosen = Choice::Close;
    // When the window was last shown, by Clock; none before it is shown, and every key is then early.
    std::optional<qint64> m_shownAt;
    // The keys pressed during the quiet moment and not yet released.
    std::set<int> m_held;
};
