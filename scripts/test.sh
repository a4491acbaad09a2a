#!/usr/bin/env bash
# Builds Lumetra and runs every test. Usage: scripts/test.sh [ctest arguments, e.g. -L rtl]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/install-deps.sh"

build="${LUMETRA_BUILD_DIR:-$root/build}"
jobs="$(nproc)"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMETRA_TESTS=ON -DLUMETRA_BENCH=ON
cmake --build "$build" -j "$jobs"
cd "$build"
ctest --output-on-failure -j "$jobs" "$@"
