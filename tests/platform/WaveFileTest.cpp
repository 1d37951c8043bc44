#include <gtest/gtest.h>

#include <string>

#include "platform/sound/WaveFile.h"
#include "platform/text/TutorError.h"

namespace {

// Builds a RIFF/WAVE file byte by byte, independently of the reader.
struct RiffBuilder {
    std::string bytes;
    void U16(unsigned v)
    {
        bytes += char(v & 0xFF);
        bytes += char(v >> 8 & 0xFF);
    }
    void U32(unsigned v)
    {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void Chunk(const char *id, const std::string &body, bool pad = true)
    {
        bytes += id;
        U32(unsigned(body.size()));
        bytes += body;
        if (pad && body.size() % 2)
            bytes += '\0';
    }
    static std::string Format(unsigned tag, unsigned channels, unsigned rate, unsigned bits)
    {
        RiffBuilder f;
        f.U16(tag);
        f.U16(channels);
        f.U32(rate);
        f.U32(rate * channels * bits / 8);
        f.U16(channels * bits / 8);
        f.U16(bits);
        return f.bytes;
    }
    QByteArray File() const
    {
        RiffBuilder riff;
        riff.bytes = "RIFF";
        riff.U32(unsigned(bytes.size() + 4));
        riff.bytes += "WAVE" + bytes;
        return QByteArray(riff.bytes.data(), qsizetype(riff.bytes.size()));
    }
};

QString FailureOf(const QByteArray &file)
{
    try {
        ReadWave(file);
    } catch (const TutorError &error) {
        return error.Text();
    }
    return QStringLiteral("(no failure)");
}

} // namespace

TEST(WaveFile, ReadsTheFormatAndTheSamplesAsTheFileHasThem)
{
    RiffBuilder stereo;
    stereo.Chunk("fmt ", RiffBuilder::Format(1, 2, 8000, 8));
    stereo.Chunk("LIST", "abc"); // an odd chunk before the data, padded to an even length
    stereo.Chunk("data", std::string(16000, '\x80'));
    const PcmWave wave = ReadWave(stereo.File());
    EXPECT_EQ(wave.Channels, 2);
    EXPECT_EQ(wave.SamplesPerSec, 8000);
    EXPECT_EQ(wave.BitsPerSample, 8);
    EXPECT_EQ(wave.Samples.size(), 16000);
    EXPECT_DOUBLE_EQ(wave.Seconds(), 1.0);

    RiffBuilder mono16;
    mono16.Chunk("fmt ", RiffBuilder::Format(1, 1, 22050, 16));
    mono16.Chunk("data", std::string("\x01\x80\xFF\x7F", 4));
    const PcmWave word = ReadWave(mono16.File());
    EXPECT_EQ(word.BitsPerSample, 16);
    EXPECT_EQ(word.Samples, QByteArray("\x01\x80\xFF\x7F", 4));
}

TEST(WaveFile, RefusesWhatItCannotPlayWithAFrenchReason)
{
    EXPECT_EQ(FailureOf(QByteArray("RIFX1234WAVE")),
              QStringLiteral("Fichier son incorrect : ce n'est pas un fichier RIFF/WAVE"));
    EXPECT_EQ(FailureOf(QByteArray()), QStringLiteral("Fichier son incorrect : ce n'est pas un fichier RIFF/WAVE"));

    RiffBuilder compressed;
    compressed.Chunk("fmt ", RiffBuilder::Format(2, 1, 22050, 4));
    compressed.Chunk("data", "xxxx");
    EXPECT_EQ(FailureOf(compressed.File()),
              QStringLiteral("Fichier son incorrect : les échantillons ne sont pas en PCM entier"));

    RiffBuilder wide;
    wide.Chunk("fmt ", RiffBuilder::Format(1, 1, 22050, 24));
    EXPECT_EQ(FailureOf(wide.File()),
              QStringLiteral("Fichier son incorrect : seuls les échantillons de 8 et 16 bits sont lus"));

    RiffBuilder noFormat;
    noFormat.Chunk("data", "xx");
    EXPECT_EQ(FailureOf(noFormat.File()), QStringLiteral("Fichier son incorrect : les données précèdent le format"));

    RiffBuilder silent;
    silent.Chunk("fmt ", RiffBuilder::Format(1, 1, 11025, 8));
    EXPECT_EQ(FailureOf(silent.File()), QStringLiteral("Fichier son incorrect : aucune donnée sonore"));
}

TEST(WaveFile, ADataChunkCutShortIsAnErrorNotAShorterSound)
{
    RiffBuilder whole;
    whole.Chunk("fmt ", RiffBuilder::Format(1, 1, 22050, 16));
    whole.Chunk("data", std::string(100, '\0'));
    const QByteArray file = whole.File();
    EXPECT_EQ(FailureOf(file.left(file.size() - 1)),
              QStringLiteral("Fichier son incorrect : un bloc dépasse la fin du fichier"));

    RiffBuilder halfSample;
    halfSample.Chunk("fmt ", RiffBuilder::Format(1, 2, 22050, 16));
    halfSample.Chunk("data", std::string(6, '\0'));
    EXPECT_EQ(FailureOf(halfSample.File()),
              QStringLiteral("Fichier son incorrect : les données s'arrêtent au milieu d'un échantillon"));
}
