#include "game/JeuRules.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace {

// A hexadecimal escape swallows every hexadecimal digit after it, hence the split literals ("\xe9" "cole").
// clang-format off
const JeuVocabulary kFrenchWords = {
    // Level 1: the home row, one key at a time.
    {"q", "s", "d", "f", "g", "h", "j", "k", "l", "m"},
    // Level 2: short words.
    {"le",    "la",    "les",   "un",       "une",       "de",    "du",        "des",  "et",    "il",    "on",
     "nous",  "vous",  "mot",   "lac",      "sel",       "sol",   "mur",       "mer",   "ami",   "vie",   "jour",
     "nuit",  "feu",   "jeu",   "lune",     "bleu",      "vert",  "rose",      "main",  "pied",  "nez",   "dos",
     "roi",   "loi",   "bal",   "col",      "cri",       "fil",   "riz",       "pas",   "sac",   "ski",   "vent",
     "mois",  "eau",   "ici",   "bon",      "fin",       "pain",  "lait",      "miel",  "noix",  "chat",  "loup",
     "ours",  "page",  "yeux",  "\xe9t\xe9", "th\xe9",   "bl\xe9", "cl\xe9",   "d\xe9", "l\xe0", "o\xf9",
     "\xe7" "a", "m\xe8re", "p\xe8re", "caf\xe9", "d\xe9j\xe0", "f\xe9" "e", "id\xe9" "e", "\xe9pi", "z\xe8le",
     "tr\xe8s"},
    // Level 3 and beyond: longer words, most of them accented.
    {"\xe9" "cole",      "\xe9l\xe8ve",      "clavier",         "lettre",          "touche",
     "rivi\xe8re",       "lumi\xe8re",       "premi\xe8re",     "gar\xe7on",       "le\xe7on",
     "fran\xe7" "ais",   "fa\xe7" "ade",     "\xe9toile",       "\xe9l\xe9phant",  "cin\xe9ma",
     "cam\xe9ra",        "probl\xe8me",      "syst\xe8me",      "po\xe8me",        "mod\xe8le",
     "z\xe8" "bre",      "plan\xe8te",       "com\xe8te",       "fl\xe8" "che",    "coll\xe8ge",
     "man\xe8ge",        "v\xe9rit\xe9",     "libert\xe9",      "sant\xe9",        "beaut\xe9",
     "journ\xe9" "e",    "soir\xe9" "e",     "mus\xe9" "e",     "fus\xe9" "e",     "poup\xe9" "e",
     "r\xe9" "cr\xe9" "ation", "\xe9" "ducation", "musique",   "souris",          "\xe9" "cran",
     "ordinateur",       "apr\xe8s",         "voil\xe0",        "pr\xe9" "f\xe9r\xe9", "c\xe9l\xe8" "bre",
     "myst\xe8re",       "biblioth\xe8que",  "\xe9nergie",      "m\xe9t\xe9o",     "num\xe9ro",
     "t\xe9l\xe9phone",  "h\xe9ros",         "r\xe9ponse",      "succ\xe8s",       "pi\xe8" "ce",
     "fromage",          "jardin",           "chocolat",        "montagne",        "vacances",
     "cahier",           "crayon",           "dessin",          "question",        "histoire"},
};
// clang-format on

// How many draws a new word gets to avoid a first letter or a place already taken near the top.
constexpr int kDrawAttempts = 8;

// The n-th word in a row without a fault earns 5 points per word before it, up to 50.
int StreakBonus(int streak)
{
    return std::min(5 * std::max(streak - 1, 0), 50);
}

} // namespace

JeuRules::JeuRules(const JeuField &field, std::uint32_t seed, JeuVocabulary vocabulary)
    : m_field(field), m_vocabulary(std::move(vocabulary)), m_random(seed)
{
    if (m_vocabulary.empty())
        throw std::invalid_argument("JeuRules: no words");
    for (const auto &level : m_vocabulary) {
        if (level.empty())
            throw std::invalid_argument("JeuRules: a level without words");
        for (const auto &word : level)
            if (word.empty())
                throw std::invalid_argument("JeuRules: an empty word");
    }
}

const JeuVocabulary &JeuRules::FrenchWords()
{
    return kFrenchWords;
}

double JeuRules::SpeedPixelsPerSecond(int level)
{
    return std::min(30.0 + 6.0 * (std::max(level, 1) - 1), 150.0);
}

double JeuRules::SpawnDelayMs(int level, std::size_t letters)
{
    // A fixed part to read the word and a part per letter to type it, both shrinking with the level, so that
    // long words do not come as often as single letters.
    const double base = std::max(2200.0 * std::pow(0.92, std::max(level, 1) - 1), 600.0);
    return base * (3.0 + static_cast<double>(std::max<std::size_t>(letters, 1))) / 4.0;
}

void JeuRules::Start()
{
    m_words.clear();
    m_score = 0;
    m_level = 1;
    m_lives = StartLives;
    m_destroyed = 0;
    m_streak = 0;
    m_over = false;
    m_running = true;
    Spawn();
}

int JeuRules::Target() const
{
    for (std::size_t i = 0; i < m_words.size(); ++i)
        if (m_words[i].Typed > 0)
            return static_cast<int>(i);
    return -1;
}

const std::vector<std::string> &JeuRules::WordsOfLevel() const
{
    const std::size_t index = std::min(static_cast<std::size_t>(m_level - 1), m_vocabulary.size() - 1);
    return m_vocabulary[index];
}

void JeuRules::Spawn()
{
    const auto &words = WordsOfLevel();
    std::uniform_int_distribution<std::size_t> pickWord(0, words.size() - 1);
    const double wordHeight = m_field.WordHeight;
    FallingWord word;
    for (int attempt = 0; attempt < kDrawAttempts; ++attempt) {
        word.Text = words[pickWord(m_random)];
        const double width = static_cast<double>(word.Text.size()) * m_field.LetterWidth;
        const int room = std::max(static_cast<int>(m_field.Width - width), 0);
        word.X = std::uniform_int_distribution<int>(0, room)(m_random);
        // Two words with the same first letter make the choice of target a guess, and words on top of each
        // other cannot be read; another draw usually avoids both.
        const bool clash = std::any_of(m_words.begin(), m_words.end(), [&](const FallingWord &other) {
            if (other.Text[0] == word.Text[0])
                return true;
            const double otherWidth = static_cast<double>(other.Text.size()) * m_field.LetterWidth;
            return other.Y < 2 * wordHeight && word.X < other.X + otherWidth && other.X < word.X + width;
        });
        if (!clash)
            break;
    }
    m_untilSpawnMs = SpawnDelayMs(m_level, word.Text.size());
    m_words.push_back(std::move(word));
}

JeuReport JeuRules::Fall(double ms)
{
    JeuReport report;
    const double distance = SpeedPixelsPerSecond(m_level) * ms / 1000.0;
    const double floor = m_field.Height - m_field.WordHeight;
    for (auto it = m_words.begin(); it != m_words.end();) {
        it->Y += distance;
        if (it->Y >= floor) {
            it = m_words.erase(it);
            ++report.WordsLanded;
            m_streak = 0;
            if (m_lives > 0)
                --m_lives;
        } else {
            ++it;
        }
    }
    if (m_lives == 0) {
        m_running = false;
        m_over = true;
        report.GameOver = true;
    }
    return report;
}

JeuReport JeuRules::Tick(double elapsedMs)
{
    JeuReport report;
    if (!m_running || !(elapsedMs > 0))
        return report;
    // In steps that end where a word is due, so that a long pause drops words at the times it would have.
    double remaining = elapsedMs;
    while (remaining > 0 && m_running) {
        const double step = std::min(remaining, m_untilSpawnMs);
        const JeuReport fell = Fall(step);
        report.WordsLanded += fell.WordsLanded;
        report.GameOver = report.GameOver || fell.GameOver;
        remaining -= step;
        m_untilSpawnMs -= step;
        if (m_running && m_untilSpawnMs <= 0)
            Spawn();
    }
    return report;
}

void JeuRules::Destroy(std::size_t index, JeuReport &report)
{
    report.WordDestroyed = true;
    report.DestroyedWord = m_words[index];
    m_words.erase(m_words.begin() + static_cast<std::ptrdiff_t>(index));
    ++m_destroyed;
    ++m_streak;
    report.Points = static_cast<int>(report.DestroyedWord.Text.size()) * 10 * m_level + StreakBonus(m_streak);
    m_score += report.Points;
    if (m_destroyed % WordsPerLevel == 0) {
        ++m_level;
        report.LevelUp = true;
    }
}

JeuReport JeuRules::Type(unsigned char key)
{
    JeuReport report;
    if (!m_running || key <= ' ' || key == 0x7F)
        return report;
    int target = Target();
    if (target >= 0) {
        FallingWord &word = m_words[static_cast<std::size_t>(target)];
        if (static_cast<unsigned char>(word.Text[word.Typed]) != key) {
            report.Key = JeuKey::Wrong;
            m_streak = 0;
            return report;
        }
        ++word.Typed;
    } else {
        // The word closest to the floor is the one in danger; among equals, the oldest.
        for (std::size_t i = 0; i < m_words.size(); ++i) {
            if (static_cast<unsigned char>(m_words[i].Text[0]) == key &&
                (target < 0 || m_words[i].Y > m_words[static_cast<std::size_t>(target)].Y))
                target = static_cast<int>(i);
        }
        if (target < 0) {
            report.Key = JeuKey::Wrong;
            m_streak = 0;
            return report;
        }
        m_words[static_cast<std::size_t>(target)].Typed = 1;
    }
    report.Key = JeuKey::Correct;
    const auto index = static_cast<std::size_t>(target);
    if (m_words[index].Typed == m_words[index].Text.size())
        Destroy(index, report);
    return report;
}
