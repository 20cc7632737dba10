#!/usr/bin/env bash
# Takes a picture of the main window after a Calculate of the default run, on
# a private virtual X server (default output: docs/screenshot.png). Builds the
# program first when it is missing.
# Usage: scripts/screenshot.sh [output.png]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$top/docs/screenshot.png}
program=${KORVO_PROGRAM:-$top/build/ui/korvoflow}
[ -x "$program" ] || "$top/scripts/build.sh" program
# shellcheck source=../tests/ui/xvfb_session.sh
source "$top/tests/ui/xvfb_session.sh"

start_xvfb 640x720x24
start_program "$program"
close_about
keys_to "$main_window" alt+c
read_box 205 597 >/dev/null  # returns once the calculation has ended
# Put the focus back on the first box so no result is shown selected.
xdotool mousemove --window "$main_window" 300 40 click 1
sleep 0.3
mkdir -p "$(dirname "$out")"
xwd -silent -id "$main_window" | xwdtopnm 2>/dev/null | pnmtopng >"$out"
echo "wrote $out"
