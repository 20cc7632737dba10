#!/usr/bin/env bash
# The whole test suite on a fresh Debian 12 machine: installs what is missing,
# builds, runs every test, then the extra stages in scripts/test.d/ (the
# sanitizer run of the core tests, the fuzz session, the system printer).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh"
(cd "$top/build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)")
passed=1
for stage in "$top"/scripts/test.d/*.sh; do
  [ -e "$stage" ] || continue
  echo "== $(basename "$stage")"
  bash "$stage"
  passed=$((passed + 1))
done
# Any failure has ended the script above; this line sums up the stages.
echo "stages: $passed passed, 0 failed"
