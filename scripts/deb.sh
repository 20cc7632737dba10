#!/usr/bin/env bash
# Builds the Debian package build-deb/korvoflow_<version>_<arch>.deb from a
# tree of its own (the deb preset): installs what is missing, configures,
# builds and packs. Install the result with
#   sudo apt-get install ./build-deb/korvoflow_1.0_amd64.deb
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh" program package cli python
cd "$top"
# The distribution's hardening flags (fortified functions, stack protector,
# read-only relocations bound at start) come before the project's own, for
# the programs and the Python module (a module library of its own), and
# the build type's optimisation level comes after them and stays in force.
# Given on every configure, so that they never linger or go missing in the
# cache.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flags() { dpkg-buildflags --get "$1"; }
cmake --preset deb \
  -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" \
  -DCMAKE_SHARED_LINKER_FLAGS="$(flags LDFLAGS)" \
  -DCMAKE_MODULE_LINKER_FLAGS="$(flags LDFLAGS)"
CMAKE_BUILD_PARALLEL_LEVEL=$(nproc) cmake --build --preset deb
cpack --preset deb
ls "$top"/build-deb/korvoflow_*.deb
