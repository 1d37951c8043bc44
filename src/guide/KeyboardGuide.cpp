#include "guide/KeyboardGuide.h"

#include <algorithm>

#include "platform/drawing/Colour.h"
#include "platform/drawing/TDXDraw.h"
#include "platform/drawing/TDXImageList.h"

using namespace keymap;

namespace {

constexpr int MarkPenWidth = 2;

// The shapes' bounding rectangles around a key centre.
QRect MarkerBox(KeyPoint centre)
{
    return QRect(centre.x - 6, centre.y - 6, 12, 12);
}

QRect OutlineBox(KeyPoint centre)
{
    return QRect(centre.x - 8, centre.y - 8, 19, 20);
}

// Every pixel a shape in the box may change: the pen reaches past the box by its width, and one pixel more
// leaves room for rounding.
QRect MarkedArea(const QRect &box)
{
    constexpr int reach = MarkPenWidth + 1;
    return box.adjusted(-reach, -reach, reach, reach);
}

// The canvas with its pen and brush set for a mark.
DrawCanvas &MarkPen(TDXDraw &surface, std::uint32_t pen, std::uint32_t brush, bool filled)
{
    DrawCanvas &canvas = surface.Canvas();
    canvas.Pen.Color = pen;
    canvas.Pen.Width = MarkPenWidth;
    canvas.Brush.Color = brush;
    canvas.Brush.Solid = filled;
    return canvas;
}

// A few items in drawing order, held without allocating: a key has at most four marks and three hands.
template <typename T, std::size_t N>
class Few
{
public:
    void Add(const T &item) { m_items.at(m_count++) = item; }
    const T *begin() const { return m_items.data(); }
    const T *end() const { return m_items.data() + m_count; }

private:
    std::array<T, N> m_items{};
    std::size_t m_count = 0;
};

// The marks for ch in drawing order, each given by its box: both Shift keys, AltGr, the dead key, the outline.
struct Mark {
    bool Outline = false;
    QRect Box;
};
using Marks = Few<Mark, 4>;

Marks MarksFor(const KeyCentres &centres, const GuideFacts &facts)
{
    Marks marks;
    const auto add = [&](bool outline, QRect box) { marks.Add({outline, box}); };
    if (facts.Shift) {
        add(false, MarkerBox(centres(LeftShiftKey)));
        add(false, MarkerBox(centres(RightShiftKey)));
    }
    if (facts.AltGr)
        add(false, MarkerBox(AltGrCentre));
    if (!(facts.DeadKey == NoKey))
        add(false, MarkerBox(facts.DeadKey));
    if (facts.Outlined)
        add(true, OutlineBox(facts.Centre));
    return marks;
}

void DrawMark(TDXDraw &surface, const Mark &mark)
{
    const int left = mark.Box.left();
    const int top = mark.Box.top();
    const int right = left + mark.Box.width();
    const int bottom = top + mark.Box.height();
    if (mark.Outline)
        MarkPen(surface, colours::Yellow, colours::Grey, false).RoundRect(left, top, right, bottom, 5, 6);
    else
        MarkPen(surface, colours::Red, colours::Yellow, true).Ellipse(left, top, right, bottom);
}

// The hand pictures for ch in drawing order, each with where its top-left corner goes.
struct Hand {
    int Item = 0;
    QPoint At;
};
using Hands = Few<Hand, 3>;

Hands HandsFor(const KeyCentres &centres, const GuideFacts &facts)
{
    Hands hands;
    const auto add = [&](KeyPoint centre, Placement placement) {
        hands.Add({placement.Item, QPoint(centre.x + placement.dx, centre.y + placement.dy)});
    };
    for (int i = 0; i < facts.Fingers.Count; ++i)
        add(facts.Centre, facts.Fingers.Items[static_cast<std::size_t>(i)]);
    // The dead key is struck first, then the space bar: the left thumb shows on the space bar too.
    if (facts.ThumbOnSpace)
        add(centres(' '), FingerOffset(PouceG));
    return hands;
}

} // namespace

void DrawKeyboardPicture(TDXDraw &surface, const TDXImageList &pictures)
{
    surface.Canvas().Draw(-1, -1, pictures.Items(KeyboardPictureIndex).Picture);
}

void DrawKeyMarker(TDXDraw &surface, const KeyCentres &centres, unsigned char code)
{
    DrawMark(surface, {false, MarkerBox(centres(code))});
}

void DrawKeyOutline(TDXDraw &surface, const KeyCentres &centres, unsigned char ch)
{
    DrawMark(surface, {true, OutlineBox(centres(ch))});
}

void DrawKeyboardGuide(TDXDraw &surface, const TDXImageList &pictures, const KeyCentres &centres, unsigned char ch,
                       int handOpacity, const LayoutKeys *keys)
{
    DrawKeyboardPicture(surface, pictures);
    const GuideFacts facts = GuideFactsOf(ch, keys);
    for (const Mark &mark : MarksFor(centres, facts))
        DrawMark(surface, mark);
    // The hands are written straight into the pixels, after the canvas has let go of them.
    surface.ReleaseCanvas();
    for (const Hand &hand : HandsFor(centres, facts))
        surface.DrawAlpha(hand.At.x(), hand.At.y(), pictures.Items(hand.Item), handOpacity);
}

KeyboardGuide::KeyboardGuide(TDXDraw &surface, const TDXImageList &pictures, const KeyCentres &centres)
    : m_surface(surface), m_pictures(pictures), m_centres(centres)
{
}

const std::vector<QRect> &KeyboardGuide::Cover(int item)
{
    const TDXImageList::Item &hand = m_pictures.Items(item);
    const auto index = static_cast<std::size_t>(item);
    std::vector<QRect> &cover = m_covers.at(index);
    if (hand.Picture.cacheKey() == m_coverSources[index])
        return cover;
    // Bands of 16 rows follow a hand's outline closely enough: a third of the picture is left out, and a hand
    // takes a dozen rectangles.
    constexpr int BandRows = 16;
    const QImage picture = hand.Picture.convertToFormat(QImage::Format_RGB32);
    const std::uint32_t key = hand.TransparentRgb();
    cover.clear();
    for (int top = 0; top < picture.height(); top += BandRows) {
        const int bottom = std::min(top + BandRows, picture.height()) - 1;
        int left = picture.width();
        int right = -1;
        for (int y = top; y <= bottom; ++y) {
            const auto *row = reinterpret_cast<const std::uint32_t *>(picture.constScanLine(y));
            for (int x = 0; x < picture.width(); ++x)
                if ((row[x] & 0xFFFFFFu) != key) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        }
        if (right >= left)
            cover.emplace_back(QPoint(left, top), QPoint(right, bottom));
    }
    m_coverSources[index] = hand.Picture.cacheKey();
    return cover;
}

void KeyboardGuide::DrawOverBareKeyboard(unsigned char ch, int handOpacity)
{
    const QRect surface(QPoint(0, 0), m_surface.SurfaceSize());
    const auto cover = [&](const QRect &area) {
        const QRect shown = area.intersected(surface);
        if (!shown.isEmpty())
            m_covered.push_back(shown);
    };
    const GuideFacts facts = GuideFactsOf(ch, m_keys);
    for (const Mark &mark : MarksFor(m_centres, facts)) {
        DrawMark(m_surface, mark);
        cover(MarkedArea(mark.Box));
    }
    m_surface.ReleaseCanvas();
    // The hands are drawn by the bands that hold their pixels: the rest of each picture is transparent.
    if (handOpacity <= 0)
        return;
    for (const Hand &hand : HandsFor(m_centres, facts)) {
        for (const QRect &band : Cover(hand.Item)) {
            m_surface.DrawAlpha(hand.At.x(), hand.At.y(), m_pictures.Items(hand.Item), handOpacity, band);
            cover(band.translated(hand.At));
        }
    }
}

void KeyboardGuide::UseKeyboard(const LayoutKeys *keys)
{
    m_keys = keys;
    // The next guide is drawn whole: the marks and hands shown may stand elsewhere on the other keyboard.
    m_tracked = false;
}

bool KeyboardGuide::Tracked() const
{
    return m_tracked && m_surface.Changes() == m_changesAt &&
           m_pictures.Items(KeyboardPictureIndex).Picture.cacheKey() == m_bareSource;
}

void KeyboardGuide::Draw(unsigned char ch, int handOpacity)
{
    std::vector<QRect> previous;
    if (!Tracked()) {
        DrawKeyboardPicture(m_surface, m_pictures);
        m_surface.ReleaseCanvas();
        const QImage &keyboard = m_pictures.Items(KeyboardPictureIndex).Picture;
        // Only a keyboard picture that hides everything below it leaves a bare keyboard to copy back from.
        const bool coversSurface =
            !keyboard.hasAlphaChannel() &&
            QRect(QPoint(-1, -1), keyboard.size()).contains(QRect(QPoint(0, 0), m_surface.SurfaceSize()));
        m_tracked = coversSurface && m_surface.CanDraw();
        if (m_tracked && keyboard.cacheKey() != m_bareSource) {
            m_bare = m_surface.Surface().copy();
            m_bareSource = keyboard.cacheKey();
        }
        m_behindKnown = false;
        m_whole = true;
    } else if (!m_presented) {
        previous.swap(m_covered);
    } else if (m_behindKnown) {
        m_surface.ResumeFromPrevious();
        previous = m_behind;
    } else {
        // The first drawing after the present copies what is shown.
        previous = m_shown;
    }
    for (const QRect &area : previous)
        m_surface.CopyArea(m_bare, area);
    m_covered.clear();
    DrawOverBareKeyboard(ch, handOpacity);
    m_presented = false;
    m_changesAt = m_surface.Changes();
}

void KeyboardGuide::Present()
{
    if (!Tracked()) {
        m_surface.Flip();
        m_tracked = false;
        return;
    }
    if (m_presented)
        return;
    const std::uint64_t before = m_surface.Changes();
    if (m_whole) {
        m_surface.Flip();
    } else {
        std::vector<QRect> changed = m_shown;
        for (const QRect &area : m_covered)
            if (std::find(changed.begin(), changed.end(), area) == changed.end())
                changed.push_back(area);
        m_surface.FlipChanged(changed);
    }
    // A guide that drew nothing over a bare keyboard shown leaves the pictures where they were.
    if (m_surface.Changes() != before) {
        m_behind.swap(m_shown);
        m_behindKnown = !m_whole;
    }
    m_shown = m_covered;
    m_presented = true;
    m_whole = false;
    m_changesAt = m_surface.Changes();
}
