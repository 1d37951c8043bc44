#include "platform/dialogs/UserDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QVariant>
#include <QWidget>

#include "platform/dialogs/TOpenDialog.h"
#include "platform/help/HelpViewer.h"

namespace {

// The window's own property: no program-wide state, and it goes with the window.
constexpr char Property[] = "tutorUserDialogs";

} // namespace

void UserDialogs::Attach(QWidget *window, UserDialogs &dialogs)
{
    window->setProperty(Property, QVariant::fromValue(static_cast<void *>(&dialogs)));
}

UserDialogs &UserDialogs::Of(const QObject *object)
{
    for (; object; object = object->parent()) {
        const QVariant attached = object->property(Property);
        if (attached.isValid())
            return *static_cast<UserDialogs *>(attached.value<void *>());
    }
    return ScreenDialogs::Instance();
}

ScreenDialogs &ScreenDialogs::Instance()
{
    static ScreenDialogs dialogs;
    return dialogs;
}

void ScreenDialogs::ShowError(const QString &boxText)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Tapotis2002"), boxText, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box.exec();
}

void ScreenDialogs::ShowMessage(const QString &title, const QString &text, dialogs::Icon icon)
{
    dialogs::Message(title, text, icon);
}

bool ScreenDialogs::Confirm(const QString &title, const QString &text)
{
    return dialogs::Confirm(title, text);
}

std::optional<QString> ScreenDialogs::AskText(const QString &title, const QString &prompt, int maxLength)
{
    return dialogs::InputQuery(title, prompt, maxLength);
}

QString ScreenDialogs::ChooseFile(QWidget *parent, const TOpenDialog &dialog, const QString &title)
{
    return dialog.Execute(parent, title);
}

void ScreenDialogs::ShowModal(QDialog &window)
{
    window.exec();
}

void ScreenDialogs::OpenHelp(const QString &helpFile, std::function<void()> whenAllClosed)
{
    helpviewer::ShowTopics(helpFile, std::move(whenAllClosed), [](const QString &title, const QString &text) {
        dialogs::Message(title, text, dialogs::Icon::Warning);
    });
}
