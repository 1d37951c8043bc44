#include "lesson/TypingSession.h"

#include <algorithm>
#include <cmath>

void TypingSession::Reset()
{
    KeyCount = 0;
    ErrorCount = 0;
    CorrectCount = 0;
    ChronoTicks = 0;
    Cursor = 1;
    TargetText.clear();
    TypedText.clear();
}

unsigned char TypingSession::CharacterAtCursor() const
{
    if (Cursor < 1 || FullyTyped())
        return 0;
    return static_cast<unsigned char>(TargetText[static_cast<std::size_t>(Cursor - 1)]);
}

KeyVerdict JudgeKey(TypingSession &session, unsigned char key, bool chronoRunning)
{
    KeyVerdict verdict;
    ++session.KeyCount;
    const unsigned char expected = session.CharacterAtCursor();
    if (expected == 0 || key != expected) {
        ++session.ErrorCount;
        return verdict;
    }
    verdict.Correct = true;
    ++session.Cursor;
    ++session.CorrectCount;
    session.TypedText.push_back(static_cast<char>(expected));
    verdict.RedrawTargetLine = session.PracticeMode == Practice::Training ||
                               session.PracticeMode == Practice::Sentences ||
                               session.PracticeMode == Practice::Course || session.PracticeMode == Practice::Drill ||
                               session.PracticeMode == Practice::OwnText;
    if (session.FullyTyped() && !session.AutoMode)
        verdict.FinishesLesson = true;
    else if (!chronoRunning && !session.AutoMode)
        verdict.StartsChrono = true;
    return verdict;
}

LessonFigures ComputeFigures(const TypingSession &session, long double elapsedMs)
{
    LessonFigures figures;
    const long double minutes = std::max(elapsedMs, ShortestLessonMs) / 60000.0L;
    figures.Speed = static_cast<long double>(session.KeyCount - session.ErrorCount) / minutes;
    const long double keys = session.KeyCount > 0 ? session.KeyCount : 1;
    figures.Success = 100 - static_cast<long double>(session.ErrorCount) / keys * 100;
    return figures;
}

long long RoundHalfEven(long double value)
{
    const long double floor = std::floor(value);
    const long double fraction = value - floor;
    long long whole = static_cast<long long>(floor);
    if (fraction > 0.5L || (fraction == 0.5L && (whole % 2 != 0)))
        ++whole;
    return whole;
}
