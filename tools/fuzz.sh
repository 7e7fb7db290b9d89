#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz) and runs each one on a copy of its seed
# corpus, so that a run never grows the repository.
#   tools/fuzz.sh [seconds]     every target for `seconds` (default 30) each
#   tools/fuzz.sh --runs N      every target for N executions each
# Exits 1 when a target crashes, leaks or trips a sanitizer, naming the input that did
# it (kept under build/fuzz/artifacts/<target>/).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

limit=(-max_total_time=30)
case "${1:-}" in
  --runs)
    [[ "${2:-}" =~ ^[0-9]+$ ]] || { echo "usage: tools/fuzz.sh [seconds] | --runs N" >&2; exit 2; }
    limit=(-runs="$2") ;;
  "") ;;
  *)
    [[ "$1" =~ ^[0-9]+$ ]] || { echo "usage: tools/fuzz.sh [seconds] | --runs N" >&2; exit 2; }
    limit=(-max_total_time="$1") ;;
esac

# The longest input each target is given: pages and text files are kept small enough
# for many runs a second, dictionaries large enough to hold a real header and tables.
max_len_for() {
  case "$1" in
    MainDictionaryFuzz) echo 131072 ;;
    *) echo 16384 ;;
  esac
}

# A target that reads the same kind of input as another starts from that one's seeds
# and tokens too (the scanner's differential target reads pages).
shares_input_of() {
  case "$1" in
    PageScanFuzz) echo PageTextFuzz ;;
  esac
}

bash tools/setup-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

bin=$root/build/fuzz/bin
work=$(mktemp -d "${TMPDIR:-/tmp}/pagelint-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
symbolizer=$(command -v llvm-symbolizer-14 || command -v llvm-symbolizer || true)
[[ -n "$symbolizer" ]] && export ASAN_SYMBOLIZER_PATH=$symbolizer

failed=()
for source in tests/fuzz/*.cpp; do
  [[ -e "$source" ]] || continue
  name=$(basename "$source" .cpp)
  corpus=$work/$name
  artifacts=$root/build/fuzz/artifacts/$name/
  mkdir -p "$corpus" "$artifacts"
  dict=()
  for source_name in $name $(shares_input_of "$name"); do
    if [[ -d tests/fuzz/corpus/$source_name ]]; then
      cp -r "tests/fuzz/corpus/$source_name/." "$corpus/"
    fi
    # Tokens the mutations would rarely build byte by byte, where a target has them.
    if [[ ${#dict[@]} -eq 0 && -f tests/fuzz/$source_name.dict ]]; then
      dict=(-dict="$root/tests/fuzz/$source_name.dict")
    fi
  done
  log=$work/$name.log
  echo "fuzz: $name ${limit[*]}" >&2
  # The target's home and temporary folders lie in the work folder: a target writes
  # files, and the user's own settings must never be read or touched.
  status=0
  (
    export HOME=$work/home-$name XDG_CONFIG_HOME=$work/home-$name/.config \
      XDG_RUNTIME_DIR=$work/home-$name/run TMPDIR=$work/home-$name/tmp \
      WINEPREFIX=$work/home-$name/.wine
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$TMPDIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    cd "$work"
    "$bin/$name" "${limit[@]}" "${dict[@]}" -max_len="$(max_len_for "$name")" -print_final_stats=1 \
      -artifact_prefix="$artifacts" "$corpus"
  ) >"$log" 2>&1 || status=$?
  grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|Done [0-9]+ runs)' "$log" >&2 || true
  if ((status != 0)); then
    tail -n 60 "$log" >&2
    crash=$(grep -oE "Test unit written to [^ ]+" "$log" | tail -n 1 | sed 's/Test unit written to //' || true)
    echo "fuzz: $name FAILED (exit $status)${crash:+, input: $crash}" >&2
    failed+=("$name")
  fi
done

if ((${#failed[@]} > 0)); then
  echo "fuzz: failures in ${failed[*]}" >&2
  exit 1
fi
echo "fuzz: every target ran clean" >&2
