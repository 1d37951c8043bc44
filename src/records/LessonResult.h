#pragma once

#include "records/HistoryBlock.h"

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
