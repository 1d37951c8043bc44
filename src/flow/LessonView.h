#pragma once

#include <cstddef>
#include <string>

#include <QString>

#include "audio/Cue.h"
#include "flow/LessonProgress.h"
#include "records/LessonResult.h"

struct PcmWave;

// What a lesson needs of the window that shows it. The lesson flow decides what happens; the view only shows it
// or plays it. Texts are Windows-1252, as typed.
class LessonView
{
public:
    virtual ~LessonView() = default;

    // Counters at zero, edit box empty, scrolling stopped, target line black and undescribed, no recording.
    virtual void ClearLessonDisplay() = 0;
    // The target line black and presented, as the demonstration starts.
    virtual void BlankTargetLine() = 0;
    // The lesson's text in yellow; its typed part in red over it.
    virtual void ShowLessonLine(const std::string &text) = 0;
    virtual void ShowTypedLine(const std::string &typed, const std::string &target) = 0;
    // A grey message in place of a text the learner must not see.
    virtual void ShowHiddenLine(const std::string &message) = 0;
    // The text passing from right to left, from its start.
    virtual void StartScrollingLine(const std::string &text) = 0;
    virtual void StopScrolling() = 0;
    // The keyboard with the key of `ch` and its finger (0: the bare keyboard), presented.
    virtual void ShowGuide(unsigned char ch) = 0;
    virtual void ShowCounters(int correct, int errors) = 0;
    virtual void ShowChrono(int ticks) = 0;
    virtual bool ChronoRunning() const = 0;
    virtual void StartChrono() = 0;
    virtual void StopChrono() = 0;
    // Heard only when the learner has the sound, or the pronunciation, switched on.
    virtual void PlayCue(Cue cue) = 0;
    virtual void SpeakKey(unsigned char ch) = 0;
    // A dictation's recording, played at once; whether "hear it again" is offered.
    virtual void PlayRecording(const QString &name, const PcmWave &recording) = 0;
    virtual void OfferRecordingAgain(bool offered) = 0;
    // The end of a lesson, once its result is kept: the figures shown with the learner's progress.
    virtual void ShowResult(const LessonResult &result) = 0;
    // A course lesson's next line: the edit box emptied, the line shown from its start; `line` of `lines`,
    // counted from 1.
    virtual void ShowNextLine(const std::string &text, std::size_t line, std::size_t lines) = 0;
    // The progress line, shown or hidden as `progress` says.
    virtual void ShowProgress(const LessonProgress &progress) = 0;
    // Paused: the chronometer and the scrolling stop where they are and the target line says how to go on.
    // Resumed: they go on as they were; the lesson's line is shown again by the calls that follow.
    virtual void ShowPause(bool paused) = 0;
};
