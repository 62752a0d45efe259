#!/usr/bin/env bash
# `make install-local` and `make uninstall-local`, for one user and without root.
#
# usage: scripts/install-local.sh install|uninstall BUILD PREFIX
#   install    installs the build folder BUILD into PREFIX (cmake --install) and keeps the list of
#              the files it put there, CMake's install manifest, as PREFIX/share/kelmora/installed-files
#   uninstall  removes the files of that list (where an older install left none, those of BUILD's
#              install manifest), the list itself, and the folders they leave empty, up to PREFIX.
#              The data folder with the settings and alarms (~/.config/kelmora) stays.
set -euo pipefail
[ $# -eq 3 ] || {
  echo "usage: $0 install|uninstall BUILD PREFIX" >&2
  exit 2
}
action=$1
build=$2
prefix=$(realpath -m "$3")
list=$prefix/share/kelmora/installed-files

install_files() {
  cmake --install "$build" --prefix "$prefix" >/dev/null
  mkdir -p "${list%/*}"
  { cat "$build/install_manifest.txt" && echo; } | sed '/^$/d' >"$list"
  echo "$list" >>"$list"
  echo "Installed Kelmora into $prefix ($(wc -l <"$list") files); make uninstall-local removes them."
}

# Removes the folder and its parents while they are empty, stopping at the prefix.
remove_empty_folders() {
  local folder=$1
  while [[ $folder == "$prefix"/* ]] && rmdir "$folder" 2>/dev/null; do
    folder=${folder%/*}
  done
}

uninstall_files() {
  local from=$list
  [ -f "$from" ] || from=$build/install_manifest.txt
  if [ ! -f "$from" ]; then
    echo "Kelmora is not installed in $prefix (no $list)" >&2
    exit 1
  fi
  local files=() file
  mapfile -t files < <(sed '/^$/d' "$from")
  for file in "${files[@]}"; do
    if [[ $file != "$prefix"/* ]]; then
      echo "$from names $file, which is outside $prefix: nothing removed" >&2
      exit 1
    fi
  done
  [[ $from == "$list" ]] || files+=("$list")
  local removed=0
  for file in "${files[@]}"; do
    if [ -f "$file" ] || [ -L "$file" ]; then
      rm -f "$file"
      removed=$((removed + 1))
    fi
    remove_empty_folders "${file%/*}"
  done
  if [ "$removed" -eq 0 ]; then
    echo "Kelmora is not installed in $prefix: nothing to remove"
  else
    echo "Removed Kelmora from $prefix ($removed files); its settings and alarms stay in their folder."
  fi
}

case $action in
  install) install_files ;;
  uninstall) uninstall_files ;;
  *)
    echo "$0: no action \"$action\" (install or uninstall)" >&2
    exit 2
    ;;
esac
