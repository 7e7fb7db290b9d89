#!/usr/bin/env python3
"""Writes the main dictionary's word lists, "Dictionary.txt" and "CommonWords.txt", and
the commonness of its everyday words, "WordCommonness.txt".

The words come from Debian's SCOWL word lists (/usr/share/dict/american-english-*,
packages wamerican-small ... wamerican-insane); the common words are the most frequent
listed words of real English prose, counted over the HTML of Debian documentation
packages (debian-reference-en, python3.11-doc).

    tools/make_word_lists.py write [--size large] [--common 25] [--out speller/data]
    tools/make_word_lists.py measure      # flagged words and caught misspellings per size
    tools/make_word_lists.py tokens FILE  # the corpus's words, one a line, for benchmarks

Dictionary.txt: UTF-8 in NFC, lower-cased, no control characters, at most 31 bytes,
no possessive forms, no duplicates, sorted by unsigned bytes (the compiled file's search
needs that order). CommonWords.txt: most frequent first. WordCommonness.txt: "word<TAB>
size" for the words of Dictionary.txt that SCOWL's smallest sizes (10, 20, 35: the
commonest words first) list, in Dictionary.txt's order; suggestions rank by it.
"""

import argparse
import collections
import glob
import html
import os
import re
import sys
import unicodedata

SIZES = ["small", "medium", "large", "huge", "insane"]
LIST_FILES = {
    "small": "/usr/share/dict/american-english-small",
    "medium": "/usr/share/dict/american-english",
    "large": "/usr/share/dict/american-english-large",
    "huge": "/usr/share/dict/american-english-huge",
    "insane": "/usr/share/dict/american-english-insane",
}
# Two corpora on different subjects: a word ranks as common only when it is frequent in
# both, so that neither's topic ("python", "package") makes it into the common words.
CORPORA = {
    "debian-reference-en": ["/usr/share/debian-reference/*.en.html"],
    "python3.11-doc": [
        "/usr/share/doc/python3.11/html/tutorial/*.html",
        "/usr/share/doc/python3.11/html/howto/*.html",
        "/usr/share/doc/python3.11/html/faq/*.html",
        "/usr/share/doc/python3.11/html/whatsnew/*.html",
    ],
}
MAX_WORD = 31
# Two-letter entries of the larger SCOWL sizes that are one slip away from an everyday
# word ("af" for "of", "ti" for "it") and rare in their own right: listed, they let
# those slips through. Abbreviations in use (TV, UK, Mr, IP, ul) stay, since the lookup
# ignores letter case and dropping one would flag its capitals too.
TWO_LETTER_SLIPS = {
    "af", "ay", "fo", "gk", "oc", "oe", "oj", "ot", "pu", "qm", "sk", "ti", "ww", "yb", "zn",
    "zs",
}
# SCOWL's lists by size: the smaller the size, the commoner the words.
SCOWL_FOLDER = "/usr/share/dict/scowl"
COMMONNESS_SIZES = [10, 20, 35]

# Misspellings that a spell checker must flag, the first five above all.
MISSPELLINGS = """
recieve seperate teh definately occured accomodate acheive adress apparant arguement
begining beleive calender cemetary commited concious embarass enviroment existance
foriegn goverment grammer harrass independant occassion occurence persistant posession
prefered publically recomend refered relevent succesful supercede tommorow truely untill
wierd wich alot neccessary noticable maintainance millenium mispell paralell priviledge
reccomend rythm thier tounge usefull writting becuase acording
""".split()


def listed_form(word):
    """A word as the compiled dictionary stores it and its lookup folds the words asked
    about: lower-cased, then composed (NFC)."""
    return unicodedata.normalize("NFC", word.lower())


def without_accents(word):
    """The word with its combining marks taken off, or None when that leaves a
    character outside ASCII (ø, æ, ß have no plain form to fall back on)."""
    bare = "".join(c for c in unicodedata.normalize("NFD", word) if not unicodedata.combining(c))
    return bare if bare.isascii() else None


def storable(word):
    return (word and len(word.encode("utf-8")) <= MAX_WORD
            and not any(unicodedata.category(c) == "Cc" for c in word))


def scowl_words(size):
    """The list of one SCOWL size in the form Dictionary.txt needs.

    SCOWL writes a word with the accents of a foreign word spelled the same, and then
    only that way: "attaches" is listed only as "attachés", "cafe" only as "café". So an
    accented word stands for its plain spelling too, and both are kept.

    The checker cuts "'s" off every word before the lookup, so a possessive is found
    through its stem; the stem is kept where the list has only the possessive
    ("wishlist's"). The slips of TWO_LETTER_SLIPS are left out."""
    words = set()
    stems = set()
    with open(LIST_FILES[size], encoding="utf-8") as source:
        for line in source:
            word = listed_form(line.strip())
            if word.endswith("'s"):
                stems.add(word[:-2])
                continue
            words.add(word)
            bare = None if word.isascii() else without_accents(word)
            if bare:
                words.add(bare)
    words |= stems
    words -= TWO_LETTER_SLIPS
    return sorted((w for w in words if storable(w)), key=lambda w: w.encode("utf-8"))


def corpus_files(corpus=None):
    files = []
    for name, patterns in CORPORA.items():
        if corpus in (None, name):
            for pattern in patterns:
                files.extend(sorted(glob.glob(pattern)))
    if not files:
        sys.exit(f"make_word_lists: no corpus; install {' and '.join(CORPORA)}")
    return files


BLOCKS = re.compile(r"<(script|style|pre)\b.*?</\1\s*>", re.S | re.I)
TAGS = re.compile(r"<[^>]*>")
SEPARATORS = re.compile(r"[\s\u2012-\u2015\u2026=|<>]+|(?<!\d)/|/(?!\d)|-{2,}|\.{2,}")


def page_text(path):
    """The visible text of a page, crudely: no scripts, styles, code blocks or tags."""
    with open(path, encoding="utf-8", errors="replace") as page:
        text = page.read()
    text = BLOCKS.sub(" ", text)
    text = TAGS.sub(" ", text)
    return html.unescape(text)


def is_edge(c):
    """Punctuation, symbols, separators and controls: trimmed from a word's ends."""
    return unicodedata.category(c)[0] in "PSZC"


def trim(token):
    start, end = 0, len(token)
    while start < end and is_edge(token[start]):
        start += 1
    while end > start and is_edge(token[end - 1]):
        end -= 1
    return token[start:end]


def corpus_tokens(corpus=None):
    """The words of the corpus as a checker sees them: split, possessive endings
    removed, punctuation and symbols trimmed; what is left of a symbol is no word."""
    for path in corpus_files(corpus):
        for raw in SEPARATORS.split(page_text(path)):
            if raw.endswith(("'s", "’s")):
                raw = raw[:-2]
            token = trim(raw)
            if token:
                yield token


def recognised(token, words):
    """As the main dictionary answers: listed once lower-cased, or a number, or digits
    followed by a listed word."""
    key = listed_form(token).replace("’", "'").replace("ʼ", "'")
    if key in words:
        return True
    i = 0
    while i < len(key):
        c = key[i]
        if c.isascii() and c.isdigit():
            i += 1
            continue
        if c in ".,/:-":
            if i + 1 < len(key) and key[i + 1].isascii() and key[i + 1].isdigit():
                i += 1
                continue
            return False
        break
    if i == len(key):
        return True
    return i > 0 and recognised(key[i:], words)


def measure():
    tokens = list(corpus_tokens())
    print(f"corpus: {len(corpus_files())} pages, {len(tokens)} tokens")
    print(f"{'size':8} {'words':>8} {'bytes':>9} {'flagged/10k':>12} {'misspellings caught':>20}")
    for size in SIZES:
        words = scowl_words(size)
        listed = set(words)
        flagged = sum(1 for t in tokens if not recognised(t, listed))
        missed = [m for m in MISSPELLINGS if recognised(m, listed)]
        caught = len(MISSPELLINGS) - len(missed)
        size_bytes = sum(len(w) + 1 for w in words)
        print(f"{size:8} {len(words):8} {size_bytes:9} {10000 * flagged / len(tokens):12.1f} "
              f"{caught:>9}/{len(MISSPELLINGS)}  accepted: {' '.join(missed)}")


def common_words(words, count):
    """The listed words ranked by their lowest share of any corpus's listed tokens."""
    listed = set(words)
    shares = None
    for corpus in CORPORA:
        frequency = collections.Counter()
        for token in corpus_tokens(corpus):
            key = listed_form(token).replace("’", "'")
            if key in listed:
                frequency[key] += 1
        total = sum(frequency.values())
        share = {word: n / total for word, n in frequency.items()}
        shares = share if shares is None else {w: min(s, share.get(w, 0)) for w, s in shares.items()}
    # Most frequent first, ties in byte order, so that the output is reproducible.
    ranked = sorted(shares.items(), key=lambda item: (-item[1], item[0].encode("utf-8")))
    return [word for word, share in ranked[:count] if share > 0]


def commonness(words, folder=SCOWL_FOLDER):
    """The smallest SCOWL size that lists each word of `words` (a set), among
    COMMONNESS_SIZES, as "word<TAB>size" lines in Dictionary.txt's order."""
    sizes = {}
    for size in reversed(COMMONNESS_SIZES):
        for variant in ("english", "american"):
            path = os.path.join(folder, f"{variant}-words.{size}")
            if not os.path.exists(path):
                sys.exit(f"make_word_lists: {path} is missing; install scowl")
            with open(path, encoding="utf-8") as source:
                for line in source:
                    word = listed_form(line.strip())
                    if word in words:
                        sizes[word] = size
    ranked = sorted(sizes, key=lambda w: w.encode("utf-8"))
    return [f"{word}\t{sizes[word]}" for word in ranked]


def write_lines(path, lines):
    with open(path, "w", encoding="utf-8", newline="\n") as out:
        out.writelines(line + "\n" for line in lines)


def write(size, common_count, out):
    words = scowl_words(size)
    os.makedirs(out, exist_ok=True)
    write_lines(os.path.join(out, "Dictionary.txt"), words)
    write_lines(os.path.join(out, "CommonWords.txt"), common_words(words, common_count))
    write_lines(os.path.join(out, "WordCommonness.txt"), commonness(set(words)))
    print(f"make_word_lists: {len(words)} words from {LIST_FILES[size]}, "
          f"{common_count} common words, in {out}")


def tokens(path):
    with open(path, "w", encoding="utf-8", newline="\n") as out:
        out.writelines(token + "\n" for token in corpus_tokens())


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    commands = parser.add_subparsers(dest="command", required=True)
    write_command = commands.add_parser("write", help="write Dictionary.txt and CommonWords.txt")
    write_command.add_argument("--size", choices=SIZES, default="large")
    write_command.add_argument("--common", type=int, default=25)
    write_command.add_argument("--out", default=os.path.normpath(
        os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "speller", "data")))
    commands.add_parser("measure", help="compare the list sizes on the corpus")
    tokens_command = commands.add_parser("tokens", help="write the corpus's words to FILE")
    tokens_command.add_argument("file")
    args = parser.parse_args()
    if args.command == "write":
        write(args.size, args.common, args.out)
    elif args.command == "measure":
        measure()
    else:
        tokens(args.file)


if __name__ == "__main__":
    main()
