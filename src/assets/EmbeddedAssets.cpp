#include "assets/EmbeddedAssets.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include <QBuffer>
#include <QDirIterator>
#include <QFile>
#include <QImageReader>
#include <QResource>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "assets/AssetNames.h"
#include "assets/JpegDecoder.h"
#include "platform/text/TutorError.h"

namespace assets {

namespace {

QImage Read(const QString &name, const char *format)
{
    QByteArray bytes = Embedded(name);
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, format);
    QImage picture;
    if (!reader.read(&picture))
        throw TutorError(QStringLiteral("Image incorrecte : %1 (%2)").arg(name, reader.errorString()));
    return picture;
}

#ifdef __linux__
// Whether [start, end) lies within one read-only private mapping of a file, as the program's constant data does:
// only there may pages be dropped, since they come back from the file as they were.
bool WithinReadOnlyFile(std::uintptr_t start, std::uintptr_t end)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    // Each line: "from-to perms offset device inode path".
    for (QByteArray line = maps.readLine(); !line.isEmpty(); line = maps.readLine()) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 6)
            continue;
        const QList<QByteArray> range = fields[0].split('-');
        bool fromOk = false, toOk = false;
        const auto from = static_cast<std::uintptr_t>(range.value(0).toULongLong(&fromOk, 16));
        const auto to = static_cast<std::uintptr_t>(range.value(1).toULongLong(&toOk, 16));
        if (fromOk && toOk && from <= start && end <= to)
            return fields[1] == "r--p" && fields[4] != "0";
    }
    return false;
}
#endif

} // namespace

QByteArray Embedded(const QString &name)
{
    // Stored as they are, the bytes are read where they lie in the program, never copied: an animation keeps its
    // file for as long as it plays.
    const QResource stored(QStringLiteral(":/assets/") + name);
    if (stored.isValid() && stored.compressionAlgorithm() == QResource::NoCompression && stored.data())
        return QByteArray::fromRawData(reinterpret_cast<const char *>(stored.data()), stored.size());
    QFile resource(QStringLiteral(":/assets/") + name);
    if (!resource.open(QIODevice::ReadOnly))
        throw TutorError(QStringLiteral("Ressource introuvable : %1").arg(name));
    return resource.readAll();
}

QImage Bitmap(const QString &name)
{
    return Read(name, "BMP");
}

QImage Background()
{
    return DecodeJpeg(Embedded(QLatin1String(names::Background)));
}

QImage Glyph(const QString &button)
{
    QImage glyph = Bitmap(button + QStringLiteral(".bmp")).convertToFormat(QImage::Format_ARGB32);
    const QRgb key = glyph.pixel(0, glyph.height() - 1);
    for (int y = 0; y < glyph.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(glyph.scanLine(y));
        for (int x = 0; x < glyph.width(); ++x)
            if (line[x] == key)
                line[x] = qRgba(0, 0, 0, 0);
    }
    return glyph;
}

PcmWave Wave(const QString &name)
{
    try {
        return ReadWave(Embedded(name));
    } catch (const TutorError &error) {
        throw TutorError(QStringLiteral("%1 (%2)").arg(error.Text(), name));
    }
}

QImage Icon()
{
    return Read(QLatin1String(names::Icon), "ICO");
}

std::size_t LetGoOfStoredBytes()
{
#ifdef __linux__
    // The embedded files lie one after the other in the program's constant data.
    std::uintptr_t first = std::numeric_limits<std::uintptr_t>::max();
    std::uintptr_t last = 0;
    for (QDirIterator files(QStringLiteral(":/assets"), QDir::Files); files.hasNext();) {
        const QResource stored(files.next());
        if (!stored.isValid() || !stored.data())
            continue;
        const auto start = reinterpret_cast<std::uintptr_t>(stored.data());
        first = std::min(first, start);
        last = std::max(last, start + static_cast<std::uintptr_t>(stored.size()));
    }
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    if (last <= first || page == 0)
        return 0;
    const std::uintptr_t start = (first + page - 1) / page * page;
    const std::uintptr_t end = last / page * page;
    if (end <= start || !WithinReadOnlyFile(start, end))
        return 0;
    if (madvise(reinterpret_cast<void *>(start), end - start, MADV_DONTNEED) != 0)
        return 0;
    return end - start;
#else
    return 0;
#endif
}

} // namespace assets
