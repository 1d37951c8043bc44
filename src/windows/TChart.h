#pragma once

#include <functional>

#include <QChartView>
#include <QColor>
#include <QFont>

// The chart control: a chart in a lowered bevel, with a foot line under the plot and click and double-click
// events. It offers no zoom or panning by mouse.
class TChart : public QChartView
{
    Q_OBJECT
public:
    explicit TChart(QWidget *parent);

    struct FootLine {
        QString Text;
        QFont Font;
        QColor Colour;
    };
    FootLine Foot;

    std::function<void()> OnClick;
    std::function<void()> OnDblClick;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void drawForeground(QPainter *painter, const QRectF &rect) override;
};
