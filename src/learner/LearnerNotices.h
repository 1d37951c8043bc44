#pragma once

#include <functional>
#include <optional>

#include <QString>

// What the learner's records ask of the learner and tell them: the windows put it on the screen, tests write it
// down. The records themselves show nothing.
class LearnerNotices
{
public:
    virtual ~LearnerNotices() = default;

    // The one-line prompt: the text typed when "OK" is chosen, nothing otherwise.
    virtual std::optional<QString> AskText(const QString &title, const QString &prompt, int maxLength) = 0;
    // A message box, with the warning icon or the information one.
    virtual void ShowMessage(const QString &title, const QString &text, bool warning) = 0;
    // Runs a save whose failure the learner is told of (in the error box) and that goes no further.
    virtual void Guarded(const std::function<void()> &save) = 0;
};
