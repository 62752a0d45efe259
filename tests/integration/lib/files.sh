# The program's files, for lib.sh (which sources this file): the settings and alarm files written
# as the program writes them, and checks of the bytes it leaves in them.

# kel_write_settings TIP INTERVAL MODE1 MODE2 C0..C7: writes Varnlock.ini as the program does,
# CR LF line ends, numbers with a blank before a non-negative number and a blank after.
kel_write_settings() {
  local tip=$1 interval=$2 value
  shift 2
  mkdir -p "$KEL_DATA"
  {
    printf '%s\r\n%s\r\n' "$tip" "$interval"
    for value in "$@"; do
      if ((value >= 0)); then printf ' %d \r\n' "$value"; else printf '%d \r\n' "$value"; fi
    done
  } >"$KEL_DATA/Varnlock.ini"
}

# kel_write_alarms LINE...: writes timer.ini, one alarm line per argument, CR LF line ends.
kel_write_alarms() {
  mkdir -p "$KEL_DATA"
  if (($#)); then printf '%s\r\n' "$@"; fi >"$KEL_DATA/timer.ini"
}

# kel_start_settings_bytes: the settings file the program writes with its start values.
kel_start_settings_bytes() {
  printf 'yyyy/mm/dd hh:mm aaa\r\n1.0\r\n'
  for _ in 1 2 3 4 5 6 7 8 9 10; do printf ' 0 \r\n'; done
}

# kel_expect_start_files WHEN: the settings file holds the start values and the alarm file is
# empty, as a first start writes them.
kel_expect_start_files() {
  kel_start_settings_bytes >"$KEL_DIR/settings.expected"
  kel_expect_bytes "$KEL_DATA/Varnlock.ini" "$KEL_DIR/settings.expected" "settings file $1"
  : >"$KEL_DIR/alarms.expected"
  kel_expect_bytes "$KEL_DATA/timer.ini" "$KEL_DIR/alarms.expected" "alarm file $1"
}

# kel_expect_bytes FILE EXPECTED-FILE DESCRIPTION: the file must hold exactly these bytes.
kel_expect_bytes() {
  [[ -f $1 ]] || kel_fail "$3: $1 does not exist"
  if ! cmp -s "$1" "$2"; then
    printf 'expected:\n' >&2
    od -c "$2" | head -n 20 >&2
    printf 'found:\n' >&2
    od -c "$1" | head -n 20 >&2
    kel_fail "$3: $1 does not hold the expected bytes"
  fi
}
