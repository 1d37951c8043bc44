#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "platform/controls/TLabel.h"
#include "platform/controls/TRxGIFAnimator.h"
#include "platform/dialogs/Dialogs.h"
#include "windows/Startup.h"
#include "windows/TMain.h"
#include "windows/TSplash.h"
#include "windows/TStatistiques.h"

// The start-up order: the main window is made first but stays hidden while the splash is up, and the statistics
// window only comes once the splash has been clicked away.

TEST(Startup, SplashComesBetweenTheMainWindowAndTheStatistics)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    TutorWindows windows;
    bool seen = false;
    QTimer::singleShot(300, [&] {
        auto *splash = qobject_cast<TSplash *>(QApplication::activeModalWidget());
        ASSERT_NE(splash, nullptr) << "the splash is shown modally";
        seen = true;
        EXPECT_TRUE(splash->isVisible());
        ASSERT_NE(windows.Main, nullptr);
        EXPECT_FALSE(windows.Main->isVisible());
        EXPECT_EQ(windows.Main->LabelUser->Caption(), QStringLiteral("Marie Durand")) << "no identification yet";
        EXPECT_TRUE(splash->RxGIFAnimator1->Animating());
        QTest::mouseClick(splash->RxGIFAnimator1, Qt::LeftButton, {}, QPoint(128, 96));
    });
    CreateWindows(windows, folder.path() + QLatin1Char('/'));
    EXPECT_TRUE(seen);
    ASSERT_NE(windows.Splash, nullptr);
    EXPECT_FALSE(windows.Splash->isVisible());
    EXPECT_FALSE(windows.Main->Statistiques().isVisible());
    EXPECT_FALSE(windows.Main->isVisible()) << "the message loop shows it";
}
