#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include <QImage>
#include <QPainter>
#include <QWidget>

#include "platform/drawing/TDXImageList.h"

class TDXDraw;

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

    explicit DrawCanvas(TDXDraw &owner) : m_owner(owner) {}

    BrushState Brush;
    PenState Pen;
    FontState Font;

    // Writes Windows-1252 text with the top-left corner of its cell at (x, y); with a solid brush the cell is
    // first filled with the brush colour.
    void TextOut(int x, int y, std::string_view text);
    int TextWidth(std::string_view text);
    // The part of a long text that is enough to cover `width` pixels: a beginning measured wider than that, or
    // the whole text. What lies beyond can never show, and measuring or drawing a megabyte of it on every key
    // would freeze the window.
    std::string_view CoveringPart(std::string_view text, int width);
    // Draws a picture unscaled with its top-left corner at (x, y).
    void Draw(int x, int y, const QImage &picture);
    // Shapes in a bounding rectangle whose right and bottom edges are excluded, outlined with the pen and
    // filled with the brush when it is solid. The rounded rectangle's corners are ellipses of the given size.
    void Ellipse(int left, int top, int right, int bottom);
    void RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);

    bool Active() const { return m_painter != nullptr; }
    void Release();

private:
    // The painter on the surface; the first drawing after a present says whether it covers the whole surface,
    // in which case the surface need not first be brought up to date with what is shown.
    QPainter &Painter(bool coversAll = false);
    bool CanPaint() const;
    QFont CurrentFont() const;
    void UsePenAndBrush(QPainter &painter) const;

    // Outlined shapes are stroked once per size, pen and brush into a transparent picture, then copied: the
    // guide draws the same few shapes on every key. Shapes are not smoothed, so the copy gives the very pixels
    // that stroking on the surface would.
    enum class Shape { Ellipse, RoundRect };
    struct ShapeKey {
        Shape Kind;
        int Width, Height, CornerWidth, CornerHeight;
        PenState ShapePen;
        BrushState ShapeBrush;
        bool operator==(const ShapeKey &other) const;
    };
    void DrawShape(const ShapeKey &key, int left, int top);
    std::vector<std::pair<ShapeKey, QImage>> m_shapes;

    TDXDraw &m_owner;
    std::unique_ptr<QPainter> m_painter;
};

// An off-screen drawing surface of fixed size shown in a control. Drawing goes to the surface; nothing shows
// until Flip presents it, and the last presented picture is shown again on every repaint, unscaled from the
// control's top-left corner (rows or columns beyond the control are not shown). Everything drawn is clipped at
// the surface's edges. The surface holds 32-bit true-colour pixels, never a palette, so alpha draws always
// blend.
class TDXDraw : public QWidget
{
    Q_OBJECT
public:
    TDXDraw(QWidget *parent, QSize surfaceSize);

    void Initialize();
    // Lets the surface go, as when its window closes: it cannot be drawn until the next Initialize.
    void Finalize();
    bool CanDraw() const { return !m_back.isNull(); }

    QSize SurfaceSize() const { return m_size; }
    // What the surface holds: the drawing not yet presented, or what is shown when nothing was drawn since.
    const QImage &Surface() const { return m_backStale ? m_front : m_back; }
    const QImage &Shown() const { return m_front; }

    void Fill(std::uint32_t colour);
    DrawCanvas &Canvas() { return *m_canvas; }
    void ReleaseCanvas() { m_canvas->Release(); }
    // Draws a list picture with its transparent colour into the rectangle at (x, y) of the picture's size, with
    // alpha 0 (nothing) to 255 (opaque). It writes the pixels directly, so the canvas is released first.
    void DrawAlpha(int x, int y, const TDXImageList::Item &item, int alpha);
    // Presents the surface; does nothing while it cannot be drawn.
    void Flip();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    friend class DrawCanvas;
    // Makes the back buffer hold the surface's content before it is drawn on. After a present the two buffers
    // have been swapped and the back one holds an older picture; it is brought up to date by a copy unless the
    // drawing about to start covers the whole surface anyway.
    void PrepareBack(bool coversAll);

    QSize m_size;
    QImage m_back;
    QImage m_front;
    bool m_backStale = false;
    std::unique_ptr<DrawCanvas> m_canvas;
};
