#!/usr/bin/env bash
# End to end: starts the real program on a virtual X server, checks that the
# About window's caption is empty as the window manager sees it (not the
# application's name), and closes the About window with Enter. Saves the start-up run through the real file
# dialog to a typed name without extension and compares the file byte for
# byte with the expected one. Calculates with Alt+C and reads two result
# boxes through the clipboard. Changes the gas type (Alt+Q, no access key,
# adds nothing to it), loads the saved file back through the question
# (answered No) and the open dialog, and reads the restored texts. Ends the
# program with Alt+E (status 0).
# Usage: e2e_xvfb.sh path/to/korvoflow path/to/startup.run
set -euo pipefail
program=$1
expected_file=$2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=xvfb_session.sh
source "$here/xvfb_session.sh"

fail() {
  echo "FAIL: $*"
  exit 1
}

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

echo "calculating"
keys_to "$main_window" alt+c
m1=$(read_box 205 437)          # txtInput(8), the inlet Mach number
max_flow=$(read_box 205 597)    # txtLimiting(1), the last result written
echo "inlet Mach number: $m1, maximum flow rate: $max_flow"
[ "$m1" = "0.42082" ] || fail "inlet Mach number '$m1'"
[[ "$max_flow" =~ ^[0-9,]+\.[0-9]+$ ]] || fail "maximum flow rate '$max_flow'"

echo "typing a gas type, then Alt+Q, which is no access key and types nothing"
click_box 205 109
xdotool key --clearmodifiers ctrl+a type Air
xdotool key --clearmodifiers alt+q
[ "$(read_box 205 109)" = "Air" ] || fail "could not type the gas type, or Alt+Q typed"
echo "loading through the question and the file dialog"
keys_to "$main_window" alt+l
question=$(wait_window '^Question$') || fail "the save question did not appear"
keys_to "$question" alt+n
answer_file_dialog '^Open$' "$saved"
gas=$(read_box 205 109)         # txtGas(0)
pressure=$(read_box 205 245)    # txtInput(0)
echo "loaded gas type: $gas, pressure: $pressure"
[ "$gas" = "Steam" ] || fail "gas type after the load '$gas'"
[ "$pressure" = "740" ] || fail "pressure after the load '$pressure'"

echo "exiting"
keys_to "$main_window" alt+e
status=0
wait_program || status=$?
[ "$status" -eq 0 ] || fail "program ended with status $status"
echo "1 passed, 0 failed"
