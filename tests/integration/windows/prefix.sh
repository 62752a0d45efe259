#!/usr/bin/env bash
# Prepares the Wine prefix every Windows test copies (once per build, again when Wine or the
# Japanese font changes): prefix.sh DIR.
source "$(dirname "$0")/lib.sh"
KEL_TEST=windows.prefix
[[ $# -eq 1 ]] || kel_fail "usage: $0 <prefix-folder>"
kw_prepare_prefix "$1"
kel_pass
