#!/usr/bin/env bash
# The desktop program's answers that need no display, given with no display
# at all: the X11 platform and no DISPLAY, so that a program that started the
# toolkit for them would fail instead.
# Usage: command_line.sh path/to/korvoflow
set -u
program=$1
unset DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

fail() {
  echo "FAIL: $*"
  exit 1
}

help=$("$program" --help) || fail "--help ended with status $?"
[[ "$help" == "Usage: korvoflow [OPTION...] [FILE]"$'\n'* ]] || fail "--help printed: $help"
[ "$("$program" --version)" = "korvoflow 1.0" ] || fail "--version"
"$program" --version >/dev/full 2>/dev/null
[ $? -eq 2 ] || fail "a version that could not be written did not end with status 2"
error=$("$program" --open a.run 2>&1 >/dev/null)
[ $? -eq 2 ] || fail "an unknown option did not end with status 2"
[ "$error" = "korvoflow: unknown option '--open' (see --help)" ] || fail "unknown option: $error"
echo "1 passed, 0 failed"
