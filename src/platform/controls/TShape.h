#pragma once

#include <cstdint>

#include <QWidget>

// A filled rectangle with a one-pixel black outline.
class TShape : public QWidget
{
    Q_OBJECT
public:
    TShape(QWidget *parent, std::uint32_t brushColour);

    std::uint32_t BrushColour() const { return m_brush; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::uint32_t m_brush;
};
