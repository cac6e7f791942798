#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks the installed tree as a desktop sees
# it: programs, launcher, MIME types, icons, AppStream metadata and the manual's links.
#   scripts/check-install.sh BUILD_DIR
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "check-install: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
share=$prefix/share

# Everything the install wrote lies under the prefix.
outside=$(grep -v "^$prefix/" "$build/install_manifest.txt" || true)
[ -z "$outside" ] || fail "written outside the prefix: $outside"

# The editor and the tool, nothing else.
[ "$(ls "$prefix/bin" | sort | tr '\n' ' ')" = "glimra glimra-cli " ] \
    || fail "bin holds: $(ls "$prefix/bin")"
"$prefix/bin/glimra-cli" --version | grep -qx "glimra-cli [0-9.]*" || fail "glimra-cli --version"
"$prefix/bin/glimra-cli" info "$here/samples/sample8.bm" "$here/samples/texture8.mat" \
    "$here/samples/colormap.cmp" "$here/samples/font8.sft" >/dev/null \
    || fail "installed glimra-cli info failed"

# The launcher: valid, starting the installed editor, offering the four types.
desktop=$share/applications/org.orlend.Glimra.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
grep -qx "Exec=\"$prefix/bin/glimra\" %f" "$desktop" || fail "Exec does not name $prefix/bin/glimra"
grep -qx "Categories=Graphics;2DGraphics;RasterGraphics;" "$desktop" || fail "Categories"
# Docks match the running window to the launcher by its X11 class (the program's name).
grep -qx "StartupWMClass=glimra" "$desktop" || fail "StartupWMClass"

# The MIME types: well-formed, the four kinds and the container, each named in the launcher too.
mime=$share/mime/packages/glimra.xml
xmllint --noout "$mime" || fail "$mime does not parse"
python3 - "$mime" "$desktop" <<'PY' || fail "MIME types"
import sys, xml.etree.ElementTree as ET
ns = "{http://www.freedesktop.org/standards/shared-mime-info}"
types = [t.get("type") for t in ET.parse(sys.argv[1]).getroot().iter(ns + "mime-type")]
want = ["application/x-glimra-" + k for k in ("bm", "mat", "cmp", "sft", "gob")]
if types != want:
    sys.exit(f"types {types}, expected {want}")
line = [l for l in open(sys.argv[2]) if l.startswith("MimeType=")][0]
if sorted(line.strip()[9:].rstrip(";").split(";")) != sorted(want):
    sys.exit(f"desktop entry {line.strip()}")
PY

# The icon at every size, each PNG really of that size.
[ -f "$share/icons/hicolor/scalable/apps/glimra.svg" ] || fail "scalable icon missing"
for size in 16 22 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x${size}/apps/glimra.png
    [ -f "$png" ] || fail "icon $png missing"
    python3 -c 'import struct, sys
d = open(sys.argv[1], "rb").read(24)
w, h = struct.unpack(">II", d[16:24])
sys.exit(0 if d[:8] == b"\x89PNG\r\n\x1a\n" and w == h == int(sys.argv[2]) else 1)' \
        "$png" "$size" || fail "$png is not a ${size}x${size} PNG"
done

# AppStream, where the validator is installed.
metainfo=$share/metainfo/org.orlend.Glimra.metainfo.xml
[ -f "$metainfo" ] || fail "metainfo missing"
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$metainfo" >/dev/null || {
        appstreamcli validate --no-net "$metainfo" >&2
        fail "appstreamcli validate $metainfo"
    }
fi

# The manual Help opens: installed whenever the source has one, every link resolving.
if [ -d "$here/docs/manual" ]; then
    manual=$share/glimra/manual
    [ -f "$manual/index.html" ] || fail "manual not installed at $manual"
    python3 "$here/scripts/check-manual-links.py" "$manual" || fail "broken links in the manual"
else
    echo "check-install: no docs/manual in this tree; the manual check is skipped"
fi
echo "check-install: the installed tree is sound"
