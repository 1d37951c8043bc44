#include "course/CourseText.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>

#include "TextMaking.h"

namespace course {
namespace {

constexpr char WordsMark = 'W';
constexpr char SentencesMark = 'S';

using textmaking::IsLowerLetter;

bool IsCapital(unsigned char c)
{
    return c >= 'A' && c <= 'Z';
}

bool IsDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

// A lesson's new-key words are its own words of a rank up to CommonRank, OwnWordPool at most, and the
// FewestOwnWords most common at least.
constexpr std::size_t OwnWordPool = 300;
constexpr std::uint32_t CommonRank = 3000;
constexpr std::size_t FewestOwnWords = 12;
constexpr std::size_t FewestCommonWords = 40;
// How many of the usable words, the most common first, are searched for the learner's weak keys.
constexpr std::size_t WeakWordSearch = 4000;
constexpr std::size_t WeakWordPool = 150;
// How many entries are drawn to keep the one richest in new keys, while their share is low.
constexpr int DensityDraws = 3;
constexpr int SentenceDraws = 6;
// The most times one sentence comes in an attempt.
constexpr int SentenceUses = 2;
// The longest word set with a sign, so that the sign is not lost in it.
constexpr std::size_t ShortWord = 5;
// Lines tried before one that keeps every rule is given up for one that keeps the lesson's keys and lengths.
constexpr int LineTries = 40;
// The share of new keys an attempt aims at, above the share it promises.
constexpr double AimedShare = NewKeyShare + 0.04;
// Lines made again, at most, to bring in a new key an attempt still lacks or to raise the share of the new keys.
constexpr int Remakes = 48;
// How many of a lesson's own words are kept for each of its new letters, to bring in one an attempt lacks.
constexpr std::size_t FocusWords = 40;

class AttemptMaker final : public textmaking::TextMaker
{
public:
    AttemptMaker(const Lesson &lesson, const Material &material, std::uint32_t seed, std::string_view weakKeys)
        : TextMaker(seed), m_lesson(lesson), m_material(material)
    {
        for (const char c : lesson.Keys)
            if (IsLowerLetter(static_cast<unsigned char>(c)))
                m_letters.push_back(c);
        bool capitalsOrStopOnly = true;
        for (const char c : lesson.NewKeys) {
            const unsigned char u = static_cast<unsigned char>(c);
            if (c == ' ')
                continue;
            m_new[u] = true;
            if (IsLowerLetter(u))
                m_newLetters.push_back(c);
            else if (!IsCapital(u) && c != '.')
                m_newSigns.push_back(c);
            if (!IsCapital(u) && c != '.')
                capitalsOrStopOnly = false;
            // Every new key is a key an attempt brings in; the capitals, one key (Shift) on letters known, count as
            // one.
            if (!IsCapital(u) || m_capitals < 0) {
                if (IsCapital(u))
                    m_capitals = static_cast<int>(m_keyGroups.size());
                m_keyGroups.emplace_back();
            }
            const int group = IsCapital(u) ? m_capitals : static_cast<int>(m_keyGroups.size()) - 1;
            m_keyGroups[static_cast<std::size_t>(group)] += c;
        }
        for (const char c : weakKeys)
            if (c != ' ' && lesson.Allows(static_cast<unsigned char>(c)))
                m_weak.push_back(c);
        for (char d = '0'; d <= '9'; ++d)
            if (lesson.Allows(static_cast<unsigned char>(d)))
                m_digits.push_back(d);
        m_usableWords = m_material.UsableWords(lesson.Number);
        m_groupsOnly = lesson.Kind == TextKind::Drill || m_usableWords == 0;
        if (m_groupsOnly)
            return;

        // The lesson's own words among the common ones; a few more where its keys make few common words.
        const std::vector<std::string> &own = m_material.WordsOf(lesson.Number);
        const std::vector<std::uint32_t> &ranks = m_material.RanksOf(lesson.Number);
        std::size_t pool = 0;
        while (pool < own.size() && pool < OwnWordPool && ranks[pool] <= CommonRank)
            ++pool;
        pool = std::min(own.size(), std::max(pool, FewestOwnWords));
        m_own.assign(own.begin(), own.begin() + static_cast<std::ptrdiff_t>(pool));
        // The most common words only: where the lesson's keys make few of them, the same ones come back rather
        // than rare ones.
        // One ranking serves both: the common words are its head, the weak keys' words are searched further.
        std::vector<std::uint32_t> commonRanks;
        const std::vector<std::string> ranked =
            m_material.MostCommon(lesson.Number, m_weak.empty() ? CommonWords : WeakWordSearch, &commonRanks);
        std::size_t common = 0;
        while (common < std::min(ranked.size(), CommonWords) && commonRanks[common] <= CommonRank)
            ++common;
        m_common.assign(ranked.begin(),
                        ranked.begin() + static_cast<std::ptrdiff_t>(std::max(
                                             common, std::min({ranked.size(), CommonWords, FewestCommonWords}))));
        for (const std::string &word : m_common)
            if (word.size() <= ShortWord)
                m_short.push_back(word);
        for (const std::string &word : ranked)
            if (!m_weak.empty() && word.find_first_of(m_weak) != std::string::npos && m_weakWords.size() < WeakWordPool)
                m_weakWords.push_back(word);
        if (lesson.Kind == TextKind::Sentences) {
            m_ownSentences = m_material.SentencesOf(lesson.Number);
            for (int n = 1; n <= lesson.Number; ++n)
                for (const std::string &sentence : m_material.SentencesOf(n))
                    m_sentences.push_back(&sentence);
        }
        // Capitals and the full stop alone make no word: such a lesson is all sentences, but for the names they
        // hold, which may make a line of their own when the capitals are too few.
        m_sentencesOnly = capitalsOrStopOnly && !m_sentences.empty();
        if (m_capitals >= 0)
            for (const std::string *sentence : m_sentences)
                for (std::size_t i = 1; i + 1 < sentence->size(); ++i) {
                    const auto c = static_cast<unsigned char>((*sentence)[i]);
                    if (!IsCapital(c) || (*sentence)[i - 1] != ' ' || (i >= 2 && (*sentence)[i - 2] == '.'))
                        continue;
                    std::size_t end = i + 1;
                    while (end < sentence->size() && IsLowerLetter(static_cast<unsigned char>((*sentence)[end])))
                        ++end;
                    std::string name = sentence->substr(i, end - i);
                    if (name.size() > 1 && std::find(m_names.begin(), m_names.end(), name) == m_names.end())
                        m_names.push_back(std::move(name));
                }
        // For each new letter, words that hold it, the most common first.
        for (const char c : m_newLetters) {
            std::vector<std::string> &words = m_focusWords[static_cast<unsigned char>(c)];
            for (const std::string &word : own)
                if (word.find(c) != std::string::npos && words.size() < FocusWords)
                    words.push_back(word);
        }
    }

    // The attempt's lines. Each line holds a new key at least; while one of the lesson's new keys is missing, the
    // next line brings it in; then lines are made again, the one that counts least first, until every new key is
    // in and they make NewKeyShare of the characters.
    std::vector<std::string> Attempt()
    {
        std::vector<std::string> lines;
        for (int i = 0; i < AttemptLines; ++i) {
            m_focus = MissingGroup(lines);
            lines.push_back(Line());
        }
        for (int remake = 0; remake < Remakes; ++remake) {
            const int missing = MissingGroup(lines);
            const bool low = ShareOf(lines) < NewKeyShare;
            const auto lacking = std::find_if(lines.begin(), lines.end(),
                                              [&](const std::string &line) { return !HoldsAny(line, m_new); });
            if (missing < 0 && !low && lacking == lines.end())
                break;
            // The line to make again: one without a new key, else the poorest in new keys whose keys others hold.
            std::size_t weakest = lacking != lines.end() ? static_cast<std::size_t>(lacking - lines.begin()) : 0;
            if (lacking == lines.end()) {
                double poorest = 2;
                for (std::size_t i = 0; i < lines.size(); ++i) {
                    std::vector<std::string> others = lines;
                    others.erase(others.begin() + static_cast<std::ptrdiff_t>(i));
                    const double share = Share(lines[i]);
                    if (share < poorest && MissingGroup(others) == missing) {
                        poorest = share;
                        weakest = i;
                    }
                }
            }
            std::vector<std::string> remade = lines;
            m_made.erase(remade[weakest]);
            remade.erase(remade.begin() + static_cast<std::ptrdiff_t>(weakest));
            Recount(remade);
            remade.insert(remade.begin() + static_cast<std::ptrdiff_t>(weakest), std::string());
            m_focus = missing;
            m_dense = low;
            remade[weakest] = Line();
            m_dense = false;
            const int stillMissing = MissingGroup(remade);
            const bool better =
                (missing >= 0 && (stillMissing < 0 || Covered(remade) > Covered(lines))) ||
                (missing < 0 && stillMissing < 0 &&
                 (lacking != lines.end() ? HoldsAny(remade[weakest], m_new) : ShareOf(remade) > ShareOf(lines)));
            if (better) {
                lines.swap(remade);
            } else {
                m_made.erase(remade[weakest]);
                m_made.insert(lines[weakest]);
            }
            Recount(lines);
        }
        return lines;
    }

    std::string Line()
    {
        std::string fallback;
        for (int tries = 0; tries < LineTries; ++tries) {
            std::string line = m_groupsOnly ? GroupLine() : SentenceLineNext() ? SentenceLine() : WordLine();
            if (line.size() < MinLineLength || line.size() > MaxLineLength || m_made.count(line) != 0)
                continue;
            if (fallback.empty())
                fallback = line;
            if (!HoldsAny(line, m_new) || (!m_weakWords.empty() && line.find_first_of(m_weak) == std::string::npos))
                continue;
            if (m_focus >= 0 && !HoldsGroup(line, m_focus))
                continue;
            return Keep(std::move(line));
        }
        return Keep(fallback.empty() ? GroupLine() : std::move(fallback));
    }

    // The first of the lesson's new keys (a group of them for the capitals) that no line holds; -1 when all are in.
    int MissingGroup(const std::vector<std::string> &lines) const
    {
        for (std::size_t group = 0; group < m_keyGroups.size(); ++group)
            if (std::none_of(lines.begin(), lines.end(),
                             [&](const std::string &line) { return HoldsGroup(line, static_cast<int>(group)); }))
                return static_cast<int>(group);
        return -1;
    }

    int Covered(const std::vector<std::string> &lines) const
    {
        int covered = 0;
        for (std::size_t group = 0; group < m_keyGroups.size(); ++group)
            covered += std::any_of(lines.begin(), lines.end(),
                                   [&](const std::string &line) { return HoldsGroup(line, static_cast<int>(group)); });
        return covered;
    }

    bool HoldsGroup(const std::string &line, int group) const
    {
        return line.find_first_of(m_keyGroups[static_cast<std::size_t>(group)]) != std::string::npos;
    }

    // The attempt's counts of characters and new keys, from its lines.
    void Recount(const std::vector<std::string> &lines)
    {
        m_characters = m_newCharacters = 0;
        for (const std::string &line : lines)
            Count(line, m_characters, m_newCharacters);
    }

    double ShareOf(const std::vector<std::string> &lines) const
    {
        std::size_t characters = 0, fresh = 0;
        for (const std::string &line : lines)
            Count(line, characters, fresh);
        return characters == 0 ? 0 : double(fresh) / double(characters);
    }

private:
    std::string Keep(std::string line)
    {
        Count(line, m_characters, m_newCharacters);
        m_made.insert(line);
        return line;
    }

    // Adds a text's characters (spaces aside) and, of them, the lesson's new keys to the two counts.
    void Count(const std::string &text, std::size_t &characters, std::size_t &fresh) const
    {
        for (const char c : text) {
            characters += c != ' ';
            fresh += m_new[static_cast<unsigned char>(c)];
        }
    }

    bool ShareLow(std::size_t newInLine, std::size_t inLine) const
    {
        const std::size_t all = m_characters + inLine;
        return all == 0 || double(m_newCharacters + newInLine) < AimedShare * double(all);
    }

    // The share of the new keys among an entry's characters, spaces aside.
    double Share(const std::string &entry) const
    {
        std::size_t characters = 0, fresh = 0;
        Count(entry, characters, fresh);
        return characters == 0 ? 0 : double(fresh) / double(characters);
    }

    // An entry of a list kept most common first, the common ones more often: the first of two draws.
    const std::string &PickCommon(const std::vector<std::string> &entries)
    {
        return entries[std::min(Between(0, entries.size() - 1), Between(0, entries.size() - 1))];
    }

    // Of a few entries drawn (the common ones more often), the one where the new keys are the largest share.
    const std::string &Densest(const std::vector<std::string> &entries, int draws = DensityDraws)
    {
        const std::string *best = nullptr;
        double bestShare = -1;
        for (int draw = 0; draw < draws; ++draw) {
            const std::string &entry = PickCommon(entries);
            const double share = Share(entry);
            if (share > bestShare) {
                best = &entry;
                bestShare = share;
            }
        }
        return *best;
    }

    static bool HoldsAny(const std::string &text, const std::array<bool, 256> &keys)
    {
        return std::any_of(text.begin(), text.end(), [&](char c) { return keys[static_cast<unsigned char>(c)]; });
    }

    bool SentenceLineNext()
    {
        if (m_sentences.empty())
            return false;
        // A line of names brings the capitals in where the sentences hold too few of them.
        if (m_sentencesOnly)
            return !(m_dense && !m_names.empty() && Chance(50));
        // Sentences hold few of a sign lesson's signs: words with the signs come first while the share is low.
        return Chance(ShareLow(0, 0) ? 25 : 60);
    }

    // Whole sentences, as many as the line holds: a sentence starts the line or follows another one.
    std::string SentenceLine()
    {
        const std::size_t target = Between(MinLineLength + 6, MaxLineLength - 4);
        std::string line;
        int misses = 0;
        const std::vector<const std::string *> &focused = FocusSentences();
        while (line.size() < target && misses < 12) {
            const bool low = ShareLow(0, 0);
            const bool own = !m_ownSentences.empty() && (low ? Chance(90) : Chance(60));
            const int draws = m_dense ? 4 * SentenceDraws : SentenceDraws;
            const std::string &sentence = !focused.empty() && line.empty() ? *Pick(focused)
                                          : own ? (low ? Densest(m_ownSentences, draws) : Pick(m_ownSentences))
                                                : *Pick(m_sentences);
            const std::size_t length = line.size() + (line.empty() ? 0 : 1) + sentence.size();
            if (length > MaxLineLength || line.find(sentence) != std::string::npos || !m_lesson.AllowsAll(sentence) ||
                m_sentenceUses[&sentence] >= SentenceUses) {
                ++misses;
                continue;
            }
            if (!line.empty())
                line += ' ';
            line += sentence;
            ++m_sentenceUses[&sentence];
        }
        return line;
    }

    // Words, some with the lesson's signs or numbers: the lesson's own words come back as often as the share of
    // its new keys asks, and one of the learner's weak keys once a line.
    std::string WordLine()
    {
        const std::size_t target = Between(MinLineLength + 6, MaxLineLength - 4);
        std::string line;
        std::size_t newInLine = 0, inLine = 0;
        bool weakDone = m_weakWords.empty();
        int misses = 0;
        while (line.size() < target && misses < 16) {
            std::string token;
            if (!weakDone && Chance(50))
                token = Pick(m_weakWords);
            else if (m_dense || ShareLow(newInLine, inLine) || (newInLine == 0 && Chance(50)))
                token = NewKeyToken();
            else
                token = Word();
            const std::size_t length = line.size() + (line.empty() ? 0 : 1) + token.size();
            // A name comes once a line: a line of names is a list, not a refrain.
            const bool nameAgain = !token.empty() && IsCapital(static_cast<unsigned char>(token.front())) &&
                                   (' ' + line + ' ').find(' ' + token + ' ') != std::string::npos;
            if (token.empty() || length > MaxLineLength || !m_lesson.AllowsAll(token) || nameAgain) {
                ++misses;
                continue;
            }
            if (!line.empty())
                line += ' ';
            line += token;
            weakDone = weakDone || token.find_first_of(m_weak) != std::string::npos;
            Count(token, inLine, newInLine);
        }
        return line;
    }

    // Letter groups, for the first lessons and a material without words.
    std::string GroupLine()
    {
        const std::size_t target = Between(MinLineLength + 6, MaxLineLength - 4);
        std::string line;
        while (line.size() < target) {
            std::string group = DrillGroup(Between(m_lesson.Number <= 2 ? 2 : 3, 5));
            // A new sign follows a group as it follows a word in French text: the comma close, the others spaced.
            if (!m_newSigns.empty() && Chance(35)) {
                const char sign = PickChar(m_newSigns);
                group += sign == ',' || sign == '.' ? std::string(1, sign) : std::string(" ") + sign;
            }
            if (line.size() + 1 + group.size() > MaxLineLength)
                break;
            if (!line.empty())
                line += ' ';
            line += group;
        }
        while (line.size() < MinLineLength) {
            line += ' ';
            line += DrillGroup(std::min<std::size_t>(MaxLineLength - line.size() - 1, 5));
        }
        return line;
    }

    // A token that holds one of the lesson's new keys: a sign or a number as French text sets it, or one of the
    // lesson's own words; a short group around a new letter only when no word holds it.
    std::string NewKeyToken()
    {
        if (m_focus >= 0 && Chance(70))
            return FocusToken();
        if (m_capitals >= 0 && !m_names.empty() && (m_newSigns.empty() || Chance(50)))
            return Pick(m_names);
        if (!m_newSigns.empty() && (m_own.empty() || Chance(65))) {
            // Of two signs set, the one richer in new keys.
            std::string first = SignToken(PickChar(m_newSigns));
            std::string second = SignToken(PickChar(m_newSigns));
            return Share(second) > Share(first) ? second : first;
        }
        if (!m_own.empty())
            return Densest(m_own);
        if (!m_newLetters.empty())
            return KeyGroup(PickChar(m_newLetters));
        return Word();
    }

    // A token that holds the new key the attempt still lacks: a name for the capitals, a word for a letter, the
    // sign set as French text sets it.
    std::string FocusToken()
    {
        const std::string &keys = m_keyGroups[static_cast<std::size_t>(m_focus)];
        if (m_focus == m_capitals)
            return m_names.empty() ? std::string() : Pick(m_names);
        const auto key = static_cast<unsigned char>(keys.front());
        if (!IsLowerLetter(key))
            return key == '.' ? Word() + '.' : SignToken(static_cast<char>(key));
        const std::vector<std::string> &words = m_focusWords[key];
        return words.empty() ? KeyGroup(static_cast<char>(key)) : PickCommon(words);
    }

    // The sentences that hold the new key the attempt still lacks (none without one).
    const std::vector<const std::string *> &FocusSentences()
    {
        static const std::vector<const std::string *> none;
        if (m_focus < 0)
            return none;
        std::vector<const std::string *> &found = m_focusSentences[m_focus];
        if (found.empty())
            for (const std::string *sentence : m_sentences)
                if (HoldsGroup(*sentence, m_focus) && m_lesson.AllowsAll(*sentence))
                    found.push_back(sentence);
        return found;
    }

    std::string SignToken(char sign)
    {
        // What French text and a computer's everyday use make of the AltGr signs: an address, a price, a path, a
        // command; and the apostrophe's common elisions.
        static const std::vector<std::string> folders{"Documents", "Images",   "Musique", "Photos",  "Cours",
                                                      "Devoirs",   "Vacances", "Travail", "Lettres", "Jeux"};
        static const std::vector<std::string> commands{"ls", "pwd", "date", "cd", "sort", "more", "man", "cp", "mv"};
        static const std::vector<std::string> pipes{"ls | sort", "ls | more", "cat notes | sort", "ls -l | more",
                                                    "sort liste | more"};
        static const std::vector<std::string> elided{
            "l'eau",   "l'\351t\351", "l'hiver",   "l'ami",      "l'amie",       "l'heure",    "l'arbre",
            "l'air",   "l'autre",     "l'enfant",  "l'oiseau",   "l'avion",      "l'\351cole", "l'\356le",
            "l'homme", "l'histoire",  "l'id\351e", "d'abord",    "d'accord",     "d'ailleurs", "d'un",
            "d'une",   "j'ai",        "j'aime",    "j'\351tais", "c'est",        "c'\351tait", "n'est",
            "n'a",     "s'il",        "qu'il",     "qu'elle",    "l'un",         "l'une",      "m'a",
            "s'est",   "aujourd'hui", "jusqu'ici", "quelqu'un",  "presqu'\356le"};
        if (IsDigit(static_cast<unsigned char>(sign)))
            return RealNumber();
        switch (sign) {
        case '\'': return Pick(elided);
        // The curly apostrophe, where the typographers' keyboards type it, in the same elisions.
        case '\x92': {
            std::string word = Pick(elided);
            std::replace(word.begin(), word.end(), '\'', '\x92');
            return word;
        }
        case '@': return "contact@" + Domain() + ".fr";
        case '\x80': return Price();
        case '|': return Pick(pipes);
        case '\\': {
            const std::string &first = Pick(folders);
            const std::string *second = &Pick(folders);
            while (*second == first)
                second = &Pick(folders);
            return "C:\\" + first + '\\' + *second;
        }
        // The tilde is a dead key: it stands before a space, as in the command that goes home; that one command
        // comes once in a while, the other signs the rest of the time.
        case '~': {
            std::string others = m_newSigns;
            others.erase(std::remove(others.begin(), others.end(), '~'), others.end());
            return others.empty() || Chance(30) ? std::string("cd ~") : SignToken(PickChar(others));
        }
        // The grave accent is a dead key too: the commands it quotes start with a letter it does not take.
        case '`': return '`' + Pick(commands) + '`';
        case '-': {
            // Compound words hold the hyphen.
            for (int tries = 0; tries < 8 && !m_own.empty(); ++tries) {
                const std::string &word = Densest(m_own);
                if (word.find('-') != std::string::npos)
                    return word;
            }
            return std::string();
        }
        default: break;
        }
        m_signing = true;
        std::string token = Signed(sign, m_digits);
        m_signing = false;
        return token;
    }

    // A plain word of three letters at least, as an address's domain has.
    std::string Domain()
    {
        for (int tries = 0; tries < 8; ++tries) {
            const std::string word = Short();
            if (word.size() >= 3 && std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
                return word;
        }
        return "exemple";
    }

    // A price as a shop shows one: euros, sometimes with cents.
    std::string Price()
    {
        std::string price = Digits(1, "123456789") + Digits(Between(0, 2));
        if (Chance(30))
            price += ',' + Digits(1, "12345789") + '0';
        return price + " \x80";
    }

    std::string Short()
    {
        if (!m_short.empty())
            return Pick(m_short);
        return Word();
    }

    // A number as French text writes one, from the lesson's digits: a year, a decimal, a time, a telephone
    // number, a quantity.
    std::string RealNumber()
    {
        static const char *const units[] = {"km", "kg", "ans", "euros", "jours", "minutes", "pages", "litres"};
        for (int tries = 0; tries < 12; ++tries) {
            std::string number;
            switch (Between(0, 4)) {
            case 0: number = Chance(50) ? "19" + Digits(2) : "20" + Digits(1, "012") + Digits(1); break;
            case 1: number = Digits(1, "123456789") + (Chance(50) ? Digits(1) : "") + ',' + Digits(1); break;
            case 2: number = Digits(1, "12") + Digits(1) + " h " + Digits(1, "012345") + Digits(1); break;
            case 3: number = "0" + Digits(1, "1234567") + ' ' + Digits(2) + ' ' + Digits(2); break;
            default: number = Digits(1, "123456789") + Digits(Between(0, 2)) + ' ' + units[Between(0, 7)]; break;
            }
            if (m_lesson.AllowsAll(number) && HoldsAny(number, m_new))
                return number;
        }
        return Number(m_digits);
    }

    // `count` digits of the lesson's, from `among` when given.
    std::string Digits(std::size_t count, std::string_view among = "0123456789")
    {
        std::string allowed;
        for (const char d : m_digits)
            if (among.find(d) != std::string_view::npos)
                allowed += d;
        if (allowed.empty())
            allowed = "0";
        std::string digits;
        for (std::size_t i = 0; i < count; ++i)
            digits += PickChar(allowed);
        return digits;
    }

    // A short group around a new letter that no word holds: the letter between two of the lesson's plain letters.
    std::string KeyGroup(char key)
    {
        std::string plain;
        for (const char c : m_letters)
            if (c >= 'a' && c <= 'z')
                plain += c;
        if (plain.empty())
            return std::string(1, key);
        return std::string(1, PickChar(plain)) + key + PickChar(plain);
    }

    std::string DrillGroup(std::size_t length) { return Group(length, m_newLetters, m_letters); }

    // One of the most common words the lesson's keys make; a short one beside a sign.
    std::string Word() override
    {
        if (m_signing && !m_short.empty())
            return Pick(m_short);
        if (!m_common.empty())
            return Pick(m_common);
        if (!m_own.empty())
            return Pick(m_own);
        return std::string();
    }

    const Lesson &m_lesson;
    const Material &m_material;
    std::array<bool, 256> m_new{};
    // The keys an attempt brings in, one group each (all the capitals make one, m_capitals; -1 without).
    std::vector<std::string> m_keyGroups;
    int m_capitals = -1;
    // The group a line must bring in (-1: none), and whether lines are made as rich in new keys as may be.
    int m_focus = -1;
    bool m_dense = false;
    std::array<std::vector<std::string>, 256> m_focusWords;
    std::map<int, std::vector<const std::string *>> m_focusSentences;
    // The names the sentences hold, for a lesson of capitals.
    std::vector<std::string> m_names;
    std::string m_letters;
    std::string m_newLetters;
    std::string m_newSigns;
    std::string m_digits;
    std::string m_weak;
    std::size_t m_usableWords = 0;
    bool m_groupsOnly = true;
    bool m_sentencesOnly = false;
    // While a sign is set: the words drawn then are short ones.
    bool m_signing = false;
    std::vector<std::string> m_own;
    std::vector<std::string> m_common;
    std::vector<std::string> m_short;
    std::vector<std::string> m_weakWords;
    std::vector<std::string> m_ownSentences;
    std::vector<const std::string *> m_sentences;
    std::set<std::string> m_made;
    // How often each sentence came in the attempt (lines given up on count too: they only make it rarer).
    std::map<const std::string *, int> m_sentenceUses;
    std::size_t m_characters = 0;
    std::size_t m_newCharacters = 0;
};

} // namespace

Material::Material() : Material(course::Lessons())
{
}

Material::Material(std::vector<Lesson> lessons)
    : m_lessons(std::move(lessons)), m_words(m_lessons.size() + 1), m_ranks(m_lessons.size() + 1),
      m_sentences(m_lessons.size() + 1)
{
}

Material Material::Parse(std::string_view data, layouts::Layout layout)
{
    Material material(LessonsFor(layout));
    const std::size_t column = static_cast<std::size_t>(layout);
    // What each lesson types and brings, looked up by character.
    std::vector<std::array<bool, 256>> allowed(material.m_lessons.size());
    std::vector<std::array<bool, 256>> fresh(material.m_lessons.size());
    for (std::size_t n = 0; n < material.m_lessons.size(); ++n) {
        allowed[n].fill(false);
        fresh[n].fill(false);
        for (const char c : material.m_lessons[n].Keys)
            allowed[n][static_cast<unsigned char>(c)] = true;
        for (const char c : material.m_lessons[n].NewKeys)
            fresh[n][static_cast<unsigned char>(c)] = c != ' ';
    }
    bool sentences = false;
    while (!data.empty()) {
        const std::size_t end = std::min(data.find('\n'), data.size());
        std::string_view line = data.substr(0, end);
        data.remove_prefix(std::min(end + 1, data.size()));
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.size() == 2 && line[0] == '\t') {
            sentences = line[1] == SentencesMark;
            continue;
        }
        const std::size_t lessonsAt = line.rfind('\t');
        if (lessonsAt == std::string_view::npos || line.size() - lessonsAt - 1 != layouts::LayoutCount)
            continue;
        const char filed = line[lessonsAt + 1 + column];
        std::string_view entry = line.substr(0, lessonsAt);
        std::uint32_t rank = Unranked;
        if (!sentences) {
            const std::size_t tab = entry.find('\t');
            if (tab == std::string_view::npos)
                continue;
            const std::string_view digits = entry.substr(tab + 1);
            bool number = !digits.empty() && digits.size() <= 7;
            std::uint32_t read = 0;
            for (const char c : digits) {
                number = number && c >= '0' && c <= '9';
                read = read * 10 + static_cast<std::uint32_t>(c - '0');
            }
            rank = number ? read : Unranked;
            entry = entry.substr(0, tab);
        }
        if (filed < 'a' || filed >= 'a' + static_cast<int>(material.m_lessons.size()) || entry.empty())
            continue;
        const std::size_t n = static_cast<std::size_t>(filed - 'a');
        bool allowedAll = true;
        bool holdsNew = false;
        for (const char c : entry) {
            allowedAll = allowedAll && allowed[n][static_cast<unsigned char>(c)];
            holdsNew = holdsNew || fresh[n][static_cast<unsigned char>(c)];
        }
        if (allowedAll && (holdsNew || n == 0))
            material.File(static_cast<int>(n + 1), std::string(entry), rank, sentences);
    }
    return material;
}

void Material::File(int lesson, std::string entry, std::uint32_t rank, bool sentence)
{
    const std::size_t n = static_cast<std::size_t>(lesson);
    if (sentence) {
        m_sentences[n].push_back(std::move(entry));
        return;
    }
    m_words[n].push_back(std::move(entry));
    m_ranks[n].push_back(rank);
}

int Material::FirstLessonAllowing(std::string_view text) const
{
    if (text.empty())
        return 0;
    for (const Lesson &lesson : m_lessons)
        if (lesson.AllowsAll(text))
            return lesson.Number;
    return 0;
}

void Material::AddWord(std::string word, std::uint32_t rank)
{
    if (const int lesson = FirstLessonAllowing(word))
        File(lesson, std::move(word), rank, false);
}

void Material::AddSentence(std::string sentence)
{
    if (const int lesson = FirstLessonAllowing(sentence))
        File(lesson, std::move(sentence), Unranked, true);
}

const std::vector<std::uint32_t> &Material::RanksOf(int lesson) const
{
    return m_ranks.at(static_cast<std::size_t>(lesson));
}

std::vector<std::string> Material::MostCommon(int lesson, std::size_t count, std::vector<std::uint32_t> *ranks) const
{
    struct Entry {
        std::uint32_t Rank;
        const std::string *Word;
    };
    std::vector<Entry> entries;
    entries.reserve(UsableWords(lesson));
    for (int n = 1; n <= lesson; ++n)
        for (std::size_t i = 0; i < WordsOf(n).size(); ++i)
            entries.push_back({RanksOf(n)[i], &WordsOf(n)[i]});
    const auto byRank = [](const Entry &a, const Entry &b) {
        return a.Rank < b.Rank || (a.Rank == b.Rank && *a.Word < *b.Word);
    };
    const std::size_t kept = std::min(count, entries.size());
    std::partial_sort(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(kept), entries.end(), byRank);
    std::vector<std::string> words;
    words.reserve(kept);
    for (std::size_t i = 0; i < kept; ++i) {
        words.push_back(*entries[i].Word);
        if (ranks)
            ranks->push_back(entries[i].Rank);
    }
    return words;
}

const std::vector<std::string> &Material::WordsOf(int lesson) const
{
    return m_words.at(static_cast<std::size_t>(lesson));
}

const std::vector<std::string> &Material::SentencesOf(int lesson) const
{
    return m_sentences.at(static_cast<std::size_t>(lesson));
}

std::size_t Material::UsableWords(int lesson) const
{
    std::size_t count = 0;
    for (int n = 1; n <= lesson; ++n)
        count += WordsOf(n).size();
    return count;
}

std::string Material::Serialize(const std::vector<const Material *> &keyboards)
{
    struct Entry {
        std::string Text;
        std::uint32_t Rank = Unranked;
        std::string Filed = std::string(layouts::LayoutCount, '.');
    };
    std::string data;
    for (const bool sentences : {false, true}) {
        std::vector<Entry> entries;
        std::map<std::string, std::size_t> index;
        for (std::size_t k = 0; k < keyboards.size() && k < layouts::LayoutCount; ++k) {
            const Material &material = *keyboards[k];
            for (std::size_t n = 1; n <= material.m_lessons.size(); ++n) {
                const std::vector<std::string> &texts = sentences ? material.m_sentences[n] : material.m_words[n];
                for (std::size_t i = 0; i < texts.size(); ++i) {
                    const auto [at, added] = index.emplace(texts[i], entries.size());
                    if (added)
                        entries.push_back({texts[i]});
                    Entry &entry = entries[at->second];
                    entry.Filed[k] = static_cast<char>('a' + n - 1);
                    if (!sentences)
                        entry.Rank = std::min(entry.Rank, material.m_ranks[n][i]);
                }
            }
        }
        // Most common first; the words outside the ranking in the order the keyboards gave them.
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry &a, const Entry &b) { return a.Rank < b.Rank; });
        data += '\t';
        data += sentences ? SentencesMark : WordsMark;
        data += '\n';
        for (const Entry &entry : entries) {
            data += entry.Text;
            if (!sentences)
                data += '\t' + (entry.Rank == Unranked ? std::string() : std::to_string(entry.Rank));
            data += '\t' + entry.Filed + '\n';
        }
    }
    return data;
}

std::vector<std::string> MakeAttempt(const Lesson &lesson, const Material &material, std::uint32_t seed,
                                     std::string_view weakKeys)
{
    AttemptMaker maker(lesson, material, seed, weakKeys);
    return maker.Attempt();
}

} // namespace course
