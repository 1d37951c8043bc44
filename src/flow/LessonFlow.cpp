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

std::int64_t LessonFlow::Now() const
{
    if (SteadyMilliseconds)
        return SteadyMilliseconds();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void LessonFlow::CountKey(unsigned char expected, unsigned char typed, bool correct, bool firstOfLine)
{
    if (!Keys || Session.AutoMode || !keymap::HasKey(expected))
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
    const unsigned char expected = Session.CharacterAtCursor();
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
        } else if (verdict.FinishesLesson) {
            FinishLesson();
        } else if (verdict.StartsChrono)
            m_view.StartChrono();
    } else {
        m_view.PlayCue(Cue::Wrong);
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
    const LessonFigures figures = ComputeFigures(Session, static_cast<long double>(LessonTime.Elapsed(Now())));
    // The lesson's lines are done with: a key typed past its end is wrong, and starts no line again.
    const int lesson = m_courseLesson;
    m_courseLesson = 0;
    m_courseLines.clear();
    m_courseLine = 0;
    LessonResult result;
    result.Speed = figures.Speed;
    result.Success = figures.Success;
    result.Kept = {static_cast<double>(RoundHalfEven(figures.Speed)), static_cast<double>(figures.Success)};
    result.CourseLesson = lesson;
    m_results.Record(result);
    m_view.ShowResult(result);
}

void LessonFlow::ChronoTick()
{
    ++Session.ChronoTicks;
    m_view.ShowChrono(Session.ChronoTicks);
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
    m_view.ClearLessonDisplay();
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
    const std::string result = TrimLessonLine(LessonLines.front());
    if (result.empty())
        throw TutorError(QStringLiteral("La première ligne du fichier %1 est vide : aucun texte à taper").arg(path));
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
    const std::string text =
        DictationLine(cp1252::FromUtf8OrCp1252(safefile::ReadWholeFile(textPath, safefile::LessonLimit)));
    if (text.empty())
        throw TutorError(
            QStringLiteral("La première ligne du fichier %1 est vide : aucun texte à taper").arg(textPath));
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
        m_view.ShowHiddenLine(
            cp1252::FromUnicodeText(QStringLiteral("Écoutez la dictée, puis tapez ce que vous entendez.")));
        m_view.PlayRecording(QFileInfo(recordingPath).fileName(), recording);
    } else {
        m_view.ShowLessonLine(Session.TargetText);
    }
    m_view.OfferRecordingAgain(recorded);
    m_view.SpeakKey(GuideCharacter());
}

void LessonFlow::StartCourseLesson(int lesson, std::vector<std::string> lines)
{
    if (lines.empty() || lines.front().empty())
        throw TutorError(QStringLiteral("La leçon %1 du parcours n'a aucun texte à taper").arg(lesson));
    StartLines(Practice::Course, lesson, std::move(lines));
}

void LessonFlow::StartDrill(std::vector<std::string> lines)
{
    if (lines.empty() || lines.front().empty())
        throw TutorError(QStringLiteral("L'entraînement sur vos touches n'a aucun texte à taper"));
    StartLines(Practice::Drill, 0, std::move(lines));
}

void LessonFlow::StartLines(Practice mode, int lesson, std::vector<std::string> lines)
{
    Session.PracticeMode = mode;
    Session.AutoMode = false;
    ResetSession();
    m_courseLesson = lesson;
    m_courseLines = std::move(lines);
    Session.TargetText = m_courseLines.front();
    m_view.ShowGuide(GuideCharacter());
    m_view.ShowLessonLine(Session.TargetText);
    m_view.SpeakKey(Session.CharacterAtCursor());
}

void LessonFlow::PauseTime()
{
    LessonTime.Pause(Now());
}

void LessonFlow::ResumeTime()
{
    LessonTime.Resume(Now());
}

unsigned char LessonFlow::GuideCharacter() const
{
    if (m_hiddenDictation && m_revealedAt != Session.Cursor)
        return 0;
    return Session.CharacterAtCursor();
}
