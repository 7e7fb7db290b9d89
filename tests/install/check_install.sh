#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks it as a user and another
# developer would meet it: pagelint-check run from an unrelated folder finds its
# dictionary and checks the sample site as the build does, the program's libraries and
# help pages resolve, the desktop entry and the AppStream file validate, the manual
# pages open with man, another project builds against spellcore through CMake and
# pkg-config, and the Debian package lists its files and computed dependencies and
# runs from its unpacked files. Everything it writes stays in one temporary folder.
#
#   tests/install/check_install.sh [BUILD_DIR]    (default build/release)
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$repo/build/release}" && pwd)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
mkdir -p "$work/home" "$work/elsewhere" "$work/runtime"
chmod 700 "$work/runtime"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_RUNTIME_DIR=$work/runtime TMPDIR=$work

failures=0
fail() {
  echo "check_install: FAIL: $*" >&2
  failures=$((failures + 1))
}
pass() { echo "check_install: ok: $*"; }

cmake --build "$build" --target pagelint_installables >/dev/null
cmake --install "$build" --prefix "$prefix" >"$work/install.log"

# The sample site as the build tree's checker sees it, for comparison.
site=$repo/docs/sample-site
expected=$work/expected.txt
status=0
"$build/bin/pagelint-check" "$site" >"$expected" || status=$?
[[ $status -eq 1 && -s $expected ]] || fail "the build's pagelint-check did not find the sample site's words"

# check_site NAME CHECKER: runs CHECKER on the sample site from an unrelated folder.
check_site() {
  local name=$1 checker=$2 out=$work/$1.txt status=0
  (cd "$work/elsewhere" && "$checker" "$site") >"$out" 2>"$work/$1.err" || status=$?
  if [[ $status -eq 1 ]] && cmp -s "$out" "$expected"; then
    pass "$name pagelint-check finds its dictionary and the sample site's $(wc -l <"$out") words"
  else
    fail "$name pagelint-check: exit $status, $(cat "$work/$1.err")"
    diff "$expected" "$out" >&2 || true
  fi
}
check_site installed "$prefix/bin/pagelint-check"

# No library search path, in the build or installed, may hold an empty entry: the
# loader reads one as the current folder, and would take a library from wherever the
# program is run.
empty=0
while IFS= read -r -d '' file; do
  path=$(readelf -d "$file" 2>/dev/null | sed -n 's/.*(R[UN]*PATH).*\[\(.*\)\]$/\1/p' || true)
  if [[ -n $path && ":$path:" == *::* ]]; then
    fail "$file searches the current folder for libraries: [$path]"
    empty=1
  fi
done < <(find "$build/bin" "$prefix/lib" -type f -print0)
if ((empty == 0)); then
  pass "no library search path names the current folder"
fi

[[ -L $prefix/bin/pagelint-check && -f $prefix/lib/pagelint/ZEB.fdc ]] ||
  fail "pagelint-check is not a link into the program folder beside ZEB.fdc"
[[ -f $prefix/lib/pagelint/WordCommonness.txt ]] ||
  fail "WordCommonness.txt, which ranks the suggestions, is not beside ZEB.fdc"
[[ -f $prefix/lib/pagelint/TechnicalTerms.txt && -f $prefix/lib/pagelint/TechnicalTerms.copyright ]] ||
  fail "the technical terms word list and its copyright are not beside ZEB.fdc"
# The installed checker finds the shipped list where it finds ZEB.fdc.
listed=$(cd "$work/elsewhere" && "$prefix/bin/pagelint-check" --list-dictionaries) || true
if grep -q $'^ZEB Technical Terms\tword list\t$' <<<"$listed"; then
  pass "pagelint-check lists the shipped ZEB Technical Terms"
else
  fail "pagelint-check does not list ZEB Technical Terms"
fi

desktop=$prefix/share/applications/com.corvanesoftware.pagelint.desktop
if [[ -e $build/bin/Pagelint ]]; then
  [[ $(readlink -f "$prefix/bin/pagelint") == "$prefix/lib/pagelint/Pagelint" ]] ||
    fail "bin/pagelint does not lead to the program folder"
  if missing=$(ldd "$prefix/lib/pagelint/Pagelint" | grep "not found"); then
    fail "the program's libraries do not resolve: $missing"
  fi
  [[ -f $prefix/share/pagelint/help/index.htm && -f $prefix/share/pagelint/help/HowTo/Results.htm ]] ||
    fail "the help pages are not where the program looks for them"
  if desktop-file-validate "$desktop"; then pass "desktop entry valid"; else fail "desktop entry"; fi
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  [[ -f $prefix/share/icons/hicolor/scalable/apps/$icon.svg && -f $prefix/share/icons/hicolor/48x48/apps/$icon.png ]] ||
    fail "the desktop entry's icon $icon is not in the hicolor theme"
  if appstreamcli validate --no-net "$prefix/share/metainfo/com.corvanesoftware.pagelint.metainfo.xml"; then
    pass "AppStream metainfo valid"
  else
    fail "AppStream metainfo"
  fi
fi

for page in pagelint pagelint-check; do
  [[ $page == pagelint && ! -e $build/bin/Pagelint ]] && continue
  if MANPATH=$prefix/share/man MANWIDTH=80 man "$page" 2>&1 | grep -q "^NAME"; then
    pass "man $page"
  else
    fail "man $page"
  fi
done

# Another project: through find_package, then through pkg-config.
consumer=$repo/tests/install/consumer
if cmake -S "$consumer" -B "$work/consumer" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >"$work/consumer.log" 2>&1 &&
  cmake --build "$work/consumer" >>"$work/consumer.log" 2>&1 &&
  "$work/consumer/spellcore_consumer" "$prefix/lib/pagelint"; then
  pass "find_package(spellcore) builds and runs"
else
  cat "$work/consumer.log" >&2
  fail "find_package(spellcore)"
fi
export PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name spellcore.pc)")
libdir=$(pkg-config --variable=libdir spellcore)
# shellcheck disable=SC2046
if c++ -std=c++20 -o "$work/pc_consumer" "$consumer/main.cpp" $(pkg-config --cflags --libs spellcore) \
  -Wl,-rpath,"$libdir" && "$work/pc_consumer" "$prefix/lib/pagelint"; then
  pass "pkg-config spellcore builds and runs"
else
  fail "pkg-config spellcore"
fi

# The Debian package.
if [[ -e $build/bin/Pagelint ]]; then
  cpack --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log" >&2
    fail "cpack"
  }
  deb=$(find "$work/package" -maxdepth 1 -name 'pagelint_*.deb' | head -n 1)
  if [[ -n $deb ]]; then
    contents=$(dpkg-deb --contents "$deb")
    for path in ./usr/bin/pagelint ./usr/bin/pagelint-check ./usr/lib/pagelint/Pagelint \
      ./usr/lib/pagelint/ZEB.fdc ./usr/lib/pagelint/WordCommonness.txt \
      ./usr/lib/pagelint/TechnicalTerms.txt ./usr/lib/pagelint/TechnicalTerms.copyright \
      ./usr/share/pagelint/help/index.htm \
      ./usr/share/applications/com.corvanesoftware.pagelint.desktop \
      ./usr/share/icons/hicolor/scalable/apps/com.corvanesoftware.pagelint.svg \
      ./usr/share/metainfo/com.corvanesoftware.pagelint.metainfo.xml \
      ./usr/share/man/man1/pagelint-check.1.gz ./usr/share/doc/pagelint/copyright \
      ./usr/lib/cmake/spellcore/spellcoreConfig.cmake ./usr/lib/pkgconfig/spellcore.pc; do
      grep -q " $path\( ->.*\)\?$" <<<"$contents" || fail "the package lacks $path"
    done
    depends=$(dpkg-deb --field "$deb" Depends)
    for dep in 'libc6 (' 'libicu[0-9]* (' 'libnuspell5 (' 'libqt6widgets6 (' 'libqt6network6 (' \
      'qt6-qpa-plugins'; do
      grep -q "$dep" <<<"$depends" || fail "the package's dependencies lack $dep: $depends"
    done
    recommends=$(dpkg-deb --field "$deb" Recommends)
    grep -q 'hunspell-en-us' <<<"$recommends" ||
      fail "the package does not recommend hunspell-en-us: $recommends"
    mkdir "$work/unpacked"
    dpkg-deb --extract "$deb" "$work/unpacked"
    check_site packaged "$work/unpacked/usr/bin/pagelint-check"
    pass "package $(basename "$deb") lists its files; depends on $depends"
  else
    fail "cpack wrote no package"
  fi
fi

if ((failures > 0)); then
  echo "check_install: $failures failures" >&2
  exit 1
fi
echo "check_install: all checks passed"
