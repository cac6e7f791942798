#!/usr/bin/env bash
# Remakes the README's picture of the editor: a MAT, a CMP and an SFT window from samples/,
# drawn by the real editor under Xvfb. Run after a build (scripts/glimra.sh run or test).
#   scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$here/build}
tool="$build/app/glimra-screenshots"
[ -x "$tool" ] || { echo "build the editor first: $tool is missing" >&2; exit 1; }
# A settings folder of its own, so the user's settings are neither read nor changed.
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
mkdir -p "$here/docs/images"
XDG_CONFIG_HOME="$config" xvfb-run -a -s "-screen 0 1280x800x24" \
    "$tool" "$here/docs/images/editor.png" \
    "$here/samples/texture8.mat" "$here/samples/colormap.cmp" "$here/samples/font8.sft"
echo "wrote docs/images/editor.png"
