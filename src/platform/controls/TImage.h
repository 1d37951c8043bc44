#pragma once

#include <QImage>
#include <QWidget>

// A still picture drawn unscaled from the control's top-left corner. Where the picture leaves the control
// uncovered, or is see-through, what lies behind shows.
class TImage : public QWidget
{
    Q_OBJECT
public:
    explicit TImage(QWidget *parent = nullptr);

    const QImage &Picture() const { return m_picture; }
    void SetPicture(const QImage &picture);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Tells Qt whether the picture hides all that lies behind the control, which it then need not paint.
    void UpdateOpaque();

    QImage m_picture;
};
