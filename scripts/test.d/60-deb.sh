#!/usr/bin/env bash
# The Debian package as a user meets it: builds it (scripts/deb.sh), lets
# lintian check it (no error, no hardening tag), installs it with apt-get,
# checks that the desktop files, icons and man page are in place under one
# application ID and the run-file type registered by the triggers, imports the
# Python module with the system's Python, starts the installed program on a
# virtual X server and waits for its window, then removes and purges the
# package and checks that none of its files is left.
# Whatever apt-get pulled in for it is purged too, so the machine ends as it
# began. Needs root; run by another user it reports itself skipped.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
package=korvoflow

if [ "$(id -u)" -ne 0 ]; then
  echo "SKIP: needs root to install and remove the package"
  exit 77
fi
if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q ' installed$'; then
  echo "SKIP: $package is installed already; this stage must not replace or remove it"
  exit 77
fi

fail() {
  echo "FAIL: $*"
  exit 1
}

installed_packages() {
  dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' | awk '$1 == "ii" { print $2 }' | sort
}

scratch=$(mktemp -d)
chmod 755 "$scratch" # apt reads the local package file as its own unprivileged user
installed_before="$scratch/installed-before"
pulled=()

cleanup() {
  if dpkg-query -W "$package" >/dev/null 2>&1; then dpkg --purge "$package" >/dev/null || true; fi
  if [ ${#pulled[@]} -gt 0 ]; then
    echo "purging what was pulled in: ${pulled[*]}"
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 purge -y -qq "${pulled[@]}" \
      >/dev/null || true
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT

"$top/scripts/deb.sh"
# Taken after the build, whose own packages are not the package's to remove.
installed_packages >"$installed_before"
deb=$(ls -t "$top"/build-deb/"$package"_*.deb | head -n 1)
echo "== lintian $(basename "$deb")"
# Hardening tags are mostly of the info level, which lintian hides unless asked.
lintian --fail-on error --display-info --info "$deb" | tee "$scratch/lintian.txt" ||
  fail "lintian found errors"
if grep -E '^[A-Z]: [^ ]+: hardening-' "$scratch/lintian.txt"; then
  fail "lintian found a binary built without the hardening flags"
fi

cp "$deb" "$scratch/"
DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
  --no-install-recommends "$scratch/$(basename "$deb")"
mapfile -t pulled < <(installed_packages | comm -13 "$installed_before" - | grep -vx "$package" || true)
mapfile -t files < <(dpkg -L "$package")

# One application ID names the desktop file, the metainfo file and the icons.
mapfile -t desktop_files < <(printf '%s\n' "${files[@]}" | grep '^/usr/share/applications/.*\.desktop$')
[ ${#desktop_files[@]} -eq 1 ] || fail "expected one desktop file, found: ${desktop_files[*]}"
id=$(basename "${desktop_files[0]}" .desktop)
echo "application ID: $id"
grep -qx "Icon=$id" "${desktop_files[0]}" || fail "the desktop file names another icon"
metainfo=/usr/share/metainfo/$id.metainfo.xml
[ -f "$metainfo" ] && grep -q "<id>$id</id>" "$metainfo" || fail "no metainfo file with the ID $id"
for size in 16 24 32 48 64 128 256; do
  [ -f "/usr/share/icons/hicolor/${size}x$size/apps/$id.png" ] || fail "no $size px icon"
done
[ -f "/usr/share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no scalable icon"
man -w korvoflow >/dev/null || fail "man korvoflow finds no page"
# The triggers of shared-mime-info and desktop-file-utils took in the run-file
# type and its application, with no script of the package's own.
mime_type=$(sed -n 's/^MimeType=\([^;]*\);$/\1/p' "${desktop_files[0]}")
mime_registered() {
  [ -f "/usr/share/mime/$mime_type.xml" ] &&
    grep -q "^$mime_type=.*$id.desktop" /usr/share/applications/mimeinfo.cache
}
mime_registered || fail "the run-file type $mime_type is not registered"
program=$(command -v korvoflow) || fail "korvoflow is not on the PATH"

# The Python module imports from Debian's Python path, outside any build tree,
# and calculates the default run as the installed command line does.
m2=$(cd / && env -u PYTHONPATH /usr/bin/python3 -c \
  "import korvoflow; print(korvoflow.calculate().values['m2'])") || fail "import korvoflow failed"
expected=$(LC_ALL=C.UTF-8 korvoflow-cli calc --format json |
  /usr/bin/python3 -c "import json, sys; print(json.load(sys.stdin)[0]['m2']['value'])")
[ "$m2" = "$expected" ] || fail "korvoflow gives m2 = $m2, korvoflow-cli $expected"
echo "python3 imports korvoflow: m2 = $m2"

# The installed program starts and shows its window; Alt+E ends it.
(
  # shellcheck source=../../tests/ui/xvfb_session.sh
  source "$top/tests/ui/xvfb_session.sh"
  export XDG_RUNTIME_DIR="$scratch/runtime"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  start_xvfb
  start_program "$program"
  close_about
  keys_to "$main_window" alt+e
  wait_program || fail "the program ended with a failure status"
  echo "the installed $program showed its window and ended"
)

dpkg -r "$package"
# A package with configuration files would keep them until purged.
if dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q 'config-files$'; then
  dpkg --purge "$package"
fi
dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q ' installed$' &&
  fail "$package is still installed"
left=()
for file in "${files[@]}"; do
  if [ -e "$file" ] && { [ ! -d "$file" ] || [[ "$file" == *korvoflow* ]]; }; then left+=("$file"); fi
done
[ ${#left[@]} -eq 0 ] || fail "left behind after the purge: ${left[*]}"
! mime_registered || fail "the run-file type $mime_type is still registered"
echo "installed, started and removed without a trace: passed"
