#!/usr/bin/env bash
# Set-up, build, run and test Glimra on Debian 12.
#   scripts/glimra.sh run [FILE]   install what is missing, build, start the editor
#   scripts/glimra.sh test         install what is missing, build, run every test
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"
jobs=$(nproc 2>/dev/null || echo 2)

packages=(cmake g++ make pkg-config qt6-base-dev qt6-svg-dev libgl-dev libgtest-dev libgmock-dev
          libbenchmark-dev xvfb xauth fonts-dejavu-core
          desktop-file-utils libxml2-utils appstream xdg-utils shared-mime-info
          libfile-mimeinfo-perl python3
          clang libclang-rt-14-dev wine wine64 g++-mingw-w64-x86-64-posix)

setup() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" \
            || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
    fi
}

build() { # build DIR [cmake options...]
    local dir=$1; shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
}

case "${1:-}" in
run)
    shift
    setup
    build build
    file=${1:-}
    if [ -z "$file" ]; then
        file="$here/samples/sample8.bm"
    fi
    if [ -x build/app/glimra ]; then
        exec build/app/glimra "$file"
    fi
    exec build/tools/glimra-cli info "$file"
    ;;
test)
    setup
    # The full build, warnings as errors.
    build build-ci -DGLIMRA_WERROR=ON
    (cd build-ci && ctest --output-on-failure -j "$jobs")
    # Installed into a temporary prefix: launcher, MIME types, icons, metadata, manual links.
    bash scripts/check-install.sh build-ci
    # The libraries shared, each linked with --no-undefined: a library that uses another its
    # link line does not name fails to link here.
    build build-shared -DGLIMRA_WERROR=ON -DGLIMRA_SHARED_LIBS=ON -DGLIMRA_BUILD_TESTS=OFF \
        -DGLIMRA_BUILD_BENCH=OFF
    # The core again under AddressSanitizer and UBSan: the hostile-input tests matter here.
    # This build also takes the colour search's portable lanes, the ones MSVC gets.
    build build-asan -DGLIMRA_WERROR=ON -DGLIMRA_SANITIZE=ON -DGLIMRA_BUILD_GUI=OFF \
        -DGLIMRA_BUILD_BENCH=OFF -DGLIMRA_PORTABLE_LANES=ON
    (cd build-asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j "$jobs")
    # Every reader under libFuzzer for about ten seconds each; any finding fails.
    bash scripts/fuzz.sh 10
    # The formats library and its tests built for Windows and run under Wine.
    bash scripts/windows-tests.sh "$here/build-windows"
    ;;
*)
    echo "usage: $0 run [FILE] | test" >&2
    exit 2
    ;;
esac
