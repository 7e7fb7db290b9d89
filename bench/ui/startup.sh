#!/usr/bin/env bash
# How long Pagelint takes from its start to the first project's words on screen, for
# the sample site docs/sample-site. A fresh home is set up once the way a newcomer does
# it (pagelint-screenshot: the welcome, then the project settings); then Pagelint is
# started in it RUNS times (default 5) under a headless X server with
# PAGELINT_STARTUP_PROBE=quit, and each start prints its time.
#
#   bench/ui/startup.sh [RUNS]        # PAGELINT_PRESET picks the build (default release)
#   PAGELINT_BIN=DIR bench/ui/startup.sh   # programs from DIR instead of the build
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-5}
bin=${PAGELINT_BIN:-build/${PAGELINT_PRESET:-release}/bin}

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/.config" "$home/run" "$home/tmp"
chmod 700 "$home/run"
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/run" \
  WINEPREFIX="$home/.wine" TMPDIR="$home/tmp"

xvfb-run -a -s "-screen 0 1280x800x24" \
  "$bin/pagelint-screenshot" "$PWD/docs/sample-site" "Sample site" "$home/tmp/setup.png" \
  >/dev/null 2>&1
for ((run = 1; run <= runs; ++run)); do
  PAGELINT_STARTUP_PROBE=quit xvfb-run -a -s "-screen 0 1280x800x24" "$bin/Pagelint" 2>&1 |
    grep '^pagelint-startup:' || echo "pagelint-startup: no words shown (run $run)"
done
