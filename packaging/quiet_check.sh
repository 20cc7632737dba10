#!/usr/bin/env bash
# Runs a validator and fails when it fails or has anything at all to say:
# warnings and hints count as much as errors. With --stderr only the error
# stream is judged (for tools that print their product on standard output).
set -uo pipefail
if [ "${1:-}" = "--stderr" ]; then
  shift
  output=$("$@" 2>&1 >/dev/null)
else
  output=$("$@" 2>&1)
fi
status=$?
printf '%s\n' "$output"
[ "$status" -eq 0 ] && [ -z "$output" ]
