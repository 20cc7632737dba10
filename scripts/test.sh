#!/usr/bin/env bash
# The whole test suite on a fresh Debian 12 machine: installs what is missing,
# then runs the stages in order: ctest on the release build in build/, then
# every script in scripts/test.d/ (sanitizers, format check, fuzz session,
# system printer, Debian package). Every stage runs whatever the others did.
#
# A stage that cannot run here (one that needs root, run by another user)
# prints "SKIP: <reason>" and exits with status 77; it counts as skipped.
# KORVO_SKIP_STAGES skips stages by name, separated by spaces, for example
# KORVO_SKIP_STAGES="50-cups 60-deb" (the first stage is named "ctest").
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh" || exit 1

passed=0
failed=0
skipped=0
notes=()

requested_skip() {
  local name
  for name in ${KORVO_SKIP_STAGES:-}; do
    [ "$name" = "$1" ] && return 0
  done
  return 1
}

run_stage() {
  local name=$1 log status reason start took
  shift
  if requested_skip "$name"; then
    skipped=$((skipped + 1))
    notes+=("$name: skipped, named in KORVO_SKIP_STAGES")
    return
  fi
  echo "== $name"
  log=$(mktemp)
  start=$SECONDS
  "$@" 2>&1 | tee "$log"
  status=${PIPESTATUS[0]}
  took="$((SECONDS - start)) s"
  reason=$(sed -n 's/^SKIP: //p' "$log" | tail -n 1)
  rm -f "$log"
  case $status in
    0)
      passed=$((passed + 1))
      notes+=("$name: passed, $took")
      ;;
    77)
      skipped=$((skipped + 1))
      notes+=("$name: skipped, ${reason:-no reason given}")
      ;;
    *)
      failed=$((failed + 1))
      notes+=("$name: FAILED with status $status, $took")
      ;;
  esac
}

ctest_stage() {
  "$top/scripts/build.sh" release &&
    (cd "$top/build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)")
}

run_stage ctest ctest_stage
for stage in "$top"/scripts/test.d/*.sh; do
  [ -e "$stage" ] || continue
  run_stage "$(basename "$stage" .sh)" bash "$stage"
done

echo
for note in "${notes[@]}"; do echo "$note"; done
echo "stages: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
