#pragma once

#include <cstddef>
#include <string>

#include <QString>

// Reading the files that stand beside the program or that a learner chose. Any of them may have been put there by
// someone else, so none is trusted: a link is never followed, a pipe or a device is never waited on, and a file
// bigger than its kind's limit is refused before it is read.
namespace safefile {

// The largest file of each kind the program reads.
constexpr std::size_t LessonLimit = std::size_t(1) << 20;
constexpr std::size_t RecordingLimit = std::size_t(64) << 20;
constexpr std::size_t HelpLimit = std::size_t(4) << 20;

// A descriptor of the system's, closed on every path unless it is handed on.
class OwnedDescriptor
{
public:
    explicit OwnedDescriptor(int fd) : m_fd(fd) {}
    OwnedDescriptor(const OwnedDescriptor &) = delete;
    OwnedDescriptor &operator=(const OwnedDescriptor &) = delete;
    ~OwnedDescriptor();
    int Get() const { return m_fd; }
    // Hands the descriptor on: it is no longer closed here.
    int Release();

private:
    int m_fd;
};

enum class Refusal {
    None,
    // It could not be opened (missing, not allowed, a link): Error holds the system's error number.
    CannotOpen,
    // A folder, a pipe, a device or a socket.
    NotAFile,
    TooLarge,
    // It opened, but reading it failed: Error holds the system's error number.
    CannotRead,
};

struct Contents {
    Refusal Refused = Refusal::None;
    int Error = 0;
    std::string Bytes;
};

// Opens `name` in the folder open as `folder` (AT_FDCWD for the current one) with O_NOFOLLOW | O_NONBLOCK |
// O_CLOEXEC, checks on the descriptor that it is a regular file of at most `limit` bytes, and reads it whole. A
// folder held open keeps every name looked up in the same place, even if its path comes to lead elsewhere. Never
// throws for what the file system does.
Contents ReadIn(int folder, const QString &name, std::size_t limit);

// ReadIn for a path.
Contents Read(const QString &path, std::size_t limit);

// A limit as the learner reads it: "1 Mo", "64 Mo", "512 octets".
QString LimitText(std::size_t limit);

} // namespace safefile

// Whole-file reads for the lessons and dictations. A file that cannot be opened or is not a regular file raises the
// French "Impossible d'ouvrir le fichier <path>"; one over `limit` names the file and the limit.
std::string ReadWholeFile(const QString &path, std::size_t limit);
