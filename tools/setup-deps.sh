#!/usr/bin/env bash
# Installs the Debian 12 packages that the build, the tests, the benchmarks, the
# screenshots (a headless X server) and the install and package (manual pages, icons,
# validators) need. The Hunspell dictionaries are for the install check and the
# benchmarks: the unit tests write small ones of their own.
# Idempotent: when every package is present it only asks dpkg and returns.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config python3 python3-yaml
  clang clang-format clang-tidy clang-14 libclang-rt-14-dev llvm-14
  libgtest-dev libgmock-dev libbenchmark-dev
  libicu-dev libjemalloc-dev libnuspell-dev
  libhunspell-dev hunspell-en-us hunspell-en-gb hunspell-de-de
  wamerican-large debian-reference-en python3.11-doc
  xdg-utils
  qt6-base-dev qt6-speech-dev qt6-declarative-dev
  xvfb xauth imagemagick
  scdoc librsvg2-bin desktop-file-utils appstream man-db
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "setup-deps: installing ${missing[*]}" >&2
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
