#!/usr/bin/env bash
# The manual page kelmora(1), data/kelmora.1: man renders it at 80 columns in UTF-8 without a
# single warning from groff, its title line names the program's version, and it describes every
# option the program's --help lists and the data folder's files.
source "$(dirname "$0")/lib.sh"
KEL_TEST=$(basename "$0" .sh)
[[ $# -ge 1 ]] || {
  echo "usage: $0 <path-to-kelmora>" >&2
  exit 2
}
command -v man >/dev/null || kel_fail "missing tool man: install the Debian package man-db"
program=$1
page=${KELMORA_SOURCE_DIR:?KELMORA_SOURCE_DIR names the source tree}/data/kelmora.1

warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
[[ -z $warnings ]] || kel_check_failed "man --warnings reports: $warnings"

version=$("$program" --version)
title=$(grep '^\.TH ' "$page")
[[ $title == *"\"$version\""* ]] || kel_check_failed "the title line \"$title\" does not name \"$version\""

# Each option of --help, as the page sets it (bold, its hyphens escaped).
while read -r option; do
  grep -qxF ".B ${option//-/\\-}" "$page" || kel_check_failed "the page does not describe $option"
done < <("$program" --help | sed -n 's/^  \(--[a-z-]*\).*/\1/p')
for file in Varnlock.ini timer.ini timer.ini.dropped .bad; do
  grep -qF "$file" "$page" || kel_check_failed "the page does not name $file"
done
kel_log "the page renders without warnings and names $version, the options and the files"
kel_pass
