#pragma once

#include <memory>
#include <optional>
#include <string>

#include "flow/LessonView.h"

class KeyboardGuide;
class Learner;
class TMain;
class TargetLine;
namespace keymap {
class LayoutKeys;
}

// The main window as the lesson flow's view: the target line, the keyboard guide, the counters, the chronometer,
// the cues, the key names and the dictation's recording, on the window's controls, and the statistics window over
// the learner's results at the end. The window keeps the controls; this keeps what it last drew, so that a key
// redraws only what it changes.
class MainLessonView : public LessonView
{
public:
    MainLessonView(TMain &main, const Learner &learner);
    ~MainLessonView() override;

    // The scrolling tick's interval for a speed of 1..7: 60 ms down to 10 ms, then 5 ms, twice as fast as 6 rather
    // than a tick on every idle pass.
    static int ScrollInterval(int speed) { return speed >= 7 ? 5 : 70 - 10 * speed; }

    // The keyboard with the key of `ch` and its finger, drawn but not yet presented, and read by assistive tools.
    void DrawKeyboardGuide(unsigned char ch);
    // The guide of another keyboard from the next one on (nullptr: the French AZERTY); the window keeps its keys.
    void UseKeyboard(const keymap::LayoutKeys *keys);
    // The scrolling line enters again from the right edge.
    void StartScrolling();

    void ClearLessonDisplay() override;
    void BlankTargetLine() override;
    void ShowLessonLine(const std::string &text) override;
    void ShowTypedLine(const std::string &typed, const std::string &target) override;
    void ShowHiddenLine(const std::string &message) override;
    void StartScrollingLine(const std::string &text) override;
    void StopScrolling() override;
    void ShowGuide(unsigned char ch) override;
    void ShowCounters(int correct, int errors) override;
    void ShowChrono(int ticks) override;
    bool ChronoRunning() const override;
    void StartChrono() override;
    void StopChrono() override;
    void PlayCue(Cue cue) override;
    void SpeakKey(unsigned char ch) override;
    void PlayRecording(const QString &name, const PcmWave &recording) override;
    void OfferRecordingAgain(bool offered) override;
    void ShowResult(const LessonResult &result) override;
    void ShowNextLine(const std::string &text, std::size_t line, std::size_t lines) override;
    void ShowProgress(const LessonProgress &progress) override;
    void ShowPause(bool paused) override;

    // Said to a screen reader user as it happens, without moving the keys.
    void Announce(const QString &text);

private:
    // What assistive tools read on the target line: the text it shows (Windows-1252), or nothing.
    void DescribeTargetLine(const std::string &shown);
    // Made on first use, once the window's surfaces exist.
    KeyboardGuide &Guide();
    TargetLine &Line();

    TMain &m_main;
    const Learner &m_learner;
    // What the target line was read as before a pause, and the timers as they ran (the chronometer's interval,
    // whether the line scrolled); nothing while the lesson runs.
    struct Paused {
        QString Description;
        int ChronoInterval = 0;
        bool Scrolling = false;
    };
    std::optional<Paused> m_paused;
    std::unique_ptr<KeyboardGuide> m_keyboardGuide;
    const keymap::LayoutKeys *m_keys = nullptr;
    std::unique_ptr<TargetLine> m_targetLine;
};
