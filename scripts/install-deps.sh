#!/usr/bin/env bash
# Installs the Debian packages of the named lists that are not installed yet.
# A list name selects scripts/packages/NAME.txt and NAME-*.txt; without a name
# every list is taken. Examples:
#   scripts/install-deps.sh program        # build and run the program
#   scripts/install-deps.sh                # everything, the tests included
# Uses sudo when not run as root. Without root and without sudo it prints the
# one command that installs what is missing and stops.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

lists=()
if [ $# -eq 0 ]; then
  lists=("$here"/packages/*.txt)
else
  for name in "$@"; do
    for list in "$here/packages/$name.txt" "$here/packages/$name"-*.txt; do
      [ -e "$list" ] && lists+=("$list")
    done
  done
fi
[ ${#lists[@]} -gt 0 ] || exit 0

wanted=$(cat "${lists[@]}" | sed -e 's/#.*//' | tr -s ' \t' '\n' | sed '/^$/d' | sort -u)
missing=()
for pkg in $wanted; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$pkg")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

apt=(apt-get -o DPkg::Lock::Timeout=600)
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "Missing Debian packages. Install them as root, then run this again:"
    echo "apt-get install -y --no-install-recommends ${missing[*]}"
    exit 1
  fi
  # sudo resets the environment, so the setting goes on its command line.
  apt=(sudo DEBIAN_FRONTEND=noninteractive "${apt[@]}")
fi
echo "Installing: ${missing[*]}"
"${apt[@]}" update -qq
DEBIAN_FRONTEND=noninteractive "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}"
