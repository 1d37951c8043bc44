#pragma once

#include <QString>

// One copy of the program per learner: the copy that identifies a learner holds an advisory lock (flock) on a file
// of the learner's folder until it ends, and a second copy asking for the same name finds it taken. The lock goes
// with the process, so a copy that crashed leaves nothing to clean up.
class LearnerLock
{
public:
    enum class Outcome {
        Held,
        // Another copy of the program holds it.
        Busy,
        // The lock file cannot be made (a read-only folder): nothing can be saved there either, so the run goes on.
        Unavailable,
    };

    // The lock file beside the history file.
    static inline const QString FileName = QStringLiteral("Config.txt.lock");

    LearnerLock() = default;
    LearnerLock(const LearnerLock &) = delete;
    LearnerLock &operator=(const LearnerLock &) = delete;
    ~LearnerLock();

    // Takes the lock of `folder`, releasing any held before.
    Outcome Take(const QString &folder);
    void Release();
    bool Held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};
