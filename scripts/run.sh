#!/usr/bin/env bash
# Installs what building and running the program needs (Debian 12), builds
# the program alone (no tests) and starts it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh" program
"$top/scripts/build.sh" program
exec "$top/build/ui/korvoflow" "$@"
