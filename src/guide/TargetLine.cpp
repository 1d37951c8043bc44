#include "guide/TargetLine.h"

#include <algorithm>

#include <QImage>

#include "platform/drawing/Colour.h"
#include "platform/drawing/TDXDraw.h"

namespace {

void UseLineFont(DrawCanvas &canvas, std::uint32_t colour)
{
    canvas.Font.Color = colour;
    canvas.Font.Name = QStringLiteral("Times new roman");
    canvas.Font.Size = 14;
}

// One text in one colour on black, without a text background; presented.
void DrawWholeLine(TDXDraw &surface, const std::string &text, std::uint32_t colour)
{
    surface.Fill(colours::Black);
    DrawCanvas &canvas = surface.Canvas();
    canvas.Brush.Solid = false;
    UseLineFont(canvas, colour);
    canvas.TextOut(0, 0, text);
    surface.ReleaseCanvas();
    surface.Flip();
}

} // namespace

void DrawTargetLine(TDXDraw &surface, const std::string &typed, const std::string &target)
{
    surface.Fill(colours::Black);
    DrawCanvas &canvas = surface.Canvas();
    // An opaque black cell behind the red prefix hides the yellow glyphs it covers.
    canvas.Brush.Color = colours::Black;
    canvas.Brush.Solid = true;
    UseLineFont(canvas, colours::Yellow);
    canvas.TextOut(0, 0, target);
    UseLineFont(canvas, colours::Red);
    canvas.TextOut(0, 0, typed);
    surface.ReleaseCanvas();
    surface.Flip();
}

void TargetLine::Keep(const std::string &typed, const std::string &target, int typedWidth)
{
    m_typed = typed;
    m_target = target;
    m_typedWidth = typedWidth;
    m_drawnAt = m_surface.Changes();
    m_drawn = m_surface.CanDraw();
}

void TargetLine::Draw(const std::string &typed, const std::string &target)
{
    const bool kept = m_drawn && m_surface.Changes() == m_drawnAt && target == m_target &&
                      typed.size() >= m_typed.size() && typed.compare(0, m_typed.size(), m_typed) == 0;
    DrawCanvas &canvas = m_surface.Canvas();
    UseLineFont(canvas, colours::Yellow);
    const int typedWidth = canvas.TextWidth(canvas.CoveringPart(typed, m_surface.SurfaceSize().width()));
    if (!kept) {
        DrawTargetLine(m_surface, typed, target);
        Keep(typed, target, typedWidth);
        return;
    }
    // The columns between the old and the new end of the red text, and as far again as a character's pixels may
    // reach past its room: the characters typed now, the yellow they cover and the red of those before them
    // that now stands on black.
    const int reach = canvas.TextReach();
    const QRect changed(QPoint(std::min(m_typedWidth, typedWidth) - reach, 0),
                        QPoint(std::max(m_typedWidth, typedWidth) + reach, m_surface.SurfaceSize().height() - 1));
    m_surface.Fill(colours::Black, changed);
    canvas.Brush.Color = colours::Black;
    canvas.Brush.Solid = true;
    canvas.TextOut(0, 0, target, changed);
    UseLineFont(canvas, colours::Red);
    canvas.TextOut(0, 0, typed, changed);
    m_surface.ReleaseCanvas();
    m_surface.Flip({changed});
    Keep(typed, target, typedWidth);
}

void TargetLine::DrawFirstLine(const std::string &target)
{
    DrawLessonFirstLine(m_surface, target);
    Keep(std::string(), target, 0);
}

void DrawLessonFirstLine(TDXDraw &surface, const std::string &target)
{
    DrawWholeLine(surface, target, colours::Yellow);
}

void DrawHiddenLine(TDXDraw &surface, const std::string &message)
{
    DrawWholeLine(surface, message, colours::Silver);
}

QImage ScrollTextPicture(TDXDraw &surface, const std::string &target)
{
    // A picture as wide as a megabyte of text would take gigabytes; its first thousands of pixels pass by the
    // learner in minutes, far longer than anyone types along one pass.
    constexpr int Widest = 32000;
    DrawCanvas &line = surface.Canvas();
    UseLineFont(line, colours::Yellow);
    const int width = std::clamp(line.TextWidth(line.CoveringPart(target, Widest)), 1, Widest);
    surface.ReleaseCanvas();

    TDXDraw picture(nullptr, QSize(width, surface.Surface().height()));
    picture.Initialize();
    picture.Fill(colours::Black);
    DrawCanvas &canvas = picture.Canvas();
    canvas.Brush.Solid = false;
    UseLineFont(canvas, colours::Yellow);
    canvas.TextOut(0, 0, target);
    picture.ReleaseCanvas();
    picture.Flip();
    return picture.Shown().copy();
}

bool ScrollTargetLine(TDXDraw &surface, const QImage &picture, int &offset, int interval, const std::string &target)
{
    if (!surface.CanDraw())
        return true;
    surface.Fill(colours::Black);
    offset -= interval >= 50 ? 1 : 2;
    DrawCanvas &canvas = surface.Canvas();
    canvas.Draw(offset, 0, picture);
    // The picture is the text's width, or as much of it as was drawn.
    const bool goesOn = offset > -(picture.isNull() ? canvas.TextWidth(target) : picture.width());
    surface.ReleaseCanvas();
    surface.Flip();
    return goesOn;
}
