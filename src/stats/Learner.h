#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <QString>

#include "stats/CourseProgress.h"
#include "stats/HistoryBlock.h"
#include "stats/KeyFigures.h"
#include "stats/LearnerLock.h"

class TStatistiques;
class UserDialogs;

// The learner of this run: the name given at the prompt, their folder among the learners', the image of their
// history file and the lock that keeps a second copy of the program away. Identify runs once, on the main
// window's first activation; SaveHistory after each recorded result.
//
// Kept true: nothing is read or written for a name that was refused; a history that was not read whole and clean
// is kept aside by the first save, never saved over.
class Learner
{
public:
    explicit Learner(UserDialogs &dialogs) : m_dialogs(dialogs) {}
    Learner(const Learner &) = delete;
    Learner &operator=(const Learner &) = delete;

    // Where the learners' folders are, ending with "/".
    QString ProgramFolder;
    // As typed at the prompt; empty until it is accepted.
    QString UserName;
    ::HistoryBlock HistoryBlock;
    LearnerLock Lock;

    QString Folder() const { return ProgramFolder + UserName; }
    QString HistoryPath() const { return Folder() + QStringLiteral("/Config.txt"); }

    // The name prompt, the checks of the name and of the folder, the lock, and the history loaded into the
    // window's two series. False when the learner was refused (the warning has been shown; the program ends).
    // A history that cannot be read throws its French text, with the name kept for the saves to come.
    bool Identify(TStatistiques &window);

    // Writes the window's points into the history file.
    void SaveHistory(const TStatistiques &window);

    // The learner's progress through the course: read once identified, saved after each finished course lesson
    // with the same safe save as the history. A file that cannot be read is reported, the course starts afresh,
    // and the first save keeps the old file aside, never over it.
    CourseProgress Progress;
    QString ProgressPath() const { return Folder() + QStringLiteral("/Parcours.txt"); }
    void LoadProgress(int lessonCount);
    void RecordCourseAttempt(int lesson, double speed, double success, double goalSuccess);

    // The learner's figures for each key typed: read once identified, added to by every lesson, saved at the end
    // of every recorded lesson with the same safe save; a file that cannot be read is treated as the progress is.
    KeyFigures Keys;
    QString KeysPath() const { return Folder() + QStringLiteral("/Touches.txt"); }
    void LoadKeys();
    void SaveKeys();

    // The learner's best score at the game (0 before any, or without a learner), and a better one kept.
    std::int64_t BestScore() const;
    void KeepBestScore(std::int64_t previous, std::int64_t score);

private:
    bool Refuse(const QString &text);
    // Says where a save kept the old file (its %1), when it kept one.
    void TellKeptAside(const QString &text, const QString &aside);
    // Reads one of the learner's own files into `parse`, which says whether it understood it. A file that cannot
    // be read or understood gets the warning (its %1 the path) and is to be kept aside by the next save.
    void LoadFile(const QString &path, const std::function<bool(const std::string &)> &parse, bool &keepAside,
                  const QString &warning);
    // Saves one of the learner's own files safely, keeping the old one aside if it was not understood.
    void SaveFile(const QString &path, const std::string &bytes, bool &keepAside, const QString &keptAside);

    UserDialogs &m_dialogs;
    bool m_keepHistoryAside = false;
    bool m_keepProgressAside = false;
    bool m_keepKeysAside = false;
};
