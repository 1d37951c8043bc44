#include "WordFilters.h"

#include <algorithm>
#include <initializer_list>

namespace coursedata {

namespace {

bool EndsWith(std::string_view word, std::string_view ending)
{
    return word.size() >= ending.size() && word.compare(word.size() - ending.size(), ending.size(), ending) == 0;
}

// The ending is the word's last letters and leaves a stem of one letter at least.
bool Ends(std::string_view word, std::string_view ending)
{
    return word.size() > ending.size() && EndsWith(word, ending);
}

// Letters, not bytes: a stem's length is counted as the Python script counts it.
std::size_t Letters(std::string_view text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string WithoutEnd(std::string_view word, std::string_view ending)
{
    return std::string(word.substr(0, word.size() - ending.size()));
}

// Roots that no word of Debian's list holds innocently (each was checked against every word containing it):
// "salop" is not one of them (salopette), nor "nazi" (monazite), "bordel" (bordelais) or "pisse" (accroupisse).
const char *const BannedRoots[] = {"merd",     "couill", "encul", "putain",   "connard", "dégueul",
                                   "pédophil", "porno",  "foutr", "bougnoul", "youpin",  "chiott"};

// Innocent words that look like a form of a banned one ("violons" is not "viol" + "ons"); a word, or a word of a
// compound, that starts with one of these is innocent.
const char *const InnocentStarts[] = {"amuse-gueule", "branle-bas", "gueule-de-loup", "gueules-de-loup",
                                      "pique-niqu",   "tue-tête",   "violent",        "violon"};

bool IsInnocent(std::string_view word)
{
    for (const std::string_view start : InnocentStarts)
        if (word.compare(0, start.size(), start) == 0)
            return true;
    return false;
}

// Plurals and feminines: the ending, and what takes its place to give the banned entry ("euse" → "eur").
struct NounEnding {
    const char *ending;
    const char *entryEnd;
};
// clang-format off
const NounEnding NounEndings[] = {
    {"s", ""}, {"x", ""}, {"e", ""}, {"es", ""},                                  // "pute" → "putes"
    {"euse", "eur"}, {"euses", "eur"}, {"euse", "eux"}, {"euses", "eux"},         // "emmerdeur" → "emmerdeuse"
    {"ne", ""}, {"nes", ""}, {"le", ""}, {"les", ""},                             // "-on", "-el" double the consonant
    {"aux", "al"},                                                                // "anal" → "anaux"
};
// clang-format on

// The endings of a verb in -er after its stem, every tense.
const char *const VerbEndings[] = {
    "e",   "es", "ent", "ons",  "ez",   "ais",  "ait",   "aient", "ions",  "iez",   "é",      "ée",     "és",
    "ées", "er", "era", "eras", "erai", "erez", "erons", "eront", "erais", "erait", "eriez",  "erions", "eraient",
    "ant", "a",  "ai",  "as",   "âmes", "âtes", "èrent", "ât",    "asse",  "asses", "assent", "assiez", "assions"};

// The entry itself, a plural or feminine of it, or a tense of it when it is a verb in -er (every entry in -er is
// taken for a verb, so the list holds no noun in -er).
bool IsFormOfBanned(const std::string &word, const std::set<std::string> &banned)
{
    if (banned.count(word))
        return true;
    for (const NounEnding &noun : NounEndings) {
        const std::string_view ending = noun.ending;
        if (!Ends(word, ending))
            continue;
        const std::string entry = WithoutEnd(word, ending) + noun.entryEnd;
        // "ne" and "le" only double the last consonant of "-on" and "-el" ("couillonne", "sexuelle").
        if ((ending[0] == 'n' || ending[0] == 'l') && !EndsWith(entry, "on") && !EndsWith(entry, "el"))
            continue;
        if (banned.count(entry))
            return true;
    }
    for (const std::string_view ending : VerbEndings) {
        if (!EndsWith(word, ending) || Letters(word) < Letters(ending) + 2)
            continue;
        const std::string stem = WithoutEnd(word, ending);
        std::vector<std::string> stems{stem};
        if (EndsWith(stem, "i")) // "merdoie": the y of a verb in -oyer before a silent e
            stems.push_back(WithoutEnd(stem, "i") + "y");
        if (EndsWith(stem, "ç")) // the c of a verb in -cer before a and o
            stems.push_back(WithoutEnd(stem, "ç") + "c");
        if (EndsWith(stem, "ge")) // the e kept after the g of a verb in -ger before a and o
            stems.push_back(WithoutEnd(stem, "e"));
        for (const std::string &verb : stems)
            if (banned.count(verb + "er"))
                return true;
    }
    return false;
}

bool Known(const std::set<std::string> &known, const std::string &word)
{
    return known.count(word) != 0;
}

// Nouns spelt like a past historic or an imperfect subjunctive of a verb of the list ("hélas" and "héler").
const std::set<std::string> NotAPast = {"culasse", "damas", "débarras", "embarras", "filasse", "frimas",  "godasse",
                                        "hélas",   "lamas", "liasse",   "opéras",   "plâtras", "razzias", "visas"};
// Still written today ("qu'il fût", "s'il eût", "il dût"), so they stay.
const std::set<std::string> KeptPast = {"fût", "eût", "dût"};
// Impersonal and defective verbs have no plural past to tell their stem, so their subjunctives are named.
const std::set<std::string> LonePast = {"advînt", "arquebusât", "brumassât", "échût", "fallût", "frît", "sourdît"};

// A stem of a verb in -er: it takes all three plural past historic forms ("chant": chantâmes, chantâtes,
// chantèrent), which only a verb of the list has; before è a "ç" is a "c" and a "ge" a "g".
bool IsVerbStem(const std::string &stem, const std::set<std::string> &known)
{
    std::string beforeE = stem;
    if (EndsWith(stem, "ç"))
        beforeE = WithoutEnd(stem, "ç") + "c";
    else if (EndsWith(stem, "ge"))
        beforeE = WithoutEnd(stem, "e");
    return Known(known, stem + "âmes") && Known(known, stem + "âtes") && Known(known, beforeE + "èrent");
}

} // namespace

std::set<std::string> ReadWords(std::istream &in)
{
    std::set<std::string> words;
    std::string line;
    while (std::getline(in, line))
        if (!line.empty() && line.rfind("# ", 0) != 0)
            words.insert(line);
    return words;
}

std::string Lowercase(std::string_view utf8)
{
    std::string out(utf8);
    for (std::size_t i = 0; i < out.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c + 32);
        } else if (i + 1 < out.size()) {
            const unsigned char next = static_cast<unsigned char>(out[i + 1]);
            if (c == 0xC3 && next >= 0x80 && next <= 0x9E && next != 0x97) // À .. Þ, not ×
                out[i + 1] = static_cast<char>(next + 0x20);
            else if (c == 0xC5 && next == 0x92) // Œ
                out[i + 1] = '\x93';
            else if (c == 0xC5 && next == 0xB8) // Ÿ
                out[i] = '\xC3', out[i + 1] = '\xBF';
        }
    }
    return out;
}

std::vector<std::string> WordsOf(std::string_view sentence)
{
    const std::string text = Lowercase(sentence);
    std::vector<std::string> words;
    std::string word;
    // A joiner (hyphen, apostrophe) waits for the next letter: it belongs to the word only between two letters.
    std::string joiner;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        std::size_t length = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : 4;
        length = std::min(length, text.size() - i);
        const std::string_view character(text.data() + i, length);
        i += length;
        const bool letter = (c >= 'a' && c <= 'z') ||
                            (length == 2 && c == 0xC3 && character[1] != '\xB7') || // à .. ÿ, not ÷
                            character == "œ";
        if (letter) {
            word += joiner;
            joiner.clear();
            word += character;
        } else if (!word.empty() && joiner.empty() && (character == "-" || character == "'" || character == "’")) {
            joiner = character == "-" ? "-" : "'";
        } else {
            if (!word.empty())
                words.push_back(word);
            word.clear();
            joiner.clear();
        }
    }
    if (!word.empty())
        words.push_back(word);
    return words;
}

bool IsBanned(const std::string &word, const std::set<std::string> &banned)
{
    if (IsInnocent(word))
        return false;
    for (const char *root : BannedRoots)
        if (word.find(root) != std::string::npos)
            return true;
    if (IsFormOfBanned(word, banned))
        return true;
    // A compound is banned when one of its words is ("lèche-cul", "l'enculé").
    if (word.find_first_of("-'") == std::string::npos)
        return false;
    std::size_t start = 0;
    while (start <= word.size()) {
        const std::size_t end = std::min(word.find_first_of("-'", start), word.size());
        const std::string piece = word.substr(start, end - start);
        if (!piece.empty() && !IsInnocent(piece) && IsFormOfBanned(piece, banned))
            return true;
        start = end + 1;
    }
    return false;
}

bool IsArchaic(const std::string &word, const std::set<std::string> &known)
{
    if (LonePast.count(word))
        return true;
    if (KeptPast.count(word) || NotAPast.count(word))
        return false;
    // A plural noun or a present ("pâtes", "abîmes", "goûtes", "missions") is not a past: its singular is a word.
    const bool pluralOfAWord = EndsWith(word, "s") && Known(known, WithoutEnd(word, "s"));

    // Verbs in -er: the past historic but its third person singular, and the imperfect subjunctive.
    for (const std::string_view ending :
         {"âmes", "âtes", "èrent", "ât", "asse", "asses", "assent", "assiez", "assions", "as", "ai"}) {
        if (!Ends(word, ending))
            continue;
        std::string stem = WithoutEnd(word, ending);
        if (ending == "èrent") { // "commencèrent", "mangèrent": the stem before â is "commenç", "mange"
            if (EndsWith(stem, "c"))
                stem = WithoutEnd(stem, "c") + "ç";
            else if (EndsWith(stem, "g"))
                stem += "e";
        }
        if (!IsVerbStem(stem, known))
            continue;
        if ((ending == "âmes" || ending == "âtes" || ending == "assions") && pluralOfAWord)
            continue;
        // "ramasse": the present of a verb in -asser, not the subjunctive of "ramer".
        if (ending.compare(0, 3, "ass") == 0 && Known(known, stem + "assons"))
            continue;
        // "chantas", "chantai": only when the third person "chanta" is a word too, and not a future ("sauras":
        // "sauront" says it is savoir's, not saurer's past).
        if ((ending == "as" || ending == "ai") && (!Known(known, stem + "a") || Known(known, stem + "ont")))
            continue;
        return true;
    }

    // Other verbs: their plural past historic in -îmes (-ïmes after a vowel), -ûmes or -înmes marks the stem.
    struct Family {
        const char *vowel;  // the vowel of the past ("fîtes", "fît")
        const char *plural; // the form that tells the verb ("fîmes")
        const char *plain;  // the vowel without its accent ("firent", "fisse")
    };
    static const Family families[] = {
        {"î", "îmes", "i"}, {"ï", "ïmes", "ï"}, {"û", "ûmes", "u"}, {"în", "înmes", "in"}};
    for (const Family &family : families) {
        const std::string vowel = family.vowel, plain = family.plain;
        // Not "-ït": "amuït" is also a present, and "coït" a noun.
        const std::string endings[] = {family.plural,   vowel + "tes",    plain + "rent",
                                       plain + "sse",   plain + "sses",   plain + "ssent",
                                       plain + "ssiez", plain + "ssions", vowel == "ï" ? std::string() : vowel + "t"};
        for (const std::string &ending : endings) {
            if (ending.empty() || !Ends(word, ending))
                continue;
            const std::string stem = WithoutEnd(word, ending);
            if (!Known(known, stem + family.plural))
                continue;
            if ((EndsWith(ending, "mes") || EndsWith(ending, "tes") || EndsWith(ending, "ions")) && pluralOfAWord)
                continue;
            // "finissent", "visse", "poussent": the present of a verb whose plural is in -issons, -ussons.
            if (ending.find("ss") != std::string::npos && Known(known, stem + plain + "ssons"))
                continue;
            // "virent", "durent": the present of "virer", "durer".
            if (EndsWith(ending, "rent") && Known(known, stem + plain + "rer"))
                continue;
            return true;
        }
    }
    return false;
}

} // namespace coursedata
