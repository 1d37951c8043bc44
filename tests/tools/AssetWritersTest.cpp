// The asset generator's file writers, read back by independent readers: Qt's image readers, giflib, our
// program's own wave and JPEG readers.

#include <gtest/gtest.h>

#include <cmath>

#include <QFile>
#include <QTemporaryDir>

#include <gif_lib.h>

#include "AssetGen.h"
#include "assets/JpegDecoder.h"
#include "platform/sound/WaveFile.h"

using namespace assetgen;

namespace {

class Writers : public ::testing::Test
{
protected:
    QString Path(const char *name) const { return Dir.path() + QLatin1Char('/') + QLatin1String(name); }
    QByteArray Bytes(const char *name) const
    {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }
    static unsigned U32(const QByteArray &b, int at)
    {
        return unsigned(quint8(b[at])) | unsigned(quint8(b[at + 1])) << 8 | unsigned(quint8(b[at + 2])) << 16 |
               unsigned(quint8(b[at + 3])) << 24;
    }

    QTemporaryDir Dir;
};

// Five columns (so every row is padded) and three distinct rows (so a picture written upside down shows).
QImage Indexed5x3(int colours)
{
    QImage picture(5, 3, QImage::Format_Indexed8);
    QVector<QRgb> table;
    for (int i = 0; i < colours; ++i)
        table << qRgb(i * 40, 255 - i * 30, (i * 77) % 256);
    picture.setColorTable(table);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            picture.setPixel(x, y, uint((x + 2 * y) % colours));
    return picture;
}

} // namespace

TEST_F(Writers, BitmapsReadBackPixelForPixel)
{
    const QImage indexed = Indexed5x3(4);
    WriteBmp(Path("indexed.bmp"), indexed, 8);
    const QByteArray eight = Bytes("indexed.bmp");
    EXPECT_EQ(eight[28], 8);
    EXPECT_EQ(U32(eight, 46), 256u) << "a palette of 256 entries";
    EXPECT_EQ(U32(eight, 2), unsigned(eight.size()));
    const QImage back = QImage(Path("indexed.bmp"));
    ASSERT_EQ(back.size(), indexed.size());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(back.pixel(x, y), indexed.pixel(x, y)) << x << "," << y;

    const QImage colour = indexed.convertToFormat(QImage::Format_RGB32);
    WriteBmp(Path("colour.bmp"), colour, 24);
    const QByteArray twentyFour = Bytes("colour.bmp");
    EXPECT_EQ(twentyFour[28], 24);
    EXPECT_EQ(twentyFour.size(), 54 + 3 * 16) << "rows of 15 bytes padded to 16";
    const QImage backColour = QImage(Path("colour.bmp"));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(backColour.pixel(x, y), colour.pixel(x, y)) << x << "," << y;

    EXPECT_THROW(WriteBmp(Path("bad.bmp"), colour, 8), std::runtime_error) << "8 bits need a palette";
}

TEST_F(Writers, AnimationsKeepTheirDelaysTransparencyDisposalAndLoopMarker)
{
    GifAnimation animation;
    animation.Width = 5;
    animation.Height = 3;
    animation.Palette = Indexed5x3(4).colorTable();
    animation.TransparentIndex = 0;
    animation.RestoreToBackground = true;
    animation.LoopMarker = true;
    animation.Frames = {{Indexed5x3(4), 0}, {Indexed5x3(4).mirrored(true, false), 120}};
    WriteGif(Path("anim.gif"), animation);
    EXPECT_TRUE(Bytes("anim.gif").startsWith("GIF89a"));

    int error = 0;
    GifFileType *gif = DGifOpenFileName(QFile::encodeName(Path("anim.gif")).constData(), &error);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK);
    ASSERT_EQ(gif->ImageCount, 2);
    EXPECT_EQ(gif->SColorMap->ColorCount, 4);
    bool loop = false;
    for (int i = 0; i < 2; ++i) {
        GraphicsControlBlock control{};
        ASSERT_EQ(DGifSavedExtensionToGCB(gif, i, &control), GIF_OK);
        EXPECT_EQ(control.DelayTime, i == 0 ? 0 : 12);
        EXPECT_EQ(control.TransparentColor, 0);
        EXPECT_EQ(control.DisposalMode, DISPOSE_BACKGROUND);
        for (int e = 0; e < gif->SavedImages[i].ExtensionBlockCount; ++e)
            loop |= gif->SavedImages[i].ExtensionBlocks[e].Function == APPLICATION_EXT_FUNC_CODE;
    }
    EXPECT_TRUE(loop);
    const GifByteType *second = gif->SavedImages[1].RasterBits;
    EXPECT_EQ(second[0], Indexed5x3(4).mirrored(true, false).pixelIndex(0, 0));
    EXPECT_EQ(second[2 * 5 + 4], Indexed5x3(4).mirrored(true, false).pixelIndex(4, 2));
    DGifCloseFile(gif, &error);

    animation.Palette.resize(3);
    EXPECT_THROW(WriteGif(Path("odd.gif"), animation), std::runtime_error) << "palettes are powers of two";
}

TEST_F(Writers, WavesReadBackWithTheirFormatAndAnEvenRiffLength)
{
    Pcm stereo;
    stereo.SampleRate = 8000;
    stereo.BitsPerSample = 8;
    stereo.Channels = 2;
    stereo.Data = {0x80, 0x81, 0x7F, 0x90, 0x00, 0xFF};
    WriteWave(Path("stereo.wav"), stereo);
    const PcmWave back = ReadWave(Bytes("stereo.wav"));
    EXPECT_EQ(back.Channels, 2);
    EXPECT_EQ(back.SamplesPerSec, 8000);
    EXPECT_EQ(back.BitsPerSample, 8);
    EXPECT_EQ(back.Samples, QByteArray("\x80\x81\x7F\x90\x00\xFF", 6));

    Pcm mono = stereo;
    mono.Channels = 1;
    mono.Data = {1, 2, 3};
    WriteWave(Path("odd.wav"), mono);
    const QByteArray odd = Bytes("odd.wav");
    EXPECT_EQ(odd.size() % 2, 0) << "an odd data chunk is padded";
    EXPECT_EQ(U32(odd, 4), unsigned(odd.size() - 8));
    EXPECT_EQ(ReadWave(odd).Samples.size(), 3);

    Pcm broken = stereo;
    broken.BitsPerSample = 16;
    broken.Data = {1, 2, 3};
    EXPECT_THROW(WriteWave(Path("broken.wav"), broken), std::runtime_error) << "not a whole frame";
}

TEST_F(Writers, DurationsComeOutToTheHundredthInWholeFrames)
{
    const std::pair<Pcm, double> rows[] = {{{22050, 8, 1, {}}, 0.17},  {{22050, 8, 1, {}}, 0.45},
                                           {{11025, 8, 1, {}}, 2.39},  {{8000, 8, 2, {}}, 59.08},
                                           {{22050, 16, 1, {}}, 0.25}, {{22050, 16, 1, {}}, 1.28}};
    for (const auto &[format, seconds] : rows) {
        const std::size_t bytes = BytesForDuration(format, seconds);
        const int frame = format.Channels * format.BitsPerSample / 8;
        EXPECT_EQ(bytes % std::size_t(frame), 0u) << seconds;
        const double perSecond = double(format.SampleRate) * frame;
        EXPECT_DOUBLE_EQ(std::round(double(bytes) / perSecond * 100) / 100, seconds);
    }
}

TEST_F(Writers, IconAndJpegReadBackThroughOtherReaders)
{
    QImage icon(32, 32, QImage::Format_Indexed8);
    icon.setColorTable({qRgba(0, 0, 0, 0), qRgb(230, 120, 20), qRgb(90, 40, 0)});
    icon.fill(0);
    for (int y = 8; y < 24; ++y)
        for (int x = 8; x < 24; ++x)
            icon.setPixel(x, y, x < 16 ? 1 : 2);
    WriteIcon(Path("icon.ico"), icon);
    const QImage readIcon = QImage(Path("icon.ico"), "ICO").convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(readIcon.size(), QSize(32, 32));
    EXPECT_EQ(qAlpha(readIcon.pixel(2, 2)), 0);
    EXPECT_EQ(readIcon.pixel(10, 20), qRgb(230, 120, 20));
    EXPECT_EQ(readIcon.pixel(20, 10), qRgb(90, 40, 0));

    QImage photo(40, 30, QImage::Format_RGB32);
    photo.fill(qRgb(40, 160, 220));
    WriteJpeg(Path("photo.jpg"), photo, 90);
    const QByteArray jpeg = Bytes("photo.jpg");
    EXPECT_GE(jpeg.indexOf("\xFF\xC0"), 0) << "baseline";
    const QImage decoded = DecodeJpeg(jpeg);
    ASSERT_EQ(decoded.size(), QSize(40, 30));
    EXPECT_NEAR(qRed(decoded.pixel(20, 15)), 40, 4);
    EXPECT_NEAR(qGreen(decoded.pixel(20, 15)), 160, 4);
    EXPECT_NEAR(qBlue(decoded.pixel(20, 15)), 220, 4);
}
