#!/usr/bin/env bash
# Draws every picture in docs/ again with exactly the commands the README
# and the notes in docs/ show for them: each command line (indented by four
# spaces or more) that writes docs/<name>.png, run from the top of the tree
# with the built programs first on PATH. The pictures are deterministic: a second run
# changes no byte. make docs builds the programs and the page first.
set -euo pipefail
cd "$(dirname "$0")/.."
export PATH="$PWD/build/release/bin:$PATH"
mapfile -t commands < <(sed -n 's/^    *\(.*-o docs\/[a-z]*\.png.*\)$/\1/p; s/^    *\(.* docs\/[a-z]*\.png\)$/\1/p' \
    README.md docs/*.md | sort -u)
[ ${#commands[@]} -gt 0 ] || { echo "docs: no command in README.md or docs/ writes docs/*.png" >&2; exit 1; }
for c in "${commands[@]}"; do
    echo "docs: $c"
    bash -c "$c"
done
for picture in docs/*.png; do
    grep -qF "$picture" <<<"${commands[*]}" || { echo "docs: no command in README.md or docs/ draws $picture" >&2; exit 1; }
done
