#pragma once

#include <functional>
#include <optional>

#include <QDialog>
#include <QStringList>

#include "platform/dialogs/UserDialogs.h"
#include "platform/help/HelpViewer.h"

// A learner who answers every dialog at once, as the test says, and a record of what was shown. Handed to the
// window under test (UserDialogs::Attach), it replaces nothing anywhere else.
class ScriptedDialogs : public UserDialogs
{
public:
    // The error boxes' texts, and "Title: text" of every message box.
    QStringList Errors;
    QStringList Messages;
    // The text typed at the prompt before "OK"; nothing stands for "Annuler".
    std::optional<QString> Answer;
    // The file chosen in the file dialog; empty for "Annuler".
    QString ChosenFile;
    // What the learner does while a modal window is up; it is closed when this returns.
    std::function<void(QDialog &)> WhileModal;
    // "Title: text" of every question, and the answer given to each ("Oui": true).
    QStringList Questions;
    bool Confirmed = true;
    int ModalShown = 0;

    void ShowError(const QString &boxText) override { Errors << boxText; }
    void ShowMessage(const QString &title, const QString &text, dialogs::Icon) override
    {
        Messages << title + QStringLiteral(": ") + text;
    }
    bool Confirm(const QString &title, const QString &text) override
    {
        Questions << title + QStringLiteral(": ") + text;
        return Confirmed;
    }
    std::optional<QString> AskText(const QString &, const QString &, int) override { return Answer; }
    QString ChooseFile(QWidget *, const TOpenDialog &, const QString &) override { return ChosenFile; }
    void ShowModal(QDialog &window) override
    {
        ++ModalShown;
        if (WhileModal)
            WhileModal(window);
    }
    // The real help windows, whose warnings are message boxes like the others.
    void OpenHelp(const QString &helpFile, std::function<void()> whenAllClosed) override
    {
        helpviewer::ShowTopics(helpFile, std::move(whenAllClosed), [this](const QString &title, const QString &text) {
            ShowMessage(title, text, dialogs::Icon::Warning);
        });
    }
};
