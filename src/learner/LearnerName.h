#pragma once

#include <QString>

// Which names a learner may give: a name becomes a folder of the program folder, so it must be one the file system
// can hold and must not lead anywhere else.
namespace learnername {

// The program's own folder of lessons and dictations, never a learner's.
inline const QString LessonFolder = QStringLiteral("Dictees");

// The name as it is compared and kept: spaces of any kind at both ends removed, those inside made plain spaces, and
// the Unicode normal form C, so that "Zoé", " Zoé " and a decomposed "Zoé" are one learner with one folder.
QString Normalised(const QString &typed);

// True for a name that can be a learner's folder in `programFolder` (which ends with "/"): not empty, at most 255
// bytes in UTF-8, no control character or line break, no invisible or bidirectional formatting character (a name
// that shows like another must not be another learner), no "/", "\\" or NUL, not "." or "..", not the lesson
// folder, and not the name of an entry of the program folder that is not a real folder (a file, or a link even to
// a folder).
bool Acceptable(const QString &programFolder, const QString &name);

// Whether `path` is a folder of its own: a folder, and not a link to one.
bool IsRealFolder(const QString &path);

} // namespace learnername
