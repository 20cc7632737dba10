#!/usr/bin/env bash
# The whole suite once more under AddressSanitizer and UndefinedBehaviorSanitizer:
# core, window and end-to-end tests alike. Leaks inside system libraries that
# have no frame of ours are listed, with their reasons, in the suppression file.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build="$top/build-sanitize"
# Set before the build too: it runs the sanitized command-line program to
# make its man page.
export LSAN_OPTIONS="suppressions=$top/tests/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$top"
cmake --preset sanitize
cmake --build --preset sanitize -j "$(nproc)"
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)")
