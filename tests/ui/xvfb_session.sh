# Helpers to drive the real program on a private virtual X server; sourced by
# the end-to-end test and the screenshot script.

# A failure shows the server's state and log, for a fault that lies there.
fail() {
  echo "FAIL: $*"
  if [ -n "${xvfb_pid:-}" ]; then
    kill -0 "$xvfb_pid" 2>/dev/null && echo "Xvfb on $DISPLAY is running" || echo "Xvfb has ended"
    cat "$xvfb_dir/xvfb.log" 2>/dev/null
  fi
  exit 1
}

# A program that has ended already is no failure here: the cleanup goes on to
# the server, whose output would otherwise keep the test's pipe open.
xvfb_cleanup() {
  [ -z "${app_pid:-}" ] || kill "$app_pid" 2>/dev/null || true
  [ -z "${xvfb_pid:-}" ] || kill "$xvfb_pid" 2>/dev/null || true
  [ -z "${xvfb_dir:-}" ] || rm -rf "$xvfb_dir"
  return 0
}

# A free display number is chosen by the server itself (-displayfd).
start_xvfb() {
  xvfb_dir=$(mktemp -d)
  trap xvfb_cleanup EXIT
  Xvfb -displayfd 3 -screen 0 "${1:-1024x768x24}" -nolisten tcp 3>"$xvfb_dir/display" \
    2>"$xvfb_dir/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$xvfb_dir/display" ] && break; sleep 0.1; done
  [ -s "$xvfb_dir/display" ] || { echo "Xvfb did not start"; cat "$xvfb_dir/xvfb.log"; exit 1; }
  export DISPLAY=":$(cat "$xvfb_dir/display")"
  # Before any program starts, a client must be able to connect: a server that
  # cannot take one fails here, with its state and log, not as a missing window.
  for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
  xdotool getdisplaygeometry >/dev/null 2>&1 || fail "no client can connect to Xvfb on $DISPLAY"
  export QT_QPA_PLATFORM=xcb LANG=C.UTF-8 LC_ALL=C.UTF-8
  # The folders visited in the file dialogs are kept here, not in the user's settings.
  export XDG_CONFIG_HOME="$xvfb_dir/config"
}

start_program() {
  "$1" &
  app_pid=$!
  main_window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Korvo Fow$' | head -n1 || true)
  [ -n "$main_window" ] || { echo "the main window did not appear"; exit 1; }
}

# The About window has no caption; it is the program's other visible window.
about_window() {
  xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | grep -vx "$main_window" | head -n1 || true
}

close_about() {
  local about=""
  for _ in $(seq 300); do
    about=$(about_window)
    [ -n "$about" ] && break
    sleep 0.1
  done
  [ -n "$about" ] || { echo "the About window did not appear"; exit 1; }
  keys_to "$about" Return
  for _ in $(seq 100); do
    [ -z "$(about_window)" ] && return 0
    sleep 0.1
  done
  echo "the About window did not close"
  exit 1
}

# Gives a window the keyboard focus, then sends it keys. The focus change is
# waited for, but never for long: a window system slow to hand it over gets
# the request again instead of a test that hangs.
keys_to() {
  local window=$1
  shift
  for _ in 1 2 3; do
    timeout 5 xdotool windowfocus --sync "$window" && break
  done
  xdotool key --clearmodifiers "$@"
}

# Clicks into the box at a point of the main window and waits a moment for
# the focus to arrive there before any key follows.
click_box() {
  xdotool mousemove --window "$main_window" "$1" "$2" click 1
  sleep 0.2
}

# Text of the box at a point of the main window, through the clipboard. The
# program answers only after a running calculation has ended, so this also
# waits for it; a click or copy that got lost is made again every few
# seconds, for two minutes at most.
read_box() {
  local text=""
  for _ in $(seq 40); do
    printf '' | xclip -selection clipboard -i
    click_box "$1" "$2"
    xdotool key --clearmodifiers ctrl+a ctrl+c
    for _ in $(seq 30); do
      text=$(timeout 5 xclip -selection clipboard -o 2>/dev/null || true)
      [ -n "$text" ] && break 2
      sleep 0.1
    done
  done
  printf '%s' "$text"
}

# The program's exit status, once it has ended by itself within 30 seconds; a
# program still running then is ended and counts as a failure.
wait_program() {
  local status=0
  for _ in $(seq 300); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$app_pid" 2>/dev/null; then
    echo "the program did not end"
    kill "$app_pid"
    status=124
  fi
  local ended=0
  wait "$app_pid" || ended=$?
  [ "$status" -ne 0 ] || status=$ended
  app_pid=""
  return "$status"
}

# A visible window whose title matches, within 30 seconds (the server is
# private, so every window on it is the program's).
wait_window() {
  local window=""
  for _ in $(seq 300); do
    window=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
    [ -n "$window" ] && { printf '%s' "$window"; return 0; }
    sleep 0.1
  done
  return 1
}

# Types a full path into the file dialog with the given title (its name box
# has the focus) and confirms it with Enter.
answer_file_dialog() {
  local dialog
  dialog=$(wait_window "$1") || { echo "the file dialog '$1' did not appear"; exit 1; }
  keys_to "$dialog" ctrl+a
  xdotool type --delay 20 "$2"
  keys_to "$dialog" Return
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  echo "the file dialog '$1' did not close"
  exit 1
}

wait_for_file() {
  for _ in $(seq 100); do
    [ -s "$1" ] && return 0
    sleep 0.1
  done
  return 1
}
