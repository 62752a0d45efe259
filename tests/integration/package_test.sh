#!/usr/bin/env bash
# The Debian package as `make package` builds it (scripts/package.sh: dpkg-buildpackage over
# debian/), from the source tree into a temporary folder.
# - lintian --pedantic --display-info finds no error and no warning, and every other tag it
#   reports is one of the few below, each with its reason; on the source package (dpkg-source -b)
#   too.
# - The control fields name the package, its version (the program's, and the changelog's), section
#   and maintainer; Depends names the Qt 6 libraries the program links (found by dpkg-shlibdeps),
#   the platform plugins it cannot see and a choice of Japanese fonts, each a package this machine
#   has (of a choice, one); Recommends a sound server, PipeWire's or PulseAudio; no desktop
#   toolkit is more than suggested.
# - It holds the program and its sound player, stripped (their debugging symbols are in the
#   -dbgsym package), the default sound, the menu entry, the metainfo, the manual page, the icons,
#   the copyright file and the changelog, all under /usr; unpacked, the program runs and finds its
#   sound and its sound player beside its folder.
# - Installed with apt into a throwaway copy of this machine (an overlay over its root, in a mount
#   namespace of its own: the machine itself is never changed), the program shows in the tray of
#   the virtual desktop, its manual page renders, and purging the package removes its files and
#   leaves the data folder. Installing needs root: without it the test ends there, as skipped.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
# A missing tool fails the test, naming the package to install.
for tool in dpkg-buildpackage:dpkg-dev dh:debhelper lintian:lintian dpkg-deb:dpkg \
  readelf:binutils man:man-db unshare:util-linux nsenter:util-linux; do
  if ! command -v "${tool%%:*}" >/dev/null 2>&1; then
    printf '[%s] FAIL: missing tool %s: install the Debian package %s\n' "$KEL_TEST" \
      "${tool%%:*}" "${tool#*:}" >&2
    exit 1
  fi
done

source_dir=${KELMORA_SOURCE_DIR:?KELMORA_SOURCE_DIR names the source tree}
out=$KEL_DIR/package
version=$("$KEL_PROGRAM" --version | sed -n 's/^kelmora //p')
[[ -n $version ]] || kel_fail "kelmora --version names no version"
changelog_version=$(dpkg-parsechangelog -l "$source_dir/debian/changelog" -S Version)
[[ $changelog_version == "$version" ]] ||
  kel_fail "debian/changelog is at $changelog_version, the program at $version"
arch=$(dpkg --print-architecture)
deb=$out/kelmora_${version}_$arch.deb

KEL_LOGS+=("$KEL_DIR/package-script.log" "$out/package.log")
bash "$source_dir/scripts/package.sh" "$out" 2 >"$KEL_DIR/package-script.log" 2>&1 ||
  kel_fail "scripts/package.sh failed"
for file in "$deb" "$out/kelmora-dbgsym_${version}_$arch.deb" \
  "$out/kelmora_${version}_$arch.changes" "$out/kelmora_${version}_$arch.buildinfo"; do
  [[ -f $file ]] || kel_fail "make package did not write ${file##*/}: $(ls "$out")"
done
kel_log "built ${deb##*/}"

# ---- lintian

# The tags lintian may still report, each where its reason holds:
# - spelling-error-in-binary: a short run of letters inside the machine code (as "wtH"), which
#   lintian reads as a word; a word in one of our own texts, in the source, is a real misspelling.
tag_allowed() {
  local tag=$1 word=$2
  case $tag in
    spelling-error-in-binary) ! grep -rqwF -- "$word" "$source_dir/src" ;;
    *) return 1 ;;
  esac
}
# Fails a check for every error or warning of lintian's output in LOG, and any other tag not
# allowed above.
check_lintian() {
  local severity package tag word
  while read -r severity package tag word _; do
    case $severity in
      E: | W:) kel_check_failed "lintian: $severity $package $tag $word" ;;
      *) tag_allowed "$tag" "$word" || kel_check_failed "lintian: $severity $package $tag $word" ;;
    esac
  done < <(grep -E '^[A-Z]: ' "$1")
  kel_log "lintian on ${2}: $(grep -cE '^[A-Z]: ' "$1") tags, none but the allowed ones"
}
lintian_log=$out/lintian.log
[[ -f $lintian_log ]] || kel_fail "make package left no lintian.log"
KEL_LOGS+=("$lintian_log")
check_lintian "$lintian_log" "the .changes and the packages"

# The source package a maintainer would upload, built from a copy of the tree, lints as clean.
bash "$source_dir/scripts/copy-tree.sh" "$source_dir" "$KEL_DIR/source/kelmora"
KEL_LOGS+=("$KEL_DIR/source.log")
(cd "$KEL_DIR/source/kelmora" && dpkg-source -b . >"$KEL_DIR/source.log" 2>&1) ||
  kel_fail "dpkg-source -b failed"
lintian --pedantic --display-info "$KEL_DIR/source/kelmora_$version.dsc" \
  >"$KEL_DIR/lintian-source.log" 2>&1 || true
KEL_LOGS+=("$KEL_DIR/lintian-source.log")
check_lintian "$KEL_DIR/lintian-source.log" "the source package"

# ---- Control fields

expected_fields=(
  "Package=kelmora"
  "Version=$version"
  "Architecture=$arch"
  "Section=utils"
  "Priority=optional"
  "Maintainer=Kelmora developers <kelmora@example.org>"
  "Recommends=pipewire-pulse | pulseaudio"
)
for entry in "${expected_fields[@]}"; do
  field=${entry%%=*}
  found=$(dpkg-deb -f "$deb" "$field")
  [[ $found == "${entry#*=}" ]] || kel_check_failed "$field is \"$found\", expected \"${entry#*=}\""
done
description=$(dpkg-deb -f "$deb" Description)
[[ $(wc -l <<<"$description") -ge 3 ]] || kel_fail "the description has no long text: $description"

# The package names of a field, one a line, version constraints dropped; alternatives too unless
# asked to keep them.
field_names() {
  dpkg-deb -f "$deb" "$1" | tr ',' '\n' | sed 's/([^)]*)//g; s/[[:space:]]//g' | sed '/^$/d'
}
depends=$(dpkg-deb -f "$deb" Depends)
kel_log "Depends: $depends"
depends_names=$(field_names Depends | sed 's/|.*//')
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
done < <(field_names Depends)
# The texts are Japanese: the fonts' choice starts with the small one the install step brings.
grep -qE '(^|, )fonts-motoya-l-cedar \| fonts-noto-cjk \| ' <<<"$depends" ||
  kel_check_failed "Depends offers no choice of Japanese fonts: $depends"
# A desktop toolkit (GTK's theme bridge, Wayland's plugin) is only suggested.
pulled=$( (field_names Depends && field_names Recommends) | tr '|' '\n')
for name in qt6-gtk-platformtheme qt6-wayland; do
  if grep -qxF "$name" <<<"$pulled"; then kel_check_failed "$name is more than suggested"; fi
  grep -qxF "$name" <<<"$(field_names Suggests)" || kel_check_failed "Suggests lacks $name"
done

# ---- Contents

contents=$(dpkg-deb -c "$deb" | awk '{ print $NF }')
expected_files=(usr/bin/kelmora usr/lib/kelmora/kelmora_sound.so usr/lib/kelmora/kelmora_play
  usr/share/kelmora/sounds/alarm.wav
  usr/share/applications/kelmora.desktop usr/share/metainfo/io.github.kelmora.kelmora.metainfo.xml
  usr/share/man/man1/kelmora.1.gz usr/share/doc/kelmora/copyright usr/share/doc/kelmora/changelog.gz)
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

# ---- The unpacked program and its debugging symbols

dpkg-deb -x "$deb" "$KEL_DIR/unpacked"
dpkg-deb -x "$out/kelmora-dbgsym_${version}_$arch.deb" "$KEL_DIR/dbgsym"
for binary in usr/bin/kelmora usr/lib/kelmora/kelmora_sound.so usr/lib/kelmora/kelmora_play; do
  if readelf -S "$KEL_DIR/unpacked/$binary" | grep -qE '\.(symtab|debug_info)'; then
    kel_check_failed "the packaged /$binary is not stripped"
  fi
  id=$(readelf -n "$KEL_DIR/unpacked/$binary" | sed -n 's/.*Build ID: \([0-9a-f]*\)/\1/p')
  [[ -f $KEL_DIR/dbgsym/usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug ]] ||
    kel_check_failed "the -dbgsym package has no symbols for /$binary (build id $id)"
done
unpacked=$KEL_DIR/unpacked/usr/bin/kelmora
[[ $("$unpacked" --version) == "kelmora $version" ]] ||
  kel_fail "the packaged program says \"$("$unpacked" --version)\""
[[ -f $KEL_DIR/unpacked/usr/bin/../share/kelmora/sounds/alarm.wav ]] ||
  kel_fail "the default sound is not beside the packaged program's folder"
[[ -f $KEL_DIR/unpacked/usr/bin/../lib/kelmora/kelmora_sound.so ]] ||
  kel_fail "the sound player module is not beside the packaged program's folder"
[[ -x $KEL_DIR/unpacked/usr/bin/../lib/kelmora/kelmora_play ]] ||
  kel_fail "the sound player program is not beside the packaged program's folder"
kel_log "the unpacked program runs and is stripped; the -dbgsym package holds its symbols"

# ---- Installed into a throwaway copy of this machine

[[ $(id -u) -eq 0 ]] ||
  kel_cannot "installing the package needs root (it was built, linted and checked)"

# A process in a mount namespace of its own holds the copy: this machine's root with a layer in
# memory over it, and the test's folder (the package, the bus, the display's socket) bound in.
# The mounts go with the namespace's last process, and never reach this machine's mount table,
# even where this machine is itself a chroot (kel_private_mounts).
system=$KEL_DIR/system
layer=$KEL_DIR/layer
mkdir -p "$system" "$layer"
cat >"$KEL_DIR/hold-copy.sh" <<'EOF'
set -euo pipefail
system=$1 layer=$2 dir=$3
mount -t tmpfs -o mode=755 kelmora-layer "$layer"
mkdir "$layer/upper" "$layer/work"
mount -t overlay -o "lowerdir=/,upperdir=$layer/upper,workdir=$layer/work" kelmora-copy "$system"
mount -t proc proc "$system/proc"
mount --rbind /dev "$system/dev"
mount --rbind /sys "$system/sys"
mount --bind "$dir" "$system$dir"
echo ready >"$dir/copy.ready"
exec sleep infinity
EOF
kel_private_mounts bash "$KEL_DIR/hold-copy.sh" "$system" "$layer" "$KEL_DIR" \
  >"$KEL_DIR/copy.log" 2>&1
holder=$!
kel_track "$holder" "the copy's mount namespace"
KEL_LOGS+=("$KEL_DIR/copy.log")
kel_wait_until 10 "the copy of this machine to be mounted" test -f "$KEL_DIR/copy.ready"
in_copy() { kel_in_mounts "$holder" chroot "$system" "$@"; }

host_status() { dpkg-query -W -f='${db:Status-Status} ${Version}' kelmora 2>/dev/null || true; }
host_before=$(host_status)
KEL_LOGS+=("$KEL_DIR/apt.log")
in_copy env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$deb" \
  >"$KEL_DIR/apt.log" 2>&1 || kel_fail "apt-get install ${deb##*/} failed in the copy"
# shellcheck disable=SC2016 # dpkg-query's own fields
[[ $(in_copy dpkg-query -W -f='${db:Status-Status} ${Version}' kelmora) == "installed $version" ]] ||
  kel_fail "kelmora $version is not installed in the copy"
[[ $(host_status) == "$host_before" ]] || kel_fail "the install reached this machine's dpkg"
kel_log "apt installed ${deb##*/} in the copy"

warnings=$(in_copy env LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 kelmora \
  2>&1 >/dev/null) || kel_check_failed "man kelmora failed in the copy: $warnings"
[[ -z $warnings ]] || kel_check_failed "man --warnings kelmora reports: $warnings"

# The installed program, started in the copy, on this test's desktop.
cat >"$KEL_DIR/installed-kelmora" <<EOF
#!/bin/sh
exec nsenter --target $holder --mount --root --wd -- chroot $system /usr/bin/kelmora "\$@"
EOF
chmod +x "$KEL_DIR/installed-kelmora"
KEL_PROGRAM=$KEL_DIR/installed-kelmora
kel_start_desktop
# With a settings file it starts in the tray.
kel_write_settings 'yyyy/mm/dd hh:nn:ss aaa' 1.0 0 0 0 0 0 0 0 0 0 0
kel_start_program
kel_wait_for_item 20
kel_wait_until 8 "the tip to show the time" kel_tip_matches '2003/11/09 14:07:?? 日'
kel_log "the installed program is in the tray: \"$(kel_tip)\""
kel_stop_program TERM
[[ -f $KEL_DATA/Varnlock.ini ]] || kel_fail "the installed program wrote no Varnlock.ini"

in_copy env DEBIAN_FRONTEND=noninteractive apt-get purge -y kelmora >>"$KEL_DIR/apt.log" 2>&1 ||
  kel_fail "apt-get purge kelmora failed in the copy"
for file in "${expected_files[@]}"; do
  if in_copy test -e "/$file"; then kel_check_failed "/$file is left after the purge"; fi
done
[[ -f $KEL_DATA/Varnlock.ini ]] || kel_check_failed "the purge took the data folder's files"
kel_log "apt purged kelmora: its files are gone, the data folder stays"
kel_pass
