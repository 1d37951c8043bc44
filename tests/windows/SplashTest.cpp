#include <memory>
#include <thread>

#include <QDialog>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "../audio/WaveCapture.h"
#include "platform/controls/TRxGIFAnimator.h"
#include "platform/text/TutorError.h"
#include "windows/TSplash.h"

// The splash window as the learner meets it: its sound starts when it is activated, and a click on the picture
// silences it and closes the window. Sound is read back from the sound library's wave-file output.

namespace {

void Sleep(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

int PlayingVoices(TSplash &splash)
{
    int playing = 0;
    for (const auto &voice : splash.DXWaveList1.Items(0).Voice)
        playing += voice->Playing();
    return playing;
}

class Splash : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Origin = Clock::now();
        Window = std::make_unique<TSplash>();
        ASSERT_TRUE(Window->DXSound1.Initialized());
    }
    // Shows the window as the start-up does, without waiting for it to close.
    void Show()
    {
        Window->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
    }
    // Closes the sound output and reads what it played, lined up on the test's clock.
    WaveCapture Heard()
    {
        const Moment closed = When([&] { Window.reset(); });
        return ReadCapture(qEnvironmentVariable("TUTOR_WAVE_CAPTURE"), closed);
    }
    template <class Action>
    Moment When(Action &&action) const
    {
        return Around(Origin, action);
    }

    Clock::time_point Origin;
    std::unique_ptr<TSplash> Window;
};

TEST_F(Splash, BorderlessCentredPictureWithItsSound)
{
    Show();
    EXPECT_EQ(Window->size(), QSize(256, 192));
    EXPECT_TRUE(Window->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(Window->geometry().center(), Window->screen()->geometry().center());
    EXPECT_EQ(Window->RxGIFAnimator1->geometry(), QRect(0, 0, 256, 192));
    EXPECT_EQ(Window->RxGIFAnimator1->FrameCount(), 19);
    EXPECT_TRUE(Window->RxGIFAnimator1->Animating());
    EXPECT_EQ(Window->DXWaveList1.Count(), 1);
    EXPECT_EQ(Window->DXWaveList1.Items(0).Name, QStringLiteral("COMEDY1.WAV"));
    EXPECT_FALSE(Window->DXWaveList1.Items(0).Looped);

    // Other keys and a request to close from outside leave it open.
    QTest::keyClick(Window.get(), Qt::Key_A);
    QTest::keyClick(Window.get(), Qt::Key_Tab);
    Window->close();
    EXPECT_TRUE(Window->isVisible());
}

TEST_F(Splash, WorkForWhenItIsShownRunsOnceWhileItIsUpAndItsFailureClosesIt)
{
    const auto click = [this] { QTest::mouseClick(Window->RxGIFAnimator1, Qt::LeftButton, {}, QPoint(128, 96)); };
    int runs = 0;
    bool shownMeanwhile = false;
    QTimer::singleShot(300, Window.get(), click);
    Window->ShowModal([&] {
        ++runs;
        shownMeanwhile = Window->isVisible() && Window->RxGIFAnimator1->Animating();
    });
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(shownMeanwhile);

    // A failure closes the window at once and comes out of the modal loop; the click is only there in case.
    Window = std::make_unique<TSplash>();
    QTimer::singleShot(3000, Window.get(), click);
    EXPECT_THROW(Window->ShowModal([] { throw TutorError(QStringLiteral("Image illisible")); }), TutorError);
    EXPECT_FALSE(Window->isVisible());
    EXPECT_EQ(Window->DXWaveList1.Count(), 0);
}

TEST_F(Splash, ReturnSpaceAndEscapeDoWhatTheClickDoes)
{
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_Escape}) {
        Window = std::make_unique<TSplash>();
        Show();
        ASSERT_EQ(PlayingVoices(*Window), 1);
        QTest::keyClick(Window.get(), key);
        EXPECT_FALSE(Window->isVisible()) << key;
        EXPECT_EQ(PlayingVoices(*Window), 0) << key;
    }
}

TEST_F(Splash, SoundStartsOnActivationAndTheClickSilencesItAndCloses)
{
    const Moment shown = When([&] { Show(); });
    EXPECT_EQ(PlayingVoices(*Window), 1);
    Sleep(0.6);
    const Moment clicked =
        When([&] { QTest::mouseClick(Window->RxGIFAnimator1, Qt::LeftButton, {}, QPoint(128, 96)); });
    EXPECT_FALSE(Window->isVisible());
    EXPECT_EQ(PlayingVoices(*Window), 0);
    Sleep(0.4);
    const double closing = SecondsSince(Origin);

    const WaveCapture capture = Heard();
    const auto sounds = capture.Sounds(4, 0.2);
    ASSERT_FALSE(sounds.empty());
    EXPECT_TRUE(Near(capture.At(sounds.front().Start), shown, 0.15));
    EXPECT_TRUE(Near(capture.At(sounds.back().End), clicked, 0.08)) << "silence right after the click";
    EXPECT_EQ(capture.MedianLevel(clicked + 0.08, closing), 0);
}

TEST_F(Splash, SecondActivationPlaysASecondCopyAndTheClickStopsBoth)
{
    Show();
    Sleep(0.3);
    {
        // Another window takes the activation for a moment.
        QDialog over;
        over.setModal(true);
        over.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&over));
        EXPECT_FALSE(Window->isActiveWindow());
        over.hide();
    }
    Window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
    EXPECT_EQ(PlayingVoices(*Window), 2) << "the first copy goes on under the second";
    Sleep(0.2);
    const Moment clicked = When([&] { QTest::mouseClick(Window->RxGIFAnimator1, Qt::LeftButton, {}, QPoint(10, 10)); });
    EXPECT_EQ(PlayingVoices(*Window), 0);
    Sleep(0.3);
    const double closing = SecondsSince(Origin);
    const WaveCapture capture = Heard();
    EXPECT_EQ(capture.MedianLevel(clicked + 0.08, closing), 0);
}

TEST_F(Splash, SoundEndingByItselfLeavesTheWindowOpen)
{
    Show();
    TDXWaveList::Item &comedy = Window->DXWaveList1.Items(0);
    comedy.Stop();
    EXPECT_EQ(PlayingVoices(*Window), 0);
    QTest::qWait(150);
    EXPECT_TRUE(Window->isVisible());
    EXPECT_TRUE(Window->RxGIFAnimator1->Animating());
    QTest::mouseClick(Window->RxGIFAnimator1, Qt::LeftButton, {}, QPoint(200, 150));
    EXPECT_FALSE(Window->isVisible()) << "a click with nothing to stop still closes it";
}

} // namespace
