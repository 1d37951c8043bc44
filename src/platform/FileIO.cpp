#include "platform/FileIO.h"

#include <QFile>

#include "platform/TutorError.h"

std::string ReadWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TutorError(QStringLiteral("Impossible d'ouvrir le fichier %1").arg(path));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw TutorError(QStringLiteral("Impossible de lire le fichier %1").arg(path));
    return bytes.toStdString();
}
