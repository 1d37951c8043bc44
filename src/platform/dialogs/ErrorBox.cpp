#include "platform/dialogs/ErrorBox.h"

#include <exception>

#include "platform/dialogs/UserDialogs.h"
#include "platform/text/TutorError.h"

namespace errorbox {

QString BoxText(const QString &message)
{
    if (message.endsWith(QLatin1Char('.')))
        return message;
    return message + QLatin1Char('.');
}

void Show(const QObject *context, const QString &message)
{
    UserDialogs::Of(context).ShowError(BoxText(message));
}

bool Guarded(const QObject *context, const std::function<void()> &handler)
{
    try {
        handler();
        return true;
    } catch (const TutorError &error) {
        Show(context, error.Text());
    } catch (const std::exception &error) {
        // Only the program's own failures carry a French text; anything else is a fault of ours, named as such.
        Show(context, QStringLiteral("Erreur inattendue : %1").arg(QString::fromLocal8Bit(error.what())));
    } catch (...) {
        Show(context, QStringLiteral("Erreur inattendue"));
    }
    return false;
}

} // namespace errorbox
