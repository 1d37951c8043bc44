#pragma once

#include <QString>

// The learner's own folder, held open for the whole run. The folder that holds the learners' folders is opened from
// its parent, which the user chose (the program's folder or their data folder), and the learner's folder from it,
// each step without following a link; every file of the learner is then looked up in the descriptor held, so
// nothing put on the way later leads the saves elsewhere. The copy of the program that holds the folder keeps an
// advisory lock (flock) on that same descriptor: a second copy asking for the same learner finds it taken, and
// since nothing but the folder itself carries the lock, no file put in its way can turn it off. The lock goes with
// the process, so a copy that crashed leaves nothing to clean up.
//
// Kept true: a folder held is a real folder, belongs to the user running the program, may be written by no one
// else, and is locked.
class LearnerFolder
{
public:
    enum class Outcome {
        Held,
        // Another copy of the program holds the lock.
        Busy,
        // The folder of the learners could not be opened or made (Error() says why: ELOOP or ENOTDIR for a link
        // or a file in its place).
        NoLearnersFolder,
        // The learner's folder could not be made or opened (Error() says why).
        CannotOpen,
        // A link, a file or anything but a folder stands under the learner's name.
        NotAFolder,
        // The folder belongs to another user.
        NotOwned,
        // Users other than its owner may write in it.
        OpenToOthers,
        // The file system refuses the lock (Error() says why).
        CannotLock,
    };

    LearnerFolder() = default;
    LearnerFolder(const LearnerFolder &) = delete;
    LearnerFolder &operator=(const LearnerFolder &) = delete;
    ~LearnerFolder();

    // Opens and locks the folder `name` of `learners` (ending with "/"), releasing any held before. With `make`,
    // the folder of the learners and the learner's folder are made first where missing, private to the user
    // (0700); `made` then tells whether the learner's folder is new.
    Outcome Take(const QString &learners, const QString &name, bool make = false, bool *made = nullptr);

    // The folder that the learner's name leads to now, for a save: the one held while it still is. When the
    // learner's folder was removed, CannotOpen (error ENOENT); when another real folder was put in its place
    // since, that one is checked and locked as the first was.
    Outcome Reach();

    void Release();
    bool Held() const { return m_folder >= 0; }
    // The descriptor of the folder held, -1 without one.
    int Descriptor() const { return m_folder; }
    // The system's error number of the last CannotOpen, NoLearnersFolder or CannotLock.
    int Error() const { return m_error; }

private:
    Outcome Fail(Outcome outcome, int error);

    QString m_learners;
    QString m_name;
    int m_folder = -1;
    int m_error = 0;
};
