#include "platform/ErrorBox.h"

#include <exception>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "platform/TutorError.h"

namespace errorbox {
namespace {

std::function<void(const QString &)> &Presenter()
{
    static std::function<void(const QString &)> presenter;
    return presenter;
}

} // namespace

QString BoxText(const QString &message)
{
    if (message.endsWith(QLatin1Char('.')))
        return message;
    return message + QLatin1Char('.');
}

void Show(const QString &message)
{
    const QString text = BoxText(message);
    if (Presenter()) {
        Presenter()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Tapotis2002"), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box.exec();
}

void SetPresenter(std::function<void(const QString &)> presenter)
{
    Presenter() = std::move(presenter);
}

bool Guarded(const std::function<void()> &handler)
{
    try {
        handler();
        return true;
    } catch (const TutorError &error) {
        Show(error.Text());
    } catch (const std::exception &error) {
        Show(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        Show(QStringLiteral("Erreur inattendue"));
    }
    return false;
}

} // namespace errorbox
