#!/usr/bin/env python3
"""The file work and arithmetic of compare.sh: the corpus, the large site, the table.

  peers.py corpus DEST LIST        copy the HTML pages named on standard input (the
                                   output of dpkg -L) below DEST; write their paths
                                   to LIST
  peers.py site LIST DEST COUNT OUT [SIZE]   spread copies of LIST's pages over
                                   COUNT files in folders of SIZE (default 100) below
                                   DEST; write paths to OUT
  peers.py describe NAME LIST      print the number of files and megabytes
  peers.py table LIST RESULTS BASE print the comparison table of RESULTS
  peers.py madeup DEST COUNT WORDS OUT [SIZE]  COUNT pages of WORDS distinct made-up
                                   words each (from a pool of 10,000, so each word is
                                   met on several pages) in folders of SIZE below DEST
  peers.py digest ROOT OUTPUT      print the SHA-256 of a pagelint-check report with
                                   the checked folder ROOT written as SITEROOT/, so
                                   that reports of different checkouts compare
  peers.py accuracy BASELINE TYPOS RUNS
                                   print the false-alarm table of RUNS (lines of
                                   package, tool, checked folder, output) against
                                   BASELINE; exit 1 when a typo listed in TYPOS is
                                   not reported by every pagelint-check run
"""

import hashlib
import os
import re
import shutil
import sys

HTML_SUFFIXES = (".html", ".htm", ".xhtml")
FOLDER_SIZE = 100
MEGA = 1_000_000
# pagelint-check prints "path:line:column: word".
FINDING = re.compile(r"^.*:\d+:\d+: (.*)$")
FINDING_PLACE = re.compile(r"^(.*):\d+:\d+: (.*)$")
# pagelint-check's text report marks a word that repeats the one before it.
REPEAT_SUFFIX = " (duplicate)"


def fail(message):
    print(f"peers: {message}", file=sys.stderr)
    sys.exit(2)


def write_list(path, files):
    with open(path, "w", encoding="utf-8") as out:
        for name in files:
            if "\n" in name:
                fail(f"a file name holds a line break: {name!r}")
            out.write(name + "\n")


def read_list(path):
    with open(path, encoding="utf-8") as source:
        return [line.rstrip("\n") for line in source if line.strip()]


def make_corpus(dest, list_path):
    pages = sorted(
        {
            line.rstrip("\n")
            for line in sys.stdin
            if line.rstrip("\n").lower().endswith(HTML_SUFFIXES)
        }
    )
    # dpkg lists links too; a link to a missing target is no page.
    pages = [page for page in pages if os.path.isfile(page)]
    if not pages:
        fail("the package holds no HTML pages")
    root = os.path.commonpath([os.path.dirname(page) for page in pages])
    copies = []
    for page in pages:
        target = os.path.join(dest, os.path.relpath(page, root))
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(page, target)
        copies.append(target)
    write_list(list_path, copies)


def make_site(list_path, dest, count, out_path, folder_size=FOLDER_SIZE):
    pages = read_list(list_path)
    if not pages:
        fail(f"{list_path} names no pages")
    width = len(str(count - 1))
    folder_width = len(str((count - 1) // folder_size))
    copies = []
    for index in range(count):
        page = pages[index % len(pages)]
        folder = os.path.join(dest, f"d{index // folder_size:0{folder_width}d}")
        if index % folder_size == 0:
            os.makedirs(folder, exist_ok=True)
        target = os.path.join(folder, f"{index:0{width}d}-{os.path.basename(page)}")
        shutil.copyfile(page, target)
        copies.append(target)
    write_list(out_path, copies)


MADE_UP_POOL = 10_000


def made_up_word(number):
    """A word no dictionary holds: "qz" and the number in the letters a to j."""
    return "qz" + "".join("abcdefghij"[int(d)] for d in str(number)) + "xw"


def make_made_up_site(dest, count, words, out_path, folder_size=FOLDER_SIZE):
    width = len(str(count - 1))
    folder_width = len(str((count - 1) // folder_size))
    pages = []
    for index in range(count):
        folder = os.path.join(dest, f"d{index // folder_size:0{folder_width}d}")
        if index % folder_size == 0:
            os.makedirs(folder, exist_ok=True)
        found = [made_up_word((index * words + k) % MADE_UP_POOL) for k in range(words)]
        lines = [" ".join(["The", w, "is", "here."]) for w in found]
        body = "<p>\n" + "\n".join(lines) + "\n</p>"
        target = os.path.join(folder, f"{index:0{width}d}.html")
        with open(target, "w", encoding="utf-8") as f:
            f.write(f"<!DOCTYPE html>\n<html><head><title>Page {index}</title></head>\n"
                    f"<body>\n{body}\n</body></html>\n")
        pages.append(target)
    write_list(out_path, pages)


def total_bytes(files):
    return sum(os.path.getsize(name) for name in files)


def describe(name, list_path):
    files = read_list(list_path)
    print(
        f"corpus {name}: {len(files)} files, {total_bytes(files) / MEGA:.1f} MB"
        f" in {os.path.commonpath(files)}"
    )


def flagged_words(parser, output, repeats=False):
    """Returns every flagged word in the order printed (one entry per occurrence): the
    unrecognized words, or with `repeats` pagelint-check's repeated words, which no
    peer reports."""
    words = []
    with open(output, encoding="utf-8", errors="replace") as source:
        for line in source:
            line = line.rstrip("\n")
            if parser == "pagelint":
                match = FINDING.match(line)
                if match and match.group(1).endswith(REPEAT_SUFFIX) == repeats:
                    words.append(match.group(1))
            elif line.strip():
                words.append(line.strip())
    return words


def read_results(path):
    rows = []
    with open(path, encoding="utf-8") as source:
        for line in source:
            name, wall, user, system, rss_kib, parser, output = line.rstrip("\n").split("\t")
            words = flagged_words(parser, output)
            rows.append(
                {
                    "name": name,
                    "wall": float(wall),
                    "cpu": float(user) + float(system),
                    "peak": int(rss_kib) * 1024 / MEGA,
                    "flagged": len(words),
                    "distinct": len(set(words)),
                }
            )
    return rows


def print_rows(lines):
    """Prints LINES (the header first) as a Markdown table, the first column on the left."""
    widths = [max(len(line[i]) for line in lines) for i in range(len(lines[0]))]
    for number, line in enumerate(lines):
        cells = [cell.ljust(widths[i]) if i == 0 else cell.rjust(widths[i])
                 for i, cell in enumerate(line)]
        print("| " + " | ".join(cells) + " |")
        if number == 0:
            print("|" + "|".join("-" * (w + 2) for w in widths) + "|")


def print_table(list_path, results_path, base_name):
    megabytes = total_bytes(read_list(list_path)) / MEGA
    rows = read_results(results_path)
    if not rows:
        fail("no tool ran to the end")
    base = next((row for row in rows if row["name"] == base_name), None)
    if base is None:
        base = min(rows, key=lambda row: row["wall"])
    header = ["tool", "wall s", "cpu s", "MB/s", "peak MB", f"time / {base['name']}",
              "flagged", "distinct"]
    lines = [header]
    for row in rows:
        wall = max(row["wall"], 0.01)  # GNU time rounds to 10 ms
        lines.append(
            [
                row["name"],
                f"{row['wall']:.2f}",
                f"{row['cpu']:.2f}",
                f"{megabytes / wall:.1f}",
                f"{row['peak']:.1f}",
                f"{wall / max(base['wall'], 0.01):.2f}",
                str(row["flagged"]),
                str(row["distinct"]),
            ]
        )
    print_rows(lines)
    print("MB = 10^6 bytes; peak = largest resident set; flagged = words printed,"
          " one per occurrence; distinct = different words among them")


def uri_path(path):
    """The folder as pagelint-check's SARIF writes it into a URI."""
    keep = b"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-._~/"
    return b"".join(bytes([c]) if c in keep else b"%%%02X" % c for c in path)


def digest(root, output):
    root = os.path.join(os.path.abspath(root), "").encode()
    with open(output, "rb") as f:
        data = f.read()
    data = data.replace(root, b"SITEROOT/").replace(uri_path(root), b"SITEROOT/")
    print(hashlib.sha256(data).hexdigest())


def read_table(path):
    """The tab-separated rows of a bench data file, without comments and blank lines."""
    with open(path, encoding="utf-8") as source:
        return [line.rstrip("\n").split("\t") for line in source
                if line.strip() and not line.startswith("#")]


def findings_by_file(root, output):
    """The set of (file relative to ROOT, word) that a text report names."""
    root = os.path.join(os.path.abspath(root), "")
    found = set()
    with open(output, encoding="utf-8", errors="replace") as source:
        for line in source:
            match = FINDING_PLACE.match(line.rstrip("\n"))
            if match:
                path = match.group(1)
                if path.startswith(root):
                    path = path[len(root):]
                found.add((path, match.group(2)))
    return found


def missed_typos(typos, package, root, output, skips_code):
    found = findings_by_file(root, output)
    return [(path, word) for listed, path, word, kind in typos
            if listed == package and not (skips_code and kind == "code")
            and (path, word) not in found]


def accuracy(baseline_path, typos_path, runs_path):
    before = {row[0]: int(row[1]) for row in read_table(baseline_path)}
    typos = [row[:4] for row in read_table(typos_path)]
    runs = read_table(runs_path)
    tools = []
    for _, tool, _, _ in runs:
        if tool not in tools:
            tools.append(tool)
    counts = {}
    distinct = {}
    repeats = {}
    missed = []
    for package, tool, root, output in runs:
        parser = "pagelint" if tool.startswith("pagelint-check") else "lines"
        words = flagged_words(parser, output)
        counts[(package, tool)] = len(words)
        distinct[(package, tool)] = len(set(words))
        if tool == "pagelint-check":
            repeats[package] = len(flagged_words(parser, output, repeats=True))
        if parser == "pagelint":
            missed += [(package, tool, path, word)
                       for path, word in missed_typos(typos, package, root, output,
                                                      "--skip-code" in tool)]
    header = ["corpus", "before"] + tools + ["repeated words", "typos listed", "typos missed"]
    lines = [header]
    for package in dict.fromkeys(row[0] for row in runs):
        row = [package, str(before.get(package, "?"))]
        for tool in tools:
            count = counts.get((package, tool))
            cell = "-" if count is None else str(count)
            if count is not None and tool.startswith("pagelint-check") and package in before:
                cell += f" ({100 * (count - before[package]) / before[package]:+.0f}%)"
            if count is not None:
                cell += f" / {distinct[(package, tool)]}"
            row.append(cell)
        row.append(str(repeats.get(package, "-")))
        row.append(str(sum(1 for t in typos if t[0] == package)))
        row.append(str(sum(1 for m in missed if m[0] == package)))
        lines.append(row)
    print_rows(lines)
    print("occurrences of unrecognized words reported (one per finding) / distinct words; before ="
          " pagelint-check before the false-alarm work; repeated words: pagelint-check's"
          " \"(duplicate)\" findings, which no peer reports")
    for package, tool, path, word in missed:
        print(f"peers: {tool} no longer reports the typo {word!r} in {package}/{path}",
              file=sys.stderr)
    return 1 if missed else 0


def main(argv):
    # Each command: its least and most arguments, and what it does with them.
    commands = {
        "corpus": (2, 2, lambda a: make_corpus(a[0], a[1])),
        "site": (4, 5, lambda a: make_site(a[0], a[1], int(a[2]), a[3], *map(int, a[4:]))),
        "describe": (2, 2, lambda a: describe(a[0], a[1])),
        "table": (3, 3, lambda a: print_table(a[0], a[1], a[2])),
        "madeup": (4, 5, lambda a: make_made_up_site(a[0], int(a[1]), int(a[2]), a[3],
                                                     *map(int, a[4:]))),
        "digest": (2, 2, lambda a: digest(a[0], a[1])),
        "accuracy": (3, 3, lambda a: accuracy(a[0], a[1], a[2])),
    }
    if len(argv) < 2 or argv[1] not in commands:
        print(__doc__, file=sys.stderr)
        return 2
    least, most, run = commands[argv[1]]
    if not least <= len(argv) - 2 <= most:
        print(__doc__, file=sys.stderr)
        return 2
    return run(argv[2:]) or 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
