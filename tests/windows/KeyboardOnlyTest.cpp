// The whole program by the keyboard alone, as a learner who cannot see the screen or will not use the mouse goes
// through it: no click from the splash to "Quitter".

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "platform/controls/TEdit.h"
#include "platform/controls/TLabel.h"
#include "windows/Startup.h"
#include "windows/TMain.h"
#include "windows/TParcours.h"
#include "windows/TResultat.h"
#include "windows/TSplash.h"
#include "windows/TStatistiques.h"

TEST(KeyboardOnly, FromTheSplashThroughACourseLessonToQuitter)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    TutorWindows windows;
    // The windows met, in order, and what the learner does in each with the keys of a real keyboard.
    QStringList met;
    QElapsedTimer resultShown;
    QTimer modals;
    QObject::connect(&modals, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        // The keys go to the control with the focus, or to the window itself when none has it.
        QWidget *keys = QApplication::focusWidget();
        if (!keys || !(keys == modal || modal->isAncestorOf(keys)))
            keys = modal;
        if (qobject_cast<TSplash *>(modal)) {
            met << QStringLiteral("splash");
            QTest::keyClick(keys, Qt::Key_Return);
        } else if (qobject_cast<TStatistiques *>(modal)) {
            met << QStringLiteral("statistiques");
            // The keys that may end a lesson in flight first: they leave it up.
            QTest::keyClick(keys, Qt::Key_Return);
            QTest::keyClick(keys, Qt::Key_Space);
            QTest::keyClick(keys, Qt::Key_Return, Qt::ControlModifier);
        } else if (qobject_cast<TResultat *>(modal)) {
            // The lesson's last keys, in flight, do nothing; once they have passed, Escape closes it.
            if (!resultShown.isValid()) {
                met << QStringLiteral("résultat");
                resultShown.start();
                QTest::keyClick(keys, Qt::Key_Return);
                QTest::keyClick(keys, Qt::Key_Space);
            } else if (resultShown.elapsed() > 2 * TResultat::QuietMs) {
                QTest::keyClick(keys, Qt::Key_Escape);
            }
        } else if (qobject_cast<TParcours *>(modal)) {
            met << QStringLiteral("parcours");
            QTest::keyClick(keys, Qt::Key_Return);
        } else if (qobject_cast<QMessageBox *>(modal)) {
            met << modal->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"))->text();
            QTest::keyClick(keys, Qt::Key_Return);
        } else if (modal->windowTitle() == QStringLiteral("Nom de l'utilisateur")) {
            met << QStringLiteral("nom");
            // Into the name's field itself: on a loaded machine the prompt may be up before its field has the focus.
            QWidget *field = modal->findChild<QLineEdit *>();
            QTest::keyClicks(field ? field : keys, QStringLiteral("Clavier"));
            QTest::keyClick(field ? field : keys, Qt::Key_Return);
        }
    });
    modals.start(20);

    // In the main window: the course by its keys, the lesson's lines typed, then "Quitter" by its keys.
    bool courseAsked = false;
    QTimer main;
    QObject::connect(&main, &QTimer::timeout, [&] {
        TMain &m = *windows.Main;
        if (QApplication::activeModalWidget() || !m.isActiveWindow() || m.UserName().isEmpty())
            return;
        const TypingSession &lesson = m.Session();
        if (!courseAsked) {
            courseAsked = true;
            QTest::keyClick(m.EditText, Qt::Key_P, Qt::AltModifier);
        } else if (QFile::exists(folder.filePath(QStringLiteral("Clavier/Parcours.txt")))) {
            QTest::keyClick(m.EditText, Qt::Key_Q, Qt::AltModifier);
        } else if (lesson.PracticeMode == Practice::Course) {
            const std::string rest = lesson.TargetText.substr(lesson.TypedText.size());
            QTest::keyClicks(m.EditText, QString::fromLatin1(rest.c_str()));
        }
    });
    main.start(20);

    CreateWindows(windows, folder.path() + QLatin1Char('/'));
    windows.Main->show();
    QTRY_VERIFY_WITH_TIMEOUT(windows.Main->End.Requested(), 20000);
    modals.stop();
    main.stop();

    EXPECT_EQ(met,
              (QStringList{QStringLiteral("splash"), QStringLiteral("nom"),
                           QStringLiteral("Création du répertoire pour l'utilsateur"), QStringLiteral("statistiques"),
                           QStringLiteral("parcours"), QStringLiteral("résultat")}));
    EXPECT_EQ(windows.Main->Session().ErrorCount, 0) << "no key of the walk was judged a mistake";
    QFile progress(folder.filePath(QStringLiteral("Clavier/Parcours.txt")));
    ASSERT_TRUE(progress.open(QIODevice::ReadOnly));
    EXPECT_TRUE(progress.readAll().startsWith("1;")) << "the first lesson of the course is recorded";
}
