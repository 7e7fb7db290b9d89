#!/usr/bin/env bash
# Sets everything up, builds and runs every test.
#   tools/test.sh            the debug preset
#   tools/test.sh asan       AddressSanitizer + UndefinedBehaviorSanitizer
#   tools/test.sh tsan       ThreadSanitizer
#   tools/test.sh release    optimised build
set -euo pipefail
preset=${1:-debug}
cd "$(dirname "$0")/.."
bash tools/setup-deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset" -j "$(nproc)"
