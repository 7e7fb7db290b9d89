#!/usr/bin/env python3
"""Writes "TechnicalTerms.txt", the word list of the computing field that Pagelint ships
as the dictionary "ZEB Technical Terms".

The words come from SCOWL's larger sizes as Debian ships them (packages wamerican-huge
and wamerican-insane): those that the main dictionary (speller/data/Dictionary.txt)
does not accept, kept only when the documentation installed on this machine uses them
in the pages of at least --min-packages different packages. That documentation is the
English manual pages (/usr/share/man/man*) and the HTML and text files below
/usr/share/doc; changelogs and copyright files are no documentation and are skipped.

The benchmark corpora never count (their words would make the measurements on them
look better than they are): every file of the packages in BENCHMARK_PACKAGES, and of
the packages that ship the same text in another form (git's manual pages are git-doc's
HTML, PostgreSQL's the reference pages of postgresql-doc), is left out.

A word of three letters needs 10 packages and one of four letters 6 (SHORT_MIN_PACKAGES):
short words are more often abbreviations or slips of the finger that SCOWL happens to
list. Never listed: words shorter than MIN_LENGTH letters, words of the letters a-f only
(hexadecimal numbers in the pages), the stems of contractions ("doesn" of "doesn't",
which a page's typographic apostrophe splits off), the misspellings that the
repository's typo lists hold (a typo that the list accepted would go unreported), and
the words of speller/data/TechnicalTermsExcluded.txt, judged by hand to be typos,
personal names, British spellings (the main dictionary is US English) or noise.

    apt-get install wamerican-huge wamerican-insane
    tools/make_technical_terms.py write [--min-packages 3] [--out speller/data]
    tools/make_technical_terms.py review [--min-packages 3]   # word, packages, uses

The output is sorted by unsigned bytes, one lower-case word a line, so that a second
run on the same machine writes the same file. `review` prints the kept words with the
number of packages and the occurrences that kept them, for judging the exclusions.
"""

import argparse
import collections
import fnmatch
import glob
import gzip
import html
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_word_lists  # noqa: E402  (the main dictionary's word forms)

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
DATA = os.path.join(ROOT, "speller", "data")
OUTPUT_NAME = "TechnicalTerms.txt"
EXCLUDED_NAME = "TechnicalTermsExcluded.txt"
SCOWL_SIZES = ["huge", "insane"]
MIN_LENGTH = 3
DEFAULT_MIN_PACKAGES = 3
# A short word is more often an abbreviation, a hex number or a slip of the finger
# that happens to be listed: the shorter it is, the more packages must use it.
SHORT_MIN_PACKAGES = {3: 10, 4: 6}
HEX_LETTERS = re.compile(r"^[a-f]+$")

# The corpora that bench/peers measures, and the packages that carry the same text.
BENCHMARK_PACKAGES = [
    "python3.11*", "postgresql*", "debian-reference*", "developers-reference",
    "lilypond*", "sqlite3*", "git", "git-*",
]
MAN_FOLDERS = "/usr/share/man/man*"
DOC_FOLDER = "/usr/share/doc"
DOC_SUFFIXES = (".html", ".htm", ".xhtml", ".txt", ".md", ".rst")
# Plain text without a suffix: the READMEs and the like, not the package's history.
DOC_SKIPPED = re.compile(r"^(changelog|changes|news|copyright|history)", re.I)
DPKG_INFO = "/var/lib/dpkg/info"

# The repository's lists of misspellings: one word a line, or "typo->fix" pairs, or
# the tab-separated table of typos found in the corpora (the word in column 3).
TYPO_LISTS = [
    "bench/data/common_misspellings.txt",
    "bench/data/real_misspellings.txt",
    "bench/peers/typos.tsv",
]


def owners():
    """Each installed file's package, from dpkg's file lists."""
    owner = {}
    for listing in sorted(glob.glob(os.path.join(DPKG_INFO, "*.list"))):
        package = os.path.basename(listing)[:-len(".list")].split(":")[0]
        with open(listing, encoding="utf-8", errors="replace") as lines:
            for line in lines:
                owner.setdefault(line.rstrip("\n"), package)
    return owner


def is_benchmark(package):
    return any(fnmatch.fnmatchcase(package, pattern) for pattern in BENCHMARK_PACKAGES)


def doc_files():
    """The documentation files, in a fixed order; links are not followed, so a page
    counts once, for the package whose folder really holds it."""
    files = []
    for folder in sorted(glob.glob(MAN_FOLDERS)):
        for name in sorted(os.listdir(folder)):
            path = os.path.join(folder, name)
            if os.path.isfile(path) and not os.path.islink(path):
                files.append(path)
    for folder, subfolders, names in os.walk(DOC_FOLDER):
        subfolders.sort()
        for name in sorted(names):
            path = os.path.join(folder, name)
            if os.path.islink(path) or not os.path.isfile(path):
                continue
            plain = name[:-3] if name.endswith(".gz") else name
            if DOC_SKIPPED.match(plain):
                continue
            if plain.lower().endswith(DOC_SUFFIXES) or ("." not in plain and
                                                        plain.upper().startswith("README")):
                files.append(path)
    return files


def package_of(path, owner):
    """The owning package; a file no package lists counts for its folder."""
    package = owner.get(path)
    if package:
        return package
    if path.startswith(DOC_FOLDER + "/"):
        return path[len(DOC_FOLDER) + 1:].split("/")[0]
    return os.path.basename(path).split(".")[0]


def read_text(path):
    opener = gzip.open if path.endswith(".gz") else open
    try:
        with opener(path, "rt", encoding="utf-8", errors="replace") as source:
            return source.read()
    except (OSError, EOFError):
        return ""


ROFF_FONT = re.compile(r"\\f(\(..|\[[^]]*\]|.)|\\&|\\s[+-]?\d+")
ROFF_OTHER = re.compile(r"\\(\(..|\*(\(..|\[[^]]*\]|.)|\[[^]]*\]|.)")


def roff_text(text):
    """The words a manual page shows: comments dropped, the names of requests and
    the escapes taken out (a font change joins the letters around it)."""
    lines = []
    for line in text.splitlines():
        if line.startswith((".\\\"", "'\\\"", '.\\"')):
            continue
        if line.startswith((".", "'")):
            line = line[1:].split(None, 1)[1] if len(line[1:].split(None, 1)) > 1 else ""
        line = line.replace("\\-", "-")
        line = ROFF_FONT.sub("", line)
        lines.append(ROFF_OTHER.sub(" ", line))
    return "\n".join(lines)


BLOCKS = re.compile(r"<(script|style)\b.*?</\1\s*>", re.S | re.I)
TAGS = re.compile(r"<[^>]*>")
WORDS = re.compile(r"[A-Za-z]+(?:['\u2019][A-Za-z]+)*")


def page_words(path):
    text = read_text(path)
    if path.startswith("/usr/share/man/"):
        text = roff_text(text)
    elif re.search(r"\.x?html?(\.gz)?$", path, re.I):
        text = html.unescape(TAGS.sub(" ", BLOCKS.sub(" ", text)))
    return (match.group(0).lower().replace("\u2019", "'") for match in WORDS.finditer(text))


def count_uses(candidates):
    """For each candidate word the documentation holds: the packages whose pages use
    it and how often it is used."""
    owner = owners()
    packages = collections.defaultdict(set)
    uses = collections.Counter()
    for path in doc_files():
        package = package_of(path, owner)
        if is_benchmark(package):
            continue
        for word in page_words(path):
            if word in candidates:
                packages[word].add(package)
                uses[word] += 1
    return packages, uses


def scowl_candidates(main_words):
    """The words of SCOWL's larger sizes, in the main dictionary's form, that it
    does not accept and that are long enough to be worth listing."""
    words = set()
    for size in SCOWL_SIZES:
        path = make_word_lists.LIST_FILES[size]
        if not os.path.exists(path):
            sys.exit(f"make_technical_terms: {path} is missing; install wamerican-{size}")
        words.update(make_word_lists.scowl_words(size))
    return {w for w in words
            if len(w) >= MIN_LENGTH and w.isascii() and w.isalpha()
            and not HEX_LETTERS.match(w) and w + "'t" not in main_words
            and not make_word_lists.recognised(w, main_words)}


def enough_packages(word, packages, min_packages):
    return packages >= max(min_packages, SHORT_MIN_PACKAGES.get(len(word), 0))


def read_words(path):
    with open(path, encoding="utf-8") as source:
        return {line.strip() for line in source
                if line.strip() and not line.lstrip().startswith("#")}


def listed_typos():
    """Every misspelling of the repository's typo lists, lower-cased, and each part
    of a hyphenated one ("case-insenitive" holds "insenitive")."""
    typos = set()
    for relative in TYPO_LISTS:
        with open(os.path.join(ROOT, relative), encoding="utf-8") as source:
            for line in source:
                line = line.strip()
                if not line or line.startswith("#"):
                    continue
                if "\t" in line:
                    word = line.split("\t")[2]
                else:
                    word = line.split("->")[0]
                word = word.lower()
                typos.add(word)
                typos.update(part for part in word.split("-") if part)
    typos.update(make_word_lists.MISSPELLINGS)
    return typos


def technical_terms(min_packages):
    main_words = read_words(os.path.join(DATA, "Dictionary.txt"))
    candidates = scowl_candidates(main_words)
    candidates -= listed_typos()
    candidates -= read_words(os.path.join(DATA, EXCLUDED_NAME))
    packages, uses = count_uses(candidates)
    kept = [w for w in candidates if enough_packages(w, len(packages.get(w, ())), min_packages)]
    kept.sort(key=lambda w: w.encode("utf-8"))
    return kept, packages, uses


def write(min_packages, out):
    kept, _, _ = technical_terms(min_packages)
    make_word_lists.write_lines(os.path.join(out, OUTPUT_NAME), kept)
    print(f"make_technical_terms: {len(kept)} words in {os.path.join(out, OUTPUT_NAME)}")


def review(min_packages):
    kept, packages, uses = technical_terms(min_packages)
    for word in kept:
        print(f"{word}\t{len(packages[word])}\t{uses[word]}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    commands = parser.add_subparsers(dest="command", required=True)
    for name, text in (("write", "write TechnicalTerms.txt"), ("review", "print the kept words")):
        command = commands.add_parser(name, help=text)
        command.add_argument("--min-packages", type=int, default=DEFAULT_MIN_PACKAGES)
        if name == "write":
            command.add_argument("--out", default=DATA)
    args = parser.parse_args()
    if args.command == "write":
        write(args.min_packages, args.out)
    else:
        review(args.min_packages)


if __name__ == "__main__":
    main()
