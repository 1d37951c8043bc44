#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QString>

#include "learner/LearnerFolder.h"
#include "learner/LearnerNotices.h"
#include "learner/OwnTexts.h"
#include "platform/input/KeyboardLayouts.h"
#include "records/CourseProgress.h"
#include "records/HistoryBlock.h"
#include "records/KeyFigures.h"
#include "records/LessonAttempts.h"
#include "records/LessonResult.h"

// The learner of this run and everything kept for them: the name given at the prompt, their folder among the
// learners' (held open and locked, so that a second copy of the program stays away), their results with the image
// of their history file, their course progress, each lesson's attempts, key figures and best score. Identify runs once,
// on the main window's first activation; the saves after each result, which the lesson flow hands here. It shows
// nothing itself: what it asks and tells goes through the notices it is given.
//
// Kept true: nothing is read or written for a name that was refused; every file of the learner is read and written
// in the folder held; a file that was not read whole and clean, or not read at all, is kept aside by the first
// save, never saved over; one file that cannot be read never keeps the others from being read.
class Learner : public ResultSink
{
public:
    explicit Learner(LearnerNotices &notices) : m_notices(notices) {}
    Learner(const Learner &) = delete;
    Learner &operator=(const Learner &) = delete;

    // Where the learners' folders are, ending with "/".
    QString ProgramFolder;
    // As typed at the prompt, without the spaces at either end and in Unicode normal form C; empty until it is
    // accepted.
    QString UserName;
    ::HistoryBlock HistoryBlock;
    LearnerFolder Place;

    QString Folder() const { return ProgramFolder + UserName; }
    QString HistoryPath() const { return Folder() + QStringLiteral("/Config.txt"); }

    // The name prompt, the checks of the name and of the folder, the lock, the saves a crash left unfinished, the
    // history's results, then the progress through the course's `lessonCount` lessons and their attempts, the key
    // figures (only of the characters `onKeyboard` says a key gives) and the best score. False when the learner was
    // refused (the warning has been shown; the program ends). A history that cannot be read throws its French text once
    // the other files are loaded, with the name kept for the saves to come.
    bool Identify(int lessonCount, const std::function<bool(unsigned char)> &onKeyboard);

    // One result per recorded lesson, as the history keeps them: those read from the history file first, then
    // those of this run.
    std::vector<HistoryRecord> Results;
    std::size_t ResultsRead = 0;
    // A finished lesson: a course lesson's attempt goes to the progress, a course lesson's or a drill's to the
    // attempts, a session of an own text's end to the text's place, the result to the history, then the key
    // figures are saved. The history's failure throws (it says
    // first what fails with the folder); the progress's, the attempts' and the key figures' are told and go no
    // further: they stay counted and go with the next save.
    void Record(const LessonResult &result) override;
    // Writes the results into the history file.
    void SaveHistory();

    // The learner's progress through the course of their keyboard: read once identified, saved after each finished
    // course lesson with the same safe save as the history. A file that cannot be read is reported, the course
    // starts afresh, and the first save keeps the old file aside, never over it.
    CourseProgress Progress;
    QString ProgressPath() const { return KeyboardFile(QStringLiteral("Parcours")); }
    void LoadProgress(int lessonCount);
    void RecordCourseAttempt(int lesson, double speed, double success);

    // Each course lesson's attempts and the drills', the latest LessonAttempts::Kept of each, on the learner's
    // keyboard: read once identified, saved after each finished course lesson or drill, a file that cannot be read
    // treated as the progress is.
    LessonAttempts Attempts;
    QString AttemptsPath() const { return KeyboardFile(QStringLiteral("Essais")); }
    void LoadAttempts(int lessonCount);

    // Keeps the attempt of a finished course lesson (`lesson` from 1) or drill (LessonAttempts::Drills), dated
    // now, and saves the attempts.
    void RecordLessonAttempt(int lesson, const LessonResult &result);

    // The keyboard the learner types on. Until they choose one it is the desktop's, when the program knows it
    // (DesktopKeyboard, told before the identification), else the French AZERTY; their choice is kept in their folder
    // with the same safe save, and a file that cannot be read is treated as the progress is. Each keyboard has its
    // own course progress, attempts and key figures: choosing another saves those of the keyboard left that are not
    // saved yet, then reads those of the one chosen.
    layouts::Layout Keyboard = layouts::Layout::FrenchAzerty;
    std::optional<layouts::Layout> DesktopKeyboard;
    // The desktop's keyboard as the X server names it ("us", "ch(fr_nodeadkeys)"), told with DesktopKeyboard; empty
    // when the desktop does not say.
    QString DesktopName;
    QString KeyboardPath() const { return Folder() + QStringLiteral("/Clavier.txt"); }
    void LoadKeyboard();
    void ChooseKeyboard(layouts::Layout layout);
    // What the learner is told when the keyboard the course follows may not be the desktop's: another keyboard, or
    // one the program does not know. Nothing when they agree, or when the desktop does not say.
    std::optional<QString> KeyboardNotice() const;
    // A file kept per keyboard: "<stem>.txt" for the French AZERTY, "<stem>_fr_bepo.txt" and the like for the
    // others, in the learner's folder.
    QString KeyboardFile(const QString &stem) const;

    // The learner's figures for each key typed: read once identified, added to by every lesson, saved at the end
    // of every recorded lesson with the same safe save; a file that cannot be read is treated as the progress is,
    // and so is one that holds figures of characters no key gives (typing never brings them up to date): they are
    // left out, and the file is kept aside by the first save.
    KeyFigures Keys;
    // Each keyboard has its own: "Touches.txt" for the French AZERTY, "Touches_fr_bepo.txt" and the like for the
    // others.
    QString KeysPath() const { return KeyboardFile(QStringLiteral("Touches")); }
    void LoadKeys(const std::function<bool(unsigned char)> &onKeyboard);
    // Whether a key of the learner's keyboard gives the character: for the French AZERTY, as told at the
    // identification; for the others, as their typing table says.
    bool OnKeyboard(unsigned char ch) const;
    void SaveKeys();

    // The texts the learner brought to practise on, in the folder "Textes": read when the learner opens their list
    // (a text that cannot be read is reported there and left on the disk), saved as each is added, and each
    // session's end kept as the place the next one starts from.
    OwnTexts Texts;
    void LoadTexts();
    // Saves a new text (UTF-8, as made typeable); throws the French text beyond the limits or when it cannot be saved.
    const OwnTexts::Entry &AddText(const std::string &title, const std::string &text);
    void RemoveText(const std::string &file);
    // The text's lines, read from its file.
    std::vector<std::string> TextLines(const std::string &file);
    // Keeps where the next session of the text starts.
    void KeepTextPosition(const std::string &file, std::size_t position);

    // The learner's best score at the game (0 before any, for a damaged file, or without a learner), and a better
    // one kept; a file that cannot be read is reported when the learner is identified and kept aside by the save.
    std::int64_t BestScore() const;
    void KeepBestScore(std::int64_t previous, std::int64_t score);
    QString ScorePath() const;

private:
    bool Refuse(const QString &text);
    // Why the learner's folder could not be had, in French (%1 of each text is the folder).
    QString FolderProblem(LearnerFolder::Outcome outcome) const;
    // The folder held, for a save: throws the French text when the learner's name no longer leads to a folder
    // that may be used.
    int FolderForSave();
    // Finishes or removes what a crash left of a save: of the learner's own files (history, keyboard, best score),
    // and of their keyboard's (progress, attempts, key figures) before these are read.
    void SettleLeftovers();
    void SettleKeyboardLeftovers();
    // The course progress, the attempts and the key figures of the learner's keyboard, once its leftovers are
    // settled.
    void LoadKeyboardRecords();
    // Saved the same way as after a lesson; the flags say what a failed save left to save.
    void SaveProgress();
    void SaveAttempts();
    // Settles one leftover and tells where the file it replaced was kept.
    void Settle(const QString &path, std::size_t limit, const std::function<bool(const std::string &)> &complete);
    void LoadScore();
    // Says where a save kept the old file (its %1), when it kept one.
    void TellKeptAside(const QString &text, const QString &aside);
    // Reads one of the learner's own files into `parse`, which says whether it understood it. A file that cannot
    // be read or understood gets the warning (its %1 the path) and is to be kept aside by the next save.
    void LoadFile(const QString &path, std::size_t limit, const std::function<bool(const std::string &)> &parse,
                  bool &keepAside, const QString &warning);
    // Saves one of the learner's own files safely, keeping the old one aside if it was not understood.
    void SaveFile(const QString &path, const std::string &bytes, bool &keepAside, const QString &keptAside);

    LearnerNotices &m_notices;
    std::function<bool(unsigned char)> m_onFrenchKeyboard;
    int m_lessonCount = 0;
    // A finished lesson's progress or attempts that could not be saved yet.
    bool m_progressUnsaved = false;
    bool m_attemptsUnsaved = false;
    // Until a file has been found missing or read whole and clean, it is kept aside rather than saved over.
    bool m_keepHistoryAside = true;
    bool m_keepProgressAside = true;
    bool m_keepAttemptsAside = true;
    bool m_keepKeyboardAside = true;
    bool m_keepKeysAside = true;
    bool m_keepScoreAside = true;
};
