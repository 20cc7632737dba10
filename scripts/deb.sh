#!/usr/bin/env bash
# Builds the Debian package build-deb/korvoflow_<version>_<arch>.deb from a
# tree of its own (the deb preset): installs what is missing, configures,
# builds and packs. Install the result with
#   sudo apt-get install ./build-deb/korvoflow_1.0_amd64.deb
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh" program package cli
cd "$top"
CMAKE_BUILD_PARALLEL_LEVEL=$(nproc) cmake --workflow --preset deb
ls "$top"/build-deb/korvoflow_*.deb
