#!/usr/bin/env bash
# Remakes the pictures of the editor: the README's (docs/images/editor.png) and the manual's
# (docs/manual/images/*.png), drawn by the real editor under Xvfb from the files in samples/.
# Run after a build (scripts/glimra.sh run or test).
#   scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
tool="$build/app/glimra-screenshots"
[ -x "$tool" ] || { echo "build the editor first: $tool is missing" >&2; exit 1; }
# A settings folder of its own, so the user's settings are neither read nor changed and every
# dialog shows its first-run values.
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
cd "$here"
# The manual's pictures are exactly what the tool makes: none left over from an older set.
rm -f docs/manual/images/*.png
XDG_CONFIG_HOME="$config" xvfb-run -a -s "-screen 0 1280x800x24" \
    "$tool" "$here/docs" "$here/samples"
