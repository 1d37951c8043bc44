#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/text/SafeFile.h"

namespace {

// The real system, with reads that can fail or never end, and a count of the descriptors still open.
class CountingFileSystem : public safefile::FileSystem
{
public:
    int readErrno = 0;
    // Every read hands over a byte, as a file that keeps growing would.
    bool endless = false;
    int reads = 0;
    std::set<int> open;

    int Open(int folder, const char *name, int flags, int mode) override
    {
        const int fd = FileSystem::Open(folder, name, flags, mode);
        if (fd >= 0)
            open.insert(fd);
        return fd;
    }
    long Read(int fd, void *buffer, std::size_t size) override
    {
        ++reads;
        if (readErrno != 0) {
            errno = readErrno;
            return -1;
        }
        if (endless) {
            std::memset(buffer, 'x', 1);
            return 1;
        }
        return FileSystem::Read(fd, buffer, std::min<std::size_t>(size, 3));
    }
    int Close(int fd) override
    {
        open.erase(fd);
        return FileSystem::Close(fd);
    }
};

} // namespace

// Whatever a file turns out to be, only a regular file within the limit is read, nothing is waited on, and every
// descriptor opened is closed through the file system that opened it.
TEST(SafeFileRead, RefusesAllButARegularFileWithinTheLimitAndClosesEveryDescriptor)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto path = [&](const char *name) { return dir.filePath(QLatin1String(name)); };
    const auto write = [&](const char *name, const QByteArray &bytes) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    };
    write("ten", "0123456789");
    write("eleven", "0123456789A");
    write("empty", "");
    ASSERT_TRUE(QFile::link(path("ten"), path("link")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));

    using safefile::Refusal;
    const struct {
        const char *name;
        std::function<void(CountingFileSystem &)> inject;
        Refusal refused;
        int error;
        const char *bytes;
    } rows[] = {
        {"ten", nullptr, Refusal::None, 0, "0123456789"},
        {"empty", nullptr, Refusal::None, 0, ""},
        {"eleven", nullptr, Refusal::TooLarge, 0, ""},
        {"ten", [](CountingFileSystem &fs) { fs.endless = true; }, Refusal::TooLarge, 0, ""},
        {"ten", [](CountingFileSystem &fs) { fs.readErrno = EIO; }, Refusal::CannotRead, EIO, ""},
        {"missing", nullptr, Refusal::CannotOpen, ENOENT, ""},
        {"link", nullptr, Refusal::CannotOpen, ELOOP, ""},
        {"pipe", nullptr, Refusal::NotAFile, 0, ""},
        {"folder", nullptr, Refusal::NotAFile, 0, ""},
    };
    const int held = ::open(QFile::encodeName(dir.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        CountingFileSystem fs;
        if (row.inject)
            row.inject(fs);
        const safefile::Contents contents = safefile::ReadIn(held, QLatin1String(row.name), 10, fs);
        EXPECT_EQ(contents.Refused, row.refused);
        EXPECT_EQ(contents.Error, row.error);
        EXPECT_EQ(contents.Bytes, row.bytes);
        EXPECT_TRUE(fs.open.empty());
        EXPECT_LE(fs.reads, 11) << "a growing file is read one byte past the limit at the most";
    }
    ::close(held);
}
