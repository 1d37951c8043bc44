// The whole inventory of embedded pictures and sounds, read back from what the program carries: names in their
// lists at their indexes, file formats, sizes, palettes, frames and durations.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <tuple>
#include <utility>
#include <vector>

#include <QDirIterator>
#include <QTemporaryDir>

#include <gif_lib.h>

#include "assets/AssetNames.h"
#include "assets/EmbeddedAssets.h"
#include "audio/KeyNameRecordings.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TImage.h"
#include "platform/controls/TRxGIFAnimator.h"
#include "platform/controls/TRxSpeedButton.h"
#include "windows/TMain.h"

namespace {

unsigned U16(const QByteArray &b, int at)
{
    return unsigned(quint8(b[at])) | unsigned(quint8(b[at + 1])) << 8;
}

unsigned U32(const QByteArray &b, int at)
{
    return U16(b, at) | U16(b, at + 2) << 16;
}

struct BitmapHeader {
    int Width, Height, Bits, Colours;
};

BitmapHeader ReadBitmapHeader(const QByteArray &bmp)
{
    EXPECT_TRUE(bmp.startsWith("BM"));
    EXPECT_EQ(U32(bmp, 14), 40u) << "BITMAPINFOHEADER";
    EXPECT_EQ(U32(bmp, 30), 0u) << "uncompressed";
    EXPECT_EQ(U32(bmp, 2), unsigned(bmp.size())) << "file size field";
    return {int(U32(bmp, 18)), int(U32(bmp, 22)), int(U16(bmp, 28)), int(U32(bmp, 46))};
}

double Hundredths(double seconds)
{
    return std::round(seconds * 100) / 100;
}

// giflib reads the file from memory.
struct GifSource {
    QByteArray Bytes;
    int At = 0;
};

int ReadGif(GifFileType *gif, GifByteType *into, int length)
{
    auto *source = static_cast<GifSource *>(gif->UserData);
    const int n = std::min(length, int(source->Bytes.size()) - source->At);
    std::memcpy(into, source->Bytes.constData() + source->At, size_t(std::max(n, 0)));
    source->At += std::max(n, 0);
    return std::max(n, 0);
}

struct GifFacts {
    int Width = 0, Height = 0, PaletteSize = 0;
    std::vector<int> DelaysMs;
    std::vector<int> Transparent; // per frame, -1 for none
    std::vector<int> Disposal;
    bool LoopMarker = false;
    bool Version89a = false;
};

GifFacts ReadGifFacts(const QByteArray &bytes)
{
    GifFacts facts;
    GifSource source{bytes};
    int error = 0;
    GifFileType *gif = DGifOpen(&source, &ReadGif, &error);
    if (!gif) {
        ADD_FAILURE() << "giflib cannot open the picture";
        return facts;
    }
    EXPECT_EQ(DGifSlurp(gif), GIF_OK);
    facts.Version89a = bytes.startsWith("GIF89a");
    facts.Width = gif->SWidth;
    facts.Height = gif->SHeight;
    facts.PaletteSize = gif->SColorMap ? gif->SColorMap->ColorCount : 0;
    for (int i = 0; i < gif->ImageCount; ++i) {
        GraphicsControlBlock control{};
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(gif, i, &control);
        facts.DelaysMs.push_back(control.DelayTime * 10);
        facts.Transparent.push_back(control.TransparentColor);
        facts.Disposal.push_back(control.DisposalMode);
        const SavedImage &image = gif->SavedImages[i];
        for (int e = 0; e < image.ExtensionBlockCount; ++e) {
            const ExtensionBlock &block = image.ExtensionBlocks[e];
            if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
                std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0)
                facts.LoopMarker = true;
        }
    }
    DGifCloseFile(gif, &error);
    return facts;
}

class AssetInventory : public ::testing::Test
{
protected:
    QTemporaryDir Folder;
    TMain Main{Folder.path() + QLatin1Char('/')};
};

} // namespace

TEST_F(AssetInventory, PictureListHoldsTheHandsAndTheKeyboardInOrder)
{
    struct Format {
        int Width, Height, Bits, Colours;
        std::uint32_t Transparent;
    };
    const Format hand{196, 189, 8, 256, 0xFFFFFF}, keyboard{634, 250, 24, 0, 0x000000};
    ASSERT_EQ(Main.DXImageList1.Count(), 13);
    // Some names written out apart from the list: the guide finds the finger pictures by these indexes.
    for (const auto &[index, name] :
         {std::pair{0, "MainG.bmp"}, {5, "IndexD.bmp"}, {11, "AuriculaireD.bmp"}, {12, "Tapotis.bmp"}})
        EXPECT_EQ(Main.DXImageList1.Items(index).Name, QLatin1String(name));
    for (int i = 0; i < 13; ++i) {
        const char *name = i < 12 ? assets::names::HandPictures[i] : assets::names::KeyboardPicture;
        const Format &row = i < 12 ? hand : keyboard;
        SCOPED_TRACE(name);
        const TDXImageList::Item &item = Main.DXImageList1.Items(i);
        EXPECT_EQ(item.Name, QLatin1String(name));
        EXPECT_EQ(item.TransparentColor, row.Transparent);
        EXPECT_EQ(item.Picture.size(), QSize(row.Width, row.Height));
        const BitmapHeader header = ReadBitmapHeader(assets::Embedded(QLatin1String(name)));
        EXPECT_EQ(header.Width, row.Width);
        EXPECT_EQ(header.Height, row.Height);
        EXPECT_EQ(header.Bits, row.Bits);
        EXPECT_EQ(header.Colours, row.Colours);
    }
}

TEST_F(AssetInventory, EveryButtonCarriesItsGlyph)
{
    const std::pair<QWidget *, int> rows[] = {
        {Main.BoutonFacile, 22},  {Main.BoutonMoyen, 22},   {Main.BoutonDifficile, 22}, {Main.BoutonDicteesVocales, 22},
        {Main.BoutonJeu, 24},     {Main.BoutonSon, 22},     {Main.BoutonPrononcer, 20}, {Main.BoutonAuto, 18},
        {Main.BoutonAide, 22},    {Main.BoutonQuitter, 22}, {Main.BoutonParcours, 22},  {Main.BoutonTouches, 22},
        {Main.BoutonMonTexte, 22}};
    // The glyphs made are those of these buttons, none more.
    ASSERT_EQ(std::size(assets::names::Glyphs), std::size(rows));
    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(QLatin1String(assets::names::Glyphs[i]), rows[i].first->objectName() + QStringLiteral(".bmp"));
    for (const auto &[button, size] : rows) {
        SCOPED_TRACE(button->objectName().toStdString());
        const BitmapHeader header = ReadBitmapHeader(assets::Embedded(button->objectName() + QStringLiteral(".bmp")));
        EXPECT_EQ(header.Width, size);
        EXPECT_EQ(header.Height, size);
        EXPECT_EQ(header.Bits, 24);
        const QIcon icon = qobject_cast<QAbstractButton *>(button)->icon();
        ASSERT_FALSE(icon.isNull());
        const QImage shown = icon.pixmap(QSize(size, size)).toImage();
        EXPECT_EQ(shown.size(), QSize(size, size));
        // The key colour of the bottom-left corner is see-through; the drawing itself is not.
        EXPECT_EQ(qAlpha(shown.pixel(0, size - 1)), 0);
        int opaque = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                opaque += qAlpha(shown.pixel(x, y)) == 255;
        EXPECT_GT(opaque, size * size / 4);
    }
}

TEST_F(AssetInventory, BackgroundIsABaselineColourJpegOfTheWholeWindow)
{
    const QByteArray jpeg = assets::Embedded(QStringLiteral("Image1.jpg"));
    ASSERT_TRUE(jpeg.startsWith("\xFF\xD8"));
    const int baseline = int(jpeg.indexOf("\xFF\xC0"));
    ASSERT_GT(baseline, 0) << "a baseline frame header";
    EXPECT_EQ(jpeg.indexOf("\xFF\xC2"), -1) << "no progressive frame";
    EXPECT_EQ((quint8(jpeg[baseline + 5]) << 8) | quint8(jpeg[baseline + 6]), 600);
    EXPECT_EQ((quint8(jpeg[baseline + 7]) << 8) | quint8(jpeg[baseline + 8]), 800);
    EXPECT_EQ(quint8(jpeg[baseline + 9]), 3) << "colour components";
    EXPECT_EQ(Main.Image1->Picture().size(), QSize(800, 600));
}

TEST_F(AssetInventory, AnimationsHaveTheirFramesDelaysPalettesAndMarkers)
{
    struct Row {
        const char *Name;
        int Width, Height, Colours;
        std::vector<int> Delays;
        bool Transparent, RestoreToBackground, Loop;
    };
    const std::vector<int> hummingbird = {300, 300, 300, 200, 200, 200, 0, 100, 100, 100, 100, 100, 100, 100};
    const Row rows[] = {
        {"RxGIFAnimator1.gif", 178, 80, 32, std::vector<int>(26, 100), true, true, false},
        {"RxGIFAnimator2.gif", 51, 45, 8, hummingbird, true, true, true},
        {"Splash.gif", 256, 192, 256, std::vector<int>(19, 100), false, false, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.Name);
        const GifFacts facts = ReadGifFacts(assets::Embedded(QLatin1String(row.Name)));
        EXPECT_TRUE(facts.Version89a);
        EXPECT_EQ(facts.Width, row.Width);
        EXPECT_EQ(facts.Height, row.Height);
        EXPECT_EQ(facts.PaletteSize, row.Colours);
        EXPECT_EQ(facts.DelaysMs, row.Delays);
        EXPECT_EQ(facts.LoopMarker, row.Loop);
        for (std::size_t i = 0; i < facts.Transparent.size(); ++i) {
            EXPECT_EQ(facts.Transparent[i] != NO_TRANSPARENT_COLOR, row.Transparent) << "frame " << i;
            EXPECT_EQ(facts.Disposal[i] == DISPOSE_BACKGROUND, row.RestoreToBackground) << "frame " << i;
        }
    }
    EXPECT_EQ(Main.RxGIFAnimator1->Animation(), assets::Embedded(QStringLiteral("RxGIFAnimator1.gif")));
    EXPECT_EQ(Main.RxGIFAnimator2->Animation(), assets::Embedded(QStringLiteral("RxGIFAnimator2.gif")));
}

TEST_F(AssetInventory, IconIsOneImageOf32PixelsIn16Colours)
{
    const QByteArray ico = assets::Embedded(QStringLiteral("MAINICON.ico"));
    EXPECT_EQ(U16(ico, 2), 1u) << "an icon";
    EXPECT_EQ(U16(ico, 4), 1u) << "one image";
    EXPECT_EQ(quint8(ico[6]), 32);
    EXPECT_EQ(quint8(ico[7]), 32);
    EXPECT_EQ(quint8(ico[8]), 16) << "colours";
    EXPECT_EQ(U16(ico, 12), 4u) << "bits per pixel";
    EXPECT_FALSE(Main.windowIcon().isNull());
    EXPECT_EQ(assets::Icon().size(), QSize(32, 32));
}

TEST_F(AssetInventory, CuesAndTheSplashTuneHaveTheirFormatsAndLengths)
{
    struct Row {
        const char *Name;
        int Rate, Bits, Channels;
        double Seconds;
    };
    const Row cues[] = {
        {"Type.wav", 22050, 8, 1, 0.17}, {"Error.wav", 22050, 8, 1, 0.45}, {"Soluce.wav", 11025, 8, 1, 2.39}};
    ASSERT_EQ(Main.DXWaveList1.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(cues[i].Name);
        const TDXWaveList::Item &item = Main.DXWaveList1.Items(i);
        EXPECT_EQ(item.Name, QLatin1String(cues[i].Name));
        EXPECT_FALSE(item.Looped);
        EXPECT_EQ(item.MaxPlayingCount, 0);
        EXPECT_EQ(item.Wave.SamplesPerSec, cues[i].Rate);
        EXPECT_EQ(item.Wave.BitsPerSample, cues[i].Bits);
        EXPECT_EQ(item.Wave.Channels, cues[i].Channels);
        EXPECT_DOUBLE_EQ(Hundredths(item.Wave.Seconds()), cues[i].Seconds);
        EXPECT_EQ(U16(assets::Embedded(QLatin1String(cues[i].Name)), 20), 1u) << "integer PCM";
        if (i == 2)
            continue;
        // A key's cue is heard from its first millisecond: one that swells in reaches the ear later than the key.
        const QByteArray &samples = item.Wave.Samples;
        const auto loud = std::find_if(samples.begin(), samples.end(),
                                       [](char s) { return std::abs(static_cast<unsigned char>(s) - 128) >= 3; });
        EXPECT_LT(std::distance(samples.begin(), loud), cues[i].Rate / 1000);
    }
    const PcmWave tune = assets::Wave(QStringLiteral("COMEDY1.WAV"));
    EXPECT_EQ(tune.Channels, 2);
    EXPECT_EQ(tune.SamplesPerSec, 8000);
    EXPECT_EQ(tune.BitsPerSample, 8);
    EXPECT_DOUBLE_EQ(Hundredths(tune.Seconds()), 59.08);
    EXPECT_EQ(Main.DXWaveList2.Count(), 0);
}

TEST_F(AssetInventory, KeyNamesAreFortyEightMonoRecordingsInOrder)
{
    Main.LoadKeyNames();
    ASSERT_EQ(Main.DXWaveList3.Count(), 48);
    ASSERT_EQ(std::size(keynames::Recordings), 48u);
    for (int i = 0; i < 48; ++i) {
        const keynames::Recording &recording = keynames::Recordings[i];
        SCOPED_TRACE(recording.Item);
        const TDXWaveList::Item &item = Main.DXWaveList3.Items(i);
        EXPECT_EQ(item.Name, QLatin1String(recording.Item));
        EXPECT_EQ(item.Wave.SamplesPerSec, 22050);
        EXPECT_EQ(item.Wave.BitsPerSample, 16);
        EXPECT_EQ(item.Wave.Channels, 1);
        EXPECT_DOUBLE_EQ(Hundredths(item.Wave.Seconds()), recording.Seconds);
        EXPECT_EQ(&Main.DXWaveList3.Find(QLatin1String(recording.Item)), &item);
    }
    // Some recordings written out apart from the list, at their indexes.
    for (const auto &[index, name, seconds] :
         {std::tuple{0, "Touche_a.wav", 0.30}, {7, "Touche_Circ.wav", 1.28}, {47, "Touche_z.wav", 0.54}}) {
        EXPECT_EQ(Main.DXWaveList3.Items(index).Name, QLatin1String(name));
        EXPECT_DOUBLE_EQ(Hundredths(Main.DXWaveList3.Items(index).Wave.Seconds()), seconds);
    }
}

TEST_F(AssetInventory, KeyNamesAreFoundIgnoringLetterCase)
{
    Main.LoadKeyNames();
    EXPECT_EQ(&Main.DXWaveList3.Find(QStringLiteral("Touche_A.wav")), &Main.DXWaveList3.Items(0));
    EXPECT_EQ(&Main.DXWaveList3.Find(QStringLiteral("TOUCHE_POINTINTER.WAV")), &Main.DXWaveList3.Items(33));
    EXPECT_EQ(&Main.DXWaveList3.Find(QStringLiteral("touche_majuscule.wav")), &Main.DXWaveList3.Items(27));
    EXPECT_EQ(&Main.DXWaveList3.Find(QStringLiteral("Touche_ec.wav")), &Main.DXWaveList3.Items(12));
}

TEST(StoredBytes, LettingGoOfTheirPagesLeavesEveryFileAsItWas)
{
    const auto everyFile = [] {
        QByteArray all;
        for (QDirIterator files(QStringLiteral(":/assets"), QDir::Files); files.hasNext();) {
            files.next();
            all += files.fileName().toUtf8() + '\0' + assets::Embedded(files.fileName());
        }
        return all;
    };
    const QByteArray before = everyFile();
    const QImage background = assets::Background();
    ASSERT_GT(before.size(), 1000000);
    EXPECT_GT(assets::LetGoOfStoredBytes(), 1000000u);
    EXPECT_EQ(everyFile(), before);
    EXPECT_EQ(assets::Background(), background);
}
