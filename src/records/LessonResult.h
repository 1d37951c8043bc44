#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "records/HistoryBlock.h"

// What a course lesson or a drill asks of an attempt: its name as the learner reads it (UTF-8: "Leçon 9 : a et p",
// "Entraînement ciblé"), characters per minute and percentage of success. A lesson without goals has Speed 0.
struct LessonGoal {
    std::string Title;
    int Speed = 0;
    int Success = 0;

    bool Set() const { return Speed > 0; }
};

// A wrong key of an attempt: the line (from 0) and the position in it (from 0) of the character expected, and the
// key typed instead. Characters are Windows-1252 bytes.
struct Mistake {
    std::size_t Line = 0;
    std::size_t Position = 0;
    unsigned char Expected = 0;
    unsigned char Typed = 0;

    bool operator==(const Mistake &other) const
    {
        return Line == other.Line && Position == other.Position && Expected == other.Expected && Typed == other.Typed;
    }
};

// A session of a text the learner brought: the text (its file's name among the learner's texts), its lines of the
// session (from 0, the end excluded) and how many lines the whole text has.
struct OwnTextPlace {
    std::string Text;
    std::size_t First = 0;
    std::size_t End = 0;
    std::size_t Lines = 0;

    bool Set() const { return !Text.empty(); }
    bool Finished() const { return End >= Lines; }
};

// What a finished lesson gives: its figures as measured, what the history keeps of them, and the course lesson it
// was, if any.
struct LessonResult {
    // Characters per minute and the percentage of keys typed right, as the lesson measured them.
    long double Speed = 0;
    long double Success = 0;
    // As the history keeps them: the speed rounded to a whole number.
    HistoryRecord Kept;
    // The course lesson it finished; 0 for any other lesson, a drill too.
    int CourseLesson = 0;
    // A drill on the learner's weakest keys.
    bool Drill = false;
    // A session of the learner's own text; none for the other lessons.
    OwnTextPlace OwnText;
    // The goals of a course lesson, a drill or a session of an own text; none for the other lessons.
    LessonGoal Goal;
    // The wrong keys, the lines typed (Windows-1252) and where each wrong key was pressed.
    int Errors = 0;
    std::vector<std::string> Lines;
    std::vector<Mistake> Mistakes;
};

// Where the lesson flow hands each finished lesson's result: the learner's records.
class ResultSink
{
public:
    virtual ~ResultSink() = default;
    // Keeps the result. A failure to save it that must stop what follows (the history) throws; others are told to
    // the learner and go no further.
    virtual void Record(const LessonResult &result) = 0;
};
