#include <vector>

#include <QKeyEvent>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include "platform/controls/TEdit.h"
#include "platform/input/Keyboard.h"

namespace {

// A focusable widget that keeps every key event it is given.
class KeyRecorder : public QWidget
{
public:
    KeyRecorder() { setFocusPolicy(Qt::StrongFocus); }

    struct Seen {
        QEvent::Type Type;
        int Key;
        Qt::KeyboardModifiers Modifiers;
        QString Text;
        quint32 VirtualKey;
        quint32 ScanCode;
    };
    std::vector<Seen> Events;

    std::vector<Seen> Presses() const
    {
        std::vector<Seen> presses;
        for (const Seen &seen : Events)
            if (seen.Type == QEvent::KeyPress)
                presses.push_back(seen);
        return presses;
    }

protected:
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) {
            const auto *key = static_cast<QKeyEvent *>(e);
            Events.push_back(
                {e->type(), key->key(), key->modifiers(), key->text(), key->nativeVirtualKey(), key->nativeScanCode()});
            return true;
        }
        return QWidget::event(e);
    }
};

class SyntheticKeyboard : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Recorder.show();
        Recorder.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Recorder));
        Recorder.setFocus();
    }

    void Press(std::uint8_t key, bool release = true)
    {
        Keyboard.KeybdEvent(key, static_cast<std::uint8_t>(keyboard::MapVirtualKey(key, 0)), 0);
        if (release)
            Keyboard.KeybdEvent(key, static_cast<std::uint8_t>(keyboard::MapVirtualKey(key, 0)), keyboard::KeyUpFlag);
    }
    void Release(std::uint8_t key) { Keyboard.KeybdEvent(key, 0, keyboard::KeyUpFlag); }

    KeyboardStream Keyboard;
    KeyRecorder Recorder;
};

TEST_F(SyntheticKeyboard, KeysReachTheFocusedWidgetInTheOrderSent)
{
    Press(0x10, false);
    Press('A');
    Release(0x10);
    Press('Z');
    EXPECT_TRUE(Recorder.Events.empty()) << "nothing arrives before the messages are passed on";
    EXPECT_EQ(Keyboard.WaitingMessages(), 6);
    Keyboard.PassKeyboardMessages();
    ASSERT_EQ(Recorder.Events.size(), 6u);
    EXPECT_EQ(Keyboard.WaitingMessages(), 0);

    const auto &e = Recorder.Events;
    EXPECT_EQ(e[0].Type, QEvent::KeyPress);
    EXPECT_EQ(e[0].Key, Qt::Key_Shift);
    EXPECT_EQ(e[1].Key, Qt::Key_A);
    EXPECT_EQ(e[1].Text, QStringLiteral("A"));
    EXPECT_EQ(e[1].Modifiers, Qt::ShiftModifier);
    EXPECT_EQ(e[1].VirtualKey, 0x41u);
    EXPECT_EQ(e[1].ScanCode, 0x10u);
    EXPECT_EQ(e[2].Type, QEvent::KeyRelease);
    EXPECT_EQ(e[2].Key, Qt::Key_A);
    EXPECT_EQ(e[3].Key, Qt::Key_Shift);
    EXPECT_EQ(e[3].Type, QEvent::KeyRelease);
    EXPECT_EQ(e[4].Text, QStringLiteral("z"));
    EXPECT_EQ(e[4].Modifiers, Qt::NoModifier);
}

TEST_F(SyntheticKeyboard, EventLoopDeliversWhatWasNotPassedOn)
{
    Press('Q');
    EXPECT_TRUE(QTest::qWaitFor([&] { return Recorder.Events.size() == 2; }, 1000));
    EXPECT_EQ(Recorder.Events[0].Text, QStringLiteral("q"));
    // A stream that goes with keys still queued takes them along: nothing reaches the widget afterwards.
    {
        KeyboardStream gone;
        gone.KeybdEvent('W', 0, 0);
    }
    QTest::qWait(20);
    EXPECT_EQ(Recorder.Events.size(), 2u);
}

TEST_F(SyntheticKeyboard, AltGrAndDeadKeysGiveTheirCharacters)
{
    // AltGr is Ctrl with Alt.
    Press(0x11, false);
    Press(0x12, false);
    Press('0');
    Press('E');
    Release(0x11);
    Release(0x12);
    // ^ then e, ¨ then space, ^ then z.
    Press(0xDD);
    Press('E');
    Press(0x10, false);
    Press(0xDD);
    Release(0x10);
    Press(0x20);
    Press(0xDD);
    Press('Z');
    Keyboard.PassKeyboardMessages();

    QStringList typed;
    for (const auto &seen : Recorder.Presses())
        if (!seen.Text.isEmpty())
            typed << seen.Text;
    EXPECT_EQ(typed, (QStringList{QStringLiteral("@"), QStringLiteral("€"), QStringLiteral("ê"), QStringLiteral("¨"),
                                  QStringLiteral("^z")}));
    const auto presses = Recorder.Presses();
    int deadKeys = 0;
    for (const auto &seen : presses)
        deadKeys += seen.Key == Qt::Key_Dead_Circumflex || seen.Key == Qt::Key_Dead_Diaeresis;
    EXPECT_EQ(deadKeys, 3);
}

TEST_F(SyntheticKeyboard, KeyStateFollowsTheKeys)
{
    Press(0x10, false);
    EXPECT_EQ(Keyboard.GetKeyState(0x10) & 0x8000, 0x8000);
    Release(0x10);
    EXPECT_EQ(Keyboard.GetKeyState(0x10), 0);

    // CapsLock toggles on its press, once per press.
    Press(0x14, false);
    Press(0x14, false);
    EXPECT_EQ(Keyboard.GetKeyState(0x14) & 1, 1) << "a repeated press while down does not toggle again";
    Release(0x14);
    Press('A');
    Press('1');
    Press(0x14);
    Press('A');
    Keyboard.PassKeyboardMessages();
    QString typed;
    for (const auto &seen : Recorder.Presses())
        typed += seen.Text;
    EXPECT_EQ(typed, QStringLiteral("A1a"));

    kbdlayout::KeyStateTable table{};
    Keyboard.GetKeyboardState(table);
    table[144] |= 1;
    Keyboard.SetKeyboardState(table);
    EXPECT_EQ(Keyboard.GetKeyState(144), 1);
    EXPECT_EQ(keyboard::MapVirtualKey('A', 1), 0u);
}

TEST(SyntheticKeyboardEdit, EditBoxTakesTheKeysAsTyped)
{
    KeyboardStream stream;
    TEdit edit;
    std::string seen;
    edit.OnKeyPress = [&](char &key) { seen.push_back(key); };
    edit.show();
    edit.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&edit));
    edit.setFocus();
    for (const std::uint8_t key : {std::uint8_t('L'), std::uint8_t(0xDD), std::uint8_t('E'), std::uint8_t('9'),
                                   std::uint8_t(0x08), std::uint8_t(0x32)}) {
        stream.KeybdEvent(key, 0, 0);
        stream.KeybdEvent(key, 0, keyboard::KeyUpFlag);
    }
    stream.PassKeyboardMessages();
    EXPECT_EQ(seen, "l\xea\xe7\b\xe9");
    EXPECT_EQ(edit.text(), QStringLiteral("lêé"));
}

} // namespace
