#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include <QGlyphRun>
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
    // What TextOut(x, y, text) draws within the area, and nothing outside it. The layout of the text is kept
    // for the next call, which may give it again or a beginning of it (the typed beginning of a line), so that a
    // narrow area of a long line costs the characters near it rather than the whole line.
    void TextOut(int x, int y, std::string_view text, const QRect &area);
    int TextWidth(std::string_view text);
    // How far the pixels of a character in the current font may lie outside the room it takes in the line,
    // kerning included.
    int TextReach();
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
    // The font of the Font state, made again only when its name or size change: a font made afresh looks its
    // face up again at its first use.
    const QFont &CurrentFont();
    struct FontInUse {
        QString Name;
        int Size = 0;
        QFont Made;
        int Reach = 0;
    };
    std::unique_ptr<FontInUse> m_font;
    void UsePenAndBrush(QPainter &painter) const;

    // A text laid out once in one font: its glyphs placed on a baseline at y = 0, and where each character
    // begins. A line whose characters are not one glyph each, in order, in one font, or that holds a control
    // character (a tab stops relative to the start of the text) is drawn whole, clipped.
    struct LaidOutText {
        QString Text;
        QFont Font;
        int Width = 0;
        QGlyphRun Glyphs;
        std::vector<qreal> Edges;
        bool PerCharacter = false;
    };
    const LaidOutText &LaidOut(const QString &text, const QFont &font);
    std::unique_ptr<LaidOutText> m_laidOut;
    // The last width measured: the typed beginning of a line is measured for its area, then drawn there. A beginning
    // of the text laid out last is measured from its layout.
    QString m_measuredText;
    QFont m_measuredFont;
    int m_measuredWidth = 0;
    int Width(const QString &text, const QFont &font);

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
    // Goes up with every drawing on the surface and every present, whoever does them: a drawing kept aside to be
    // changed in places later is still what the surface holds and shows as long as this has not moved since.
    std::uint64_t Changes() const { return m_changes; }

    QSize SurfaceSize() const { return m_size; }
    // What the surface holds: the drawing not yet presented, or what is shown when nothing was drawn since.
    const QImage &Surface() const { return m_backStale ? m_front : m_back; }
    const QImage &Shown() const { return m_front; }

    void Fill(std::uint32_t colour);
    void Fill(std::uint32_t colour, const QRect &area);
    // Copies the area of a picture the surface's size onto the same area of the surface.
    void CopyArea(const QImage &picture, const QRect &area);
    DrawCanvas &Canvas() { return *m_canvas; }
    void ReleaseCanvas() { m_canvas->Release(); }
    // Draws a list picture with its transparent colour into the rectangle at (x, y) of the picture's size, with
    // alpha 0 (nothing) to 255 (opaque). It writes the pixels directly, so the canvas is released first.
    void DrawAlpha(int x, int y, const TDXImageList::Item &item, int alpha);
    // The same for the rectangle `within` of the picture (picture coordinates) only, left where it lies in the
    // whole picture: a picture mostly transparent is drawn by the rectangles that hold its pixels.
    void DrawAlpha(int x, int y, const TDXImageList::Item &item, int alpha, const QRect &within);
    // Presents the surface; does nothing while it cannot be drawn.
    void Flip();
    // Presents the areas of the surface only, the rest shown staying as it was: after a drawing that changed
    // nothing else, the same as Flip at the cost of the areas.
    void Flip(const std::vector<QRect> &areas);
    // Presents the surface as Flip does, for a drawing that differs from what is shown only within the areas:
    // only they are painted again.
    void FlipChanged(const std::vector<QRect> &changed);
    // After a present, the surface holds a copy of what is shown, made when the next drawing starts. A drawing
    // that knows how the picture shown before that present differs from what it is about to draw starts from
    // that older picture instead, which the surface still has, and saves the copy.
    void ResumeFromPrevious();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    friend class DrawCanvas;
    // Makes the back buffer hold the surface's content before it is drawn on. After a present the two buffers
    // have been swapped and the back one holds an older picture; it is brought up to date by a copy unless the
    // drawing about to start covers the whole surface anyway.
    void PrepareBack(bool coversAll);
    // Lets the canvas go; whether something has been drawn since the last present, for the presents by area.
    bool HasNewDrawing();
    // The part of the area on the surface, made ready to be drawn on directly; empty when nothing can be drawn.
    QRect StartDrawingIn(const QRect &area);

    QSize m_size;
    std::uint64_t m_changes = 0;
    QImage m_back;
    QImage m_front;
    bool m_backStale = false;
    std::unique_ptr<DrawCanvas> m_canvas;
};
