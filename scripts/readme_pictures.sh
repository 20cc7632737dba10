#!/usr/bin/env bash
# Makes the README's pictures of korvoflow-cli from the README's own commands:
# every "korvoflow-cli ... --plot FILE" line of its sh blocks runs as written,
# in a scratch folder, and FILE becomes docs/cli_FILE (the sweep's flow.svg is
# docs/cli_flow.svg). Builds the command line first when it is missing.
# Usage: scripts/readme_pictures.sh
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bin_dir=$(dirname "${KORVO_CLI:-$top/build/cli/korvoflow-cli}")
[ -x "$bin_dir/korvoflow-cli" ] || "$top/scripts/build.sh" release
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

commands=$(awk '/^```sh/ {inside = 1; next} /^```/ {inside = 0}
                inside && /^korvoflow-cli .*--plot / {print}' "$top/README.md")
[ -n "$commands" ] || { echo "no plotting command in README.md" >&2; exit 1; }
while IFS= read -r line; do
  read -ra words <<<"$line"
  plot=""
  for ((i = 0; i < ${#words[@]} - 1; i++)); do
    [ "${words[i]}" = --plot ] && plot=${words[i + 1]}
  done
  # Status 1 (some runs ended with a message) still draws the plot.
  (cd "$scratch" && PATH="$bin_dir:$PATH" LC_ALL=C.UTF-8 bash -c "$line") || [ $? = 1 ]
  out="$top/docs/cli_$plot"
  cp "$scratch/$plot" "$out"
  echo "wrote $out"
done <<<"$commands"
