#!/usr/bin/env bash
# Remakes the pictures of the editor: the README's (docs/images/editor.png) and the manual's
# (docs/manual/images/*.png), drawn by the real editor under Xvfb from the files in samples/,
# and the light-view pictures of "Seeing it as the game does", drawn by glimra-cli.
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
lit=$(mktemp -d)
trap 'rm -rf "$config" "$lit"' EXIT
cd "$here"
# The manual's pictures are exactly what the tool makes: none left over from an older set.
rm -f docs/manual/images/*.png
XDG_CONFIG_HOME="$config" xvfb-run -a -s "-screen 0 1280x800x24" \
    "$tool" "$here/docs" "$here/samples"
# The stone wall and the console through the sample colormap at three light levels, and the
# console's full-bright mask.
cli="$build/tools/glimra-cli"
images="$here/docs/manual/images"
for level in 63 31 8; do
    "$cli" export samples/texture8.mat samples/console.mat --cmp samples/colormap.cmp \
        --light "$level" --png --zoom 2 -o "$lit/$level"
    cp "$lit/$level/texture8-1-A.png" "$images/light-stone-$level.png"
    cp "$lit/$level/console-1-A.png" "$images/light-console-$level.png"
done
"$cli" export samples/console.mat --cmp samples/colormap.cmp --full-bright-mask --png --zoom 2 \
    -o "$lit/mask"
cp "$lit/mask/console-1-A.png" "$images/light-console-mask.png"
