// Palette making for the indexed pictures: median cut over the colours the painters produced, then a cached
// nearest-colour match to put every pixel on the palette.

#include "Quantise.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace assetgen {

namespace {

struct Sample {
    std::array<double, 3> Rgb;
    double Weight;
};

struct Box {
    std::vector<Sample> Samples;
    double Error = 0; // weighted squared spread along the widest channel
    int Channel = 0;  // that channel

    void Measure()
    {
        Error = 0;
        if (Samples.size() < 2)
            return;
        for (int c = 0; c < 3; ++c) {
            double weight = 0, sum = 0, squares = 0;
            for (const Sample &s : Samples) {
                weight += s.Weight;
                sum += s.Weight * s.Rgb[c];
                squares += s.Weight * s.Rgb[c] * s.Rgb[c];
            }
            const double spread = squares - sum * sum / weight;
            if (spread > Error) {
                Error = spread;
                Channel = c;
            }
        }
    }

    QRgb Mean() const
    {
        std::array<double, 3> sum{0, 0, 0};
        double weight = 0;
        for (const Sample &s : Samples) {
            for (int c = 0; c < 3; ++c)
                sum[c] += s.Weight * s.Rgb[c];
            weight += s.Weight;
        }
        auto channel = [&](int c) { return std::clamp(static_cast<int>(std::lround(sum[c] / weight)), 0, 255); };
        return qRgb(channel(0), channel(1), channel(2));
    }
};

} // namespace

void ColourCounts::Add(const QImage &picture, int alphaThreshold)
{
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(line[x]) >= alphaThreshold)
                Add(line[x]);
    }
}

void ColourCounts::Add(QRgb colour, std::uint32_t times)
{
    m_counts[colour & 0xFFFFFFu] += times;
}

QVector<QRgb> MedianCut(const ColourCounts &counts, int colours)
{
    std::vector<Box> boxes(1);
    for (const auto &entry : counts.Counts()) {
        const QRgb c = entry.first;
        // Square-root weights keep large flat areas from swallowing the whole palette.
        boxes[0].Samples.push_back(
            {{double(qRed(c)), double(qGreen(c)), double(qBlue(c))}, std::sqrt(double(entry.second))});
    }
    if (boxes[0].Samples.empty())
        return {};
    boxes[0].Measure();

    while (static_cast<int>(boxes.size()) < colours) {
        auto worst =
            std::max_element(boxes.begin(), boxes.end(), [](const Box &a, const Box &b) { return a.Error < b.Error; });
        if (worst->Error <= 0)
            break;
        const int channel = worst->Channel;
        std::vector<Sample> samples = std::move(worst->Samples);
        std::sort(samples.begin(), samples.end(),
                  [channel](const Sample &a, const Sample &b) { return a.Rgb[channel] < b.Rgb[channel]; });
        double total = 0;
        for (const Sample &s : samples)
            total += s.Weight;
        double running = 0;
        std::size_t cut = 1;
        for (; cut < samples.size() - 1; ++cut) {
            running += samples[cut - 1].Weight;
            if (running >= total / 2)
                break;
        }
        Box low, high;
        high.Samples.reserve(samples.size() - cut);
        for (std::size_t i = cut; i < samples.size(); ++i)
            high.Samples.push_back(samples[i]);
        samples.resize(cut);
        low.Samples = std::move(samples);
        low.Measure();
        high.Measure();
        *worst = std::move(low);
        boxes.push_back(std::move(high));
    }

    QVector<QRgb> palette;
    for (const Box &box : boxes)
        palette.push_back(box.Mean());
    return palette;
}

NearestColour::NearestColour(QVector<QRgb> palette, int first) : m_palette(std::move(palette)), m_first(first)
{
}

int NearestColour::operator()(QRgb colour)
{
    const std::uint32_t key = colour & 0xFFFFFFu;
    const auto found = m_cache.find(key);
    if (found != m_cache.end())
        return found->second;
    int best = m_first;
    long bestDistance = std::numeric_limits<long>::max();
    for (int i = m_first; i < m_palette.size(); ++i) {
        const QRgb p = m_palette.at(i);
        const long dr = qRed(p) - qRed(colour);
        const long dg = qGreen(p) - qGreen(colour);
        const long db = qBlue(p) - qBlue(colour);
        const long distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    m_cache.emplace(key, best);
    return best;
}

double BayerOffset(int x, int y)
{
    static const int matrix[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return (matrix[y & 3][x & 3] + 0.5) / 16.0 - 0.5;
}

} // namespace assetgen
