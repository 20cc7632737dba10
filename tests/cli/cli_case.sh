#!/usr/bin/env bash
# One run of korvoflow-cli against what it must print and return.
#   cli_case.sh BIN DATA STATUS STDOUT STDERR -- ARG...
# runs BIN ARG... in a scratch folder holding copies of DATA/*.run, and checks
# the exit status, stdout against the golden file DATA/STDOUT ("-": nothing
# printed) and stderr against the exact text STDERR ("*": anything).
set -uo pipefail
bin=$1 data=$2 status=$3 golden=$4 errors=$5
shift 6
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$data"/*.run "$scratch"/
cd "$scratch"
"$bin" "$@" >out 2>err
actual=$?
fail=0
if [ "$actual" != "$status" ]; then
  echo "exit status $actual, expected $status"
  fail=1
fi
if [ "$golden" = - ]; then
  [ -s out ] && { echo "unexpected stdout:"; head -5 out; fail=1; }
elif ! diff -u "$data/$golden" out; then
  fail=1
fi
if [ "$errors" != "*" ] && [ "$(cat err)" != "$errors" ]; then
  echo "stderr: $(cat err)"
  echo "expected: $errors"
  fail=1
fi
exit $fail
