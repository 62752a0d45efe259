#!/usr/bin/env bash
# A new user on a fresh minimal Debian 12 follows README's "Two commands" as written. debootstrap
# builds the machine (the minbase variant: no make, no git, no display, a /tmp of its own) in a
# chroot; the test runs the lines of the section's first code block there as root (so without
# `sudo`), with one stand-in: `git clone` clones a repository made of this source tree as it is
# now. Then `make run` installs what it needs, builds, and with no display starts Kelmora on a
# virtual display, saying so in a few lines with the full output in the log it names; Kelmora's
# first-start window shows on that display; Ctrl+C (SIGINT to the terminal's process group) ends
# it, its files written, and leaves nothing running. It needs root and the Debian archive: where
# either is missing it says so and ends as skipped, and in CI (CI set) fails. The time of each
# step is logged.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
kel_require_tools debootstrap unshare nsenter chroot setsid git
[[ $(id -u) -eq 0 ]] || kel_cannot "building a Debian chroot needs root"
mirror=${KELMORA_DEBIAN_MIRROR:-http://deb.debian.org/debian}
/usr/lib/apt/apt-helper download-file "$mirror/dists/bookworm/Release" "$KEL_DIR/Release" \
  >"$KEL_DIR/network.log" 2>&1 || kel_cannot "the Debian archive $mirror cannot be reached"
source_dir=${KELMORA_SOURCE_DIR:?KELMORA_SOURCE_DIR names the source tree}
readme=$source_dir/README.md
root=$KEL_DIR/root
started=$SECONDS
took() { echo "$((SECONDS - started)) s"; }

# ---- The fresh machine

# A process in a mount namespace of its own holds the machine: a file system in memory (dpkg's
# many syncs cost nothing there, and it goes at once) with the chroot's /proc and /dev mounted
# inside. The mounts go with the namespace's last process; this machine's mount table never sees
# them, even where this machine is itself a chroot (kel_private_mounts). Every process the test
# starts in the chroot is in that namespace, and this side reaches its files through the
# holder's root, "$machine".
mkdir -p "$root"
cat >"$KEL_DIR/hold-root.sh" <<'EOF'
set -euo pipefail
mount -t tmpfs -o mode=755,size=6g kelmora-fresh-machine "$1"
echo ready >"$2"
exec sleep infinity
EOF
kel_private_mounts bash "$KEL_DIR/hold-root.sh" "$root" "$KEL_DIR/root.ready" \
  >"$KEL_DIR/hold-root.log" 2>&1
holder=$!
kel_track "$holder" "the chroot's mount namespace"
KEL_LOGS+=("$KEL_DIR/hold-root.log")
kel_wait_until 10 "the chroot's file system to be mounted" test -f "$KEL_DIR/root.ready"
in_holder() { kel_in_mounts "$holder" "$@"; }
machine=/proc/$holder/root$root

KEL_LOGS+=("$KEL_DIR/debootstrap.log")
in_holder debootstrap --variant=minbase bookworm "$root" "$mirror" >"$KEL_DIR/debootstrap.log" 2>&1 ||
  kel_fail "debootstrap failed"
in_holder mount -t proc proc "$root/proc"
in_holder mount --rbind /dev "$root/dev"
kel_log "debootstrap --variant=minbase bookworm: $(took)"
namespace=$(readlink "/proc/$holder/ns/mnt")
# The processes of the namespace but its holder, by id.
in_namespace() {
  local entry pid
  for entry in /proc/[0-9]*; do
    pid=${entry#/proc/}
    [[ $pid != "$holder" && $(readlink "$entry/ns/mnt" 2>/dev/null) == "$namespace" ]] &&
      echo "$pid"
  done
  return 0
}
# The exit trap ends the processes left in the chroot (by their ids) before the holder.
end_chroot_processes() {
  local pid
  for pid in $(in_namespace); do kill -KILL "$pid" 2>/dev/null || true; done
}
# shellcheck disable=SC2154 # set in the trap itself
trap 'chroot_rc=$?; end_chroot_processes; (exit $chroot_rc); kel_cleanup' EXIT

# as-root FOLDER CMD...: CMD as root at a fresh machine's prompt, in FOLDER (below /root).
cat >"$KEL_DIR/as-root" <<EOF
#!/bin/bash
exec nsenter --target $holder --mount --root --wd -- chroot $root /usr/bin/env -i HOME=/root \\
  USER=root LOGNAME=root SHELL=/bin/bash TERM=dumb \\
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \\
  bash -c 'cd "/root/\$0" && exec "\$@"' "\$@"
EOF
chmod +x "$KEL_DIR/as-root"
folder=''
as_root() { "$KEL_DIR/as-root" "$folder" "$@"; }

# ---- README's first steps, as written

# The first code block of the section.
mapfile -t steps < <(awk '/^## Two commands/ { section = 1; next }
                          section && /^## / { exit }
                          section && /^```/ { if (block) exit; block = 1; next }
                          block' "$readme")
((${#steps[@]})) || kel_fail "README's \"Two commands\" has no code block"
# The stand-in for the project's repository: this tree as it is now, committed.
repository=$root/var/tmp/kelmora.git
in_holder bash "$source_dir/scripts/copy-tree.sh" "$source_dir" "$repository"
in_holder git -C "$repository" init -q
in_holder git -C "$repository" add -A
in_holder git -C "$repository" -c user.name=test -c user.email=test@localhost commit -qm tree
KEL_LOGS+=("$KEL_DIR/steps.log")
for step in "${steps[@]}"; do
  kel_log "step: $step"
  read -r -a words <<<"$step"
  [[ ${words[0]} != sudo ]] || words=("${words[@]:1}")
  case ${words[0]} in
    # apt asks before it installs: the answer is yes.
    apt) as_root "${words[@]}" < <(yes) >>"$KEL_DIR/steps.log" 2>&1 || kel_fail "\"$step\" failed" ;;
    git)
      [[ ${words[1]} == clone && ${#words[@]} -ge 4 ]] || kel_fail "README step not understood: $step"
      as_root git clone -q /var/tmp/kelmora.git "${words[-1]}" >>"$KEL_DIR/steps.log" 2>&1 ||
        kel_fail "\"$step\" failed"
      ;;
    cd) folder=${words[1]} ;;
    *) kel_fail "README step not understood: $step" ;;
  esac
done
[[ -f $machine/root/$folder/Makefile ]] || kel_fail "README's steps leave no Makefile in /root/$folder"
kel_log "README's first steps: $(took)"

# ---- make run

out=$KEL_DIR/make-run.out
# As a terminal would start it, with Ctrl+C's signal not ignored, in a process group of its own.
# Niced: the tests beside it keep their timing.
setsid env --default-signal=INT nice -n 10 "$KEL_DIR/as-root" "$folder" make run >"$out" 2>&1 &
make_run=$!
kel_track "$make_run" "make run"
KEL_LOGS+=("$out")
# shellcheck disable=SC2317 # called through kel_wait_until
running_or_ended() { grep -q '^Kelmora is running' "$out" || ! kel_is_running "$make_run"; }
kel_wait_until 1200 "make run to start Kelmora" running_or_ended
kel_is_running "$make_run" || kel_fail "make run ended before it started Kelmora"
kel_log "make run started Kelmora: $(took)"
display=$(sed -n 's/^Kelmora is running on the virtual display \(:[0-9]*\)\..*/\1/p' "$out")
[[ -n $display ]] || kel_fail "make run names no virtual display"

# What it says: a line a step, and, its output being no terminal, the progress of the long ones
# on lines of their own, indented.
progress='^  ([0-9]+ of [0-9]+ packages unpacked, [0-9]+ set up|downloading file [0-9]+ of [0-9]+|[0-9]+% built)$'
lines=$(grep -cvE "$progress" "$out" || true)
((lines <= 8)) || kel_check_failed "make run printed $lines lines besides progress before Kelmora ran"
if grep '^ ' "$out" | grep -vqE "$progress"; then
  kel_check_failed "make run printed indented lines that tell no progress"
fi
kel_log "make run's progress lines: $(grep -cE "$progress" "$out" || true)"
for expected in '^The full output of each step goes to build/run.log$' \
  '^Installing [0-9]+ Debian packages \([0-9.]+ [kMG]B on disk\)$' '^Building Kelmora in build/' \
  '^Kelmora keeps its settings and alarms in /root/.config/kelmora$' \
  '^No display found: starting a virtual display' 'Stop it with Ctrl\+C\.$'; do
  grep -qE "$expected" "$out" || kel_check_failed "make run did not say: $expected"
done
log=$machine/root/$folder/build/run.log
grep -q '^Setting up ' "$log" || kel_check_failed "build/run.log holds no apt output"
grep -q 'Building CXX object' "$log" || kel_check_failed "build/run.log holds no compiler output"
# When each step of the log began: the installation's and the build's share of the time.
kel_log "make run's steps began at: $(sed -n 's/^==== [0-9-]* \([0-9:]*\): \([^ ]* [^ ]*\).*/\1 \2;/p' "$log" |
  tr '\n' ' ')"

# The first start's window, on the virtual display (its socket is shared, the /tmp is not).
# shellcheck disable=SC2317 # called through kel_wait_until
window_shown() { DISPLAY=$display xdotool search --onlyvisible --name '^!Kelmora$' >/dev/null 2>&1; }
kel_wait_until 20 "the window \"!Kelmora\" on $display" window_shown
kel_log "Kelmora shows its window on the virtual display $display"

# Ctrl+C.
kill -INT -- "-$make_run"
kel_wait_until 20 "make run to end after Ctrl+C" kel_not kel_is_running "$make_run"
status=0
wait "$make_run" || status=$?
# make itself ends by the signal (130), as at a terminal, without a word of its own.
((status == 0 || status == 130)) || kel_check_failed "make run ended with status $status after Ctrl+C"
if grep -q '\*\*\*' "$out"; then kel_check_failed "make reported an error"; fi
grep -q '^Kelmora has ended\.$' "$out" || kel_check_failed "make run did not say that Kelmora ended"
for file in Varnlock.ini timer.ini; do
  [[ -f $machine/root/.config/kelmora/$file ]] || kel_check_failed "Kelmora did not write $file"
done
left=$(in_namespace)
[[ -z $left ]] || kel_check_failed "left running after Ctrl+C: $(ps -o pid=,args= -p "${left//$'\n'/,}")"
kel_log "Ctrl+C ended Kelmora, its files written, and everything it started: $(took) in all"
kel_pass
