#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include <QImage>
#include <QPainter>
#include <QWidget>

// The drawing state of a surface's canvas: brush, pen and font keep their values from one drawing to the next,
// as a learner of the surface expects; the painter itself exists only between the first drawing call and the
// release of the canvas.
class DrawCanvas
{
public:
    struct BrushState {
        std::uint32_t Color = 0xFFFFFF;
        bool Solid = true;
    };
    struct PenState {
        std::uint32_t Color = 0x000000;
        int Width = 1;
    };
    struct FontState {
        QString Name = QStringLiteral("MS Sans Serif");
        int Size = 8; // points
        std::uint32_t Color = 0x000000;
    };

    explicit DrawCanvas(QImage &surface) : m_surface(surface) {}

    BrushState Brush;
    PenState Pen;
    FontState Font;

    // Writes Windows-1252 text with the top-left corner of its cell at (x, y); with a solid brush the cell is
    // first filled with the brush colour.
    void TextOut(int x, int y, std::string_view text);
    int TextWidth(std::string_view text);
    // Draws a picture unscaled with its top-left corner at (x, y).
    void Draw(int x, int y, const QImage &picture);

    bool Active() const { return m_painter != nullptr; }
    void Release();

private:
    QPainter &Painter();
    QFont CurrentFont() const;

    QImage &m_surface;
    std::unique_ptr<QPainter> m_painter;
};

// An off-screen drawing surface of fixed size shown in a control. Drawing goes to the surface; nothing shows
// until Flip presents it, and the last presented picture is shown again on every repaint, unscaled from the
// control's top-left corner (rows or columns beyond the control are not shown).
class TDXDraw : public QWidget
{
    Q_OBJECT
public:
    TDXDraw(QWidget *parent, QSize surfaceSize);

    void Initialize();
    bool CanDraw() const { return !m_back.isNull(); }

    QSize SurfaceSize() const { return m_size; }
    const QImage &Surface() const { return m_back; }
    const QImage &Shown() const { return m_front; }

    void Fill(std::uint32_t colour);
    DrawCanvas &Canvas() { return *m_canvas; }
    void ReleaseCanvas() { m_canvas->Release(); }
    // Presents the surface; does nothing while it cannot be drawn.
    void Flip();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSize m_size;
    QImage m_back;
    QImage m_front;
    std::unique_ptr<DrawCanvas> m_canvas;
};
