#!/usr/bin/env bash
# Installs what is missing (Debian 12), builds the release tree and starts the
# desktop program.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh"
exec "$top/build/ui/korvoflow" "$@"
