# How far a step has got, from what its command prints (scripts/step.sh). Reads the command's
# output on standard input, appends it to the file `logfile`, and speaks on standard output: on a
# terminal (tty=1) it prints MESSAGE and keeps the same line up to date; elsewhere (a log, CI)
# MESSAGE alone on a line, then the progress on a line of its own at most once every `every`
# seconds, and only when it changed (and the last state at the end, after one shown).
#
# usage: awk -f progress.awk -v kind=KIND -v message=MESSAGE -v logfile=FILE [-v total=N] [-v tty=1]
#            [-v every=S]
#   apt    apt-get's status lines among its output (-o APT::Status-Fd=1; they stay out of the
#          log): files downloaded, then packages unpacked and set up, of total (the number of
#          packages apt said it would install)
#   build  the "[ NN%]" lines of a build with CMake's makefiles (several jobs: the highest so far)
#   tests  ctest's lines of finished tests, "N/M Test #K: NAME ... Passed": tests run and failed
BEGIN {
  if (every == "") every = 10
  last = systime()
  state = shown = ""
  width = 0
  percent = -1
  if (tty) printf "%s", message
  else print message
  fflush()
}

# The log gets the command's own output, as it comes; any line may bring the time to show a state
# held back.
kind != "apt" || !/^(dl|pm)status:/ {
  if (logfile != "") {
    print >>logfile
    fflush(logfile)
  }
}
{ show() }

# The state reached so far, shown if it changed: on a terminal at once, elsewhere once `every`
# seconds have passed since the last line.
function report(text) {
  state = text
  show()
}

function show(line, pad) {
  if (state == shown) return
  if (tty) {
    line = message ": " state
    # Blanks over what a longer line before left at its end.
    pad = width - length(line)
    width = length(line)
    printf "\r%s%" (pad > 0 ? pad : 0) "s", line, ""
  } else {
    if (systime() - last < every) return
    print "  " state
    last = systime()
  }
  fflush()
  shown = state
}

kind == "apt" && /^dlstatus:/ {
  # dlstatus:I:PERCENT:Retrieving file I of N
  n = split($0, field, ":")
  if (split(field[n], words, " ") == 5 && words[2] == "file") {
    report("downloading file " words[3] " of " words[5])
  }
  next
}

kind == "apt" && /^pmstatus:/ {
  # pmstatus:PACKAGE:PERCENT:Unpacking PACKAGE (ARCH), ... Installed PACKAGE (ARCH); a package
  # already there that a trigger sets up again is not one of those installed.
  split($0, field, ":")
  package = field[2]
  if (field[4] ~ /^Unpacking / && !(package in unpacked)) {
    unpacked[package] = 1
    u++
  } else if (field[4] ~ /^Installed / && package in unpacked && !(package in setup)) {
    setup[package] = 1
    s++
  } else next
  report(u + 0 " of " (total ? total : "?") " packages unpacked, " s + 0 " set up")
  next
}

kind == "build" && /^\[ *[0-9]+%\]/ {
  value = substr($0, 2, index($0, "%") - 2) + 0
  if (value > percent) percent = value
  report(percent "% built")
  next
}

kind == "tests" && /^ *[0-9]+\/[0-9]+ +Test +#[0-9]+: / {
  split($1, count, "/")
  if (/\*\*\*/ && !/\*\*\*Skipped/) failed++
  report(count[1] " of " count[2] " tests run, " failed + 0 " failed")
  next
}

# On a terminal the line ends; elsewhere the last state follows the ones shown before it.
END {
  if (tty) printf "\n"
  else if (shown != "" && state != shown) print "  " state
  fflush()
}
