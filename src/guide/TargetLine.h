#pragma once

#include <cstdint>
#include <string>

class QImage;
class TDXDraw;

// The target line: the lesson's text in yellow on black, with the part typed correctly in red over it, both
// from the surface's top-left corner in Times New Roman 14.

// Redraws the line with the typed prefix in red and presents it.
void DrawTargetLine(TDXDraw &surface, const std::string &typed, const std::string &target);

// The first drawing of a lesson: the whole text in yellow, without a text background; presented.
void DrawLessonFirstLine(TDXDraw &surface, const std::string &target);

// A line that hides the lesson's text: a message in grey on black, presented.
void DrawHiddenLine(TDXDraw &surface, const std::string &message);

// The picture of the scrolling text: the whole target text in yellow on black, in the line's font, as wide as
// the text (at most 32000 pixels: a longer text shows its beginning) and as high as the surface. The surface's canvas
// is left with the line's font, so each step of the scrolling measures the text as it was drawn.
QImage ScrollTextPicture(TDXDraw &surface, const std::string &target);

// One step of the scrolling text: the picture moves left by 1 pixel when the timer's interval is 50 ms or more,
// by 2 otherwise, and is drawn at its new offset. Returns false once its left edge has gone the picture's width
// (without a picture, the target text's width in the canvas's current font) past the surface's left edge: the scrolling
// is over. A surface that cannot be drawn changes nothing, not even the offset.
bool ScrollTargetLine(TDXDraw &surface, const QImage &picture, int &offset, int interval, const std::string &target);

// The target line kept on one surface from one key to the next. After a line drawn whole, or a lesson's first
// drawing, a key that adds to the typed text redraws only the columns it changes (red over the yellow it
// covers) and presents only them. The surface shows, pixel for pixel, what DrawTargetLine shows; anything else
// drawn on the surface in between makes the next line a whole one again.
class TargetLine
{
public:
    explicit TargetLine(TDXDraw &surface) : m_surface(surface) {}

    // What DrawTargetLine shows, presented.
    void Draw(const std::string &typed, const std::string &target);
    // What DrawLessonFirstLine shows, presented: the same as the line with nothing typed.
    void DrawFirstLine(const std::string &target);

private:
    void Keep(const std::string &typed, const std::string &target, int typedWidth);

    TDXDraw &m_surface;
    std::string m_typed;
    std::string m_target;
    // The red text's width as drawn, and the surface's change count just after the line.
    int m_typedWidth = 0;
    std::uint64_t m_drawnAt = 0;
    bool m_drawn = false;
};
