#!/usr/bin/env python3
"""What tools/make_word_lists.py makes of a SCOWL list: run on a small list of its own.

    make_word_lists_test.py SOURCE_DIR
"""

import importlib.util
import os
import sys
import tempfile
import unicodedata

# A SCOWL list as Debian ships it: capitals, possessives, accents (one decomposed).
SCOWL_LINES = [
    "Attaché", "attaché's", "attachés", "attach", "café", "cafés",
    "cliche\u0301", "Zürich", "Øresund", "wishlist's", "a" + "é" * 15, "b" + "é" * 16,
]

# (word, listed?, why)
EXPECTED = [
    ("attaché", True, "accented words are kept, lower-cased"),
    ("attaches", True, "SCOWL writes the plain word only with accents"),
    ("attache", True, "the plain spelling of an accented word"),
    ("cafe", True, "the plain spelling of an accented word"),
    ("cliché", True, "words are composed (NFC), never listed decomposed"),
    ("cliche", True, "the plain spelling of a decomposed word"),
    ("zurich", True, "the plain spelling of a name"),
    ("øresund", True, "a letter without a plain form is kept as it is"),
    ("oresund", False, "a letter without a plain form gives no plain spelling"),
    ("wishlist", True, "a stem listed only in a possessive"),
    ("wishlist's", False, "possessives are cut before the lookup"),
    ("a" + "é" * 15, True, "31 bytes is the longest record"),
    ("b" + "é" * 16, False, "33 bytes is too long for a record"),
]


def load_generator(source_dir):
    path = os.path.join(source_dir, "tools", "make_word_lists.py")
    spec = importlib.util.spec_from_file_location("make_word_lists", path)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


def commonness_failures(generator):
    """A word takes the smallest size that lists it, in either spelling's list; words
    the dictionary leaves out are left out."""
    sizes = {"english-words.10": ["The"], "american-words.10": [],
             "english-words.20": ["the", "Water"], "american-words.20": ["color"],
             "english-words.35": ["water", "zzyzx"], "american-words.35": []}
    with tempfile.TemporaryDirectory() as folder:
        for name, lines in sizes.items():
            with open(os.path.join(folder, name), "w", encoding="utf-8") as out:
                out.writelines(line + "\n" for line in lines)
        got = generator.commonness({"the", "water", "color", "rare"}, folder)
    expected = ["color\t20", "the\t10", "water\t20"]
    return [] if got == expected else [f"commonness gave {got}, not {expected}"]


def main():
    sys.dont_write_bytecode = True  # nothing written into the source tree
    generator = load_generator(sys.argv[1])
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        listing = os.path.join(folder, "american-english-test")
        with open(listing, "w", encoding="utf-8") as out:
            out.writelines(line + "\n" for line in SCOWL_LINES)
        generator.LIST_FILES["test"] = listing
        words = generator.scowl_words("test")
    listed = set(words)
    for word, expected, why in EXPECTED:
        if (word in listed) != expected:
            failures.append(f"{word!r} {'missing' if expected else 'listed'}: {why}")
    if words != sorted(words, key=lambda w: w.encode("utf-8")):
        failures.append("not sorted by unsigned bytes")
    if any(unicodedata.normalize("NFC", w) != w for w in words):
        failures.append("a word is not in NFC")
    failures += commonness_failures(generator)
    for failure in failures:
        print(f"make_word_lists: {failure}")
    print(f"{len(EXPECTED) + 3 - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
