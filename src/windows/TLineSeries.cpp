#include "windows/TLineSeries.h"

#include <QLineSeries>
#include <QPen>

TLineSeries::TLineSeries(QLineSeries *series) : m_series(series)
{
}

void TLineSeries::AddY(double y, const QString &label, std::optional<std::uint32_t> colour)
{
    m_colours.push_back(colour);
    m_labels.push_back(label);
    m_series->append(m_series->count(), y);
}

int TLineSeries::Count() const
{
    return m_series->count();
}

double TLineSeries::YValue(int index) const
{
    return m_series->at(index).y();
}

void TLineSeries::SetLineWidth(int width)
{
    QPen pen = m_series->pen();
    pen.setWidth(width);
    m_series->setPen(pen);
}

int TLineSeries::LineWidth() const
{
    return m_series->pen().width();
}
