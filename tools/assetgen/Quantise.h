#pragma once

// Colour reduction for the pictures that end up with a small palette (the animations and the icon): a median-cut
// palette chosen from the drawn pixels, and a nearest-colour lookup that remembers what it has already matched.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include <QImage>
#include <QVector>

namespace assetgen {

// Counts how often each opaque colour occurs; pixels whose alpha is below alphaThreshold are left out.
class ColourCounts
{
public:
    void Add(const QImage &picture, int alphaThreshold = 1);
    void Add(QRgb colour, std::uint32_t times = 1);
    const std::unordered_map<std::uint32_t, std::uint32_t> &Counts() const { return m_counts; }

private:
    std::unordered_map<std::uint32_t, std::uint32_t> m_counts;
};

// At most `colours` opaque colours standing for the counted ones. Boxes are split where their spread weighs
// most, so that a rare but vivid colour (a glint, a lit key) still gets an entry of its own.
QVector<QRgb> MedianCut(const ColourCounts &counts, int colours);

// The nearest palette entry (in a perceptually weighted RGB distance), searching entries [first, palette size).
class NearestColour
{
public:
    explicit NearestColour(QVector<QRgb> palette, int first = 0);
    int operator()(QRgb colour);

private:
    QVector<QRgb> m_palette;
    int m_first;
    std::unordered_map<std::uint32_t, int> m_cache;
};

// A 4 x 4 ordered-dither offset, in -0.5 .. 0.5, for pixel (x, y).
double BayerOffset(int x, int y);

} // namespace assetgen
