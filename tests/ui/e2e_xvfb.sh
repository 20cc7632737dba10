#!/usr/bin/env bash
# End to end: starts the real program on a virtual X server, closes the About
# window with Enter, calculates the default run with Alt+C, reads two result
# boxes through the clipboard, and ends the program with Alt+E (status 0).
# Usage: e2e_xvfb.sh path/to/korvoflow
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=xvfb_session.sh
source "$here/xvfb_session.sh"

start_xvfb
start_program "$program"
close_about
xdotool windowfocus --sync "$main_window" key --clearmodifiers alt+c

m1=$(read_box 205 437)          # txtInput(8), the inlet Mach number
max_flow=$(read_box 205 597)    # txtLimiting(1), the last result written
echo "inlet Mach number: $m1, maximum flow rate: $max_flow"
[ "$m1" = "0.42082" ] || { echo "FAIL: inlet Mach number '$m1'"; exit 1; }
[[ "$max_flow" =~ ^[0-9,]+\.[0-9]+$ ]] || { echo "FAIL: maximum flow rate '$max_flow'"; exit 1; }

xdotool windowfocus --sync "$main_window" key --clearmodifiers alt+e
status=0
wait_program || status=$?
[ "$status" -eq 0 ] || { echo "FAIL: program ended with status $status"; exit 1; }
echo "1 passed, 0 failed"
