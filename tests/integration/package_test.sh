#!/usr/bin/env bash
# The Debian package: CPack, run on the build folder (the program's folder's parent) with its
# output in a temporary folder, writes kelmora_<version>_<arch>.deb. Its control fields name the
# package, version, section and maintainer, and its Depends line the Qt 6 runtime packages that
# the program links (found by dpkg-shlibdeps), the platform plugins it cannot see and a choice of
# Japanese fonts, each a package this machine has (of a choice, one); it holds the program,
# stripped, its default sound, the menu entry, the metainfo, the icons and the licence, all under
# /usr; and the program unpacked from it runs and finds its sound, its sound player and the
# player's module beside its folder. The package is never installed.
source "$(dirname "$0")/lib.sh"
KEL_TEST=$(basename "$0" .sh)
[[ $# -ge 1 ]] || {
  echo "usage: $0 <path-to-kelmora>" >&2
  exit 2
}
# A missing tool fails the test, naming the package to install.
for tool in cpack:cmake dpkg-deb:dpkg dpkg-shlibdeps:dpkg-dev readelf:binutils; do
  if ! command -v "${tool%%:*}" >/dev/null 2>&1; then
    printf '[%s] FAIL: missing tool %s: install the Debian package %s\n' "$KEL_TEST" \
      "${tool%%:*}" "${tool#*:}" >&2
    exit 1
  fi
done

program=$(readlink -f "$1")
build=$(dirname "$(dirname "$program")")
[[ -f $build/CPackConfig.cmake ]] || kel_fail "no CPackConfig.cmake in $build"
work=$(mktemp -d "${TMPDIR:-/tmp}/kelmora-$KEL_TEST.XXXXXX")
trap 'rm -rf "$work"' EXIT

version=$("$program" --version | sed -n 's/^kelmora //p')
[[ -n $version ]] || kel_fail "kelmora --version names no version"
arch=$(dpkg --print-architecture)
deb=$work/kelmora_${version}_$arch.deb

KEL_LOGS+=("$work/cpack.log")
(cd "$build" && cpack -G DEB -B "$work") >"$work/cpack.log" 2>&1 || kel_fail "cpack failed"
[[ -f $deb ]] || kel_fail "cpack did not write ${deb##*/}: $(ls "$work")"
kel_log "built ${deb##*/}"

# ---- Control fields

expected_fields=(
  "Package=kelmora"
  "Version=$version"
  "Architecture=$arch"
  "Section=utils"
  "Priority=optional"
  "Maintainer=Kelmora developers <kelmora@example.org>"
)
for entry in "${expected_fields[@]}"; do
  field=${entry%%=*}
  found=$(dpkg-deb -f "$deb" "$field")
  [[ $found == "${entry#*=}" ]] || kel_check_failed "$field is \"$found\", expected \"${entry#*=}\""
done
description=$(dpkg-deb -f "$deb" Description)
[[ $(wc -l <<<"$description") -ge 3 ]] || kel_fail "the description has no long text: $description"

# The package names of Depends, one a line, version constraints and alternatives dropped.
depends=$(dpkg-deb -f "$deb" Depends)
kel_log "Depends: $depends"
depends_names=$(tr ',' '\n' <<<"$depends" | sed 's/|.*//; s/(.*)//; s/[[:space:]]//g' | sed '/^$/d')
# Linked (found by dpkg-shlibdeps) and loaded at run time (named by hand).
for name in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6dbus6 \
  libqt6multimedia6 qt6-qpa-plugins; do
  grep -qxF "$name" <<<"$depends_names" || kel_check_failed "Depends does not name $name"
done
duplicates=$(sort <<<"$depends_names" | uniq -d)
[[ -z $duplicates ]] || kel_fail "Depends names a package twice: $duplicates"
# Every package named is one that exists: this machine runs the program, so it has them all (of
# alternatives, one; a virtual package counts through what provides it).
installed_or_provided() {
  [[ $(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null) == installed ]] ||
    dpkg-query -W -f='${db:Status-Status} ${Provides}\n' 2>/dev/null |
    grep -qE "^installed .*(^| |,)$1( |,|$)"
}
while read -r entry; do
  found=''
  for name in ${entry//|/ }; do
    if installed_or_provided "$name"; then found=$name; fi
  done
  [[ -n $found ]] || kel_check_failed "Depends names $entry, none of it installed here"
done < <(tr ',' '\n' <<<"$depends" | sed 's/([^)]*)//g')
# The texts are Japanese: the fonts' choice starts with the small one the install step brings.
grep -qE '(^|, )fonts-motoya-l-cedar \| fonts-noto-cjk \| ' <<<"$depends" ||
  kel_check_failed "Depends offers no choice of Japanese fonts: $depends"

# ---- Contents

contents=$(dpkg-deb -c "$deb" | awk '{ print $NF }')
expected_files=(usr/bin/kelmora usr/lib/kelmora/kelmora_sound.so usr/lib/kelmora/kelmora_play
  usr/share/kelmora/sounds/alarm.wav
  usr/share/applications/kelmora.desktop
  usr/share/metainfo/io.github.kelmora.Kelmora.metainfo.xml usr/share/doc/kelmora/copyright)
for size in 16 32 48 64 128; do
  expected_files+=("usr/share/icons/hicolor/${size}x$size/apps/kelmora.png")
done
for file in "${expected_files[@]}"; do
  grep -qxF "./$file" <<<"$contents" || kel_check_failed "the package lacks /$file"
done
strays=$(grep -vE '^\./(usr/)?$|^\./usr/(bin|share|lib/kelmora)/|^\./usr/lib/$' <<<"$contents" || true)
[[ -z $strays ]] ||
  kel_fail "the package holds files outside /usr/bin, /usr/lib/kelmora and /usr/share: $strays"
kel_log "the package holds ${#expected_files[@]} expected files, all under /usr"

# ---- The unpacked program

dpkg-deb -x "$deb" "$work/root"
unpacked=$work/root/usr/bin/kelmora
for binary in "$unpacked" "$work/root/usr/lib/kelmora/kelmora_sound.so" \
  "$work/root/usr/lib/kelmora/kelmora_play"; do
  if readelf -S "$binary" | grep -qE '\.(symtab|debug_info)'; then
    kel_fail "the packaged ${binary##*/} is not stripped"
  fi
done
[[ $("$unpacked" --version) == "kelmora $version" ]] ||
  kel_fail "the packaged program says \"$("$unpacked" --version)\""
[[ -f $work/root/usr/bin/../share/kelmora/sounds/alarm.wav ]] ||
  kel_fail "the default sound is not beside the packaged program's folder"
[[ -f $work/root/usr/bin/../lib/kelmora/kelmora_sound.so ]] ||
  kel_fail "the sound player module is not beside the packaged program's folder"
[[ -x $work/root/usr/bin/../lib/kelmora/kelmora_play ]] ||
  kel_fail "the sound player program is not beside the packaged program's folder"
kel_log "the unpacked program runs and is stripped"
kel_pass
