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
  --profile           perf profile of pagelint-check over the corpus (top symbols)

options
  --corpus PACKAGE    Debian documentation package to take the HTML from
                      (default python3.11-doc; also postgresql-doc-15,
                      lilypond-doc-html)
  --repeat N          run each tool N times and keep the fastest run (default 1)
  --skip-hunspell     leave hunspell out (about a minute on the default corpus)
  --skip-cspell       leave cspell out
  --jobs N            passed to pagelint-check (default: its own, every core)
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
skip_hunspell=0
skip_cspell=0
scale_files=10000
jobs=
pagelint=

die() {
  echo "compare: $*" >&2
  exit 2
}

while (($#)); do
  case $1 in
    --scale)
      mode=scale
      if [[ ${2:-} =~ ^[0-9]+$ ]]; then
        scale_files=$2
        shift
      fi
      ;;
    --profile) mode=profile ;;
    --corpus) corpus_pkg=${2:?--corpus needs a package name}; shift ;;
    --repeat) repeat=${2:?--repeat needs a count}; shift ;;
    --skip-hunspell) skip_hunspell=1 ;;
    --skip-cspell) skip_cspell=1 ;;
    --jobs) jobs=${2:?--jobs needs a count}; shift ;;
    --pagelint) pagelint=${2:?--pagelint needs a path}; shift ;;
    -h | --help) usage; exit 0 ;;
    *) usage >&2; exit 2 ;;
  esac
  shift
done
[[ $repeat =~ ^[1-9][0-9]*$ ]] || die "--repeat wants a positive count, not '$repeat'"
[[ -z $jobs || $jobs =~ ^[1-9][0-9]*$ ]] || die "--jobs wants a positive count, not '$jobs'"
((scale_files > 0)) || die "--scale wants a positive file count"
[[ $corpus_pkg =~ ^[a-z0-9][a-z0-9.+-]+$ ]] || die "'$corpus_pkg' is not a package name"
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

# Spreads copies of the corpus's pages over COUNT files in folders of 100.
build_site() {
  site_dir=$work/site/$corpus_pkg-$scale_files
  site_list=$site_dir.files
  local stamp=$site_dir.version version
  version=$(cat "$work/corpus/$corpus_pkg.version")
  if [[ -d $site_dir && -s $site_list && $(cat "$stamp" 2>/dev/null) == "$version" ]]; then
    return 0
  fi
  rm -rf "$site_dir" "$stamp"
  mkdir -p "$site_dir"
  python3 "$repo/bench/peers/peers.py" site "$corpus_list" "$site_dir" "$scale_files" "$site_list"
  echo "$version" >"$stamp"
}

# --- running the tools --------------------------------------------------------------

runs=$work/runs
results=$runs/results.tsv

# run_tool NAME PARSER OUTPUT COMMAND...: runs COMMAND --repeat times with its
# standard output in OUTPUT and records the fastest run in the results table.
run_tool() {
  local name=$1 parser=$2 output=$3
  shift 3
  local best='' i wall user sys rss status timing=$runs/$name.time
  for ((i = 1; i <= repeat; i++)); do
    echo "compare: $name, run $i of $repeat (load $(cut -d' ' -f1-3 /proc/loadavg))" >&2
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
    if [[ -z $best ]] || python3 -c "import sys; sys.exit(not $wall < $best)"; then
      best=$wall
      mv "$output.tmp" "$output"
      printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$name" "$wall" "$user" "$sys" "$rss" "$parser" "$output" \
        >"$runs/$name.best"
    fi
  done
  rm -f "$output.tmp"
  cat "$runs/$name.best" >>"$results"
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

  if [[ -n $pagelint ]]; then
      run_tool pagelint-check pagelint "$runs/pagelint-check.out" \
      "$pagelint" "${pagelint_opts[@]}" "$corpus_dir"
  fi
  # aspell reads one stream: the pages one after the other, in the list's order.
  # shellcheck disable=SC2016 # expanded by the inner shell
  run_tool aspell lines "$runs/aspell.out" \
    bash -c 'tr "\n" "\0" <"$1" | xargs -0 cat | aspell list --mode=html --lang=en_US' \
    aspell "$corpus_list"
  if ((!skip_hunspell)); then
    # shellcheck disable=SC2016 # expanded by the inner shell
    run_tool hunspell lines "$runs/hunspell.out" \
      bash -c 'tr "\n" "\0" <"$1" | xargs -0 hunspell -l -H -i utf-8 -d en_US' \
      hunspell "$corpus_list"
  fi
  if ((have_cspell)); then
    run_tool cspell lines "$runs/cspell.out" \
      "$cspell_bin" lint --no-progress --no-cache --no-summary --no-color --words-only \
      --config "$(cspell_config)" --root "$corpus_dir" '**/*.{html,htm,xhtml}'
  fi
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
  python3 "$repo/bench/peers/peers.py" describe "site of $corpus_pkg" "$site_list"
  run_tool pagelint-check pagelint "$runs/pagelint-check.out" \
    "$pagelint" "${pagelint_opts[@]}" "$site_dir"
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

mkdir -p "$work"
case $mode in
  compare) compare_tools ;;
  scale) check_at_scale ;;
  profile) profile_pagelint ;;
esac
