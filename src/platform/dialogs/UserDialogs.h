#pragma once

#include <functional>
#include <optional>

#include <QString>

#include "platform/dialogs/Dialogs.h"

class QDialog;
class QObject;
class QWidget;
class TOpenDialog;

// Every dialog the program puts before the learner, behind one interface: the error box, the message boxes, the
// name prompt, the file chooser, the modal windows and the help. A window is handed the dialogs it uses; the
// program hands the screen's, a test a scripted learner. Controls find the dialogs of the window they stand in.
class UserDialogs
{
public:
    virtual ~UserDialogs() = default;

    // The standard error box, with its text as shown (ending with a period).
    virtual void ShowError(const QString &boxText) = 0;
    virtual void ShowMessage(const QString &title, const QString &text, dialogs::Icon icon) = 0;
    // A question answered "Oui" (true) or "Non", "Non" being the default.
    virtual bool Confirm(const QString &title, const QString &text) = 0;
    // The one-line prompt: the text typed when "OK" is chosen, nothing otherwise.
    virtual std::optional<QString> AskText(const QString &title, const QString &prompt, int maxLength) = 0;
    // The file chosen in `dialog`, or empty when the learner cancels.
    virtual QString ChooseFile(QWidget *parent, const TOpenDialog &dialog, const QString &title) = 0;
    // Shows `window` and returns once the learner has closed it.
    virtual void ShowModal(QDialog &window) = 0;
    // The help's "Help Topics" window on `helpFile`; whenAllClosed runs once no help window is left.
    virtual void OpenHelp(const QString &helpFile, std::function<void()> whenAllClosed) = 0;

    // Hands `dialogs` to `window` and everything inside it, for as long as the window lives.
    static void Attach(QWidget *window, UserDialogs &dialogs);
    // The dialogs of the window `object` stands in (through its parents), or the screen's.
    static UserDialogs &Of(const QObject *object);
};

// The real dialogs, on the screen.
class ScreenDialogs : public UserDialogs
{
public:
    static ScreenDialogs &Instance();

    void ShowError(const QString &boxText) override;
    void ShowMessage(const QString &title, const QString &text, dialogs::Icon icon) override;
    bool Confirm(const QString &title, const QString &text) override;
    std::optional<QString> AskText(const QString &title, const QString &prompt, int maxLength) override;
    QString ChooseFile(QWidget *parent, const TOpenDialog &dialog, const QString &title) override;
    void ShowModal(QDialog &window) override;
    void OpenHelp(const QString &helpFile, std::function<void()> whenAllClosed) override;
};
