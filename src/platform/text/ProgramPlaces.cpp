#include "platform/text/ProgramPlaces.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace places {

namespace {

QString WithSlash(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

bool HoldsLessons(const QString &folder)
{
    return QFileInfo(WithSlash(folder) + QStringLiteral("Dictees")).isDir();
}

} // namespace

QString FilesFolder(const QString &executableFolder)
{
    if (HoldsLessons(executableFolder))
        return WithSlash(executableFolder);
    const QString installed = QDir::cleanPath(WithSlash(executableFolder) + QStringLiteral("../share/") + ProgramName);
    if (HoldsLessons(installed))
        return WithSlash(installed);
    return WithSlash(executableFolder);
}

QString LearnersFolder(const QString &executableFolder, const QString &filesFolder)
{
    const QFileInfo files(filesFolder);
    if (WithSlash(filesFolder) == WithSlash(executableFolder) && files.isDir() && files.isWritable())
        return WithSlash(filesFolder);
    // Without a home, the data folder is unknown: the files folder is all there is, and a learner it cannot hold
    // is refused as for any folder that cannot be made.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        return WithSlash(filesFolder);
    return WithSlash(WithSlash(data) + ProgramName);
}

} // namespace places
