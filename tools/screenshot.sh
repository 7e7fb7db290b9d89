#!/usr/bin/env bash
# Writes a picture of Pagelint's main window: starts it under a headless X server in a
# fresh home, sets up the sample site docs/sample-site as a project the way a newcomer
# does (the welcome, then the project settings window), waits until the site is
# checked and saves the window.
#
#   tools/screenshot.sh [OUTPUT.png [SETTINGS.png [MENU.png [DICTIONARIES.png]]]]
#                                                   # default docs/screenshot.png
# SETTINGS.png: a picture of the project settings window as well.
# MENU.png: the checked window with the Dictionaries menu open; DICTIONARIES.png: the
# project settings window opened again once checked (its grid lists the site's words).
#
# PAGELINT_PRESET picks the build (default release).
set -euo pipefail
cd "$(dirname "$0")/.."
output=$(realpath -m "${1:-docs/screenshot.png}")
preset=${PAGELINT_PRESET:-release}
bash tools/setup-deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target pagelint-screenshot

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/.config" "$home/run" "$home/tmp"
chmod 700 "$home/run"
HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/run" \
  WINEPREFIX="$home/.wine" TMPDIR="$home/tmp" \
  xvfb-run -a -s "-screen 0 1280x800x24" \
  "build/$preset/bin/pagelint-screenshot" "$PWD/docs/sample-site" "Sample site" "$output" \
  ${2:+"$(realpath -m "$2")"} ${3:+"$(realpath -m "$3")"} ${4:+"$(realpath -m "$4")"}
echo "screenshot: wrote $output"
