#!/usr/bin/env bash
# Takes docs/screenshot.png: the main window after a Calculate of the default
# run, on a virtual X server. Builds the program first when it is missing.
# Usage: scripts/screenshot.sh [output.png]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$top/docs/screenshot.png}
program=${KORVO_PROGRAM:-$top/build/ui/korvoflow}
[ -x "$program" ] || "$top/scripts/build.sh"

workdir=$(mktemp -d)
cleanup() {
  [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$workdir"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 800x760x24 -nolisten tcp 3>"$workdir/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$workdir/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$workdir/display")"
export LANG=C.UTF-8 LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb

"$program" &
app_pid=$!
main=$(xdotool search --sync --name '^Korvo Fow$' | head -n1)
# The About window opens above the main window; close it with Enter.
about=""
for _ in $(seq 100); do
  about=$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | grep -vx "$main" | head -n1 || true)
  [ -n "$about" ] && break
  sleep 0.1
done
if [ -n "$about" ]; then
  xdotool windowfocus --sync "$about" key Return
fi
xdotool windowfocus --sync "$main" key alt+c
# The keys after Alt+C wait in the queue until the calculation has ended.
xdotool key alt+e 2>/dev/null || true
sleep 0.5
xdotool windowfocus --sync "$main" 2>/dev/null || true
echo "$main" > /dev/null
