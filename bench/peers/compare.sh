#!/usr/bin/env bash
# Measures pagelint-check against the general spell checkers hunspell, aspell and
# cspell on the HTML of a Debian documentation package: wall time, throughput, peak
# memory and the words each one flags. Run by hand, never by ctest; see README.md.
set -euo pipefail

usage() {
  cat <<'EOF'
usage: bench/peers/compare.sh [options]

modes (default: compare every tool on the corpus)
  --scale [N]         pagelint-check alone over an N-file site (default 10000) made
                      from the corpus's files, in folders of 100
  --folder-size S     with --scale: S files a folder instead of 100 (1: a folder a
                      page, as sites with "pretty" addresses are laid out)
  --made-up [W]       with --scale: the site's pages hold W distinct made-up words
                      each (default 100) instead of the corpus's text
  --profile           perf profile of pagelint-check over the corpus (top symbols)
  --accuracy          false alarms: the occurrences pagelint-check reports (as it is,
                      and with --skip-code) and hunspell -H reports on each corpus of
                      bench/peers/accuracy.tsv (or --corpus), against the count
                      recorded there; exit 1 when a typo of bench/peers/typos.tsv is
                      no longer reported
  --outputs           pagelint-check's text, JSON and SARIF reports of the corpus
                      (with --scale: of the site) against the checksums recorded in
                      bench/peers/outputs.sha256; exit 1 when one differs
  --record-outputs    record those checksums instead (from a known-good build)

options
  --corpus PACKAGE    Debian documentation package to take the HTML from
                      (default python3.11-doc; also postgresql-doc-15,
                      lilypond-doc-html)
  --repeat N          run each tool N times and keep the fastest run (default 1)
  --interleave        with --repeat: the tools take turns, one run each per round,
                      and each keeps its median run (fairer on a machine whose speed
                      drifts)
  --suggest           also time pagelint-check --suggest (its own row)
  --skip-hunspell     leave hunspell out (about a minute on the default corpus)
  --skip-cspell       leave cspell out
  --jobs N            passed to pagelint-check (default: its own, every core)
  --format F          pagelint-check's report format in the timed run: text (the
                      default), json or sarif (the table counts flagged words of
                      text only)
  --pagelint PATH     the pagelint-check binary to measure (default: build it with
                      the release preset into build/release/bin/)
  -h, --help          this text
EOF
}

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$repo/build/bench-peers
mode=compare
corpus_pkg=python3.11-doc
repeat=1
interleave=0
with_suggest=0
skip_hunspell=0
skip_cspell=0
scale_files=10000
jobs=
pagelint=
use_site=0
made_up=0
folder_size=100
format=text
outputs=
checksums=$repo/bench/peers/outputs.sha256
accuracy_baseline=$repo/bench/peers/accuracy.tsv
typos=$repo/bench/peers/typos.tsv
corpus_given=0
mismatches=0

die() {
  echo "compare: $*" >&2
  exit 2
}

while (($#)); do
  case $1 in
    --scale)
      use_site=1
      if [[ ${2:-} =~ ^[0-9]+$ ]]; then
        scale_files=$2
        shift
      fi
      ;;
    --made-up)
      made_up=100
      if [[ ${2:-} =~ ^[0-9]+$ ]]; then
        made_up=$2
        shift
      fi
      ;;
    --folder-size) folder_size=${2:?--folder-size needs a count}; shift ;;
    --format) format=${2:?--format needs text, json or sarif}; shift ;;
    --profile) mode=profile ;;
    --accuracy) mode=accuracy ;;
    --outputs) outputs=check ;;
    --record-outputs) outputs=record ;;
    --corpus)
      corpus_pkg=${2:?--corpus needs a package name}
      corpus_given=1
      shift
      ;;
    --repeat) repeat=${2:?--repeat needs a count}; shift ;;
    --interleave) interleave=1 ;;
    --suggest) with_suggest=1 ;;
    --skip-hunspell) skip_hunspell=1 ;;
    --skip-cspell) skip_cspell=1 ;;
    --jobs) jobs=${2:?--jobs needs a count}; shift ;;
    --pagelint) pagelint=${2:?--pagelint needs a path}; shift ;;
    -h | --help) usage; exit 0 ;;
    *) usage >&2; exit 2 ;;
  esac
  shift
done
if [[ -n $outputs ]]; then
  mode=outputs
elif ((use_site)); then
  mode=scale
fi
[[ $repeat =~ ^[1-9][0-9]*$ ]] || die "--repeat wants a positive count, not '$repeat'"
[[ -z $jobs || $jobs =~ ^[1-9][0-9]*$ ]] || die "--jobs wants a positive count, not '$jobs'"
((scale_files > 0)) || die "--scale wants a positive file count"
[[ $corpus_pkg =~ ^[a-z0-9][a-z0-9.+-]+$ ]] || die "'$corpus_pkg' is not a package name"
[[ $format =~ ^(text|json|sarif)$ ]] || die "--format wants text, json or sarif, not '$format'"
((made_up == 0 || use_site)) || die "--made-up goes with --scale"
[[ $folder_size =~ ^[1-9][0-9]*$ ]] || die "--folder-size wants a positive count, not '$folder_size'"
((folder_size == 100 || use_site)) || die "--folder-size goes with --scale"
# A site of another layout is another site: its own folder, its own recorded checksums.
layout=
((folder_size == 100)) || layout=-folders-of-$folder_size
pagelint_opts=()
[[ -z $jobs ]] || pagelint_opts=(--jobs "$jobs")

# --- installing what the run needs -------------------------------------------------

sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
apt_updated=0

# Installs the Debian packages that are missing; asks only dpkg when none is.
ensure_debs() {
  local missing=() p status
  for p in "$@"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ $status == "install ok installed" ]] || missing+=("$p")
  done
  ((${#missing[@]})) || return 0
  echo "compare: installing ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  if ((!apt_updated)); then
    "${sudo_cmd[@]}" apt-get update -qq
    apt_updated=1
  fi
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

node_dir=$work/node
cspell_bin=$node_dir/node_modules/.bin/cspell

# cspell 9 lives in a folder of the build tree, so it never touches the system or
# the repository. It needs Node 20 or later; without one cspell is left out.
ensure_cspell() {
  if [[ -x $cspell_bin ]] && [[ $("$cspell_bin" --version 2>/dev/null) == 9.* ]]; then
    return 0
  fi
  command -v npm >/dev/null || ensure_debs nodejs npm
  local major
  major=$(node -p 'process.versions.node.split(".")[0]' 2>/dev/null || echo 0)
  if ((major < 20)); then
    echo "compare: cspell 9 needs Node 20 or later (found ${major}); leaving it out" >&2
    return 1
  fi
  mkdir -p "$node_dir"
  echo "compare: installing cspell@9 into $node_dir" >&2
  npm install --prefix "$node_dir" --no-audit --no-fund --loglevel=error cspell@9 >&2
}

# Uses --pagelint when given, else builds the release binary. Without a binary the
# peers are still compared with one another.
ensure_pagelint() {
  if [[ -n $pagelint ]]; then
    [[ -x $pagelint ]] || die "no executable at $pagelint"
    return 0
  fi
  local built=$repo/build/release/bin/pagelint-check
  echo "compare: building pagelint-check (release preset)" >&2
  if (cd "$repo" && cmake --preset release >/dev/null &&
    cmake --build --preset release --target pagelint-check >"$work/build.log" 2>&1); then
    pagelint=$built
    return 0
  fi
  echo "compare: pagelint-check did not build (see $work/build.log); peers only" >&2
  [[ $mode == compare ]] || exit 2
}

# --- the corpus ---------------------------------------------------------------------

corpus_dir=
corpus_list=

# Copies the package's HTML pages (symbolic links resolved) below
# build/bench-peers/corpus/PACKAGE/, keeping their folders; reused while the
# package's version is unchanged.
build_corpus() {
  ensure_debs "$corpus_pkg"
  corpus_dir=$work/corpus/$corpus_pkg
  corpus_list=$work/corpus/$corpus_pkg.files
  local version stamp=$work/corpus/$corpus_pkg.version
  version=$(dpkg-query -W -f='${Version}' "$corpus_pkg")
  if [[ -d $corpus_dir && -s $corpus_list && $(cat "$stamp" 2>/dev/null) == "$version" ]]; then
    return 0
  fi
  rm -rf "$corpus_dir" "$stamp"
  mkdir -p "$corpus_dir"
  dpkg -L "$corpus_pkg" | python3 "$repo/bench/peers/peers.py" corpus "$corpus_dir" "$corpus_list"
  echo "$version" >"$stamp"
}

site_dir=
site_list=

# Spreads copies of the corpus's pages over COUNT files in folders of --folder-size
# files, or writes COUNT pages of made-up words.
build_site() {
  if ((made_up)); then
    site_dir=$work/site/made-up-$scale_files-$made_up$layout
    site_list=$site_dir.files
    if [[ ! -d $site_dir || ! -s $site_list ]]; then
      rm -rf "$site_dir"
      mkdir -p "$site_dir"
      python3 "$repo/bench/peers/peers.py" madeup "$site_dir" "$scale_files" "$made_up" \
        "$site_list" "$folder_size"
    fi
    return 0
  fi
  site_dir=$work/site/$corpus_pkg-$scale_files$layout
  site_list=$site_dir.files
  local stamp=$site_dir.version version
  version=$(cat "$work/corpus/$corpus_pkg.version")
  if [[ -d $site_dir && -s $site_list && $(cat "$stamp" 2>/dev/null) == "$version" ]]; then
    return 0
  fi
  rm -rf "$site_dir" "$stamp"
  mkdir -p "$site_dir"
  python3 "$repo/bench/peers/peers.py" site "$corpus_list" "$site_dir" "$scale_files" \
    "$site_list" "$folder_size"
  echo "$version" >"$stamp"
}

# --- the reports' checksums -------------------------------------------------------

# What a recorded checksum belongs to: "PACKAGE VERSION corpus|site-N FORMAT".
output_key() {
  local format=$1 what=corpus
  ((use_site)) && what=site-$scale_files$layout
  if ((made_up)); then
    echo "made-up 1 site-$scale_files-$made_up$layout $format"
    return 0
  fi
  echo "$corpus_pkg $(cat "$work/corpus/$corpus_pkg.version") $what $format"
}

# check_output FORMAT ROOT REPORT: compares the report's checksum with the recorded
# one (or records it with --record-outputs). A faster pagelint-check must print
# exactly what the recorded build printed.
check_output() {
  local format=$1 root=$2 report=$3 key sum recorded
  key=$(output_key "$format")
  sum=$(python3 "$repo/bench/peers/peers.py" digest "$(realpath "$root")" "$report")
  if [[ $outputs == record ]]; then
    touch "$checksums"
    grep -vF "$key " "$checksums" >"$checksums.tmp" || true
    echo "$key $sum" >>"$checksums.tmp"
    sort "$checksums.tmp" >"$checksums"
    rm -f "$checksums.tmp"
    echo "compare: recorded $key" >&2
    return 0
  fi
  # A corpus without a recorded checksum is not an error: grep's status must not end the run.
  recorded=$({ grep -F "$key " "$checksums" 2>/dev/null || true; } | awk '{print $NF}' | head -n 1)
  if [[ -z $recorded ]]; then
    echo "compare: outputs: no checksum recorded for $key" >&2
  elif [[ $recorded == "$sum" ]]; then
    echo "compare: outputs: $key matches" >&2
  else
    echo "compare: outputs: $key DIFFERS from the recorded report" >&2
    mismatches=$((mismatches + 1))
  fi
}

# Runs pagelint-check once per format (no --summary: it holds seconds) and checks
# or records each report.
check_outputs() {
  ensure_pagelint
  [[ -n $pagelint ]] || exit 2
  build_corpus
  local root=$corpus_dir status
  if ((use_site)); then
    build_site
    root=$site_dir
  fi
  mkdir -p "$runs"
  local each
  for each in text json sarif; do
    status=0
    "$pagelint" "${pagelint_opts[@]}" --format "$each" "$root" >"$runs/outputs.$each" \
      2>"$runs/outputs.err" || status=$?
    ((status <= 1)) || die "pagelint-check --format $each failed (see $runs/outputs.err)"
    check_output "$each" "$root" "$runs/outputs.$each"
    rm -f "$runs/outputs.$each"
  done
}

# --- running the tools --------------------------------------------------------------

runs=$work/runs
results=$runs/results.tsv

# run_tool NAME PARSER OUTPUT COMMAND...: runs COMMAND `runs_per_call` times with its
# standard output in OUTPUT (the fastest run's), adding each run's timing to
# $runs/NAME.runs; record_tool picks the run the table shows.
runs_per_call=1
run_tool() {
  local name=$1 parser=$2 output=$3
  shift 3
  local i wall user sys rss status timing=$runs/$name.time fastest=$runs/$name.fastest
  for ((i = 1; i <= runs_per_call; i++)); do
    echo "compare: $name, run $(($(cat "$runs/$name.runs" 2>/dev/null | wc -l) + 1)) of $repeat (load $(cut -d' ' -f1-3 /proc/loadavg))" >&2
    status=0
    /usr/bin/time -f '%e %U %S %M' -o "$timing" "$@" >"$output.tmp" 2>"$runs/$name.err" || status=$?
    # GNU time puts a line about a non-zero status before its own line.
    read -r wall user sys rss < <(tail -n 1 "$timing") || die "$name: no timing (see $runs/$name.err)"
    # A checker that found words exits 1; anything else is a failed run.
    if ((status > 1)); then
      echo "compare: $name failed with status $status:" >&2
      tail -5 "$runs/$name.err" >&2
      return 0
    fi
    printf '%s\t%s\t%s\t%s\n' "$wall" "$user" "$sys" "$rss" >>"$runs/$name.runs"
    if [[ ! -s $fastest ]] || python3 -c "import sys; sys.exit(not $wall < $(cat "$fastest"))"; then
      echo "$wall" >"$fastest"
      mv "$output.tmp" "$output"
    fi
  done
  rm -f "$output.tmp"
  printf '%s\t%s\t%s\n' "$name" "$parser" "$output" >"$runs/$name.tool"
}

# record_tool NAME: the tool's fastest run into the results table, or with
# --interleave its median run by wall time (the lower middle one of an even count).
record_tool() {
  local name=$1 name_ parser output pick=1
  [[ -s $runs/$name.runs && -s $runs/$name.tool ]] || return 0
  IFS=$'\t' read -r name_ parser output <"$runs/$name.tool"
  if ((interleave)); then
    pick=$((($(wc -l <"$runs/$name.runs") + 1) / 2))
  fi
  sort -g -k1,1 "$runs/$name.runs" | sed -n "${pick}p" |
    while IFS=$'\t' read -r wall user sys rss; do
      printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$name" "$wall" "$user" "$sys" "$rss" "$parser" "$output"
    done >>"$results"
  if ((interleave)); then
    echo "compare: $name wall times: $(cut -f1 "$runs/$name.runs" | tr '\n' ' ')" >&2
  fi
}

cspell_config() {
  local config=$runs/cspell.json
  cat >"$config" <<'EOF'
{
  "version": "0.2",
  "language": "en",
  "useGitignore": false
}
EOF
  echo "$config"
}


# run_one_tool NAME: one call of run_tool for that tool of the comparison.
run_one_tool() {
  case $1 in
    pagelint-check)
      run_tool pagelint-check pagelint "$runs/pagelint-check.out" \
        "$pagelint" "${pagelint_opts[@]}" --format "$format" "$corpus_dir"
      ;;
    "pagelint-check --suggest")
      run_tool "pagelint-check --suggest" pagelint "$runs/pagelint-check-suggest.out" \
        "$pagelint" "${pagelint_opts[@]}" --suggest --format "$format" "$corpus_dir"
      ;;
    aspell)
      # aspell reads one stream: the pages one after the other, in the list's order.
      # shellcheck disable=SC2016 # expanded by the inner shell
      run_tool aspell lines "$runs/aspell.out" \
        bash -c 'tr "\n" "\0" <"$1" | xargs -0 cat | aspell list --mode=html --lang=en_US' \
        aspell "$corpus_list"
      ;;
    hunspell)
      # shellcheck disable=SC2016 # expanded by the inner shell
      run_tool hunspell lines "$runs/hunspell.out" \
        bash -c 'tr "\n" "\0" <"$1" | xargs -0 hunspell -l -H -i utf-8 -d en_US' \
        hunspell "$corpus_list"
      ;;
    cspell)
      run_tool cspell lines "$runs/cspell.out" \
        "$cspell_bin" lint --no-progress --no-cache --no-summary --no-color --words-only \
        --config "$(cspell_config)" --root "$corpus_dir" '**/*.{html,htm,xhtml}'
      ;;
  esac
}

compare_tools() {
  local have_cspell=0
  ensure_debs aspell aspell-en hunspell hunspell-en-us time
  if ((!skip_cspell)) && ensure_cspell; then
    have_cspell=1
  fi
  ensure_pagelint
  build_corpus
  rm -rf "$runs"
  mkdir -p "$runs"
  : >"$results"
  python3 "$repo/bench/peers/peers.py" describe "$corpus_pkg" "$corpus_list"

  local rounds=1 round tool
  runs_per_call=$repeat
  if ((interleave)); then
    rounds=$repeat
    runs_per_call=1
  fi
  local tools=()
  [[ -z $pagelint ]] || tools+=(pagelint-check)
  [[ -z $pagelint ]] || ((!with_suggest)) || tools+=("pagelint-check --suggest")
  tools+=(aspell)
  ((skip_hunspell)) || tools+=(hunspell)
  ((!have_cspell)) || tools+=(cspell)
  for ((round = 1; round <= rounds; round++)); do
    for tool in "${tools[@]}"; do
      run_one_tool "$tool"
    done
  done
  for tool in "${tools[@]}"; do
    record_tool "$tool"
  done
  [[ -z $pagelint ]] || check_output "$format" "$corpus_dir" "$runs/pagelint-check.out"
  python3 "$repo/bench/peers/peers.py" table "$corpus_list" "$results" pagelint-check
}

check_at_scale() {
  ensure_debs time
  ensure_pagelint
  build_corpus
  build_site
  rm -rf "$runs"
  mkdir -p "$runs"
  : >"$results"
  local label="site of $corpus_pkg"
  ((made_up == 0)) || label="site of made-up words"
  python3 "$repo/bench/peers/peers.py" describe "$label" "$site_list"
  runs_per_call=$repeat
  run_tool pagelint-check pagelint "$runs/pagelint-check.out" \
    "$pagelint" "${pagelint_opts[@]}" --format "$format" "$site_dir"
  record_tool pagelint-check
  check_output "$format" "$site_dir" "$runs/pagelint-check.out"
  python3 "$repo/bench/peers/peers.py" table "$site_list" "$results" pagelint-check
}

profile_pagelint() {
  ensure_debs linux-perf
  ensure_pagelint
  build_corpus
  mkdir -p "$runs"
  local data=$runs/perf.data status=0
  # DWARF call graphs: the release build keeps no frame pointers.
  perf record -F 999 --call-graph dwarf,16384 -o "$data" -- "$pagelint" "${pagelint_opts[@]}" "$corpus_dir" >/dev/null 2>"$runs/perf.err" ||
    status=$?
  ((status <= 1)) || die "pagelint-check failed under perf (see $runs/perf.err)"
  echo "== symbols by own time (self) =="
  perf report -i "$data" --stdio --no-children --percent-limit 1 --sort dso,symbol -g none 2>/dev/null |
    grep -v '^#' | sed '/^$/d' | head -40
  echo "== symbols by time including callees =="
  perf report -i "$data" --stdio --children --percent-limit 3 --sort dso,symbol -g none 2>/dev/null |
    grep -v '^#' | sed '/^$/d' | head -40
  echo "compare: full profile in $data (perf report -i $data)" >&2
}

# --- false alarms ---------------------------------------------------------------------

# Each corpus of the baseline (or the one given): pagelint-check as it is and with
# --skip-code (when this build has it), and hunspell -H, which skips code samples.
check_accuracy() {
  ensure_debs hunspell hunspell-en-us
  ensure_pagelint
  [[ -n $pagelint ]] || exit 2
  local table=$runs/accuracy.tsv packages package status skip_code=0
  "$pagelint" --help 2>&1 | grep -q -- '--skip-code' && skip_code=1
  if ((corpus_given)); then
    packages=$corpus_pkg
  else
    packages=$(awk -F'\t' '!/^#/ && NF {print $1}' "$accuracy_baseline")
  fi
  mkdir -p "$runs"
  : >"$table"
  for package in $packages; do
    corpus_pkg=$package
    build_corpus
    echo "compare: accuracy on $package" >&2
    status=0
    "$pagelint" "${pagelint_opts[@]}" "$corpus_dir" >"$runs/$package.pagelint" \
      2>"$runs/$package.pagelint.err" || status=$?
    ((status <= 1)) || die "pagelint-check failed on $package (see $runs/$package.pagelint.err)"
    printf '%s\tpagelint-check\t%s\t%s\n' "$package" "$corpus_dir" "$runs/$package.pagelint" >>"$table"
    if ((skip_code)); then
      status=0
      "$pagelint" "${pagelint_opts[@]}" --skip-code "$corpus_dir" >"$runs/$package.skip-code" \
        2>"$runs/$package.skip-code.err" || status=$?
      ((status <= 1)) || die "pagelint-check --skip-code failed on $package"
      printf '%s\tpagelint-check --skip-code\t%s\t%s\n' "$package" "$corpus_dir" \
        "$runs/$package.skip-code" >>"$table"
    fi
    tr '\n' '\0' <"$corpus_list" | xargs -0 hunspell -l -H -i utf-8 -d en_US \
      >"$runs/$package.hunspell" 2>/dev/null || true
    printf '%s\thunspell -H\t%s\t%s\n' "$package" "$corpus_dir" "$runs/$package.hunspell" >>"$table"
  done
  python3 "$repo/bench/peers/peers.py" accuracy "$accuracy_baseline" "$typos" "$table" ||
    mismatches=$((mismatches + 1))
}

mkdir -p "$work"
case $mode in
  compare) compare_tools ;;
  scale) check_at_scale ;;
  profile) profile_pagelint ;;
  outputs) check_outputs ;;
  accuracy) check_accuracy ;;
esac
((mismatches == 0)) || exit 1
