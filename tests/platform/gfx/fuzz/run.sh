#!/usr/bin/env bash
# Builds the picture fuzz target in the sanitizer build (libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer, so leaks and undefined behaviour count as findings) and runs it for SECONDS
# (default 30) from the seed corpus. "seeds" as the argument instead rewrites the seed corpus from our
# writers. See tests/fuzz/common.sh for what happens without clang.
# Usage: tests/platform/gfx/fuzz/run.sh [SECONDS | seeds]
set -euo pipefail
arg="${1:-30}"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../../../fuzz/common.sh"

if [ "$arg" = seeds ]; then
    fuzz_setup picture picture_seeds
    rm -f "$here"/corpus/*
    "$build/tests/fuzz/picture_seeds" "$here/corpus"
    exit 0
fi
fuzz_setup picture picture_fuzz
# A picture may legally take a gigabyte (the largest allowed), so the limit leaves room for it beside
# what the sanitizer keeps.
FUZZ_RSS_MB=2560 fuzz_run picture picture_fuzz "$arg" "$here/corpus" -- -dict="$here/pictures.dict"
fuzz_finish
