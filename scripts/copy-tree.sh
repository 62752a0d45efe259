#!/usr/bin/env bash
# Copies the source tree as git sees it (its files and the new ones it does not ignore, as they are
# now) into a folder; outside a git checkout, everything but the build folders.
#
# usage: scripts/copy-tree.sh SOURCE TARGET
set -euo pipefail
source=$1
target=$2
mkdir -p "$target"
if git -C "$source" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  # A file deleted but not yet committed is still listed: only what exists is copied.
  git -C "$source" ls-files -z --cached --others --exclude-standard |
    (cd "$source" && while IFS= read -r -d '' file; do
      if [ -e "$file" ] || [ -L "$file" ]; then printf '%s\0' "$file"; fi
    done | tar -cf - --null --no-recursion -T -) | tar -xf - -C "$target"
else
  tar -C "$source" --exclude='./build*' --exclude=./.git -cf - . | tar -xf - -C "$target"
fi
