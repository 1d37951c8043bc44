#pragma once

#include <cstdint>
#include <string>

// The kind of lesson running. Each lesson file is numbered by it: "Dictees/Level<n>.dll".
enum class Practice : std::int32_t {
    None = 0,          // no lesson started yet
    Training = 1,      // the training line, redrawn as it is typed
    Sentences = 2,     // the sentences, and a dictation without a recording: shown and redrawn like them
    Scrolling = 3,     // the scrolling text, and a dictation read aloud, whose text stays hidden
    Demonstration = 4, // typed by the program itself, without key names
    Course = 5,        // a lesson of the course: its lines shown and redrawn one after the other; no lesson file
    Drill = 6,         // lines made for the learner's weakest keys, run as a course lesson, outside its progress
    OwnText = 7,       // lines of a text the learner brought, run as a course lesson, outside its progress
};

// The one record of the running lesson and the rules that judge each character typed. Pure: no widgets, no
// timers, no clock. Positions are 1-based; characters are Windows-1252 bytes.
//
// Kept true: KeyCount = CorrectCount + ErrorCount; TypedText is the first Cursor - 1 characters of TargetText;
// CorrectCount = Cursor - 1, except in a course lesson, whose counters go on over all its lines.
struct TypingSession {
    std::string TargetText;
    std::int32_t Cursor = 1;
    std::string TypedText;
    std::int32_t KeyCount = 0;
    std::int32_t CorrectCount = 0;
    std::int32_t ErrorCount = 0;
    std::int32_t ChronoTicks = 0;
    Practice PracticeMode = Practice::None;
    bool AutoMode = false;

    // Clears the lesson and its counters; the practice mode and the automatic flag stay.
    void Reset();

    // The character the learner must type next; NUL (on no key) once the whole text is typed, or without text.
    unsigned char CharacterAtCursor() const;
    bool FullyTyped() const { return static_cast<std::size_t>(Cursor) > TargetText.size(); }
};

// What the window must do after one character, besides the guide, counters and pronunciation that follow
// every character.
struct KeyVerdict {
    bool Correct = false;
    bool RedrawTargetLine = false; // training, sentences, the course and drills, after a correct key
    bool FinishesLesson = false;   // the last character, typed by the learner
    bool StartsChrono = false;     // the first correct character that does not finish the lesson
};

// Judges one character against the next character of the target text and updates the record. The comparison
// is of the bytes, exact. Once the text is typed, or while there is none, every character is wrong; NUL,
// which stands for a character the code page cannot hold, is always wrong.
KeyVerdict JudgeKey(TypingSession &session, unsigned char key, bool chronoRunning);

// The shortest time a lesson is taken to have lasted: one tick of the chronometer. A one-key lesson, or one
// whose keys all came within the same instant, still gets a finite speed.
constexpr long double ShortestLessonMs = 33;

// The two figures of a finished lesson, unrounded, in extended precision: characters per minute, that is the
// correct keys ((KeyCount - ErrorCount)) over the minutes between the lesson's first correct key and its last key
// (elapsedMs, at least ShortestLessonMs), and the percentage of correct keys (100 - ErrorCount / KeyCount * 100).
// The chronometer's tick count plays no part: its ticks are not seconds.
struct LessonFigures {
    long double Speed = 0;
    long double Success = 0;
};
LessonFigures ComputeFigures(const TypingSession &session, long double elapsedMs);

// Nearest whole number, halves to the even neighbour (87.5 gives 88, 62.5 gives 62).
long long RoundHalfEven(long double value);
