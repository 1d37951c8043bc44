#include "flow/LessonFlow.h"

#include <chrono>

#include <QDir>
#include <QFileInfo>

#include "guide/KeyMap.h"
#include "lesson/LessonReader.h"
#include "platform/sound/WaveFile.h"
#include "platform/text/Cp1252.h"
#include "platform/text/SafeFile.h"
#include "platform/text/TutorError.h"
#include "records/KeyFigures.h"

namespace {

// What the target line says in place of a dictation's hidden text.
std::string DictationMessage()
{
    return cp1252::FromUnicodeText(QStringLiteral("Écoutez la dictée, puis tapez ce que vous entendez."));
}

// What a lesson file or a dictation whose first line the learner's keyboard cannot type at all says.
TutorError NothingToType(const QString &path)
{
    return TutorError(
        QStringLiteral("La première ligne du fichier %1 n'a aucun caractère que votre clavier puisse taper").arg(path));
}

} // namespace

std::int64_t LessonFlow::Now() const
{
    if (SteadyMilliseconds)
        return SteadyMilliseconds();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void LessonFlow::CountKey(unsigned char expected, unsigned char typed, bool correct, bool firstOfLine)
{
    if (!Keys || Session.AutoMode || !(HasKey ? HasKey(expected) : keymap::HasKey(expected)))
        return;
    std::optional<std::uint32_t> ms;
    if (correct) {
        const std::int64_t now = Now();
        if (!firstOfLine && m_lastCorrectAt && now - *m_lastCorrectAt <= LongestCountedKeyMs)
            ms = static_cast<std::uint32_t>(std::max<std::int64_t>(0, now - *m_lastCorrectAt));
        m_lastCorrectAt = now;
    }
    Keys->Record(expected, typed, correct, ms);
    if (Session.PracticeMode != Practice::Course && Session.PracticeMode != Practice::Drill)
        Keys->CountOutsideCourse();
}

void LessonFlow::KeyPressed(char &key)
{
    // Paused, a key is nobody's business: not judged, not counted, not shown.
    if (m_paused) {
        key = 0;
        return;
    }
    const unsigned char expected = Session.CharacterAtCursor();
    const std::size_t position = static_cast<std::size_t>(Session.Cursor - 1);
    const bool firstOfLine = Session.Cursor == 1;
    const KeyVerdict verdict = JudgeKey(Session, static_cast<unsigned char>(key), m_view.ChronoRunning());
    if (expected != 0)
        CountKey(expected, static_cast<unsigned char>(key), verdict.Correct, firstOfLine);
    if (verdict.Correct && Session.CorrectCount == 1 && !Session.AutoMode)
        LessonTime.Start(Now());
    if (verdict.Correct) {
        m_view.PlayCue(Cue::Correct);
        if (verdict.RedrawTargetLine)
            m_view.ShowTypedLine(Session.TypedText, Session.TargetText);
        if (verdict.FinishesLesson && m_courseLine + 1 < m_courseLines.size()) {
            // The next line comes at once in an empty edit box: the key that ended this one does not show there.
            Session.TargetText = m_courseLines[++m_courseLine];
            Session.Cursor = 1;
            Session.TypedText.clear();
            key = 0;
            m_view.ShowNextLine(Session.TargetText, m_courseLine + 1, m_courseLines.size());
            ShowProgress();
        } else if (verdict.FinishesLesson) {
            FinishLesson();
        } else if (verdict.StartsChrono)
            m_view.StartChrono();
    } else {
        m_view.PlayCue(Cue::Wrong);
        if (expected != 0 && !Session.AutoMode)
            m_mistakes.push_back({m_courseLine, position, expected, static_cast<unsigned char>(key)});
        key = 0;
        if (m_hiddenDictation)
            m_revealedAt = Session.Cursor;
    }
    m_view.ShowGuide(GuideCharacter());
    m_view.ShowCounters(Session.CorrectCount, Session.ErrorCount);
    if (Session.PracticeMode != Practice::Demonstration)
        m_view.SpeakKey(GuideCharacter());
}

void LessonFlow::FinishLesson()
{
    m_view.PlayCue(Cue::Finished);
    m_view.StopScrolling();
    m_view.StopChrono();
    m_scrolling = false;
    ShowProgress();
    const LessonFigures figures = ComputeFigures(Session, static_cast<long double>(LessonTime.Elapsed(Now())));
    LessonResult result;
    result.Speed = figures.Speed;
    result.Success = figures.Success;
    result.Kept = {static_cast<double>(RoundHalfEven(figures.Speed)), static_cast<double>(figures.Success)};
    result.CourseLesson = m_courseLesson;
    result.Drill = Session.PracticeMode == Practice::Drill;
    result.OwnText = std::move(m_ownText);
    result.Goal = m_goal;
    result.Errors = Session.ErrorCount;
    result.Lines = m_courseLines.empty() ? std::vector<std::string>{Session.TargetText} : m_courseLines;
    result.Mistakes = std::move(m_mistakes);
    // The lesson's lines are done with: a key typed past its end is wrong, and starts no line again.
    m_courseLesson = 0;
    m_courseLines.clear();
    m_courseLine = 0;
    m_mistakes.clear();
    m_ownText = OwnTextPlace();
    m_results.Record(result);
    m_view.ShowResult(result);
}

void LessonFlow::ChronoTick()
{
    ++Session.ChronoTicks;
    m_view.ShowChrono(Session.ChronoTicks);
    if (Session.ChronoTicks % ProgressTicks == 0)
        ShowProgress();
}

void LessonFlow::ShowProgress()
{
    LessonProgress progress;
    // Lessons of one line have nothing to say but their pause.
    progress.Shown = m_goal.Set() || m_courseLines.size() > 1 || m_paused;
    progress.Goal = m_goal;
    progress.Line = m_courseLine + 1;
    progress.Lines = m_courseLines.size();
    progress.Paused = m_paused;
    const std::int64_t elapsed = LessonTime.Elapsed(Now());
    progress.Timed = elapsed >= ShortestTimedProgressMs;
    if (progress.Timed) {
        const LessonFigures figures = ComputeFigures(Session, static_cast<long double>(elapsed));
        progress.Speed = figures.Speed;
        progress.Success = figures.Success;
    }
    m_view.ShowProgress(progress);
}

void LessonFlow::ResetSession()
{
    Session.Reset();
    LessonTime.Clear();
    m_hiddenDictation = false;
    m_revealedAt = 0;
    m_lastCorrectAt.reset();
    m_courseLesson = 0;
    m_courseLines.clear();
    m_courseLine = 0;
    m_goal = LessonGoal();
    m_mistakes.clear();
    m_ownText = OwnTextPlace();
    m_scrolling = false;
    m_paused = false;
    m_view.ClearLessonDisplay();
    m_view.ShowProgress(LessonProgress());
}

bool LessonFlow::EndLesson()
{
    if (Session.TargetText.empty())
        return false;
    const bool underWay = !Session.FullyTyped();
    m_view.StopScrolling();
    m_view.StopChrono();
    ResetSession();
    Session.PracticeMode = Practice::None;
    Session.AutoMode = false;
    m_view.BlankTargetLine();
    m_view.ShowGuide(GuideCharacter());
    return underWay;
}

std::string LessonFlow::LoadLesson(Practice mode)
{
    // The lesson files are numbered by the kind of practice.
    const QString path = ProgramFolder + QString::fromStdString(LessonRelativePath(static_cast<int>(mode)));
    // Only the first line is ever typed, so only the first line is kept, however long the file.
    const std::string bytes = safefile::ReadWholeFile(path, safefile::LessonLimit);
    const std::size_t lineEnd = bytes.find_first_of("\r\n");
    LessonLines =
        SplitLessonLines(std::string_view(bytes).substr(0, lineEnd == std::string::npos ? lineEnd : lineEnd + 1));
    if (LessonLines.empty())
        throw TutorError(QStringLiteral("Indice de liste hors limites (%1)").arg(0));
    std::string result = TrimLessonLine(LessonLines.front());
    if (result.empty())
        throw TutorError(QStringLiteral("La première ligne du fichier %1 est vide : aucun texte à taper").arg(path));
    if (TypeableLine) {
        result = TypeableLine(result);
        if (result.empty())
            throw NothingToType(path);
    }
    ResetSession();
    m_view.ShowGuide(static_cast<unsigned char>(result.front()));
    return result;
}

void LessonFlow::StartLesson(Practice mode)
{
    Session.PracticeMode = mode;
    Session.AutoMode = false;
    Session.TargetText = LoadLesson(mode);
    m_view.ShowLessonLine(Session.TargetText);
    m_view.SpeakKey(Session.CharacterAtCursor());
}

void LessonFlow::StartScrollingLesson()
{
    Session.PracticeMode = Practice::Scrolling;
    Session.AutoMode = false;
    Session.TargetText = LoadLesson(Practice::Scrolling);
    m_scrolling = true;
    m_view.StartScrollingLine(Session.TargetText);
    m_view.SpeakKey(Session.CharacterAtCursor());
}

std::string LessonFlow::StartDemonstration()
{
    Session.PracticeMode = Practice::Demonstration;
    ResetSession();
    Session.TargetText = LoadLesson(Practice::Demonstration);
    m_view.BlankTargetLine();
    Session.AutoMode = true;
    // A copy: a lesson started during the demonstration replaces the target text, not what is being typed.
    return Session.TargetText;
}

bool LessonFlow::ScrollsAgain() const
{
    return Session.PracticeMode == Practice::Scrolling && !Session.FullyTyped();
}

void LessonFlow::StartNumberedDictation(int tag)
{
    const QString name = QStringLiteral("Dictees/Dictee%1").arg(tag + 1, 2, 10, QLatin1Char('0'));
    StartDictation(ProgramFolder + name + QStringLiteral(".txt"), ProgramFolder + name + QStringLiteral(".wav"));
}

void LessonFlow::StartOwnDictation(const QString &textPath)
{
    const QFileInfo text(textPath);
    QString recording = text.dir().filePath(text.completeBaseName() + QStringLiteral(".wav"));
    if (!QFileInfo::exists(recording))
        recording = text.dir().filePath(text.completeBaseName() + QStringLiteral(".WAV"));
    StartDictation(textPath, recording);
}

void LessonFlow::StartDictation(const QString &textPath, const QString &recordingPath)
{
    // Everything is read before the running lesson is touched: a file that fails leaves it as it was.
    const std::string bytes = cp1252::FromUtf8OrCp1252(safefile::ReadWholeFile(textPath, safefile::LessonLimit));
    // The learner's keyboard makes the line typeable as it makes their own texts; without it, the typographic signs
    // become the French AZERTY's.
    const std::vector<std::string> lines = SplitLessonLines(bytes);
    std::string text = !TypeableLine ? DictationLine(bytes) : lines.empty() ? std::string() : TrimLessonLine(lines[0]);
    if (text.empty())
        throw TutorError(
            QStringLiteral("La première ligne du fichier %1 est vide : aucun texte à taper").arg(textPath));
    if (TypeableLine) {
        text = TypeableLine(text);
        if (text.empty())
            throw NothingToType(textPath);
    }
    const bool recorded = QFileInfo::exists(recordingPath);
    PcmWave recording;
    if (recorded)
        recording =
            ReadWave(QByteArray::fromStdString(safefile::ReadWholeFile(recordingPath, safefile::RecordingLimit)));

    // Hidden, the text is never redrawn as it is typed; shown, it is a sentence like any other.
    Session.PracticeMode = recorded ? Practice::Scrolling : Practice::Sentences;
    Session.AutoMode = false;
    ResetSession();
    Session.TargetText = text;
    m_hiddenDictation = recorded;
    m_view.ShowGuide(GuideCharacter());
    if (recorded) {
        m_view.ShowHiddenLine(DictationMessage());
        m_view.PlayRecording(QFileInfo(recordingPath).fileName(), recording);
    } else {
        m_view.ShowLessonLine(Session.TargetText);
    }
    m_view.OfferRecordingAgain(recorded);
    m_view.SpeakKey(GuideCharacter());
}

void LessonFlow::StartCourseLesson(int lesson, std::vector<std::string> lines, LessonGoal goal)
{
    if (lines.empty() || lines.front().empty())
        throw TutorError(QStringLiteral("La leçon %1 du parcours n'a aucun texte à taper").arg(lesson));
    StartLines(Practice::Course, lesson, std::move(lines), std::move(goal));
}

void LessonFlow::StartDrill(std::vector<std::string> lines, LessonGoal goal)
{
    if (lines.empty() || lines.front().empty())
        throw TutorError(QStringLiteral("L'entraînement sur vos touches n'a aucun texte à taper"));
    StartLines(Practice::Drill, 0, std::move(lines), std::move(goal));
}

void LessonFlow::StartOwnText(std::vector<std::string> lines, LessonGoal goal, OwnTextPlace place)
{
    if (lines.empty() || lines.front().empty())
        throw TutorError(QStringLiteral("Ce passage de votre texte n'a rien à taper"));
    StartLines(Practice::OwnText, 0, std::move(lines), std::move(goal));
    m_ownText = std::move(place);
}

void LessonFlow::StartLines(Practice mode, int lesson, std::vector<std::string> lines, LessonGoal goal)
{
    Session.PracticeMode = mode;
    Session.AutoMode = false;
    ResetSession();
    m_courseLesson = lesson;
    m_courseLines = std::move(lines);
    m_goal = std::move(goal);
    Session.TargetText = m_courseLines.front();
    m_view.ShowGuide(GuideCharacter());
    m_view.ShowLessonLine(Session.TargetText);
    ShowProgress();
    m_view.SpeakKey(Session.CharacterAtCursor());
}

void LessonFlow::PauseTime()
{
    LessonTime.Pause(Now());
}

void LessonFlow::ResumeTime()
{
    if (!m_paused)
        LessonTime.Resume(Now());
}

bool LessonFlow::Pausable() const
{
    return !Session.AutoMode && Session.PracticeMode != Practice::Demonstration && !Session.TargetText.empty() &&
           !Session.FullyTyped() && (LessonTime.Started() || m_scrolling);
}

bool LessonFlow::Pause()
{
    if (m_paused || !Pausable())
        return false;
    m_paused = true;
    m_pausedAt = Now();
    LessonTime.Pause(m_pausedAt);
    m_view.ShowPause(true);
    ShowProgress();
    return true;
}

void LessonFlow::Resume()
{
    if (!m_paused)
        return;
    m_paused = false;
    const std::int64_t now = Now();
    LessonTime.Resume(now);
    // The time paused is not the next key's either.
    if (m_lastCorrectAt)
        *m_lastCorrectAt += now - m_pausedAt;
    m_view.ShowPause(false);
    ShowLineAgain();
    ShowProgress();
}

void LessonFlow::TogglePause()
{
    if (m_paused)
        Resume();
    else
        Pause();
}

void LessonFlow::ShowLineAgain()
{
    if (m_hiddenDictation)
        m_view.ShowHiddenLine(DictationMessage());
    else if (!m_scrolling)
        m_view.ShowTypedLine(Session.TypedText, Session.TargetText);
    // The scrolling line is drawn again by its next step.
}

unsigned char LessonFlow::GuideCharacter() const
{
    if (m_hiddenDictation && m_revealedAt != Session.Cursor)
        return 0;
    return Session.CharacterAtCursor();
}
