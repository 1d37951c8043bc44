#include <gtest/gtest.h>

#include <QAccessible>
#include <QTest>

#include "platform/controls/MessageWait.h"
#include "platform/controls/TDXTimer.h"
#include "platform/controls/TLabel.h"
#include "platform/controls/TScroller.h"
#include "platform/controls/TTimer.h"
#include "platform/dialogs/ErrorBox.h"
#include "platform/text/TutorError.h"
#include "support/ScriptedDialogs.h"

TEST(ErrorBox, TextEndsWithAPeriod)
{
    EXPECT_EQ(errorbox::BoxText(QStringLiteral("Disque plein")), QStringLiteral("Disque plein."));
    EXPECT_EQ(errorbox::BoxText(QStringLiteral("Indice de liste hors limites (0)")),
              QStringLiteral("Indice de liste hors limites (0)."));
    EXPECT_EQ(errorbox::BoxText(QStringLiteral("Fin.")), QStringLiteral("Fin."));
}

TEST(ErrorBox, FailureEndsTheHandlerAndTheProgramGoesOn)
{
    ScriptedDialogs dialogs;
    QWidget window;
    UserDialogs::Attach(&window, dialogs);
    bool after = false;
    EXPECT_FALSE(errorbox::Guarded(&window, [&] {
        throw TutorError(QStringLiteral("Wave 'x' not found"));
        after = true;
    }));
    // A failure escaping a Qt event handler ends at the application object.
    QObject target(&window);
    QObject::connect(&target, &QObject::objectNameChanged, &target,
                     [] { throw TutorError(QStringLiteral("Erreur E/S 5")); });
    QTimer::singleShot(0, &target, [&] { target.setObjectName(QStringLiteral("x")); });
    QTest::qWait(20);
    EXPECT_FALSE(after);
    EXPECT_EQ(dialogs.Errors, (QStringList{QStringLiteral("Wave 'x' not found."), QStringLiteral("Erreur E/S 5.")}));
}

TEST(TTimer, IntervalIsTheSwitch)
{
    TTimer timer;
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    QTest::qWait(60);
    EXPECT_EQ(ticks, 0) << "interval 0: no tick";
    timer.SetInterval(10);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 1000));
    timer.SetInterval(0);
    const int stopped = ticks;
    QTest::qWait(60);
    EXPECT_EQ(ticks, stopped);
}

TEST(TScroller, ClicksStepWithinBoundsAndReportOnlyChanges)
{
    TScroller scroller(nullptr, 0, 255, 255, 51);
    scroller.resize(23, 13);
    int clicks = 0;
    scroller.OnClick = [&] { ++clicks; };
    QTest::mouseClick(&scroller, Qt::LeftButton, {}, QPoint(20, 6));
    EXPECT_EQ(clicks, 0);
    QTest::mouseClick(&scroller, Qt::LeftButton, {}, QPoint(2, 6));
    EXPECT_EQ(scroller.Position(), 204);
    EXPECT_EQ(clicks, 1);
    QTest::mouseClick(&scroller, Qt::RightButton, {}, QPoint(2, 6));
    EXPECT_EQ(scroller.Position(), 204);
}

TEST(TLabel, AssistiveToolsReadTheCaption)
{
    TLabel label;
    label.setAccessibleName(QStringLiteral("LabelCorrect"));
    label.SetCaption(QStringLiteral("12"));
    QAccessibleInterface *access = QAccessible::queryAccessibleInterface(&label);
    ASSERT_NE(access, nullptr);
    EXPECT_EQ(access->text(QAccessible::Name), QStringLiteral("LabelCorrect"));
    EXPECT_EQ(access->text(QAccessible::Value), QStringLiteral("12"));
    ASSERT_NE(access->textInterface(), nullptr);
    EXPECT_EQ(access->textInterface()->text(0, 2), QStringLiteral("12"));
    label.SetCaption(QStringLiteral("13"));
    EXPECT_EQ(access->text(QAccessible::Value), QStringLiteral("13"));
}

TEST(TDXTimer, TicksWhenIdleButNeverInsideAWait)
{
    QWidget window;
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    TDXTimer timer;
    int ticks = 0;
    int smallestLag = 1000;
    timer.OnTimer = [&](int lag) {
        ++ticks;
        smallestLag = std::min(smallestLag, lag);
    };
    timer.SetInterval(10);
    timer.SetEnabled(true);
    ProcessMessagesFor(60);
    EXPECT_EQ(ticks, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 2000));
    EXPECT_GE(smallestLag, 1);
    timer.SetEnabled(false);
    const int stopped = ticks;
    QTest::qWait(50);
    EXPECT_EQ(ticks, stopped);
}

TEST(TutorApplication, StandardButtonsSpeakFrench)
{
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Annuler"));
}
