#pragma once

#include "learner/LearnerNotices.h"
#include "platform/dialogs/ErrorBox.h"
#include "platform/dialogs/UserDialogs.h"

// The learner's records speaking through a window's dialogs: the prompt and message boxes of `dialogs`, and the
// error box of the window `context` stands in.
class DialogNotices : public LearnerNotices
{
public:
    DialogNotices(UserDialogs &dialogs, const QObject *context) : m_dialogs(dialogs), m_context(context) {}

    std::optional<QString> AskText(const QString &title, const QString &prompt, int maxLength) override
    {
        return m_dialogs.AskText(title, prompt, maxLength);
    }
    void ShowMessage(const QString &title, const QString &text, bool warning) override
    {
        m_dialogs.ShowMessage(title, text, warning ? dialogs::Icon::Warning : dialogs::Icon::Information);
    }
    void Guarded(const std::function<void()> &save) override { errorbox::Guarded(m_context, save); }

private:
    UserDialogs &m_dialogs;
    const QObject *m_context;
};
