#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTest>

#include "platform/controls/TEdit.h"
#include "platform/dialogs/ErrorBox.h"
#include "platform/text/TutorError.h"
#include "support/ScriptedDialogs.h"

namespace {

std::string CharactersOf(int key, Qt::KeyboardModifiers mods, const QString &text)
{
    const QKeyEvent event(QEvent::KeyPress, key, mods, text);
    return TEdit::CharactersOf(event);
}

} // namespace

TEST(TEdit, KeysGiveTheCharactersOfAWindowsKeyboard)
{
    struct Row {
        const char *name;
        int key;
        Qt::KeyboardModifiers mods;
        QString text;
        std::string expected;
    };
    const Row rows[] = {
        {"letter", Qt::Key_A, Qt::NoModifier, QStringLiteral("a"), "a"},
        {"capital", Qt::Key_A, Qt::ShiftModifier, QStringLiteral("A"), "A"},
        {"e acute", Qt::Key_Eacute, Qt::NoModifier, QString::fromUtf8("é"), "\xE9"},
        {"Enter", Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), "\r"},
        {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, QStringLiteral("\r"), "\r"},
        {"Backspace", Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"), "\b"},
        {"Escape", Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"), "\x1b"},
        {"Tab", Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"), "\t"},
        {"Ctrl+A", Qt::Key_A, Qt::ControlModifier, QString(), "\x01"},
        {"Ctrl+Z", Qt::Key_Z, Qt::ControlModifier, QStringLiteral("\x1a"), "\x1a"},
        {"Ctrl+V", Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16"), "\x16"},
        {"Ctrl+1", Qt::Key_1, Qt::ControlModifier, QStringLiteral("1"), ""},
        {"Delete", Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"), ""},
        {"Shift+Insert", Qt::Key_Insert, Qt::ShiftModifier, QString(), ""},
        {"arrow", Qt::Key_Left, Qt::NoModifier, QString(), ""},
        {"Shift alone", Qt::Key_Shift, Qt::ShiftModifier, QString(), ""},
        {"outside the code page", Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("ő"), std::string(1, '\0')},
        {"euro with AltGr", Qt::Key_E, Qt::AltModifier | Qt::ControlModifier, QString::fromUtf8("€"), "\x80"},
        {"at sign with X11's AltGr", Qt::Key_At, Qt::GroupSwitchModifier, QStringLiteral("@"), "@"},
        {"Alt+a", Qt::Key_A, Qt::AltModifier, QStringLiteral("a"), ""},
        {"Alt+Shift+a", Qt::Key_A, Qt::AltModifier | Qt::ShiftModifier, QStringLiteral("A"), ""},
    };
    for (const Row &row : rows)
        EXPECT_EQ(CharactersOf(row.key, row.mods, row.text), row.expected) << row.name;
}

TEST(TEdit, OnlyAcceptedCharactersEnterTheBox)
{
    TEdit edit;
    std::vector<int> seen;
    edit.OnKeyPress = [&](char &key) {
        seen.push_back(static_cast<unsigned char>(key));
        if (key == 'x')
            key = 0;
    };
    QTest::keyClicks(&edit, QStringLiteral("axb"));
    EXPECT_EQ(edit.text(), QStringLiteral("ab"));
    EXPECT_EQ(seen, (std::vector<int>{'a', 'x', 'b'}));

    // An accepted Backspace deletes like a Windows edit box does; other control characters add nothing.
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.text(), QStringLiteral("a"));
}

TEST(TEdit, ComposedCharacterArrivesAsOne)
{
    TEdit edit;
    std::vector<int> seen;
    edit.OnKeyPress = [&](char &key) { seen.push_back(static_cast<unsigned char>(key)); };
    QInputMethodEvent preedit(QStringLiteral("^"), {});
    QCoreApplication::sendEvent(&edit, &preedit);
    EXPECT_TRUE(seen.empty());
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("ê"));
    QCoreApplication::sendEvent(&edit, &commit);
    EXPECT_EQ(seen, (std::vector<int>{0xEA}));
    EXPECT_EQ(edit.text(), QString::fromUtf8("ê"));
}

TEST(TEdit, FailingHandlerIsReportedAndItsCharacterLeftOut)
{
    ScriptedDialogs dialogs;
    TEdit edit;
    UserDialogs::Attach(&edit, dialogs);
    edit.OnKeyPress = [](char &key) {
        if (key == 'b')
            throw TutorError(QStringLiteral("Disque plein"));
    };
    QTest::keyClicks(&edit, QStringLiteral("abc"));
    EXPECT_EQ(edit.text(), QStringLiteral("ac"));
    EXPECT_EQ(dialogs.Errors, QStringList{QStringLiteral("Disque plein.")});
}
