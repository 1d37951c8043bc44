#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <QInputMethodEvent>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "game/JeuRules.h"
#include "game/TJeu.h"
#include "platform/text/Cp1252.h"

namespace {

// 640 x 450, words 20 pixels high: at level 1 (30 pixels a second) a word lands (450 - 20) / 30 s after it
// appears, that is after 14 333 ms.
JeuField TestField()
{
    JeuField field;
    field.Width = 640;
    field.Height = 450;
    field.WordHeight = 20;
    field.LetterWidth = 10;
    return field;
}

// The same word at every level, so that the pace alone changes from one level to the next.
JeuVocabulary OnlySol()
{
    return {{"sol"}};
}

// Ticks until a word is on the field; nothing lands on the way as long as the field was clear.
void WaitForWord(JeuRules &rules)
{
    for (int i = 0; i < 1000 && rules.Words().empty(); ++i)
        rules.Tick(10);
    ASSERT_FALSE(rules.Words().empty());
}

// Types the whole of the word closest to the floor; returns the points it earned.
int DestroyLowest(JeuRules &rules)
{
    WaitForWord(rules);
    const auto &words = rules.Words();
    const auto lowest = std::max_element(words.begin(), words.end(),
                                         [](const FallingWord &a, const FallingWord &b) { return a.Y < b.Y; });
    const std::string text = lowest->Text;
    JeuReport report;
    for (char c : text) {
        report = rules.Type(static_cast<unsigned char>(c));
        EXPECT_EQ(report.Key, JeuKey::Correct);
    }
    EXPECT_TRUE(report.WordDestroyed);
    return report.Points;
}

// Milliseconds from a word appearing on a clear field to the next one, with nothing typed.
double SpawnGap(JeuRules &rules)
{
    WaitForWord(rules);
    double ms = 0;
    for (const std::size_t count = rules.Words().size(); rules.Words().size() == count && ms < 20000; ms += 10)
        rules.Tick(10);
    return ms;
}

// How far a fresh word falls in the given time.
double FallIn(JeuRules &rules, double ms)
{
    while (!rules.Words().empty())
        DestroyLowest(rules);
    WaitForWord(rules);
    const double before = rules.Words()[0].Y;
    rules.Tick(ms);
    return rules.Words()[0].Y - before;
}

} // namespace

TEST(JeuRules, KeysPickTheLowestMatchingWordAndAFaultKeepsTheTarget)
{
    JeuRules same(TestField(), 7, OnlySol());
    same.Start();
    same.Tick(8000); // three "sol" falling, the oldest lowest
    ASSERT_EQ(same.Words().size(), 3u);
    EXPECT_EQ(same.Type('s').Key, JeuKey::Correct);
    EXPECT_EQ(same.Target(), 0);
    EXPECT_GT(same.Words()[0].Y, same.Words()[1].Y);
    EXPECT_EQ(same.Words()[1].Typed, 0u);

    const JeuReport wrong = same.Type('s'); // another word's first letter does not move the target
    EXPECT_EQ(wrong.Key, JeuKey::Wrong);
    EXPECT_EQ(same.Target(), 0);
    EXPECT_EQ(same.Words()[0].Typed, 1u);
    for (unsigned char key : {' ', '\t', '\r', '\b', '\0', '\x7f'})
        EXPECT_EQ(same.Type(key).Key, JeuKey::Ignored) << int(key);

    JeuRules mixed(TestField(), 3, {{"mur", "sol"}});
    mixed.Start();
    mixed.Tick(3400);
    ASSERT_EQ(mixed.Words().size(), 2u);
    // A new word is drawn again rather than start with the letter of a word already falling.
    const FallingWord upper = mixed.Words()[1];
    ASSERT_NE(upper.Text[0], mixed.Words()[0].Text[0]);
    EXPECT_EQ(mixed.Type('x').Key, JeuKey::Wrong);
    EXPECT_EQ(mixed.Target(), -1);
    EXPECT_EQ(mixed.Type(static_cast<unsigned char>(upper.Text[0])).Key, JeuKey::Correct);
    EXPECT_EQ(mixed.Target(), 1);
}

TEST(JeuRules, ScoreIsLengthTimesTenTimesLevelPlusAStreakBonus)
{
    JeuRules rules(TestField(), 2, OnlySol());
    rules.Start();
    // Words 1 to 10 at level 1: 30, plus 5 for each word before in the row. Words 11 and 12 at level 2:
    // 3 x 10 x 2, and the bonus stops at 50.
    const std::vector<int> expected = {30, 35, 40, 45, 50, 55, 60, 65, 70, 75, 110, 110};
    std::vector<int> points;
    for (std::size_t i = 0; i < expected.size(); ++i)
        points.push_back(DestroyLowest(rules));
    EXPECT_EQ(points, expected);
    EXPECT_EQ(rules.Score(), 30 + 35 + 40 + 45 + 50 + 55 + 60 + 65 + 70 + 75 + 110 + 110);

    // A fault in the middle of a word breaks the row: no bonus for that word.
    WaitForWord(rules);
    rules.Type('s');
    rules.Type('x');
    EXPECT_EQ(rules.Streak(), 0);
    rules.Type('o');
    EXPECT_EQ(rules.Type('l').Points, 60);
}

TEST(JeuRules, ALandedWordCostsALifeAndTheLastLifeFreezesTheGame)
{
    JeuRules rules(TestField(), 9, OnlySol());
    rules.Start();
    EXPECT_EQ(rules.Tick(14300).WordsLanded, 0);
    const std::size_t onField = rules.Words().size();
    const JeuReport landed = rules.Tick(100);
    EXPECT_EQ(landed.WordsLanded, 1);
    EXPECT_FALSE(landed.GameOver);
    EXPECT_EQ(rules.Lives(), 2);
    EXPECT_EQ(rules.Words().size(), onField - 1);

    ASSERT_EQ(rules.Type('s').Key, JeuKey::Correct);
    rules.Tick(5000);
    EXPECT_EQ(rules.Target(), -1) << "the target landed";
    EXPECT_EQ(rules.Lives(), 1);

    EXPECT_TRUE(rules.Tick(60000).GameOver);
    EXPECT_EQ(rules.Lives(), 0);
    EXPECT_TRUE(rules.GameOver());
    EXPECT_FALSE(rules.Running());
    const std::vector<FallingWord> frozen = rules.Words();
    EXPECT_EQ(rules.Tick(60000).WordsLanded, 0);
    ASSERT_EQ(rules.Words().size(), frozen.size());
    for (std::size_t i = 0; i < frozen.size(); ++i)
        EXPECT_EQ(rules.Words()[i].Y, frozen[i].Y);
    EXPECT_EQ(rules.Type('s').Key, JeuKey::Ignored);
}

TEST(JeuRules, EveryTenWordsTheLevelAndThePaceRise)
{
    JeuRules rules(TestField(), 4, OnlySol());
    rules.Start();
    std::vector<double> falls;
    std::vector<double> gaps;
    for (int level = 1; level <= 4; ++level) {
        while (rules.DestroyedCount() < (level - 1) * JeuRules::WordsPerLevel) {
            EXPECT_EQ(rules.Level(), level - 1);
            const bool tenth = rules.DestroyedCount() % JeuRules::WordsPerLevel == JeuRules::WordsPerLevel - 1;
            WaitForWord(rules);
            rules.Type('s');
            rules.Type('o');
            EXPECT_EQ(rules.Type('l').LevelUp, tenth);
        }
        EXPECT_EQ(rules.Level(), level);
        falls.push_back(FallIn(rules, 1000));
        while (!rules.Words().empty())
            DestroyLowest(rules);
        gaps.push_back(SpawnGap(rules));
    }
    EXPECT_DOUBLE_EQ(falls[0], 30.0);
    for (std::size_t i = 1; i < falls.size(); ++i) {
        EXPECT_GT(falls[i], falls[i - 1]) << "level " << i + 1;
        EXPECT_LT(gaps[i], gaps[i - 1]) << "level " << i + 1;
    }
}

TEST(JeuRules, LevelsDrawFromTheirOwnWords)
{
    JeuRules rules(TestField(), 12);
    rules.Start();
    const auto &french = JeuRules::FrenchWords();
    // Level 1, level 2, then the longest words for level 3 and every level after it.
    const std::pair<int, std::size_t> steps[] = {{1, 0}, {2, 1}, {3, 2}, {4, 2}};
    for (const auto &[level, tier] : steps) {
        while (rules.Level() < level || !rules.Words().empty())
            DestroyLowest(rules);
        WaitForWord(rules);
        const std::string text = rules.Words()[0].Text;
        EXPECT_NE(std::find(french[tier].begin(), french[tier].end(), text), french[tier].end()) << level;
    }
}

TEST(JeuRules, StartGivesAFreshGameEachTime)
{
    JeuRules rules(TestField(), 6, OnlySol());
    EXPECT_EQ(rules.Tick(5000).WordsLanded, 0);
    EXPECT_TRUE(rules.Words().empty());
    EXPECT_EQ(rules.Type('s').Key, JeuKey::Ignored);

    for (int game = 0; game < 3; ++game) {
        rules.Start();
        EXPECT_TRUE(rules.Running());
        EXPECT_FALSE(rules.GameOver());
        EXPECT_EQ(rules.Score(), 0);
        EXPECT_EQ(rules.Level(), 1);
        EXPECT_EQ(rules.Lives(), 3);
        EXPECT_EQ(rules.DestroyedCount(), 0);
        EXPECT_EQ(rules.Streak(), 0);
        EXPECT_EQ(rules.Target(), -1);
        ASSERT_EQ(rules.Words().size(), 1u);
        EXPECT_EQ(rules.Words()[0].Y, 0);
        // The first game is left halfway, the second lost.
        DestroyLowest(rules);
        rules.Tick(game == 0 ? 18000 : 1e6);
        rules.Type('s');
    }
}

TEST(JeuRules, TheSameSeedPlaysTheSameGame)
{
    auto play = [](std::uint32_t seed) {
        JeuRules rules(TestField(), seed);
        rules.Start();
        std::vector<std::string> seen;
        for (int round = 0; round < 30; ++round) {
            rules.Tick(700);
            for (const FallingWord &word : rules.Words())
                seen.push_back(word.Text + '@' + std::to_string(word.X) + ',' + std::to_string(word.Y));
            if (round % 2 == 0 && !rules.Words().empty())
                DestroyLowest(rules);
        }
        seen.push_back(std::to_string(rules.Score()) + '/' + std::to_string(rules.Lives()));
        return seen;
    };
    EXPECT_EQ(play(42), play(42));
    EXPECT_NE(play(42), play(43));
}

TEST(JeuRules, WordsStartInsideTheFieldAndBadVocabulariesAreRefused)
{
    JeuField narrow = TestField();
    narrow.Width = 100;
    narrow.LetterWidth = 12;
    JeuRules rules(narrow, 21, {{"ab", "abcdef", "abcdefghijklmnop"}});
    for (int i = 0; i < 200; ++i) {
        rules.Start();
        const FallingWord &word = rules.Words()[0];
        const double width = static_cast<double>(word.Text.size()) * narrow.LetterWidth;
        EXPECT_GE(word.X, 0);
        EXPECT_LE(word.X + width, std::max(width, 100.0)) << word.Text; // too wide: at the left edge
    }

    EXPECT_THROW(JeuRules(TestField(), 1, JeuVocabulary{}), std::invalid_argument);
    EXPECT_THROW(JeuRules(TestField(), 1, JeuVocabulary{{"le"}, {}}), std::invalid_argument);
    EXPECT_THROW(JeuRules(TestField(), 1, JeuVocabulary{{"le", ""}}), std::invalid_argument);
}

TEST(JeuWords, EveryWordIsTypeableWithoutADeadKey)
{
    const std::string accented = "\xe9\xe8\xe0\xe7\xf9";
    const auto &french = JeuRules::FrenchWords();
    ASSERT_EQ(french.size(), 3u);
    for (const auto &tier : french) {
        EXPECT_EQ(std::set<std::string>(tier.begin(), tier.end()).size(), tier.size()) << "a word twice";
        for (const std::string &word : tier)
            for (char c : word) {
                const auto byte = static_cast<unsigned char>(c);
                EXPECT_TRUE((byte >= 'a' && byte <= 'z') || accented.find(c) != std::string::npos)
                    << cp1252::ToUnicode(word).toStdString();
            }
    }
    EXPECT_EQ(french[0], (std::vector<std::string>{"q", "s", "d", "f", "g", "h", "j", "k", "l", "m"}));
    for (const std::string &word : french[1]) {
        EXPECT_GE(word.size(), 2u) << word;
        EXPECT_LE(word.size(), 4u) << word;
    }
    std::size_t withAccent = 0;
    for (const std::string &word : french[2]) {
        EXPECT_GE(word.size(), 5u) << word;
        withAccent += word.find_first_of(accented) != std::string::npos;
    }
    EXPECT_GE(withAccent * 2, french[2].size());
}

namespace {

class JeuWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_jeu = std::make_unique<TJeu>(nullptr, [this](Cue cue) { m_cues.push_back(cue); });
        m_jeu->show();
        m_jeu->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_jeu.get()));
    }

    QString Text(const char *name) const
    {
        const auto *label = m_jeu->findChild<QLabel *>(QLatin1String(name));
        return label && label->isVisible() ? label->text() : QString();
    }

    void Enter()
    {
        QTest::keyClick(m_jeu.get(), Qt::Key_Return);
        ASSERT_TRUE(m_jeu->Rules().Running());
    }

    QString LowestWord()
    {
        const auto &words = m_jeu->Rules().Words();
        const auto lowest = std::max_element(words.begin(), words.end(),
                                             [](const FallingWord &a, const FallingWord &b) { return a.Y < b.Y; });
        return cp1252::ToUnicode(lowest->Text);
    }

    std::vector<Cue> m_cues;
    std::unique_ptr<TJeu> m_jeu;
};

} // namespace

TEST_F(JeuWindow, OpensOnTheWelcomeScreenAndEnterStarts)
{
    EXPECT_EQ(m_jeu->windowTitle(), QStringLiteral("Zid-Ediveza"));
    EXPECT_EQ(m_jeu->size(), QSize(640, 480));
    EXPECT_EQ(m_jeu->minimumSize(), m_jeu->maximumSize());
    EXPECT_TRUE(Text("LabelMessage").contains(QStringLiteral("Zid-Ediveza")));
    EXPECT_TRUE(Text("LabelMessage")
                    .contains(QStringLiteral("Appuyez sur Entrée pour commencer — Échap pour revenir aux leçons")));
    EXPECT_FALSE(m_jeu->Ticking());

    Enter();
    EXPECT_TRUE(m_jeu->Ticking());
    EXPECT_TRUE(Text("LabelMessage").isEmpty());
    EXPECT_EQ(Text("LabelScore"), QStringLiteral("Score : 0"));
    EXPECT_EQ(Text("LabelNiveau"), QStringLiteral("Niveau : 1"));
    EXPECT_EQ(Text("LabelVies"), QStringLiteral("Vies : 3"));
    ASSERT_FALSE(m_jeu->Rules().Words().empty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_jeu->Rules().Words()[0].Y > 0; }, 2000));
    // Enter during a game does not start it again.
    const double y = m_jeu->Rules().Words()[0].Y;
    QTest::keyClick(m_jeu.get(), Qt::Key_Enter);
    EXPECT_GE(m_jeu->Rules().Words()[0].Y, y);
}

TEST_F(JeuWindow, TypedAndComposedCharactersPlayTheGame)
{
    Enter();
    QTest::keyClick(m_jeu.get(), 'x'); // not a letter of the home row
    EXPECT_EQ(m_cues, std::vector<Cue>{Cue::Wrong});

    QTest::keyClicks(m_jeu.get(), LowestWord());
    EXPECT_EQ(m_jeu->Rules().DestroyedCount(), 1);
    EXPECT_EQ(Text("LabelScore"), QStringLiteral("Score : 10"));
    EXPECT_EQ(m_cues, (std::vector<Cue>{Cue::Wrong, Cue::Finished}));
    EXPECT_GE(m_jeu->BestScore(), 10);
    EXPECT_EQ(Text("LabelMeilleur"), QStringLiteral("Meilleur score : %1").arg(m_jeu->BestScore()));

    // Dead keys reach the window as the input method's committed text.
    m_jeu->Rules().Tick(3000);
    QInputMethodEvent composed;
    composed.setCommitString(LowestWord());
    QCoreApplication::sendEvent(m_jeu.get(), &composed);
    EXPECT_EQ(m_jeu->Rules().DestroyedCount(), 2);
    EXPECT_EQ(Text("LabelScore"), QStringLiteral("Score : 25"));

    // A character the code page cannot hold is let go, without a fault.
    QInputMethodEvent foreign;
    foreign.setCommitString(QStringLiteral("\u015d"));
    QCoreApplication::sendEvent(m_jeu.get(), &foreign);
    EXPECT_EQ(m_cues, (std::vector<Cue>{Cue::Wrong, Cue::Finished, Cue::Finished}));
}

TEST_F(JeuWindow, TheLastLifeShowsTheEndAndStopsTheClock)
{
    Enter();
    m_jeu->Rules().Tick(1e6);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !m_jeu->Ticking(); }, 2000));
    const QString end = Text("LabelMessage");
    EXPECT_TRUE(end.contains(QStringLiteral("Partie terminée")));
    EXPECT_TRUE(end.contains(QStringLiteral("Score : 0")));
    EXPECT_TRUE(end.contains(QStringLiteral("Entrée pour rejouer, Échap pour revenir aux leçons")));
    EXPECT_EQ(Text("LabelVies"), QStringLiteral("Vies : 0"));
    QTest::keyClick(m_jeu.get(), 'q');
    EXPECT_TRUE(m_cues.empty());

    Enter();
    EXPECT_TRUE(m_jeu->Ticking());
    EXPECT_EQ(Text("LabelVies"), QStringLiteral("Vies : 3"));
}

TEST_F(JeuWindow, LosingTheFocusPausesTheGame)
{
    Enter();
    QWidget other;
    other.resize(100, 100);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_FALSE(m_jeu->Ticking());
    EXPECT_TRUE(Text("LabelMessage").contains(QStringLiteral("Pause")));
    const double y = m_jeu->Rules().Words()[0].Y;
    QTest::qWait(100);
    EXPECT_EQ(m_jeu->Rules().Words()[0].Y, y);

    m_jeu->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_jeu.get()));
    EXPECT_TRUE(m_jeu->Ticking());
    EXPECT_TRUE(Text("LabelMessage").isEmpty());
}

TEST(JeuModal, ShowModalIsCentredOnItsParentAndEscapeGoesBackToTheLessons)
{
    QWidget lessons;
    lessons.setGeometry(100, 80, 800, 600);
    lessons.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&lessons));
    TJeu jeu(&lessons, {});
    QPoint centre;
    bool typed = false;
    QTimer::singleShot(0, &jeu, [&] {
        EXPECT_TRUE(QTest::qWaitForWindowActive(&jeu));
        centre = jeu.frameGeometry().center();
        QTest::keyClick(&jeu, Qt::Key_Return);
        QTest::keyClicks(&jeu, QStringLiteral("x")); // a fault without a cue function to call
        typed = true;
        QTest::keyClick(&jeu, Qt::Key_Escape);
    });
    jeu.ShowModal();
    EXPECT_TRUE(typed);
    EXPECT_FALSE(jeu.isVisible());
    EXPECT_EQ(jeu.result(), QDialog::Rejected);
    EXPECT_FALSE(jeu.Ticking());
    EXPECT_LE((centre - lessons.frameGeometry().center()).manhattanLength(), 2);
    // The game was abandoned: the next visit starts from the welcome screen.
    EXPECT_TRUE(jeu.findChild<QLabel *>(QStringLiteral("LabelMessage"))
                    ->text()
                    .contains(QStringLiteral("Appuyez sur Entrée pour commencer")));
}
