#include "learner/HistoryStore.h"

void ReadHistoryFile(const QString &path, HistoryBlock &block, safefile::FileSystem &fs, int folder)
{
    block.Clear();
    safefile::ReadFirstBytes(path, reinterpret_cast<char *>(block.Bytes()), std::size_t(HistoryBytes), fs, folder);
}

QString WriteHistoryFile(const QString &path, const HistoryBlock &block, safefile::FileSystem &fs,
                         safefile::OldFile old, int folder)
{
    return safefile::WriteFileSafely(path, reinterpret_cast<const char *>(block.Bytes()), std::size_t(HistoryBytes), fs,
                                     old, folder);
}
