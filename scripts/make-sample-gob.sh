#!/usr/bin/env bash
# Makes samples/sample.gob, a small container laid out as the game's are (mat\, misc\cmp\,
# ui\), from the other files in samples/. Used by the screenshots and the manual.
#   scripts/make-sample-gob.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cli="$(cd "${1:-$here/build}" && pwd)/tools/glimra-cli"
cd "$here/samples"
"$cli" gob create sample.gob \
    texture8.mat --as mat/texture8.mat \
    console.mat --as mat/console.mat \
    texture16t.mat --as mat/texture16t.mat \
    color.mat --as mat/color.mat \
    colormap.cmp --as misc/cmp/colormap.cmp \
    sample8.bm --as ui/bm/sample8.bm \
    sample16.bm --as ui/bm/sample16.bm \
    font8.sft --as ui/sft/font8.sft
