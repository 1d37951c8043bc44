#!/usr/bin/env python3
"""Makes the course's word list and its list of banned words.

    tools/coursewords/make-data.py            # writes data/course/words.txt and data/course/banned.txt

A maintainer runs it by hand when the sources should be refreshed; the build never does. It needs npm (only to
fetch the two packages below, at the versions pinned here) and Debian's French word list (package wfrench). The
filters are the same as the build's, in tools/coursedata/WordFilters.cpp: change both together.
"""

import json
import os
import subprocess
import sys
import tarfile
import tempfile

# The versions the files were made from; a newer one is only reported, so that the files change on purpose.
PACKAGES = {
    "@zxcvbn-ts/language-fr": "4.1.2",
    "french-badwords-list": "1.0.7",
}
WORD_LIST = "/usr/share/dict/french"
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WORDS_OUT = os.path.join(ROOT, "data", "course", "words.txt")
BANNED_OUT = os.path.join(ROOT, "data", "course", "banned.txt")
MOST_WORDS = 40000
LARGEST_FILE = 1000000

# The letters a course word may hold: a French lowercase word that Windows-1252 and the AZERTY keys can type.
LETTERS = set("abcdefghijklmnopqrstuvwxyzàâäçéèêëîïôöùûüÿ")
ONE_LETTER_WORDS = {"a", "à", "y"}

# Words of french-badwords-list whose first sense is an everyday one a primer needs (a sleeve, a water bottle,
# a pedal, a thumbtack, dirty, thick...): the insult is a second sense, and the learner would lose ordinary words.
# "vier" goes too: the filters take an entry in -er for a verb, and its stem "vi" would ban "vie" and "vient".
EVERYDAY_SENSE = {
    "andouille", "bouffon", "chauffard", "coche", "courtaud", "cricri", "croûton", "emmanche", "emmanché",
    "enflure", "épais", "epais", "fumier", "gland", "gourde", "lavette", "magot", "manche", "minable", "misérable",
    "miserable", "pedale", "pédale", "pouf", "pourriture", "punaise", "raton", "sale", "stéarique", "stearique",
    "trainee", "traînee", "traînée", "vier",
}

# Our own additions: what a primer for children must not show, beyond the insults of the upstream list.
OUR_BANNED = """
abruti anal anus assassin assassinat assassiner bâtard bite bordel bougnoule branler branlette cannabis chier
clito cocaïne coït con connard connasse conne couille couillon crack crétin cul débile dégueulasse drogue
droguer égorger enculé érotique érotisme fesse fesses flingue flinguer foutre foutu foutue gouine gueule
héroïne idiot imbécile joint masturber merde merdique merdoyer meurtre nazi nazie nazisme nègre
négresse négro nichon nique niquer orgasme pédé pédophile pénis pisse pisser porno pornographie prostituée
prostitution proxénète puceau pucelle pute putain salaud salop salope saloperie seins sexe sexuel sexy shit
strip-tease suicide suicider tapette taré torturer tuer vagin viol violer violeur vomi vomir vomit youpin zizi
call-girl sex-shop sex-appeal play-boy strip striptease führer hitler hémorroïde hémorroïdal cocaïnomane stéroïde
caïd tuerie fusillade alcoolique alcoolisme
""".split()

# --- The filters, as tools/coursedata/WordFilters.cpp has them ---------------------------------------------------

# Roots no innocent word holds (each checked against every word of Debian's list that contains it): a word that
# contains one is banned whatever its ending.
BANNED_ROOTS = ("merd", "couill", "encul", "putain", "connard", "dégueul", "pédophil", "porno", "foutr",
                "bougnoul", "youpin", "chiott")
# Innocent words that look like a form of a banned one ("violons" is not "viol" + "ons"): a word, or a word of a
# compound, that starts with one of these is innocent.
INNOCENT_STARTS = ("amuse-gueule", "branle-bas", "gueule-de-loup", "gueules-de-loup", "pique-niqu", "tue-tête",
                   "violent", "violon")
# The endings of a verb in -er after its stem, every tense.
VERB_ENDINGS = (
    "e", "es", "ent", "ons", "ez", "ais", "ait", "aient", "ions", "iez", "é", "ée", "és", "ées", "er", "era",
    "eras", "erai", "erez", "erons", "eront", "erais", "erait", "eriez", "erions", "eraient", "ant", "a", "ai",
    "as", "âmes", "âtes", "èrent", "ât", "asse", "asses", "assent", "assiez", "assions",
)


def is_form_of_banned(word, banned):
    """The word is a banned entry, or its plural, feminine or a tense of a banned verb in -er."""
    if word in banned:
        return True
    for ending, base in (("s", ""), ("x", ""), ("e", ""), ("es", ""), ("euse", "eur"), ("euses", "eur"),
                         ("euse", "eux"), ("euses", "eux"), ("ne", ""), ("nes", ""), ("le", ""), ("les", ""),
                         ("aux", "al")):
        if len(word) > len(ending) and word.endswith(ending):
            entry = word[: -len(ending)] + base
            # "ne" and "le" only double the last consonant of "-on" and "-el" ("couillonne", "sexuelle").
            if ending.startswith(("ne", "le")) and not entry.endswith(("on", "el")):
                continue
            if entry in banned:
                return True
    for ending in VERB_ENDINGS:
        if len(word) > len(ending) + 1 and word.endswith(ending):
            stem = word[: -len(ending)]
            stems = {stem}
            if stem.endswith("i"):  # merdoie: the y of a verb in -oyer before a silent e
                stems.add(stem[:-1] + "y")
            if stem.endswith("ç"):  # the c of a verb in -cer before a and o
                stems.add(stem[:-1] + "c")
            if stem.endswith("ge"):  # the e kept after the g of a verb in -ger before a and o
                stems.add(stem[:-1])
            if any(s + "er" in banned for s in stems):
                return True
    return False


def is_banned(word, banned):
    if word.startswith(INNOCENT_STARTS):
        return False
    if any(root in word for root in BANNED_ROOTS):
        return True
    if is_form_of_banned(word, banned):
        return True
    # A compound is banned when one of its words is ("lèche-cul", "l'enculé").
    pieces = word.replace("'", "-").split("-")
    return len(pieces) > 1 and any(
        piece and not piece.startswith(INNOCENT_STARTS) and is_form_of_banned(piece, banned) for piece in pieces)


# Nouns spelt like a past historic or an imperfect subjunctive of a verb in Debian's list.
NOT_A_PAST = {
    "culasse", "damas", "débarras", "embarras", "filasse", "frimas", "godasse", "hélas", "lamas", "liasse",
    "opéras", "plâtras", "razzias", "visas",
}
# Past forms common enough in today's writing to stay ("qu'il fût", "s'il eût", "il dût").
KEPT_PAST = {"fût", "eût", "dût"}
# Impersonal and defective verbs have no plural past to tell their stem, so their subjunctives are named.
LONE_PAST = {"advînt", "arquebusât", "brumassât", "échût", "fallût", "frît", "sourdît"}
A_PAST = ("âmes", "âtes", "èrent", "ât", "asse", "asses", "assent", "assiez", "assions", "as", "ai")


def ends(word, ending):
    return len(word) > len(ending) and word.endswith(ending)


def is_a_verb_stem(stem, known):
    """Verbs in -er: the stem takes all three plural past historic forms ("chant": chantâmes, chantâtes,
    chantèrent), which only a verb of the list has; before è a "ç" is a "c" and a "ge" a "g"."""
    before_e = stem[:-1] + "c" if stem.endswith("ç") else stem[:-1] if stem.endswith("ge") else stem
    return stem + "âmes" in known and stem + "âtes" in known and before_e + "èrent" in known


def is_archaic(word, known):
    if word in LONE_PAST:
        return True
    if word in KEPT_PAST or word in NOT_A_PAST:
        return False
    # A plural noun or a present ("pâtes", "abîmes", "goûtes", "missions") is not a past: its singular is a word.
    plural_of_a_word = word.endswith("s") and word[:-1] in known
    # Verbs in -er, past historic beyond the third singular and the imperfect subjunctive: the stem is a verb's.
    for ending in A_PAST:
        if not ends(word, ending):
            continue
        stem = word[: -len(ending)]
        if ending == "èrent":
            stem = stem[:-1] + "ç" if stem.endswith("c") else stem + "e" if stem.endswith("g") else stem
        if not is_a_verb_stem(stem, known):
            continue
        if ending in ("âmes", "âtes", "assions") and plural_of_a_word:
            continue
        # "ramasse": the present of a verb in -asser, not the subjunctive of "ramer".
        if ending.startswith("ass") and stem + "assons" in known:
            continue
        # "chantas", "chantai": only when the third person "chanta" is a word too, and not a future ("sauras":
        # "sauront" says it is savoir's, not saurer's past).
        if ending in ("as", "ai") and (stem + "a" not in known or stem + "ont" in known):
            continue
        return True
    # Other verbs: the plural past historic in -îmes/-ïmes, -ûmes, -înmes marks the stem.
    for vowel, plural in (("î", "îmes"), ("ï", "ïmes"), ("û", "ûmes"), ("în", "înmes")):
        plain = {"î": "i", "ï": "ï", "û": "u", "în": "in"}[vowel]
        for ending in (plural, vowel + "tes", plain + "rent", plain + "sse", plain + "sses", plain + "ssent",
                       plain + "ssiez", plain + "ssions", vowel + "t"):
            if not ends(word, ending) or (ending == "ït"):
                continue
            stem = word[: -len(ending)]
            if stem + plural not in known:
                continue
            if ending.endswith(("mes", "tes", "ions")) and plural_of_a_word:
                continue
            # "finissent", "visse", "poussent": the present of a verb whose plural is in -issons, -ussons.
            if "ss" in ending and stem + plain + "ssons" in known:
                continue
            # "virent", "durent": the present of "virer", "durer".
            if ending.endswith("rent") and stem + plain + "rer" in known:
                continue
            return True
    return False


# --- The script -----------------------------------------------------------------------------------------------

def run(command, folder):
    return subprocess.run(command, cwd=folder, check=True, capture_output=True, text=True).stdout.strip()


def fetch(folder):
    """Packs each pinned package into the folder; returns its tarball, read only through tarfile, so that no path
    in it ever reaches the disk."""
    tarballs = {}
    for name, version in PACKAGES.items():
        latest = run(["npm", "view", name, "version"], folder)
        note = "" if latest == version else f" (npm's latest is {latest}: raise the pin on purpose)"
        print(f"{name}@{version}{note}")
        tarball = run(["npm", "pack", "--silent", f"{name}@{version}"], folder).splitlines()[-1]
        tarballs[name] = tarfile.open(os.path.join(folder, tarball))
    return tarballs


def read_member(archive, path):
    member = archive.extractfile("package/" + path)
    if member is None:
        sys.exit(f"{archive.name}: no file package/{path}")
    return member.read().decode("utf-8")


def read_json_list(archive, path):
    words = json.loads(read_member(archive, path))
    if not isinstance(words, list) or not all(isinstance(w, str) for w in words):
        sys.exit(f"{path}: not a list of words")
    return words


def banned_words(archive):
    """The real words of french-badwords-list, lowercased, and ours."""
    counts = {"read": 0, "obfuscated": 0, "phrase": 0, "everyday sense": 0}
    banned = set()
    for line in read_member(archive, "list.txt").splitlines():
        entry = line.strip().lower()
        if not entry:
            continue
        counts["read"] += 1
        letters = entry.replace("-", "").replace("'", "").replace(" ", "")
        # Digits, symbols and a letter three times running spell a word so that a filter misses it.
        if not set(letters) <= LETTERS | {"œ"} or any(a == b == c for a, b, c in
                                                             zip(letters, letters[1:], letters[2:])):
            counts["obfuscated"] += 1
        # The filters judge one word at a time, so a phrase could never match; its words are listed alone.
        elif " " in entry:
            counts["phrase"] += 1
        elif entry in EVERYDAY_SENSE:
            counts["everyday sense"] += 1
        else:
            banned.add(entry)
    upstream = len(banned)
    banned.update(OUR_BANNED)
    print(f"french-badwords-list: {counts['read']} entries read, {counts['obfuscated']} obfuscated spellings, "
          f"{counts['phrase']} phrases and {counts['everyday sense']} everyday words left out, {upstream} kept; "
          f"{len(banned) - upstream} of ours added: {len(banned)} banned words")
    return sorted(banned)


def main():
    with open(WORD_LIST, encoding="utf-8") as f:
        known = set(f.read().split("\n"))
    with tempfile.TemporaryDirectory() as folder:
        packages = fetch(folder)
        zxcvbn = packages["@zxcvbn-ts/language-fr"]
        common = read_json_list(zxcvbn, "src/commonWords.json")
        wikipedia = read_json_list(zxcvbn, "src/wikipedia.json")
        banned = banned_words(packages["french-badwords-list"])
        for archive in packages.values():
            archive.close()

    # One ranking: the subtitles' order, then the words only Wikipedia has, in its order.
    ranking = list(dict.fromkeys(common + wikipedia))
    dropped = dict.fromkeys(("characters", "one letter", "not in wfrench", "banned", "archaic", "beyond the most"), 0)
    banned_set = set(banned)
    kept = []
    for word in ranking:
        # Letters only, but for a hyphen or an apostrophe between two letters ("l'" and "-t-il" go).
        inner = word[1:-1].replace("'", "").replace("-", "")
        if not word or not set(word[0] + word[-1] + inner) <= LETTERS or "''" in word or "--" in word:
            dropped["characters"] += 1
        elif len(word) == 1 and word not in ONE_LETTER_WORDS:
            dropped["one letter"] += 1
        elif word not in known:
            dropped["not in wfrench"] += 1
        elif is_banned(word, banned_set):
            dropped["banned"] += 1
        elif is_archaic(word, known):
            dropped["archaic"] += 1
        elif len(kept) >= MOST_WORDS:
            dropped["beyond the most"] += 1
        else:
            word.encode("cp1252")  # the program's texts are Windows-1252: a word it cannot hold stops the script
            kept.append(word)
    print(f"words read: {len(ranking)} ({len(common)} from commonWords.json, "
          f"{len(ranking) - len(dict.fromkeys(common))} more from wikipedia.json)")
    for reason, count in dropped.items():
        print(f"  dropped, {reason}: {count}")
    print(f"words kept: {len(kept)}")

    zx, bw = (f"{name}@{version}" for name, version in PACKAGES.items())
    write(WORDS_OUT, [
        "# The course's words, most common first: the line order is the rank. UTF-8, one word a line.",
        f"# From {zx} (MIT; its commonWords.json counts the words of OpenSubtitles 2024 via OPUS,",
        "# ODC-BY, attribution to the subtitle contributors; its wikipedia.json counts those of the French Wikipedia):",
        "# the subtitles' order, then the words only Wikipedia has. Kept: lowercase words that Debian's French",
        "# word list (wfrench) spells the same way, not banned (banned.txt) and not in a tense no one writes today.",
        "# Made by tools/coursewords/make-data.py; run it again to regenerate, never edit by hand.",
    ], kept)
    write(BANNED_OUT, [
        "# Words a learner never reads, nor their plurals, feminines, tenses and compounds. UTF-8, one word a",
        "# line, sorted by code point. From " + bw + " (MIT, Christophe Roger, after Maurice Butler's badwords-list),",
        "# its real words lowercased (no obfuscated spellings, no phrases; words whose first sense is an everyday",
        "# one left out), and our own additions. Made by tools/coursewords/make-data.py: add words there.",
    ], banned)


def write(path, header, lines):
    text = "\n".join(header + lines) + "\n"
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)
    size = len(text.encode("utf-8"))
    print(f"{os.path.relpath(path, ROOT)}: {len(lines)} lines, {size} bytes")
    if size > LARGEST_FILE:
        sys.exit(f"{path} is over {LARGEST_FILE} bytes")


if __name__ == "__main__":
    main()
