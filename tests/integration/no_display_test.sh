#!/usr/bin/env bash
# Started with no display at all, the program says so in one line on standard error and exits
# with status 1 (not a core dump inside Qt).
set -euo pipefail
program=$1
err=$(mktemp)
config=$(mktemp -d)
trap 'rm -rf "$err" "$config"' EXIT
rc=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_CONFIG_HOME="$config" \
  "$program" 2>"$err" >/dev/null || rc=$?
lines=$(wc -l <"$err")
if ((rc != 1)) || ((lines != 1)) || ! grep -q 'DISPLAY' "$err" || ! grep -q 'WAYLAND_DISPLAY' "$err"; then
  echo "no_display_test: FAIL: exit status $rc, standard error:" >&2
  cat "$err" >&2
  exit 1
fi
echo "no_display_test: PASS ($(cat "$err"))"
