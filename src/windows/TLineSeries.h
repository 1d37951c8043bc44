#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QString>

class QLineSeries;

// A line series of the progress chart: one point per recorded result, its x value its position. Each point keeps
// the colour it was given (none for points loaded from the history, which take the series' own colour) and its
// label; the drawing is the chart's.
class TLineSeries
{
public:
    explicit TLineSeries(QLineSeries *series);

    // Appends a point whose x value is the number of points before it.
    void AddY(double y, const QString &label = QString(), std::optional<std::uint32_t> colour = std::nullopt);
    int Count() const;
    double YValue(int index) const;
    std::optional<std::uint32_t> PointColour(int index) const { return m_colours.at(static_cast<std::size_t>(index)); }

    void SetLineWidth(int width);
    int LineWidth() const;

    QLineSeries *Series() const { return m_series; }

private:
    QLineSeries *m_series;
    std::vector<std::optional<std::uint32_t>> m_colours;
    std::vector<QString> m_labels;
};
