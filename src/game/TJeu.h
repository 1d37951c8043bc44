#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <QDialog>
#include <QElapsedTimer>
#include <QFont>
#include <QTimer>

#include "audio/Cue.h"
#include "game/JeuRules.h"

class QLabel;

// The falling-words game, a break from the lessons: words drop down the field and the learner destroys them by
// typing them before they land. The window turns keys and elapsed time into calls to the game's rules, and
// their outcomes into drawing, status texts and the program's cue sounds. It keeps nothing on disk: it starts from
// the learner's best score and whoever opened it keeps the new one.
//
// Kept true: the clock runs only while a game is being played in the active, visible window; Escape always
// closes the window and abandons the game.
class TJeu : public QDialog
{
    Q_OBJECT
public:
    // playCue: the lessons' cues, Correct for a correct key, Wrong for a wrong key or a landed word, Finished for a
    // word destroyed; may be empty. bestScore: the learner's best score so far.
    TJeu(QWidget *parent, std::function<void(Cue cue)> playCue, std::int64_t bestScore = 0);
    ~TJeu() override;

    // Runs the game window, centred on its parent, until the learner leaves it.
    void ShowModal();

    // The learner's best score, this window's games included.
    std::int64_t BestScore() const { return m_bestScore; }

    // For tests: the game behind the window, and whether its clock runs.
    JeuRules &Rules() { return m_rules; }
    bool Ticking() const { return m_timer.isActive(); }

    void done(int result) override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    enum class Screen { Welcome, Playing, Over };

    // "+30" where a word was destroyed, rising and fading.
    struct Popup {
        double X = 0;
        double Y = 0;
        int Points = 0;
        double AgeMs = 0;
    };

    void StartGame();
    void OnTimer();
    void TypeText(const QString &text);
    void React(const JeuReport &report);
    void EndGame();
    void UpdateClock();
    void UpdateTexts();
    void PlayCue(Cue cue);
    void PaintWord(QPainter &painter, const FallingWord &word, bool target) const;

    std::function<void(Cue cue)> m_playCue;
    std::int64_t m_bestScore = 0;
    QFont m_wordFont;
    JeuRules m_rules;
    Screen m_screen = Screen::Welcome;
    QTimer m_timer;
    QElapsedTimer m_clock;
    std::vector<Popup> m_popups;
    double m_levelBannerMs = 0;
    bool m_newRecord = false;
    QLabel *m_message = nullptr;
    QLabel *m_scoreLabel = nullptr;
    QLabel *m_levelLabel = nullptr;
    QLabel *m_livesLabel = nullptr;
    QLabel *m_bestLabel = nullptr;
};
