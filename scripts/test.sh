#!/usr/bin/env bash
# Builds Lumetra and runs every test. Usage: scripts/test.sh [ctest arguments, e.g. -L rtl]
# LUMETRA_SANITIZE=1 builds with clang, AddressSanitizer and UndefinedBehaviorSanitizer instead (in
# build-sanitize/ unless LUMETRA_BUILD_DIR names another folder); that build also holds the fuzz targets.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
source "$root/scripts/configure.sh"
jobs="$(nproc)"
cmake --build "$build" -j "$jobs"
cd "$build"
ctest --output-on-failure -j "$jobs" "$@"
