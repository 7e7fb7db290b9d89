#!/usr/bin/env bash
# Installs a Pagelint package into a new, minimal Debian 12 tree, as on a machine that
# has never seen the project, and checks there that apt resolves its dependencies,
# that pagelint-check checks the sample site from a user's home, that the manual page
# opens and that the program's libraries resolve. Run by hand: it needs root (chroot)
# and the network (debootstrap and apt), and takes a few minutes.
#
#   sudo tests/install/fresh_debian.sh [PACKAGE.deb]   (default build/package/pagelint_*.deb)
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
deb=${1:-$(ls "$repo"/build/package/pagelint_*.deb | head -n 1)}
[[ -f $deb ]] || { echo "fresh_debian: no package; run tools/package.sh first" >&2; exit 2; }
command -v debootstrap >/dev/null || apt-get install -y -qq debootstrap

work=$(mktemp -d)
root=$work/root
cleanup() {
  umount "$root/proc" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

echo "fresh_debian: making a minimal Debian 12 in $root" >&2
debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian >"$work/debootstrap.log"
mount -t proc proc "$root/proc"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"
cp -r "$repo/docs/sample-site" "$root/tmp/"

echo "fresh_debian: apt install ./$(basename "$deb")" >&2
chroot "$root" env DEBIAN_FRONTEND=noninteractive sh -c \
  "apt-get update -qq && apt-get install -y -qq man-db /tmp/$(basename "$deb")" >"$work/apt.log"
chroot "$root" useradd -m tester
status=0
chroot "$root" su tester -c 'cd ~ && pagelint-check --summary /tmp/sample-site' || status=$?
((status == 1)) || { echo "fresh_debian: pagelint-check exit $status" >&2; exit 1; }
chroot "$root" sh -c 'MANWIDTH=80 man pagelint-check | grep -q "^NAME"'
if chroot "$root" ldd /usr/lib/pagelint/Pagelint | grep "not found"; then
  echo "fresh_debian: the program's libraries do not resolve" >&2
  exit 1
fi
echo "fresh_debian: the package installs and runs on a new Debian 12"
