#!/usr/bin/env bash
# Installs every Debian package that building, testing and benchmarking Cinaxo needs, when missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build ccache pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev qt6-translations-l10n
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xdotool x11-utils x11-xkb-utils imagemagick fonts-dejavu-core fonts-liberation2
    python3 hyperfine
    libavformat-dev libavcodec-dev libavutil-dev
    desktop-file-utils appstream
)

# The fuzz targets (CINAXO_FUZZ=ON) need clang and its libFuzzer runtime.
[ "${1:-}" = --fuzz ] && packages+=(clang libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
