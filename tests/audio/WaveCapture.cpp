#include "WaveCapture.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <QFile>
#include <gtest/gtest.h>

namespace {

std::uint32_t Le32(const char *p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

std::uint16_t Le16(const char *p)
{
    std::uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

} // namespace

WaveCapture ReadCapture(const QString &path)
{
    WaveCapture capture;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "no capture at " << path.toStdString();
        return capture;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") {
        ADD_FAILURE() << "the capture is not a wave file";
        return capture;
    }
    int channels = 0;
    int bits = 0;
    for (qsizetype at = 12; at + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(at, 4);
        // The data chunk's size is left open while the device runs; it runs to the end of the file.
        qsizetype size = Le32(bytes.constData() + at + 4);
        if (at + 8 + size > bytes.size())
            size = bytes.size() - at - 8;
        const char *body = bytes.constData() + at + 8;
        if (id == "fmt ") {
            channels = Le16(body + 2);
            capture.Rate = static_cast<int>(Le32(body + 4));
            bits = Le16(body + 14);
        } else if (id == "data") {
            EXPECT_EQ(channels, 1);
            EXPECT_EQ(bits, 16);
            capture.Samples.resize(static_cast<std::size_t>(size / 2));
            std::memcpy(capture.Samples.data(), body, capture.Samples.size() * 2);
        }
        at += 8 + size + (size & 1);
    }
    EXPECT_GT(capture.Rate, 0);
    return capture;
}

WaveCapture ReadCapture(const QString &path, Moment closed)
{
    WaveCapture capture = ReadCapture(path);
    if (capture.Rate > 0) {
        const double length = static_cast<double>(capture.Samples.size()) / capture.Rate;
        capture.Opened = {closed.From - length, closed.To - length};
    }
    return capture;
}

::testing::AssertionResult Near(Moment heard, Moment expected, double tolerance)
{
    if (heard.From <= expected.To + tolerance && heard.To >= expected.From - tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "heard between " << heard.From << " and " << heard.To
                                         << " s, expected between " << expected.From << " and " << expected.To
                                         << " s, give or take " << tolerance;
}

std::vector<WaveCapture::Span> WaveCapture::Sounds(int threshold, double gap) const
{
    std::vector<Span> spans;
    for (std::size_t i = 0; i < Samples.size(); ++i) {
        if (std::abs(Samples[i]) <= threshold)
            continue;
        const double t = static_cast<double>(i) / Rate;
        if (!spans.empty() && t - spans.back().End <= gap)
            spans.back().End = t;
        else
            spans.push_back({t, t});
    }
    return spans;
}

int WaveCapture::MedianLevel(Moment fromMoment, Moment toMoment) const
{
    const double from = fromMoment.To - Opened.From;
    const double to = toMoment.From - Opened.To;
    const auto first = static_cast<std::size_t>(std::max(0.0, from * Rate));
    const auto last = std::min(Samples.size(), static_cast<std::size_t>(std::max(0.0, to * Rate)));
    if (first >= last)
        return 0;
    std::vector<int> levels;
    for (std::size_t i = first; i < last; ++i)
        levels.push_back(std::abs(Samples[i]));
    std::nth_element(levels.begin(), levels.begin() + static_cast<std::ptrdiff_t>(levels.size() / 2), levels.end());
    return levels[levels.size() / 2];
}

double WaveCapture::LastEndBefore(Moment time, int threshold) const
{
    double end = -1;
    for (const Span &span : Sounds(threshold))
        if (span.End < time.From - Opened.To)
            end = span.End;
    return end;
}

WaveCapture::Span Audible(const PcmWave &wave)
{
    const int frameBytes = wave.BlockAlign();
    const int frames = frameBytes > 0 ? static_cast<int>(wave.Samples.size()) / frameBytes : 0;
    auto silent = [&](int frame) {
        const char *p = wave.Samples.constData() + static_cast<std::ptrdiff_t>(frame) * frameBytes;
        for (int c = 0; c < wave.Channels; ++c) {
            if (wave.BitsPerSample == 8 ? static_cast<unsigned char>(p[c]) != 128 : Le16(p + 2 * c) != 0)
                return false;
        }
        return true;
    };
    int first = 0;
    while (first < frames && silent(first))
        ++first;
    int last = frames - 1;
    while (last > first && silent(last))
        --last;
    return {static_cast<double>(first) / wave.SamplesPerSec, static_cast<double>(last) / wave.SamplesPerSec};
}
