#include "assets/EmbeddedAssets.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QResource>

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
    return DecodeJpeg(Embedded(QStringLiteral("Image1.jpg")));
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
    return Read(QStringLiteral("MAINICON.ico"), "ICO");
}

} // namespace assets
