#!/usr/bin/env bash
# Every C++ file under version control is formatted as .clang-format says
# (fix with `clang-format -i FILE`).
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
cd "$top"
if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  echo "SKIP: not a git checkout, so there is no list of tracked files to check"
  exit 77
fi
git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
echo "$(git ls-files -- '*.cpp' '*.h' | wc -l) files formatted as .clang-format says"
