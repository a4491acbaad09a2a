#!/usr/bin/env bash
# Builds the XML fuzz target with clang (libFuzzer and AddressSanitizer, so leaks count as failures) and
# runs it for SECONDS (default 30) from the seed corpus. Without clang it says so and succeeds.
# Usage: tests/xml/fuzz/run.sh [SECONDS]
set -euo pipefail
seconds="${1:-30}"
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../../.." && pwd)"
cxx="${LUMETRA_FUZZ_CXX:-$(command -v clang++ || true)}"
cc="${LUMETRA_FUZZ_CC:-$(command -v clang || true)}"
if [ -z "$cxx" ] || [ -z "$cc" ]; then
    echo "xml fuzz: clang not found, skipped"
    exit 0
fi
build="${LUMETRA_FUZZ_BUILD_DIR:-$root/build-fuzz}"
flags="-fsanitize=address,fuzzer-no-link -fno-omit-frame-pointer"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DLUMETRA_TESTS=ON -DLUMETRA_BENCH=OFF -DLUMETRA_XML_FUZZ=ON > "$build.configure.log" 2>&1 ||
    { cat "$build.configure.log"; exit 1; }
cmake --build "$build" --target xml_fuzz -j 2
corpus="$build/xml-fuzz-corpus"
mkdir -p "$corpus"
"$build/tests/xml/xml_fuzz" "$corpus" "$here/corpus" -dict="$here/xml.dict" -max_len=4096 \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$build/xml-fuzz-" \
    -print_final_stats=1
