#include <fstream>
#include <iterator>

#include <QTest>
#include <QTimer>

#include "platform/controls/TBitBtn.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TLabel.h"
#include "platform/drawing/TDXDraw.h"
#include "platform/input/Keyboard.h"
#include "platform/text/Cp1252.h"
#include "windows/MainFixture.h"

// The automatic demonstration in the main window: the sender types through the program's keyboard into the edit
// box, where the typing engine takes every key as the learner's own.

using Demonstration = MainFixture;

namespace {

std::string ReadFile(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file) << path;
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool IsYellow(QRgb p)
{
    return (p & 0xFFFFFF) == (qRgb(255, 255, 0) & 0xFFFFFF);
}

const QPoint LeftShift(34, 177);

} // namespace

TEST_F(Demonstration, TypesTheLevel4LessonWithTheGuideFollowing)
{
    const std::string file = ReadFile(TUTOR_DATA_DIR "/Dictees/Level4.dll");
    const std::string lesson = file.substr(0, file.find('\r'));
    ASSERT_GT(lesson.size(), 50u);
    WriteLesson(4, file);
    TMain &m = Main();
    Messages.clear();
    const int statisticsBefore = StatisticsShown;

    // After every key the guide shows the next one: both Shift discs exactly when the layout needs Shift for it.
    int checked = 0;
    auto engine = m.EditText->OnKeyPress;
    m.EditText->OnKeyPress = [&](char &key) {
        engine(key);
        const std::size_t next = static_cast<std::size_t>(m.Session().Cursor) - 1;
        if (next >= lesson.size())
            return;
        const bool shifted = (kbdlayout::VkKeyScan(static_cast<unsigned char>(lesson[next])) >> 8) == 1;
        EXPECT_EQ(IsYellow(m.PaintBoxKey->Shown().pixel(LeftShift)), shifted) << "before character " << next;
        ++checked;
    };

    // Pronunciation on: the demonstration still says no key.
    QTest::mouseClick(m.BoutonPrononcer, Qt::LeftButton);
    ASSERT_EQ(m.BoutonPrononcer->Tag(), 1);
    QTest::mouseClick(m.BoutonAuto, Qt::LeftButton);

    EXPECT_TRUE(Errors.isEmpty()) << Errors.join(QLatin1Char('\n')).toStdString();
    for (int i = 0; i < m.DXWaveList3.Count(); ++i)
        EXPECT_TRUE(m.DXWaveList3.Items(i).Voice.empty()) << m.DXWaveList3.Items(i).Name.toStdString();
    EXPECT_FALSE(m.BoutonSon->isChecked()) << "the sound switch shows it is off";
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(BoxText(), cp1252::ToUnicode(lesson));
    EXPECT_EQ(m.Session().CorrectCount, static_cast<int>(lesson.size()));
    EXPECT_EQ(m.Session().ErrorCount, 0);
    EXPECT_EQ(Shown(m.LabelCorrect), QString::number(lesson.size()));
    EXPECT_EQ(Shown(m.LabelErreur), QStringLiteral("0"));
    EXPECT_EQ(m.BoutonSon->Tag(), 0);
    EXPECT_EQ(Shown(m.LabelChrono), QStringLiteral("0"));
    EXPECT_EQ(StatisticsShown, statisticsBefore) << "the demonstration finishes nothing";
    EXPECT_EQ(checked, static_cast<int>(lesson.size()) - 1);
    for (int key : {16, 17, 18})
        EXPECT_EQ(m.Keyboard.GetKeyState(key), 0) << "no modifier left down: " << key;
}

TEST_F(Demonstration, QuittingStopsTheTypingAndEndsTheProgram)
{
    WriteLesson(4, ReadFile(TUTOR_DATA_DIR "/Dictees/Level4.dll"));
    TMain &m = Main();
    // The learner quits 50 ms after the third key, whenever that key comes on a loaded machine. The pause before
    // the next key lasts at least 100 ms, so the quit comes within it, or at the latest right after that key.
    bool asked = false;
    auto engine = m.EditText->OnKeyPress;
    m.EditText->OnKeyPress = [&m, &asked, engine](char &key) {
        engine(key);
        if (m.Session().TypedText.size() == 3 && !asked) {
            asked = true;
            QTimer::singleShot(50, &m, [&m] { m.BoutonQuitter->click(); });
        }
    };
    QTest::mouseClick(m.BoutonAuto, Qt::LeftButton);
    EXPECT_TRUE(m.End.Requested());
    EXPECT_GE(m.Session().TypedText.size(), 3u);
    EXPECT_LE(m.Session().TypedText.size(), 4u) << "nothing more is typed once the end is asked for";
    EXPECT_EQ(m.Keyboard.GetKeyState(16), 0);
}

// Every character that reaches the typing engine, right or wrong.
class DemonstrationKeys : public MainFixture
{
protected:
    TMain &Start()
    {
        TMain &m = Main();
        Messages.clear();
        auto engine = m.EditText->OnKeyPress;
        m.EditText->OnKeyPress = [this, engine](char &key) {
            Typed.push_back(key);
            engine(key);
        };
        return m;
    }
    std::string Typed;
};

TEST_F(DemonstrationKeys, SenderMessagesAndFailuresReachTheLearner)
{
    // ê has no key of its own; a repeat count that is not a number stops the demonstration.
    WriteLesson(4, "F\xeate{F1 x}a\r\n");
    TMain &m = Start();
    QTest::mouseClick(m.BoutonAuto, Qt::LeftButton);
    EXPECT_EQ(Messages, QStringList{QStringLiteral("SendKeys: Invalid KeyName")});
    EXPECT_EQ(Errors, QStringList{QStringLiteral("'X' n'est pas une valeur entière correcte.")});
    EXPECT_EQ(Typed, "Fte");
    EXPECT_EQ(BoxText(), QStringLiteral("F")) << "the engine keeps wrong characters out of the box";
    EXPECT_EQ(m.Session().ErrorCount, 2);

    Messages.clear();
    Typed.clear();
    WriteLesson(4, "a{ENTE\r\n");
    QTest::mouseClick(m.BoutonAuto, Qt::LeftButton);
    EXPECT_EQ(Messages, QStringList{QStringLiteral("SendKeys: No Close")});
    EXPECT_EQ(Typed, "a");
}

TEST_F(DemonstrationKeys, BracedFormsTypeTheSyntaxCharacters)
{
    // + ( ) ~ written so that the sender types them as characters (~ is a dead key here, so the space after it
    // makes it a character), the dead diaeresis with e, Enter and Tab.
    WriteLesson(4, "{+}{(}1{)}{~} {\xa8}e~{TAB}{{}\r\n");
    TMain &m = Start();
    QTest::mouseClick(m.BoutonAuto, Qt::LeftButton);
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join(QLatin1Char('\n')).toStdString();
    // The opening brace is the fixed key 0xDB with Shift, which is ° on this layout.
    EXPECT_EQ(Typed, "+(1)~\xeb\r\t\xb0");
}
