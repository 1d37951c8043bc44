#pragma once

#include <cstdint>
#include <string>

#include <QString>

// The learner's best score at the game, kept in a small text file of their folder ("Jeu.txt"): the score in
// decimal digits and a line break. A file that is missing, damaged or not a plain file counts as no score yet.
namespace bestscore {

inline const QString FileName = QStringLiteral("Jeu.txt");

// The score a file's text holds; 0 for anything that is not a whole number from 0 up.
std::int64_t Parse(const std::string &text);

std::int64_t Read(const QString &path);

// Saves with the learner's files' safe rule (a temporary file renamed over the old one); a failure throws the
// French text and leaves the old file as it was.
void Write(const QString &path, std::int64_t score);

} // namespace bestscore
