#!/usr/bin/env bash
# Builds Lumetra and starts it on the simulated camera. Usage: scripts/run.sh [program arguments]
# Installs the Debian packages the build needs (scripts/install-deps.sh), builds the program alone in an
# optimised build without the tests (build-release/ unless LUMETRA_RUN_BUILD_DIR names another folder),
# and starts it from the build's bin/, where the simulated camera library liblumcam32.so lies beside it.
# The LUMCAM_* variables of the README choose what the simulated camera does.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
build="${LUMETRA_RUN_BUILD_DIR:-$root/build-release}"
# -O2 as in the test build: gcc 12 warns about its own string code at -O3.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
    -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" -DLUMETRA_TESTS=OFF -DLUMETRA_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target lumetra lumcam32
if [ ! -e "$build/bin/liblumcam32.so" ]; then
    echo "The simulated camera library was not built into $build/bin." >&2
    exit 1
fi
exec "$build/bin/lumetra" "$@"
