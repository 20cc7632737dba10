#!/usr/bin/env bash
# A run file opened from the desktop: installs the build into a scratch
# prefix and builds the MIME and menu databases there, as the distribution's
# triggers do. A run file is of the run type by its first line, under any
# name, while an installer named .run stays a shell script; the menu entry is
# the type's default application; `gio open` on an example, as a file manager
# opens it, starts the program with the example loaded. Ends it with Alt+E.
# Usage: desktop_open.sh BUILD_DIR MIME_TYPE APP_ID
set -euo pipefail
build=$1 mime_type=$2 app_id=$3
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=xvfb_session.sh
source "$here/xvfb_session.sh"

start_xvfb
prefix=$xvfb_dir/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
export PATH="$prefix/bin:$PATH" XDG_DATA_DIRS="$prefix/share:/usr/share"
export XDG_DATA_HOME="$xvfb_dir/data"
bash "$here/../../packaging/quiet_check.sh" update-mime-database "$prefix/share/mime" ||
  fail "update-mime-database has remarks on the MIME file"
update-desktop-database "$prefix/share/applications"

content_type() {
  gio info -a standard::content-type "$1" | sed -n 's/^ *standard::content-type: //p'
}
examples=$prefix/share/doc/korvoflow/examples
cp "$examples/vent-line.run" "$xvfb_dir/vent line, no extension"
printf '#!/bin/sh\necho "extracting the installer"\n' >"$xvfb_dir/setup.run"
for file in "$examples/vent-line.run" "$xvfb_dir/vent line, no extension" "$xvfb_dir/setup.run"; do
  expected=$mime_type
  [[ "$file" == */setup.run ]] && expected=application/x-shellscript
  [ "$(content_type "$file")" = "$expected" ] || fail "$file is $(content_type "$file")"
done
handlers=$(gio mime "$mime_type")
grep -q "^Default application for .*: $app_id.desktop$" <<<"$handlers" ||
  fail "the menu entry is not the default application: $handlers"

gio open "$examples/natural-gas-line.run"
main_window=$(wait_window '^Korvo Fow$') || fail "gio open started no window"
app_pid=$(xdotool getwindowpid "$main_window")
close_about
gas=$(read_box 205 109)      # txtGas(0)
mach=$(read_box 205 437)     # txtInput(8), a result read from the file
echo "opened: gas type $gas, inlet Mach number $mach"
[ "$gas" = "Natural Gas" ] && [ "$mach" = "0.026785" ] || fail "the example was not loaded"
keys_to "$main_window" alt+e
for _ in $(seq 300); do
  if ! kill -0 "$app_pid" 2>/dev/null; then
    app_pid=""  # ended: nothing left for the cleanup to stop
    echo "1 passed, 0 failed"
    exit 0
  fi
  sleep 0.1
done
fail "the program did not end after Alt+E"
