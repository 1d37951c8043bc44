#pragma once

#include <QString>

#include "platform/text/SafeFile.h"
#include "records/HistoryBlock.h"

// Reads a learner's history file into `block`, as safefile::ReadFirstBytes reads a file's first HistoryBytes. The
// block is cleared first and then holds exactly the bytes read, also when the file is too short ("Lecture au-delà
// de la fin de fichier"). `folder` is the learner's folder held open, or -1 to open the folder of `path`.
void ReadHistoryFile(const QString &path, HistoryBlock &block, safefile::FileSystem &fs = safefile::RealFileSystem(),
                     int folder = -1);

// Saves `block` to `path` by safefile::WriteFileSafely: on any failure the previous history is left as it was.
// Returns the path the old file was kept under, or nothing when none was kept.
QString WriteHistoryFile(const QString &path, const HistoryBlock &block,
                         safefile::FileSystem &fs = safefile::RealFileSystem(),
                         safefile::OldFile old = safefile::OldFile::Replace, int folder = -1);
