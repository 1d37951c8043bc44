#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include "assets/JpegDecoder.h"
#include "platform/text/TutorError.h"

namespace {

// A picture of four flat colour blocks, compressed by Qt's own JPEG writer rather than by our code.
QByteArray FourBlocks()
{
    QImage picture(64, 48, QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.fillRect(0, 0, 32, 24, QColor(255, 0, 0));
    painter.fillRect(32, 0, 32, 24, QColor(0, 255, 0));
    painter.fillRect(0, 24, 32, 24, QColor(0, 0, 255));
    painter.fillRect(32, 24, 32, 24, QColor(255, 255, 0));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(picture.save(&buffer, "JPG", 95));
    return bytes;
}

QString FailureOf(const QByteArray &data)
{
    try {
        DecodeJpeg(data);
    } catch (const TutorError &error) {
        return error.Text();
    }
    return QStringLiteral("(no failure)");
}

void ExpectNear(QRgb actual, QRgb expected, const char *where)
{
    EXPECT_NEAR(qRed(actual), qRed(expected), 12) << where;
    EXPECT_NEAR(qGreen(actual), qGreen(expected), 12) << where;
    EXPECT_NEAR(qBlue(actual), qBlue(expected), 12) << where;
}

} // namespace

TEST(JpegDecoder, AGoodPictureDecodesToItsSizeAndColours)
{
    const QImage picture = DecodeJpeg(FourBlocks());
    ASSERT_EQ(picture.size(), QSize(64, 48));
    ExpectNear(picture.pixel(10, 10), qRgb(255, 0, 0), "top left");
    ExpectNear(picture.pixel(50, 10), qRgb(0, 255, 0), "top right");
    ExpectNear(picture.pixel(10, 40), qRgb(0, 0, 255), "bottom left");
    ExpectNear(picture.pixel(50, 40), qRgb(255, 255, 0), "bottom right");
}

TEST(JpegDecoder, ADamagedPictureFailsInsteadOfShowingHalfAPicture)
{
    const QByteArray good = FourBlocks();
    EXPECT_EQ(FailureOf(good.left(good.size() / 2)),
              QStringLiteral("Image JPEG illisible : les données s'arrêtent avant la fin de l'image"));
    EXPECT_EQ(FailureOf(good.left(good.size() - 2)),
              QStringLiteral("Image JPEG illisible : les données s'arrêtent avant la fin de l'image"));
    EXPECT_EQ(FailureOf(QByteArray(500, 'x')), QStringLiteral("Image JPEG illisible : ce n'est pas une image JPEG"));
    EXPECT_EQ(FailureOf(QByteArray()), QStringLiteral("Image JPEG illisible : aucune donnée"));

    // The start of a JPEG followed by noise: the decoder's own complaint, still as a failure.
    QByteArray noisy = good.left(20);
    for (int i = 0; i < 400; ++i)
        noisy.append(char((i * 37) & 0xFF));
    EXPECT_TRUE(FailureOf(noisy).startsWith(QStringLiteral("Image JPEG illisible : ")));
}
