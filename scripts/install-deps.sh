#!/usr/bin/env bash
# Installs the Debian packages that building and testing Lumetra needs, skipping those already present.
# With LUMETRA_CI=1 or --office it adds LibreOffice and ImageMagick, which the tests that open our exports
# in them need (about 400 MB; without them those tests skip, except in CI, where they fail).
set -euo pipefail

packages=(
    build-essential cmake ninja-build ccache pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    libcairo2-dev libfreetype-dev libfontconfig1-dev libharfbuzz-dev
    libpng-dev libjpeg-dev libgif-dev libx11-dev libxext-dev libcups2-dev libuemf-dev
    fonts-dejavu-core fonts-liberation
    libpugixml-dev libxml2-utils
    xvfb xauth
    python3-numpy python3-scipy
    locales
)
if [ "${LUMETRA_CI:-}" = 1 ] || [ "${1:-}" = --office ]; then
    packages+=(libreoffice-writer libreoffice-calc libreoffice-draw imagemagick)
fi
# The sanitizer build (LUMETRA_SANITIZE=1, what CI runs): clang, the fuzzer runtime, the symbolizer.
if [ "${LUMETRA_SANITIZE:-0}" = 1 ]; then
    packages+=(clang-14 libclang-rt-14-dev llvm-14)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
