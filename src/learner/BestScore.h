#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <QString>

#include "platform/text/SafeFile.h"

// The learner's best score at the game, kept in a small text file of their folder ("Jeu.txt"): the score in
// decimal digits and a line break. A missing file is no score yet; one that is there but cannot be read or
// understood is told apart, like the learner's other files, so that it can be kept aside rather than saved over.
namespace bestscore {

inline const QString FileName = QStringLiteral("Jeu.txt");

// The score a file's text holds: 0 for an empty text or one of only line breaks and spaces, nothing for anything
// else that is not a whole number from 0 up.
std::optional<std::int64_t> Parse(const std::string &text);

// 0 when the file is missing; nothing when what stands there cannot be read or understood (a link, a pipe, a
// folder, a file too big for a score, not a number). `folder` is the learner's folder held open, or -1 (see
// SafeFile.h).
std::optional<std::int64_t> Read(const QString &path, int folder = -1);

// Saves with the learner's files' safe rule (a temporary file renamed over the old one); a failure throws the
// French text and leaves the old file as it was. Returns where the old file was kept, as WriteFileSafely does.
QString Write(const QString &path, std::int64_t score, safefile::OldFile old = safefile::OldFile::Replace,
              int folder = -1);

} // namespace bestscore
