#!/usr/bin/env bash
# Sets everything up, builds the optimised programs and writes the Debian package
# build/package/pagelint_VERSION_ARCH.deb (install it with
# `sudo apt install ./build/package/pagelint_*.deb`).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target pagelint_installables
cpack --config build/release/CPackConfig.cmake -B build/package
