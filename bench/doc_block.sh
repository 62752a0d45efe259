#!/usr/bin/env bash
# Shared by the whole-program measurements: rewriting one marked block of a Markdown file.

# replace_block FILE NAME TEXT-FILE: the text between "<!-- NAME:begin -->" and
# "<!-- NAME:end -->" becomes the text file's; the rest of FILE stays as it is.
replace_block() {
  local doc=$1 name=$2 text=$3
  if ! grep -q "^<!-- $name:begin -->\$" "$doc" || ! grep -q "^<!-- $name:end -->\$" "$doc"; then
    kel_fail "$doc has no <!-- $name:begin --> / <!-- $name:end --> markers"
  fi
  awk -v begin="<!-- $name:begin -->" -v end="<!-- $name:end -->" -v text="$text" '
    $0 == begin { print; while ((getline line < text) > 0) print line; skipping = 1; next }
    $0 == end { skipping = 0 }
    !skipping' "$doc" >"$doc.tmp.$$"
  mv "$doc.tmp.$$" "$doc"
}
