#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "support/ScriptedDialogs.h"
#include "windows/TMain.h"
#include "windows/TStatistiques.h"

class TLabel;

// A main window and its statistics window on a program folder of the test's own, shown and active, with a
// scripted learner for its dialogs: the name typed at the prompt, the messages seen, the
// statistics window closed at once after each showing. Lesson files are written by the test, byte for byte.
class MainFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    void WriteLesson(int level, const std::string &bytes);
    TMain &Main();
    // Closes the main window and its statistics window now, as the end of the program does.
    void CloseMain();
    QString Folder() const { return m_dir.path() + QLatin1Char('/'); }

    // What the learner reads.
    static QString Shown(const TLabel *label);
    QString BoxText() const;

    // Clicks `button`; while the modal window of kind W that it opens is up, shown on the screen, the learner does
    // `whileShown` there. Other modal windows go on as the test has them.
    template <typename W>
    void ClickOpening(QWidget *button, const std::function<void(W &)> &whileShown)
    {
        const auto others = Dialogs.WhileModal;
        Dialogs.WhileModal = [&](QDialog &window) {
            if (auto *opened = qobject_cast<W *>(&window)) {
                opened->show();
                ASSERT_TRUE(QTest::qWaitForWindowExposed(opened));
                whileShown(*opened);
            } else if (others) {
                others(window);
            }
        };
        QTest::mouseClick(button, Qt::LeftButton);
        Dialogs.WhileModal = others;
    }
    // Types text into the edit box as key presses.
    void Type(const QString &text);

    // The learner of this test, handed to the main window.
    ScriptedDialogs Dialogs;
    QStringList &Errors = Dialogs.Errors;
    // The name typed at the prompt before "OK" ("Testeur" unless the test says otherwise); nothing stands for
    // "Annuler".
    std::optional<QString> &NameAnswer = Dialogs.Answer;
    // "Title: text" of every message box seen.
    QStringList &Messages = Dialogs.Messages;
    // The folder the program runs from, when not the test's folder (which then holds no lessons of its own).
    QString ExecutableFolder;
    // How often the statistics window was shown, and what the learner does while it is up.
    int &StatisticsShown = Dialogs.ModalShown;
    std::function<void(TStatistiques &)> WhileStatisticsShown;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TMain> m_main;
};
