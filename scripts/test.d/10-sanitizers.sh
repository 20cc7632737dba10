#!/usr/bin/env bash
# The core tests once more under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
cmake -S "$top" -B "$top/build-sanitize" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKORVO_SANITIZE=ON -DKORVO_BUILD_UI=OFF -DKORVO_BUILD_BENCH=OFF
cmake --build "$top/build-sanitize" -j "$(nproc)" --target korvo_core_tests
(cd "$top/build-sanitize" && ctest --output-on-failure -j "$(nproc)" -L core)
