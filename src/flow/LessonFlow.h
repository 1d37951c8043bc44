#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QString>

#include "flow/LessonView.h"
#include "lesson/LessonStopwatch.h"
#include "lesson/TypingSession.h"
#include "records/LessonResult.h"

class KeyFigures;

// The flow of a lesson, apart from any window: which lesson or dictation is loaded, how each key is judged, when
// the lesson starts its time and when it ends, what the view is told to show and play at each step, and the result
// handed to the learner's records.
// It owns the typing session, the lesson's lines and its real time; the window owns the controls and implements
// the view.
//
// Kept true: the view shows the session as it stands after every call; a file that cannot be read leaves the
// running lesson as it was.
class LessonFlow
{
public:
    // Each finished lesson's result goes to `results`, then to the view.
    LessonFlow(LessonView &view, ResultSink &results) : m_view(view), m_results(results) {}
    LessonFlow(const LessonFlow &) = delete;
    LessonFlow &operator=(const LessonFlow &) = delete;

    // Where the lesson files are, ending with "/".
    QString ProgramFolder;
    TypingSession Session;
    // The lines of the lesson file; only the first is ever typed, so only it is kept.
    std::vector<std::string> LessonLines;
    // The lesson's real time, from its first correct key, for the speed figure; the chronometer only shows ticks.
    LessonStopwatch LessonTime;
    // The steady clock the lesson's time is read from, in milliseconds.
    std::function<std::int64_t()> SteadyMilliseconds;
    // Where every key the learner types in a lesson is counted against the character expected (none: nowhere).
    // The demonstration's keys are not the learner's and are never counted.
    KeyFigures *Keys = nullptr;
    // Whether the learner's keyboard has a key of its picture for a character, whose figures are then kept; none:
    // the French AZERTY's key map says.
    std::function<bool(unsigned char)> HasKey;
    // A line of a lesson file or a dictation (Windows-1252) as the learner's keyboard types it: what no way of that
    // keyboard gives is replaced or left out, before the line reaches the session; empty when nothing of it is left.
    // None: the line is typed as it stands.
    std::function<std::string(const std::string &)> TypeableLine;

    // A key typed in the edit box; a wrong key comes back as 0, so that it never shows there.
    void KeyPressed(char &key);
    void FinishLesson();
    void ChronoTick();
    void ResetSession();
    // Ends the lesson on the line, paused or not, unrecorded, as another lesson's start would, and leaves the line
    // empty and the chronometer stopped; nothing without a line. Whether a lesson was under way (not typed to its
    // end).
    bool EndLesson();

    // Reads the lesson file of a kind of practice and readies the session for it; returns the text to type.
    std::string LoadLesson(Practice mode);
    // Training and sentences: the line shown, then typed.
    void StartLesson(Practice mode);
    // The scrolling text.
    void StartScrollingLesson();
    // The demonstration: returns the text to type into the edit box.
    std::string StartDemonstration();
    // Whether the scrolling text, gone by before the learner has finished it, comes in again.
    bool ScrollsAgain() const;

    // Voice dictations: the text is hidden and read aloud when a recording stands beside it, shown otherwise.
    void StartDictation(const QString &textPath, const QString &recordingPath);
    // The dictation of the menu's row `tag` (0 for the first), in the lesson folder.
    void StartNumberedDictation(int tag);
    // A dictation the learner chose: its recording is the ".wav" (or ".WAV") of the same name beside it.
    void StartOwnDictation(const QString &textPath);

    // A lesson of the course: its lines typed one after the other, the counters and the time going on over all of
    // them, and one result when the last is done. Any other lesson started meanwhile ends it unrecorded.
    // Its goal is what the progress line and the result judge the attempt against.
    void StartCourseLesson(int lesson, std::vector<std::string> lines, LessonGoal goal);
    // A drill on the learner's weakest keys: its lines typed as a course lesson's, one result at the end, outside
    // the course's progress.
    void StartDrill(std::vector<std::string> lines, LessonGoal goal);
    // A session of the learner's own text: its lines typed as a course lesson's, one result at the end (which says
    // where in the text the session stood), outside the course's progress.
    void StartOwnText(std::vector<std::string> lines, LessonGoal goal, OwnTextPlace place);
    // The course lesson running (0 for none) and the line shown, from 0.
    int CourseLesson() const { return m_courseLesson; }
    std::size_t CourseLine() const { return m_courseLine; }

    // The time away from the lesson (the game) does not count. A lesson paused by the learner stays paused.
    void PauseTime();
    void ResumeTime();

    // The learner's pause (F5, the Pause key, or the window left for another program): the lesson's time, its
    // chronometer and its scrolling stop, and keys typed meanwhile are neither judged, counted nor shown; resumed,
    // everything goes on exactly where it stood. Only a lesson that runs (timed or scrolling, not yet finished, not
    // the demonstration) pauses; Pause returns whether it did.
    bool Pause();
    void Resume();
    void TogglePause();
    bool Paused() const { return m_paused; }
    bool Pausable() const;

    // The character the guide shows: the next one, except in a hidden dictation, where the bare keyboard gives
    // nothing away until the learner has missed the key once.
    unsigned char GuideCharacter() const;

    // Past this, the time since the previous correct key is a pause, not slowness, and is not counted.
    static constexpr std::int64_t LongestCountedKeyMs = 5000;
    // The progress line's speed means something once the lesson has been timed this long; the line is brought up
    // to date every ProgressTicks ticks of the chronometer (about four times a second), never on a key.
    static constexpr std::int64_t ShortestTimedProgressMs = 2000;
    static constexpr int ProgressTicks = 8;

private:
    std::int64_t Now() const;
    void CountKey(unsigned char expected, unsigned char typed, bool correct, bool firstOfLine);
    void StartLines(Practice mode, int lesson, std::vector<std::string> lines, LessonGoal goal);
    // The progress line as the lesson stands now.
    void ShowProgress();
    // The target line again, as it was before a pause.
    void ShowLineAgain();

    LessonView &m_view;
    ResultSink &m_results;
    // A dictation whose text is hidden, and the position whose key the guide shows after a miss there (0: none).
    bool m_hiddenDictation = false;
    std::int32_t m_revealedAt = 0;
    // When the previous correct key of this line came, for the time of the next one.
    std::optional<std::int64_t> m_lastCorrectAt;
    // The course lesson's number (0: none, or a drill), the lines of a lesson of several and the one being typed.
    int m_courseLesson = 0;
    std::vector<std::string> m_courseLines;
    std::size_t m_courseLine = 0;
    // The goals of a course lesson or a drill (none for the others), and the wrong keys of this attempt.
    LessonGoal m_goal;
    std::vector<Mistake> m_mistakes;
    // The own text's session running (none for the other lessons).
    OwnTextPlace m_ownText;
    // A scrolling text on its way, and the learner's pause with when it began.
    bool m_scrolling = false;
    bool m_paused = false;
    std::int64_t m_pausedAt = 0;
};
