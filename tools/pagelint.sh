#!/usr/bin/env bash
# Sets everything up, builds the optimised preset and starts Pagelint.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
program=build/release/bin/Pagelint
if [[ -x "$program" ]]; then
  exec "$program" "$@"
fi
echo "pagelint: everything is set up and built in build/release; the Pagelint program itself is not part of the build yet. Sites can already be checked with build/release/bin/pagelint-check (see pagelint-check --help)." >&2
