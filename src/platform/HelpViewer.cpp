#include "platform/HelpViewer.h"

#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QPointer>
#include <QTextBrowser>

namespace helpviewer {

void ShowTopics(const QString &helpFile)
{
    QFile file(helpFile);
    if (!file.open(QIODevice::ReadOnly)) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Aide"),
                        QStringLiteral("Le fichier d'aide %1 est introuvable.").arg(helpFile), QMessageBox::Ok);
        box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
        box.exec();
        return;
    }
    // One viewer for the run: a second request brings it back to the front with the file read anew.
    static QPointer<QTextBrowser> viewer;
    if (!viewer) {
        viewer = new QTextBrowser;
        viewer->setAttribute(Qt::WA_DeleteOnClose);
        viewer->setObjectName(QStringLiteral("HelpViewer"));
        viewer->setWindowTitle(QStringLiteral("Aide de Tapotis2002 - Rubriques d'aide"));
        viewer->setOpenExternalLinks(false);
        viewer->resize(640, 520);
    }
    viewer->setHtml(QString::fromUtf8(file.readAll()));
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
}

} // namespace helpviewer
