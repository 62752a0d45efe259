#!/usr/bin/env bash
# `make package`: builds the Debian package from debian/ with `dpkg-buildpackage -us -uc -b` and
# checks it with lintian.
#
# usage: scripts/package.sh BUILD [JOBS]
#
# dpkg-buildpackage works inside the tree it builds and writes its results beside it, so it builds
# a copy of the tree, BUILD/debian-build/kelmora; its results move into BUILD:
# kelmora_<version>_<arch>.deb, kelmora-dbgsym_<version>_<arch>.deb and the .changes and
# .buildinfo files. Its output goes to the log KELMORA_LOG names (`make package` has written apt's
# there), else to a new BUILD/package.log; lintian's to BUILD/lintian.log (shown).
set -euo pipefail
[ $# -ge 1 ] || {
  echo "usage: $0 BUILD [JOBS]" >&2
  exit 2
}
build=$(realpath -m "$1")
jobs=${2:-$(nproc)}
source=$(cd "$(dirname "$0")/.." && pwd)
work=$build/debian-build
if [ -z "${KELMORA_LOG:-}" ]; then
  KELMORA_LOG=$build/package.log
  rm -f "$KELMORA_LOG"
fi
export KELMORA_LOG
step=(bash "$source/scripts/step.sh")

rm -rf "$work"
mkdir -p "$build"
bash "$source/scripts/copy-tree.sh" "$source" "$work/kelmora"

version=$(dpkg-parsechangelog -l "$source/debian/changelog" -S Version)
arch=$(dpkg-architecture -q DEB_HOST_ARCH)
"${step[@]}" --dir "$work/kelmora" --progress build "Building the Debian package kelmora $version" \
  dpkg-buildpackage -us -uc -b -J"$jobs"

rm -f "$build"/kelmora_*.deb "$build"/kelmora-dbgsym_*.deb "$build"/kelmora_*.changes \
  "$build"/kelmora_*.buildinfo
for file in "$work"/*.deb "$work"/*.changes "$work"/*.buildinfo; do
  mv "$file" "$build/"
  echo "Wrote ${build#"$PWD"/}/${file##*/}"
done
rm -rf "$work"
changes=$build/kelmora_${version}_$arch.changes

# lintian's exit status is 1 for an error or a warning, 2 when it could not run.
status=0
lintian --pedantic --display-info --fail-on error,warning "$changes" >"$build/lintian.log" 2>&1 ||
  status=$?
if [ "$status" -gt 1 ]; then
  cat "$build/lintian.log" >&2
  echo "lintian could not check the package (exit status $status)" >&2
  exit 1
fi
tags=$(grep -c '^[EWIPX]: ' "$build/lintian.log" || true)
if [ "$status" -eq 0 ]; then
  echo "lintian --pedantic --display-info: no error, no warning; other tags: $tags"
else
  echo "lintian --pedantic --display-info found errors or warnings:"
fi
cat "$build/lintian.log"
