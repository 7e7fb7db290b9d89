#!/usr/bin/env python3
"""The pre-commit hook file at the repository's top: it parses, names the checker and
options it has, and its command, run as pre-commit runs it, checks the staged pages.

    precommit_hooks_test.py SOURCE_DIR CHECKER
"""

import os
import re
import shlex
import subprocess
import sys
import tempfile

import yaml

SOURCE_DIR, CHECKER = sys.argv[1], sys.argv[2]
failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)


with open(os.path.join(SOURCE_DIR, ".pre-commit-hooks.yaml"), encoding="utf-8") as f:
    hooks = yaml.safe_load(f)
expect(isinstance(hooks, list) and len(hooks) == 1, "one hook, in a list")
hook = hooks[0]
for key in ("id", "name", "entry", "language", "files"):
    expect(isinstance(hook.get(key), str) and hook[key], f"the hook has a {key}")
expect(hook["language"] == "system", "the hook runs the installed checker")

entry = shlex.split(hook["entry"])
expect(entry[0] == "pagelint-check", "the entry runs pagelint-check")
help_text = subprocess.run([CHECKER, "--help"], capture_output=True, text=True, check=True).stdout
for option in entry[1:] + [a for a in hook.get("args", []) if a.startswith("-")]:
    expect(re.search(r"(^|\s)" + re.escape(option) + r"\b", help_text) is not None,
           f"--help names the hook's option {option}")

# The pages pre-commit hands over, and what it leaves alone.
files = re.compile(hook["files"])
for name, picked in [("site/a.html", True), ("b.HTM", True), ("x.php", True),
                     ("s/i.xhtml", True), ("notes.txt", False), (".pagelint-words", False),
                     ("a.html.bak", False)]:
    expect((files.search(name) is not None) == picked, f"files picks {name}: {picked}")

# pre-commit runs the entry, then the args, then the file names, from the top.
with tempfile.TemporaryDirectory() as top:
    os.makedirs(os.path.join(top, "site", "sub"))
    pages = {"site/index.html": "<p>The cat sat on teh mat.</p>\n",
             "site/sub/ok.html": "<p>All is well.</p>\n",
             "site/other.html": "<p>Not staged: wrld.</p>\n"}
    for name, text in pages.items():
        with open(os.path.join(top, name), "w", encoding="utf-8") as f:
            f.write(text)
    command = [CHECKER] + entry[1:] + ["site", "site/index.html", "site/sub/ok.html"]
    env = dict(os.environ, HOME=top, XDG_CONFIG_HOME=os.path.join(top, ".config"))
    run = subprocess.run(command, cwd=top, capture_output=True, text=True, env=env)
    expect(run.returncode == 1, f"a misspelling fails the hook (status {run.returncode})")
    expect(run.stdout == "index.html:1:19: teh\n", f"only the staged pages: {run.stdout!r}")
    clean = subprocess.run([CHECKER] + entry[1:] + hook["args"] + ["site/sub/ok.html"], cwd=top,
                           capture_output=True, text=True, env=env)
    expect(clean.returncode == 0, f"a clean page passes from the default root: {clean.stderr}")

for failure in failures:
    print("FAILED:", failure)
print(f"{0 if failures else 1} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
