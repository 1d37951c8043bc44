#include <cstdlib>
#include <string>

#include <QTest>

#include "MainFixture.h"
#include "guide/KeyboardGuide.h"
#include "guide/TargetLine.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TScroller.h"
#include "platform/drawing/TDXDraw.h"
#include "platform/text/Cp1252.h"

// The keyboard guide as the learner meets it in the window: it follows every key, and the opacity stepper
// redraws it at once.

using GuideWindow = MainFixture;

namespace {

bool IsYellow(QRgb p)
{
    return (p & 0xFFFFFF) == (qRgb(255, 255, 0) & 0xFFFFFF);
}

// A point of the left-hand little finger over the A key (the picture's pixel (14, 86) is its fingertip).
const QPoint LittleFingerTip(70, 124);
const QPoint LeftShift(34, 177);

} // namespace

TEST_F(GuideWindow, TheGuideFollowsTheNextCharacterAfterEveryKey)
{
    WriteLesson(1, "Ab\r\n");
    TMain &m = Main();
    const QImage bare = m.PaintBoxKey->Shown().copy();
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    EXPECT_TRUE(IsYellow(m.PaintBoxKey->Shown().pixel(LeftShift))) << "A needs Shift, shown as soon as it loads";
    EXPECT_NE(m.PaintBoxKey->Shown().pixel(LittleFingerTip), bare.pixel(LittleFingerTip)) << "and the hand";
    // A screen reader reads the same: the line, and the next key with its finger.
    EXPECT_EQ(m.DXPaintBoxTexte->accessibleDescription(), QStringLiteral("Ab"));
    EXPECT_EQ(m.PaintBoxKey->accessibleDescription(),
              QStringLiteral("Prochaine touche : A majuscule, auriculaire gauche"));

    Type(QStringLiteral("x"));
    EXPECT_TRUE(IsYellow(m.PaintBoxKey->Shown().pixel(LeftShift))) << "a wrong key: still the guide for A";

    Type(QStringLiteral("A"));
    EXPECT_FALSE(IsYellow(m.PaintBoxKey->Shown().pixel(LeftShift))) << "b needs no Shift";
    EXPECT_EQ(m.PaintBoxKey->Shown().pixel(LittleFingerTip), bare.pixel(LittleFingerTip))
        << "the hand for b does not reach the A key";
    EXPECT_EQ(m.PaintBoxKey->accessibleDescription(), QStringLiteral("Prochaine touche : b, index gauche"));

    Type(QStringLiteral("b"));
    EXPECT_EQ(m.PaintBoxKey->Shown(), bare) << "the end of the text: the bare keyboard";
    EXPECT_EQ(m.PaintBoxKey->accessibleDescription(), QString());
}

TEST_F(GuideWindow, EachStepOfTheOpacityRedrawsTheHandFainter)
{
    WriteLesson(1, "a\r\n");
    TMain &m = Main();
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    int handlerRuns = 0;
    const auto handler = m.Scroller1->OnClick;
    m.Scroller1->OnClick = [&] {
        ++handlerRuns;
        handler();
    };
    const QPoint left(3, 6);
    // How far the fingertip's pixel lies from the keyboard's own pixel there, channel by channel.
    m.HandOpacity = 0;
    m.DrawKeyboardGuide('a');
    const QRgb key = m.PaintBoxKey->Surface().pixel(LittleFingerTip);
    m.HandOpacity = 255;
    m.DrawKeyboardGuide('a');
    m.PaintBoxKey->Flip();
    auto distance = [&] {
        const QRgb p = m.PaintBoxKey->Shown().pixel(LittleFingerTip);
        return std::abs(qRed(p) - qRed(key)) + std::abs(qGreen(p) - qGreen(key)) + std::abs(qBlue(p) - qBlue(key));
    };
    int previous = distance();
    EXPECT_GT(previous, 100);
    for (const int expected : {204, 153, 102, 51, 0}) {
        QTest::mouseClick(m.Scroller1, Qt::LeftButton, {}, left);
        EXPECT_EQ(m.HandOpacity, expected);
        EXPECT_LT(distance(), previous) << "presented at once, fainter at " << expected;
        previous = distance();
    }
    EXPECT_EQ(previous, 0) << "no hand at 0";
    EXPECT_EQ(handlerRuns, 5);
    QTest::mouseClick(m.Scroller1, Qt::LeftButton, {}, left);
    EXPECT_EQ(handlerRuns, 5) << "the arrow that cannot move runs no handler";
    EXPECT_EQ(m.HandOpacity, 0);
}

TEST_F(GuideWindow, WithoutALessonTheStepperPresentsTheBareKeyboard)
{
    TMain &m = Main();
    const QImage bare = m.PaintBoxKey->Shown().copy();
    QTest::mouseClick(m.Scroller1, Qt::LeftButton, {}, QPoint(3, 6));
    EXPECT_EQ(m.HandOpacity, 204);
    EXPECT_EQ(m.PaintBoxKey->Shown(), bare);
}

// The guide and the target line redraw only what each key changes: what the window shows must stay, pixel for
// pixel, what drawing them whole shows, from the lesson's start to its end, through a wrong key, an opacity step
// and a lesson started again.
TEST_F(GuideWindow, EveryKeyShowsWhatTheWholeGuideAndLineShow)
{
    // Letters, capitals, digits, circumflex and diaeresis vowels, spaces, the ² key, a question mark and signs
    // without a key (# and the euro sign), in Windows-1252.
    const std::string lesson = "Le Z\xE8"
                               "bre a 2 ailes ? M\xEAme \xE7"
                               "a : No\xEBl, x\xB2 # 5 \x80 f\xE4t.";
    WriteLesson(1, lesson + "\r\n");
    TMain &m = Main();
    TDXDraw guide(nullptr, m.PaintBoxKey->SurfaceSize());
    TDXDraw line(nullptr, m.DXPaintBoxTexte->SurfaceSize());
    const auto expectWhole = [&](const std::string &when) {
        DrawKeyboardGuide(guide, m.DXImageList1, m.KeyCentre, m.GuideCharacter(), m.HandOpacity);
        guide.Flip();
        EXPECT_TRUE(m.PaintBoxKey->Shown() == guide.Shown()) << "the guide " << when;
        if (m.Session().TypedText.empty())
            DrawLessonFirstLine(line, m.Session().TargetText);
        else
            DrawTargetLine(line, m.Session().TypedText, m.Session().TargetText);
        EXPECT_TRUE(m.DXPaintBoxTexte->Shown() == line.Shown()) << "the line " << when;
    };
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    expectWhole("at the start");
    for (std::size_t i = 0; i < lesson.size(); ++i) {
        const std::string when = "after " + std::to_string(i + 1) + " characters";
        if (i == 5) {
            Type(QStringLiteral("w"));
            expectWhole("after a wrong key");
        }
        if (i == 12) {
            QTest::mouseClick(m.Scroller1, Qt::LeftButton, {}, QPoint(3, 6));
            ASSERT_EQ(m.HandOpacity, 204);
            expectWhole("after an opacity step");
        }
        if (i == 20) {
            QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
            expectWhole("when the lesson starts again");
            for (std::size_t j = 0; j < i; ++j)
                Type(cp1252::ToUnicode(lesson.substr(j, 1)));
        }
        Type(cp1252::ToUnicode(lesson.substr(i, 1)));
        expectWhole(when);
    }
    EXPECT_TRUE(m.Session().FullyTyped()) << "the lesson was typed to its end";
}
