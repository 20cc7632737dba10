#!/usr/bin/env bash
# Configures and builds one preset of CMakePresets.json; each preset states
# every option, so nothing carries over from an earlier build.
# Usage: scripts/build.sh [preset]     (default: release, into build/)
# Presets: release (program, tests, benchmarks), program (the program alone),
# sanitize (build-sanitize/), fuzz (build-fuzz/), deb (build-deb/).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
preset=${1:-release}
cd "$top"
cmake --preset "$preset"
cmake --build --preset "$preset" -j "$(nproc)"
