#include "learner/LearnerName.h"

#include <sys/stat.h>

#include <QFile>

namespace learnername {

namespace {

// The longest name a folder may have on the file systems the program runs on.
constexpr qsizetype LongestName = 255;

bool IsControl(char32_t c)
{
    const QChar::Category category = QChar::category(c);
    return category == QChar::Other_Control || category == QChar::Separator_Line ||
           category == QChar::Separator_Paragraph;
}

// Characters that show nothing: the formatting ones (zero widths, joiners, direction marks and overrides, the soft
// hyphen, the byte order mark...), and the few letters and marks that are drawn as blanks.
bool IsInvisible(char32_t c)
{
    switch (c) {
    case 0x034F: // combining grapheme joiner
    case 0x115F:
    case 0x1160:
    case 0x3164:
    case 0xFFA0: // Hangul fillers
    case 0x17B4:
    case 0x17B5: // Khmer inherent vowels
    case 0x2800: // Braille blank
        return true;
    default: return QChar::category(c) == QChar::Other_Format || (c >= 0xFE00 && c <= 0xFE0F);
    }
}

} // namespace

bool IsRealFolder(const QString &path)
{
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

QString Normalised(const QString &typed)
{
    QString name;
    name.reserve(typed.size());
    for (const QChar c : typed)
        name += c.category() == QChar::Separator_Space ? QChar(QLatin1Char(' ')) : c;
    // Only spaces go: a line break or a tab at either end is no space, and refuses the name.
    qsizetype start = 0, end = name.size();
    while (start < end && name[start] == QLatin1Char(' '))
        ++start;
    while (end > start && name[end - 1] == QLatin1Char(' '))
        --end;
    return name.mid(start, end - start).normalized(QString::NormalizationForm_C);
}

bool Acceptable(const QString &programFolder, const QString &name)
{
    if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral("..") ||
        name.compare(LessonFolder, Qt::CaseInsensitive) == 0)
        return false;
    if (QFile::encodeName(name).size() > LongestName)
        return false;
    for (const char32_t c : name.toUcs4()) {
        if (c == U'/' || c == U'\\' || c == 0 || IsControl(c) || IsInvisible(c))
            return false;
    }
    // Anything already standing under that name must be a learner's folder.
    struct stat status {};
    const QByteArray path = QFile::encodeName(programFolder + name);
    return ::lstat(path.constData(), &status) != 0 || S_ISDIR(status.st_mode);
}

} // namespace learnername
