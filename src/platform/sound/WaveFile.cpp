#include "platform/sound/WaveFile.h"

#include <cstdint>

#include "platform/text/TutorError.h"

namespace {

std::uint32_t U32(const QByteArray &bytes, qsizetype at)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData() + at);
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

unsigned U16(const QByteArray &bytes, qsizetype at)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData() + at);
    return unsigned(p[0]) | unsigned(p[1]) << 8;
}

[[noreturn]] void Fail(const char *why)
{
    throw TutorError(QStringLiteral("Fichier son incorrect : %1").arg(QString::fromUtf8(why)));
}

} // namespace

double PcmWave::Seconds() const
{
    return BytesPerSec() > 0 ? double(Samples.size()) / BytesPerSec() : 0.0;
}

PcmWave ReadWave(const QByteArray &file)
{
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE")
        Fail("ce n'est pas un fichier RIFF/WAVE");

    PcmWave wave;
    bool haveFormat = false;
    qsizetype at = 12;
    while (at + 8 <= file.size()) {
        const QByteArray id = file.mid(at, 4);
        const std::uint32_t size = U32(file, at + 4);
        const qsizetype body = at + 8;
        if (size > std::uint32_t(file.size() - body))
            Fail("un bloc dépasse la fin du fichier");
        if (id == "fmt ") {
            if (size < 16)
                Fail("le bloc de format est trop court");
            if (U16(file, body) != 1)
                Fail("les échantillons ne sont pas en PCM entier");
            wave.Channels = int(U16(file, body + 2));
            wave.SamplesPerSec = int(U32(file, body + 4));
            wave.BitsPerSample = int(U16(file, body + 14));
            if (wave.Channels < 1 || wave.Channels > 2)
                Fail("seuls le mono et la stéréo sont lus");
            if (wave.BitsPerSample != 8 && wave.BitsPerSample != 16)
                Fail("seuls les échantillons de 8 et 16 bits sont lus");
            if (wave.SamplesPerSec < 1000 || wave.SamplesPerSec > 192000)
                Fail("la fréquence d'échantillonnage est hors limites");
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat)
                Fail("les données précèdent le format");
            if (size % std::uint32_t(wave.BlockAlign()) != 0)
                Fail("les données s'arrêtent au milieu d'un échantillon");
            wave.Samples = file.mid(body, qsizetype(size));
            return wave;
        }
        at = body + qsizetype(size) + qsizetype(size & 1);
    }
    Fail(haveFormat ? "aucune donnée sonore" : "aucun bloc de format");
}
