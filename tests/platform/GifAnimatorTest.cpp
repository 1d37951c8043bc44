// The animated-picture control on GIFs written by the asset generator's writer: frames, their timing, the loop,
// transparency over what lies behind, centring and the click. The frames it decodes one at a time are checked
// against a decode of the whole file.

#include <algorithm>
#include <memory>

#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "AssetGen.h"
#include "assets/EmbeddedAssets.h"
#include "platform/controls/TRxGIFAnimator.h"
#include "platform/text/TutorError.h"

namespace {

const QRgb Red = qRgb(255, 0, 0);
const QRgb Green = qRgb(0, 255, 0);
const QRgb Blue = qRgb(0, 0, 255);
const QRgb Behind = qRgb(255, 0, 255);

// The file the asset generator's writer makes of the animation.
QByteArray Written(const assetgen::GifAnimation &animation)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/picture.gif");
    assetgen::WriteGif(path, animation);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

// 8 x 8, index 0 transparent. Frame 0 red all over but its top-left pixel; frame 1 green on its left half only;
// frame 2 one blue pixel at (1, 1). Delays 300, 0 and 100 ms.
QByteArray ThreeFrames(bool restoreToBackground)
{
    assetgen::GifAnimation animation;
    animation.Width = animation.Height = 8;
    animation.Palette = {qRgb(1, 2, 3), Red, Green, Blue};
    animation.TransparentIndex = 0;
    animation.RestoreToBackground = restoreToBackground;
    const int delays[] = {300, 0, 100};
    for (int f = 0; f < 3; ++f) {
        QImage picture(8, 8, QImage::Format_Indexed8);
        picture.setColorTable(animation.Palette);
        picture.fill(f == 0 ? 1 : 0);
        if (f == 0)
            picture.setPixel(0, 0, 0);
        for (int y = 0; f == 1 && y < 8; ++y)
            for (int x = 0; x < 4; ++x)
                picture.setPixel(x, y, 2);
        if (f == 2)
            picture.setPixel(1, 1, 3);
        animation.Frames.push_back({picture, delays[f]});
    }
    return Written(animation);
}

// side x side, red, green and blue all over in turn: each frame changes every pixel.
QByteArray Flashing(int side)
{
    assetgen::GifAnimation animation;
    animation.Width = animation.Height = side;
    animation.Palette = {Red, Green, Blue, Behind};
    for (int f = 0; f < 3; ++f) {
        QImage picture(side, side, QImage::Format_Indexed8);
        picture.setColorTable(animation.Palette);
        picture.fill(f);
        animation.Frames.push_back({picture, 100});
    }
    return Written(animation);
}

// A window painted in one colour with the control in it.
class Stage : public QWidget
{
public:
    Stage()
    {
        setAutoFillBackground(true);
        QPalette colours = palette();
        colours.setColor(QPalette::Window, QColor(Behind));
        setPalette(colours);
        resize(300, 120);
    }
    QImage Seen(const QWidget *control)
    {
        return grab(control->geometry()).toImage().convertToFormat(QImage::Format_RGB32);
    }
    // What the window holds in the control's box once the pending repaints are done, as the screen shows it:
    // unlike Seen, nothing is painted afresh for the look.
    QImage Shown(const QWidget *control)
    {
        QCoreApplication::processEvents();
        const QRect box = control->geometry();
        return screen()
            ->grabWindow(winId(), box.x(), box.y(), box.width(), box.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
};

// Steps the control through two loops from its design frame, each frame as a decode of the whole file has it,
// the second made from the changes kept over the first unless they are too big; `replaying` tells whether it was.
void ExpectFramesOfWholeDecode(const QByteArray &gif, int designFrame, bool &replaying)
{
    const auto frames = TRxGIFAnimator::DecodeFrames(gif);
    const int count = static_cast<int>(frames.size());
    TRxGIFAnimator::Settings settings;
    settings.Animate = false;
    settings.FrameIndex = designFrame;
    TRxGIFAnimator control(nullptr, settings);
    control.SetAnimation(gif);
    int expected = std::min(designFrame, count - 1);
    for (int step = 0; step <= 2 * count; ++step) {
        ASSERT_EQ(control.FrameIndex(), expected) << "step " << step;
        ASSERT_EQ(control.CurrentFrame(), frames[expected].Image) << "frame " << expected;
        control.ShowNextFrame();
        expected = (expected + 1) % count;
    }
    EXPECT_EQ(control.FrameCount(), count);
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(control.FrameDelay(i), frames[i].DelayMs) << "frame " << i;
    replaying = control.Replaying();
}

TEST(GifAnimator, FramesComeWithTheirClampedDelays)
{
    const auto frames = TRxGIFAnimator::DecodeFrames(ThreeFrames(true));
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].DelayMs, 300);
    EXPECT_EQ(frames[1].DelayMs, 50) << "a delay of 0 shows for the shortest time";
    EXPECT_EQ(frames[2].DelayMs, 100);
    EXPECT_EQ(frames[0].Image.pixel(3, 3), Red);
    EXPECT_EQ(qAlpha(frames[0].Image.pixel(0, 0)), 0);
    EXPECT_EQ(frames[1].Image.pixel(0, 5), Green);
    EXPECT_EQ(qAlpha(frames[1].Image.pixel(6, 5)), 0) << "the red frame was cleared to the background";
    EXPECT_EQ(frames[2].Image.pixel(1, 1), Blue);
    EXPECT_EQ(qAlpha(frames[2].Image.pixel(0, 5)), 0);

    // Without the clearing, what a frame leaves transparent keeps the frame before it.
    const auto kept = TRxGIFAnimator::DecodeFrames(ThreeFrames(false));
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[1].Image.pixel(6, 5), Red);
}

TEST(GifAnimator, FramesShownOneByOneAreThoseOfTheWholeFile)
{
    const struct {
        QByteArray Gif;
        int DesignFrame;
        bool Replaying;
    } rows[] = {
        {assets::Embedded(QStringLiteral("RxGIFAnimator1.gif")), 22, true},
        {assets::Embedded(QStringLiteral("RxGIFAnimator2.gif")), 1, true},
        {assets::Embedded(QStringLiteral("Splash.gif")), 0, true},
        {Flashing(250), 1, true},  // 3 x 250 kB
        {Flashing(400), 1, false}, // 3 x 640 kB of changes: too many to keep
        {ThreeFrames(true), 0, true},
        {ThreeFrames(false), 1, true},
        {ThreeFrames(true), 7, true}, // past the last frame: the last
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.DesignFrame);
        bool replaying = false;
        ExpectFramesOfWholeDecode(row.Gif, row.DesignFrame, replaying);
        EXPECT_EQ(replaying, row.Replaying);
    }
}

TEST(GifAnimator, FileCutShortLoopsOverTheFramesThatCanBeRead)
{
    const QByteArray whole = ThreeFrames(false);
    for (qsizetype length = 0; length < whole.size(); ++length) {
        SCOPED_TRACE(length);
        const QByteArray cut = whole.left(length);
        bool readable = true;
        try {
            TRxGIFAnimator::DecodeFrames(cut);
        } catch (const TutorError &) {
            readable = false;
        }
        if (!readable) {
            TRxGIFAnimator control(nullptr, {});
            EXPECT_THROW(control.SetAnimation(cut), TutorError);
            continue;
        }
        bool replaying = false;
        ExpectFramesOfWholeDecode(cut, 2, replaying);
        EXPECT_TRUE(replaying);
    }
}

TEST(GifAnimator, UnreadablePictureFails)
{
    TRxGIFAnimator control(nullptr, {});
    EXPECT_THROW(control.SetAnimation(QByteArray("GIF89a garbage")), TutorError);
    EXPECT_THROW(control.SetAnimation(QByteArray()), TutorError);
}

TEST(GifAnimator, PlaysInOrderForEachDelayAndLoops)
{
    Stage stage;
    TRxGIFAnimator control(&stage, {});
    control.setGeometry(10, 10, 8, 8);
    control.SetAnimation(ThreeFrames(true));
    EXPECT_EQ(control.FrameIndex(), 0);
    EXPECT_FALSE(control.Animating()) << "nothing plays before the window is shown";

    QElapsedTimer clock;
    clock.start();
    stage.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&stage));
    EXPECT_TRUE(control.Animating());
    // The file has no loop marker: the control loops by itself, 0, 1, 2, 0, 1 ...
    // A frame came after the last look that did not show it yet and went before the first look that showed the
    // next, so the time between those two looks can only be longer than the frame was held, however late the
    // looks come on a loaded machine.
    const int expected[] = {1, 2, 0, 1};
    const int atLeast[] = {300, 50, 100, 300};
    qint64 cameAfter = 0; // frame 0 shows from the start
    qint64 notYet = 0;
    for (int step = 0; step < 4; ++step) {
        qint64 seen = 0;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                const qint64 now = clock.elapsed();
                if (control.FrameIndex() != expected[step]) {
                    notYet = now;
                    return false;
                }
                seen = now;
                return true;
            },
            3000))
            << step;
        EXPECT_GE(seen - cameAfter, atLeast[step] - 2) << "frame " << step << " held for its delay";
        cameAfter = notYet;
        notYet = seen;
    }

    stage.hide();
    EXPECT_FALSE(control.Animating()) << "a hidden picture stops";
}

TEST(GifAnimator, EachNextFrameShowsWholeOverWhatLiesBehind)
{
    const struct {
        const char *Name;
        int DesignFrame;
        bool Center;
        QRect Box;
        QPoint Origin;
    } rows[] = {
        {"RxGIFAnimator1.gif", 22, true, {5, 5, 178, 66}, {0, -7}},
        {"RxGIFAnimator2.gif", 1, false, {200, 30, 51, 45}, {0, 0}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        const QByteArray gif = assets::Embedded(QLatin1String(row.Name));
        const auto frames = TRxGIFAnimator::DecodeFrames(gif);
        Stage stage;
        TRxGIFAnimator::Settings settings;
        settings.Animate = false;
        settings.Center = row.Center;
        settings.FrameIndex = row.DesignFrame;
        TRxGIFAnimator control(&stage, settings);
        control.setGeometry(row.Box);
        control.SetAnimation(gif);
        stage.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&stage));
        for (std::size_t step = 0; step <= 2 * frames.size(); ++step) {
            const std::size_t index = (row.DesignFrame + step) % frames.size();
            QImage expected(row.Box.size(), QImage::Format_RGB32);
            expected.fill(Behind);
            QPainter(&expected).drawImage(row.Origin, frames[index].Image);
            ASSERT_EQ(stage.Shown(&control), expected) << "frame " << index;
            control.ShowNextFrame();
        }
    }
}

TEST(GifAnimator, PicturesPlayTogetherAndEitherMayGo)
{
    Stage stage;
    auto first = std::make_unique<TRxGIFAnimator>(&stage, TRxGIFAnimator::Settings{});
    TRxGIFAnimator second(&stage, {});
    first->setGeometry(10, 10, 8, 8);
    second.setGeometry(30, 10, 8, 8);
    first->SetAnimation(ThreeFrames(true));
    second.SetAnimation(ThreeFrames(false));
    stage.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&stage));
    EXPECT_TRUE(first->Animating());
    EXPECT_TRUE(second.Animating());
    first.reset();
    const int shown = second.FrameIndex();
    EXPECT_TRUE(QTest::qWaitFor([&] { return second.FrameIndex() != shown; }, 3000));
}

TEST(GifAnimator, TransparentPixelsShowWhatLiesBehind)
{
    Stage stage;
    TRxGIFAnimator::Settings settings;
    settings.Animate = false;
    settings.FrameIndex = 1;
    TRxGIFAnimator control(&stage, settings);
    control.setGeometry(20, 20, 8, 8);
    control.SetAnimation(ThreeFrames(true));
    stage.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&stage));
    EXPECT_FALSE(control.Animating());
    const QImage seen = stage.Seen(&control);
    EXPECT_EQ(seen.pixel(1, 4), Green);
    EXPECT_EQ(seen.pixel(6, 4), Behind);
}

TEST(GifAnimator, TitleIsCentredAndCutInItsShorterBox)
{
    Stage stage;
    TRxGIFAnimator::Settings settings;
    settings.Animate = false;
    settings.Center = true;
    settings.FrameIndex = 22;
    TRxGIFAnimator control(&stage, settings);
    control.setGeometry(5, 5, 178, 66);
    control.SetAnimation(assets::Embedded(QStringLiteral("RxGIFAnimator1.gif")));
    EXPECT_EQ(control.size(), QSize(178, 66)) << "not sized to the 80-pixel picture";
    EXPECT_EQ(control.FrameIndex(), 22) << "the design frame";
    stage.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&stage));

    // The picture over the background, as it should show: its rows 7 to 72.
    QImage expected(178, 66, QImage::Format_RGB32);
    expected.fill(Behind);
    QPainter(&expected).drawImage(0, -7, control.CurrentFrame());
    EXPECT_EQ(stage.Seen(&control), expected);
    QImage uncut(178, 66, QImage::Format_RGB32);
    uncut.fill(Behind);
    QPainter(&uncut).drawImage(0, 0, control.CurrentFrame());
    EXPECT_NE(stage.Seen(&control), uncut) << "the picture drawn from its top would show otherwise";
}

TEST(GifAnimator, SizesItselfToThePictureWhenAsked)
{
    TRxGIFAnimator::Settings settings;
    settings.AutoSize = true;
    settings.FrameIndex = 1;
    TRxGIFAnimator control(nullptr, settings);
    control.resize(10, 10);
    control.SetAnimation(assets::Embedded(QStringLiteral("RxGIFAnimator2.gif")));
    EXPECT_EQ(control.size(), QSize(51, 45));
    EXPECT_EQ(control.FrameCount(), 14);
    EXPECT_EQ(control.FrameDelay(6), 50);
}

TEST(GifAnimator, ClickIsAPressAndReleaseOverThePicture)
{
    Stage stage;
    TRxGIFAnimator control(&stage, {});
    control.setGeometry(10, 10, 40, 40);
    control.SetAnimation(ThreeFrames(true));
    int clicks = 0;
    control.OnClick = [&] { ++clicks; };
    stage.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&stage));
    QTest::mouseClick(&control, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, 1);
    QTest::mouseClick(&control, Qt::RightButton, {}, QPoint(5, 5));
    QTest::mousePress(&control, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&control, Qt::LeftButton, {}, QPoint(60, 60));
    EXPECT_EQ(clicks, 1) << "a right click, or a release away from the picture, is no click";
}

} // namespace
