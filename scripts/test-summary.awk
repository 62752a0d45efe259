# Sums up ctest's output (with --output-on-failure) for `make test` and `make unit`
# (scripts/test.sh): each failed test's name with its first error line, the line `note`, ctest's
# own closing line, then "Tests: N passed, N failed, N skipped". Prints only a word that ctest
# never got to its closing line, and the note, when it did not.
#
# usage: awk -f test-summary.awk [-v note=TEXT] CTEST_OUTPUT

# A finished test: "N/M Test #K: NAME ....***Failed  1.2 sec"; the output of a failed one follows.
/^ *[0-9]+\/[0-9]+ +Test +#[0-9]+: / {
  current = ""
  pending = ""
  if (/\*\*\*/ && !/\*\*\*Skipped/) {
    current = $0
    sub(/^[^:]*: /, "", current)
    sub(/ .*/, "", current)
  }
  next
}

/^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+$/ {
  closing = $0
  total = $NF
  current = ""
  next
}

/^The following tests did not run:$/ {
  section = "skipped"
  next
}

/^The following tests FAILED:$/ {
  section = "failed"
  next
}

# "	 12 - NAME (Failed)", in either section.
section != "" && /^\t *[0-9]+ - / {
  name = $0
  sub(/^\t *[0-9]+ - /, "", name)
  reason = name
  sub(/ \([^)]*\)$/, "", name)
  sub(/^.* \(/, "", reason)
  sub(/\)$/, "", reason)
  if (section == "skipped") skipped++
  else {
    failed[++failures] = name
    why[name] = reason
  }
  next
}

# The first line of a failed test's output that tells of an error; a GoogleTest "file:line:
# Failure" with the line after it.
current != "" && !(current in first) {
  if (pending != "") {
    if ($0 ~ /[^ \t]/) {
      first[current] = pending " " $0
      pending = ""
    }
  } else if (/: Failure$/) {
    pending = $0
  } else if (/FAIL|[Ee]rror|[Aa]ssert|[Tt]imed out|Sanitizer/) {
    first[current] = $0
  } else if (!(current in some) && $0 ~ /[^ \t]/) {
    some[current] = $0
  }
}

END {
  if (closing == "") {
    print "ctest ended before its closing line"
    if (note != "") print note
    exit
  }
  if (failures) {
    print failures " failed, each with the first line of its output that tells of an error:"
    for (i = 1; i <= failures; i++) {
      name = failed[i]
      line = name in first ? first[name] : name in some ? some[name] : "(no output)"
      gsub(/^[ \t]+/, "", line)
      print "  " name " (" why[name] "): " line
    }
  }
  if (note != "") print note
  print closing
  passed = total - failures - skipped
  print "Tests: " passed " passed, " failures + 0 " failed, " skipped + 0 " skipped"
}
