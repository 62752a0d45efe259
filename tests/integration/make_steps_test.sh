#!/usr/bin/env bash
# How the make targets speak (scripts/step.sh, progress.awk, test.sh, install-deps.sh), on made-up
# input and on a small CTest project of the test's own:
# - a step names its log once, the first time it writes it; a failing step shows its output and
#   keeps its command's exit status, with or without progress; its command never sees the log's
#   name;
# - progress from apt's status lines, a CMake build and a ctest run: on lines of their own where
#   the output is no terminal, in place on one line on a terminal; apt's status stays out of the
#   log, the rest of the output goes in;
# - scripts/test.sh ends with each failed test and its first error line, ctest's own closing line
#   and "Tests: N passed, N failed, N skipped", and fails when a test failed;
# - every package group a target's steps need is in what the target installs.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
kel_require_tools awk cmake ctest make
source_dir=${KELMORA_SOURCE_DIR:?KELMORA_SOURCE_DIR names the source tree}
scripts=$source_dir/scripts
cd "$KEL_DIR" || exit 1
export KELMORA_PROGRESS_SECONDS=0

# expect_output FILE EXPECTED WHAT: FILE holds exactly EXPECTED.
expect_output() {
  [[ $(cat "$1") == "$2" ]] || kel_check_failed "$3: expected
$2
got
$(cat "$1")"
}

# ---- step.sh

export KELMORA_LOG=$KEL_DIR/logs/make.log
bash "$scripts/step.sh" "First step" sh -c 'echo "first output; log: ${KELMORA_LOG:-none}"' \
  >first.out
expect_output first.out "The full output of each step goes to logs/make.log
First step" "the first step"
grep -qx 'first output; log: none' "$KELMORA_LOG" ||
  kel_check_failed "the log lacks the command's output"
status=0
bash "$scripts/step.sh" "Second step" sh -c 'echo went wrong; exit 3' >second.out 2>second.err ||
  status=$?
((status == 3)) || kel_check_failed "a failing step ended with $status, not its command's 3"
expect_output second.out "Second step" "the second step"
grep -qx 'went wrong' second.err || kel_check_failed "a failing step did not show its output"
status=0
bash "$scripts/step.sh" --progress build --no-replay "Third step" sh -c 'echo "[ 50%] x"; exit 4' \
  >third.out 2>third.err || status=$?
((status == 4)) || kel_check_failed "a failing step with progress ended with $status, not 4"
[[ ! -s third.err ]] || kel_check_failed "--no-replay showed the output: $(cat third.err)"
expect_output third.out "Third step
  50% built" "a step with progress"
kel_log "step.sh: the log named once, the command's status kept"

# ---- progress.awk

cat >apt.out <<'EOF'
dlstatus:1:0.0000:Retrieving file 1 of 2
dlstatus:2:53.4876:Retrieving file 2 of 2
pmstatus:xz-utils:0.0000:Preparing xz-utils (amd64)
Selecting previously unselected package xz-utils.
pmstatus:xz-utils:11.1111:Unpacking xz-utils (amd64)
pmstatus:make:33.3333:Unpacking make (amd64)
pmstatus:make:66.6667:Installed make (amd64)
Setting up make (4.3-4.1) ...
pmstatus:xz-utils:88.8889:Installed xz-utils (amd64)
EOF
progress() { awk -f "$scripts/progress.awk" -v message=Installing -v total=2 -v every=0 "$@"; }
progress -v kind=apt -v logfile=apt.log <apt.out >apt.lines
expect_output apt.lines "Installing
  downloading file 1 of 2
  downloading file 2 of 2
  1 of 2 packages unpacked, 0 set up
  2 of 2 packages unpacked, 0 set up
  2 of 2 packages unpacked, 1 set up
  2 of 2 packages unpacked, 2 set up" "apt's progress"
expect_output apt.log "Selecting previously unselected package xz-utils.
Setting up make (4.3-4.1) ..." "apt's log"
progress -v kind=apt -v tty=1 <apt.out >apt.tty
[[ $(tr '\r' '\n' <apt.tty | tail -n 1) == 'Installing: 2 of 2 packages unpacked, 2 set up' ]] ||
  kel_check_failed "on a terminal, the line does not end on the last state: $(od -c apt.tty)"
[[ $(tr -cd '\n' <apt.tty | wc -c) -eq 1 ]] || kel_check_failed "on a terminal, more than one line"
# Several jobs: the highest percentage so far.
printf '[  3%%] a\nwarning: b\n[ 10%%] c\n[  7%%] d\n' | progress -v kind=build >build.lines
expect_output build.lines "Installing
  3% built
  10% built" "the build's progress"
kel_log "progress.awk: apt, a build, in place and on lines"

# ---- test.sh on a CTest project

mkdir project
cat >project/CMakeLists.txt <<'EOF'
cmake_minimum_required(VERSION 3.25)
project(steps NONE)
enable_testing()
add_test(NAME passes COMMAND true)
add_test(NAME fails COMMAND sh -c "echo starting; echo '[fails] FAIL: it broke'; echo more; exit 1")
add_test(NAME asserts COMMAND sh -c "echo 'x.cpp:12: Failure'; echo; echo 'Value of: y'; exit 1")
add_test(NAME skips COMMAND sh -c "exit 77")
set_tests_properties(skips PROPERTIES SKIP_RETURN_CODE 77)
EOF
cmake -S project -B project/build >cmake.log 2>&1 || kel_fail "cmake failed: $(cat cmake.log)"
export KELMORA_LOG=$KEL_DIR/logs/test.log
status=0
bash "$scripts/test.sh" project/build 2 >test.out 2>&1 || status=$?
((status != 0)) || kel_check_failed "test.sh passed with failing tests"
grep -q '^Running 4 tests$' test.out || kel_check_failed "test.sh did not say how many tests run"
sed -n '/^2 failed/,$p' test.out | sed 's/^Took [0-9]* min [0-9]* s;/Took;/' >summary.out
expect_output summary.out "2 failed, each with the first line of its output that tells of an error:
  fails (Failed): [fails] FAIL: it broke
  asserts (Failed): x.cpp:12: Failure Value of: y
Took; ctest's full output is in logs/test.log
50% tests passed, 2 tests failed out of 4
Tests: 1 passed, 2 failed, 1 skipped" "test.sh's summary"
grep -qx 'more' "$KELMORA_LOG" || kel_check_failed "the failed test's output is not in the log"
status=0
bash "$scripts/test.sh" project/build 2 -R '^passes$' >passes.out 2>&1 || status=$?
((status == 0)) || kel_check_failed "test.sh failed when its tests passed: $(cat passes.out)"
[[ $(tail -n 2 passes.out) == "100% tests passed, 0 tests failed out of 1
Tests: 1 passed, 0 failed, 0 skipped" ]] ||
  kel_check_failed "test.sh's closing lines: $(cat passes.out)"
kel_log "test.sh: failures named with their first error line, ctest's closing line, the counts"

# ---- What the targets install

list() { bash "$scripts/install-deps.sh" --list "$@" | sort -u; }
for group in unit package display; do
  lacking=$(comm -13 <(list test) <(list "$group"))
  [[ -z $lacking ]] || kel_check_failed "make test does not install the $group group's: $lacking"
done
# `make deps` installs what `make run` will: without a display, the virtual one's too.
for target in deps run; do
  installs=$(cd "$source_dir" &&
    env -u DISPLAY -u WAYLAND_DISPLAY -u MAKEFLAGS -u MAKELEVEL make -n "$target" |
    sed -n 's/.*install-deps.sh //p')
  [[ $installs == 'run display' ]] ||
    kel_check_failed "make $target without a display installs \"$installs\", not run and display"
done
kel_log "make test installs every group its tests need; make deps what make run needs"
kel_pass
