#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

// The playfield in pixels and the room a word takes in it, as the window's font gives them.
struct JeuField {
    int Width = 640;
    int Height = 450;
    int WordHeight = 20;
    // The widest letter the words use: a word of n letters never needs more than n times this.
    int LetterWidth = 12;
};

// One word on its way down. Text is Windows-1252 bytes; X and Y are its top-left corner in the field.
struct FallingWord {
    std::string Text;
    double X = 0;
    double Y = 0;
    std::size_t Typed = 0;
};

// What a key did.
enum class JeuKey { Ignored, Correct, Wrong };

// Everything one call changed that the window may want to show or sound.
struct JeuReport {
    JeuKey Key = JeuKey::Ignored;
    bool WordDestroyed = false;
    FallingWord DestroyedWord; // where it was, for the points to appear there
    int Points = 0;
    bool LevelUp = false;
    int WordsLanded = 0;
    bool GameOver = false; // the game ended in this call
};

// The vocabulary by level: entry 0 for level 1, entry 1 for level 2, and the last entry for every level beyond.
using JeuVocabulary = std::vector<std::vector<std::string>>;

// The falling-words game, free of widgets and of the clock: the window says how much time passed and which
// key was typed, and reads the field back. Given the same seed and the same calls, two games are identical.
//
// Kept true: at most one word has letters typed, and that word is the target; a word leaves the field either
// destroyed (typed to its end) or landed (its bottom reached the floor, one life lost); once the lives are gone
// nothing moves and no key counts until Start().
class JeuRules
{
public:
    static constexpr int StartLives = 3;
    static constexpr int WordsPerLevel = 10;

    // A vocabulary with an empty level or an empty word cannot be played: std::invalid_argument.
    JeuRules(const JeuField &field, std::uint32_t seed, JeuVocabulary vocabulary = FrenchWords());

    // A new game: score, level, lives and field reset, and the first word already on its way. The random
    // sequence goes on, so each game of a run draws other words.
    void Start();

    // Moves the words down by the time elapsed, lands those that reach the floor and drops new ones when due.
    JeuReport Tick(double elapsedMs);

    // Judges one typed character. Control characters and the space are ignored: words never hold them and
    // the space between words is a habit not worth a penalty.
    JeuReport Type(unsigned char key);

    bool Running() const { return m_running; }
    bool GameOver() const { return m_over; }
    std::int64_t Score() const { return m_score; }
    int Level() const { return m_level; }
    int Lives() const { return m_lives; }
    int DestroyedCount() const { return m_destroyed; }
    int Streak() const { return m_streak; }
    const std::vector<FallingWord> &Words() const { return m_words; }
    // The index in Words() of the word being typed, or -1.
    int Target() const;
    const JeuField &Field() const { return m_field; }

    // The pace of a level: how fast words fall, and the wait before the next word after one of the given length.
    static double SpeedPixelsPerSecond(int level);
    static double SpawnDelayMs(int level, std::size_t letters);

    // Home-row letters, then short words, then longer words with accents; all typeable on a French keyboard
    // without a dead key.
    static const JeuVocabulary &FrenchWords();

private:
    void Spawn();
    const std::vector<std::string> &WordsOfLevel() const;
    JeuReport Fall(double ms);
    void Destroy(std::size_t index, JeuReport &report);

    JeuField m_field;
    JeuVocabulary m_vocabulary;
    std::mt19937 m_random;
    std::vector<FallingWord> m_words;
    std::int64_t m_score = 0;
    int m_level = 1;
    int m_lives = StartLives;
    int m_destroyed = 0;
    int m_streak = 0;
    double m_untilSpawnMs = 0;
    bool m_running = false;
    bool m_over = false;
};
