#include "stats/LearnerName.h"

#include <sys/stat.h>

#include <QFile>

namespace learnername {

namespace {

// The longest name a folder may have on the file systems the program runs on.
constexpr qsizetype LongestName = 255;

bool IsControl(QChar c)
{
    const QChar::Category category = c.category();
    return category == QChar::Other_Control || category == QChar::Separator_Line ||
           category == QChar::Separator_Paragraph;
}

} // namespace

bool IsRealFolder(const QString &path)
{
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool Acceptable(const QString &programFolder, const QString &name)
{
    if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral("..") ||
        name.compare(LessonFolder, Qt::CaseInsensitive) == 0)
        return false;
    if (QFile::encodeName(name).size() > LongestName)
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QChar(0) || IsControl(c))
            return false;
    }
    // Anything already standing under that name must be a learner's folder.
    struct stat status {};
    const QByteArray path = QFile::encodeName(programFolder + name);
    return ::lstat(path.constData(), &status) != 0 || S_ISDIR(status.st_mode);
}

} // namespace learnername
