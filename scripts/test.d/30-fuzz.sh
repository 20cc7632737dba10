#!/usr/bin/env bash
# A bounded libFuzzer session on the run-file reader, built with clang under
# AddressSanitizer and UndefinedBehaviorSanitizer. KORVO_FUZZ_SECONDS sets its
# length (60 by default). Inputs that crash are kept in build-fuzz/.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build="$top/build-fuzz"
cd "$top"
cmake --preset fuzz
cmake --build --preset fuzz -j "$(nproc)" --target runfile_fuzz
# New inputs go to a scratch corpus; the seeds in the repository stay as they are.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# The run files the tests keep are seeds too.
cp "$top"/tests/data/*.run "$scratch"/
"$build/tests/fuzz/runfile_fuzz" -max_total_time="${KORVO_FUZZ_SECONDS:-60}" -max_len=4096 \
  -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -dict="$top/tests/fuzz/runfile.dict" \
  -artifact_prefix="$build/" "$scratch" "$top/tests/fuzz/corpus"
