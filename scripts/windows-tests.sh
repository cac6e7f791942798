#!/usr/bin/env bash
# Cross-builds the formats library and its tests for Windows with MinGW-w64 and runs them
# under Wine. Usage: scripts/windows-tests.sh [BUILD_DIR]   (default build-windows)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dir=${1:-$here/build-windows}
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S "$here/tests/windows" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$here/tests/windows/MinGW-w64.cmake" >/dev/null
cmake --build "$dir" --target glimra_formats_tests -j "$jobs"

# A Wine prefix of our own, made once; no desktop, no .NET or browser prompts.
export WINEPREFIX="$dir/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY=
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot --init >/dev/null 2>&1 || true
fi
# Wine's temp folder is inside the prefix; the tests make and remove their folders there.
wine "$dir/glimra_formats_tests.exe" --gtest_brief=1
