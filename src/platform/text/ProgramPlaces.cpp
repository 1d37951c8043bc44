#include "platform/text/ProgramPlaces.h"

#include <pwd.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

// The user's data folder as the XDG rule has it: $XDG_DATA_HOME when it is an absolute path (a relative one
// would make the learners' files depend on the folder the program was started from), else "~/.local/share",
// the home taken from $HOME or, without it, from the user's account. Empty when no home can be found.
QString UserDataFolder()
{
    const QString data = QFile::decodeName(qgetenv("XDG_DATA_HOME"));
    if (QDir::isAbsolutePath(data))
        return data;
    QString home = QFile::decodeName(qgetenv("HOME"));
    if (!QDir::isAbsolutePath(home)) {
        const passwd *account = ::getpwuid(::geteuid());
        home = account && account->pw_dir ? QFile::decodeName(account->pw_dir) : QString();
    }
    if (!QDir::isAbsolutePath(home))
        return QString();
    return WithSlash(home) + QStringLiteral(".local/share");
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
    const QString data = UserDataFolder();
    if (data.isEmpty())
        return WithSlash(filesFolder);
    return WithSlash(WithSlash(data) + ProgramName);
}

} // namespace places
