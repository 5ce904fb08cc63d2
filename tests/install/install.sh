#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what an installed copy and its package hold.
#
#   install.sh tree|package CMAKE BUILD_DIR DIST_DIR
#
# tree: the installed files, the desktop entry and AppStream metainfo through their validators, the
# icon sizes, and --version and --help of the installed program (no display needed).
# package: `cpack -G DEB` into a temporary folder, then the package's control data and contents.
set -u
mode=$1
cmake=$2
build=$3
dist=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAILED: $*"
    exit 1
}
id=org.cinaxo.Cinaxo

installed_files() { # the files an installation holds, relative to its prefix PREFIX/
    local data=$1
    printf '%s\n' bin/cinaxo "$data/applications/$id.desktop" "$data/cinaxo/Skin/btnsource.bmp" \
        "$data/cinaxo/format.txt" "$data/doc/cinaxo/examples/db.txt" \
        "$data/icons/hicolor/scalable/apps/$id.svg" "$data/man/man1/cinaxo.1" "$data/metainfo/$id.metainfo.xml"
    for size in 16 22 24 32 48 64 128 256; do
        echo "$data/icons/hicolor/${size}x${size}/apps/$id.png"
    done
}

case "$mode" in
tree)
    prefix="$work/prefix"
    "$cmake" --install "$build" --prefix "$prefix" >"$work/log" 2>&1 || { cat "$work/log"; fail "cmake --install"; }
    want=$(installed_files share | sort)
    got=$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort)
    [ "$want" = "$got" ] || fail "the installed files differ: $(diff <(echo "$want") <(echo "$got"))"
    cmp -s "$dist/format.txt" "$prefix/share/cinaxo/format.txt" || fail "format.txt differs"
    cmp -s "$dist/db.txt" "$prefix/share/doc/cinaxo/examples/db.txt" || fail "the sample catalogue differs"
    cmp -s "$dist/Skin/btnsource.bmp" "$prefix/share/cinaxo/Skin/btnsource.bmp" || fail "the skin differs"
    [ -x "$prefix/bin/cinaxo" ] || fail "the program is not executable"
    [ "$(ls "$prefix/bin")" = cinaxo ] || fail "the program does not lie alone in bin/"

    command -v desktop-file-validate >/dev/null || fail "desktop-file-validate is missing (scripts/setup.sh installs it)"
    desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop-file-validate"
    [ -z "$(desktop-file-validate "$prefix/share/applications/$id.desktop")" ] || fail "desktop-file-validate warns"
    command -v appstreamcli >/dev/null || fail "appstreamcli is missing (scripts/setup.sh installs it)"
    appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"

    python3 - "$prefix/share/icons/hicolor" "$id" <<'PY' || fail "the icons"
import struct, sys, xml.etree.ElementTree as ET
root, name = sys.argv[1], sys.argv[2]
for size in (16, 22, 24, 32, 48, 64, 128, 256):
    with open("%s/%dx%d/apps/%s.png" % (root, size, size, name), "rb") as f:
        head = f.read(26)
    assert head[:8] == b"\x89PNG\r\n\x1a\n", size
    assert struct.unpack(">II", head[16:24]) == (size, size), size
    assert head[25] == 6, "RGBA"
svg = ET.parse("%s/scalable/apps/%s.svg" % (root, name)).getroot()
assert svg.tag == "{http://www.w3.org/2000/svg}svg" and svg.get("viewBox") == "0 0 256 256"
PY

    # Help and version work without a display.
    version=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$prefix/bin/cinaxo" --version) || fail "--version"
    [ "$version" = "Cinaxo 1.0.2.21" ] || fail "--version printed: $version"
    help=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$prefix/bin/cinaxo" --help) || fail "--help"
    for option in --help --version '--catalogue <DIR>'; do
        grep -qF -- "$option" <<<"$help" || fail "--help does not name $option: $help"
    done
    ;;
package)
    command -v cpack >/dev/null && command -v dpkg-deb >/dev/null || {
        echo "SKIPPED: cpack and dpkg-deb are needed"
        exit 77
    }
    cpack_cmd="$(dirname "$cmake")/cpack"
    [ -x "$cpack_cmd" ] || cpack_cmd=cpack
    (cd "$build" && "$cpack_cmd" -G DEB -B "$work/pkg") >"$work/log" 2>&1 || { cat "$work/log"; fail "cpack"; }
    deb=$(ls "$work"/pkg/cinaxo_1.0.2.21_*.deb 2>/dev/null | head -1)
    [ -n "$deb" ] || fail "no package cinaxo_1.0.2.21_ARCH.deb: $(ls "$work/pkg")"
    info=$(dpkg-deb --field "$deb") || fail "dpkg-deb --field"
    field() { sed -n "s/^$1: //p" <<<"$info"; }
    [ "$(field Package)" = cinaxo ] || fail "Package: $(field Package)"
    [ "$(field Version)" = 1.0.2.21 ] || fail "Version: $(field Version)"
    [ -n "$(field Maintainer)" ] || fail "no Maintainer"
    depends=$(field Depends)
    for dependency in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins; do
        tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ .*//' | grep -qxF "$dependency" ||
            fail "Depends lacks $dependency: $depends"
    done
    want=$(installed_files usr/share | sed 's|^bin/|usr/bin/|' | sort)
    got=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ {print $NF}' | sed 's|^\./||' | sort)
    [ "$want" = "$got" ] || fail "the package's files differ: $(diff <(echo "$want") <(echo "$got"))"
    ;;
*)
    fail "unknown mode $mode"
    ;;
esac
echo "PASSED: $mode"
