#pragma once

#include <functional>

#include <QWidget>

// A two-arrow stepper: a click on the left half lowers the position by the step, on the right half raises it,
// within the bounds. An arrow that cannot move is drawn disabled and does nothing; OnClick runs only when the
// position has changed.
class TScroller : public QWidget
{
    Q_OBJECT
public:
    TScroller(QWidget *parent, int minimum, int maximum, int position, int step);

    int Position() const { return m_position; }
    int Min() const { return m_min; }
    int Max() const { return m_max; }
    int Step() const { return m_step; }

    std::function<void()> OnClick;

    // What a click on the left arrow (-1) or the right one (+1) does, for a learner without a mouse.
    void Step(int direction) { Move(direction < 0 ? -m_step : m_step); }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void Move(int delta);

    int m_min;
    int m_max;
    int m_position;
    int m_step;
};
