#!/usr/bin/env bash
# End to end, what only the real program on a real X server shows: the About
# window's caption is empty as the window manager sees it (not the
# application's name), and Enter closes it; the real file dialog saves the
# start-up run to a typed name without extension, byte for byte the expected
# file; a real keyboard's Alt+Q, no access key, types nothing into a box; and
# Alt+E ends the program with status 0. Calculate and Load are the window
# tests' (tst_main_window, tst_file_commands).
# Usage: e2e_xvfb.sh path/to/korvoflow path/to/startup.run
set -euo pipefail
program=$1
expected_file=$2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=xvfb_session.sh
source "$here/xvfb_session.sh"

start_xvfb
start_program "$program"
for _ in $(seq 300); do
  about=$(about_window)
  [ -n "$about" ] && break
  sleep 0.1
done
names=$(xprop -id "$about" _NET_WM_NAME WM_NAME)
# xprop writes an empty name as "NAME(TYPE) = " with nothing after it.
[ "$(grep -c '^\(_NET_WM_NAME(UTF8_STRING)\|WM_NAME(STRING)\) = $' <<<"$names")" = 2 ] ||
  fail "the About window's caption is not empty: $names"
close_about
saved="$xvfb_dir/saved runs/startup"
mkdir -p "$(dirname "$saved")"

echo "saving through the file dialog"
keys_to "$main_window" alt+s
answer_file_dialog '^Save As$' "$saved"
wait_for_file "$saved" || fail "the run was not saved to '$saved'"
cmp "$saved" "$expected_file" || fail "the saved run differs from $expected_file"

echo "typing a gas type, then Alt+Q, which is no access key and types nothing"
click_box 205 109
xdotool key --clearmodifiers ctrl+a type Air
xdotool key --clearmodifiers alt+q
[ "$(read_box 205 109)" = "Air" ] || fail "could not type the gas type, or Alt+Q typed"

echo "exiting"
keys_to "$main_window" alt+e
status=0
wait_program || status=$?
[ "$status" -eq 0 ] || fail "program ended with status $status"
echo "1 passed, 0 failed"
