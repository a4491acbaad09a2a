#!/usr/bin/env bash
# Builds the component stream and INI fuzz targets in the sanitizer build (libFuzzer with
# AddressSanitizer and UndefinedBehaviorSanitizer, so leaks and undefined behaviour count as findings) and
# runs each for SECONDS (default 30) from its seed corpus; every target runs even when one finds
# something. With LUMETRA_FUZZ_SEEDS=1 the seed corpora are first rewritten by our writers
# (MakeSeeds.cpp). See tests/fuzz/common.sh for what happens without clang.
# Usage: tests/platform/rtl/fuzz/run.sh [SECONDS]
set -euo pipefail
seconds="${1:-30}"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../../../fuzz/common.sh"
fuzz_setup rtl component_stream_fuzz ini_file_fuzz rtl_fuzz_seeds

if [ "${LUMETRA_FUZZ_SEEDS:-0}" = 1 ]; then
    "$build/tests/fuzz/rtl_fuzz_seeds" "$here/corpus-stream" "$here/corpus-ini"
fi
fuzz_run component_stream component_stream_fuzz "$seconds" "$here/corpus-stream" -- -dict="$here/stream.dict"
fuzz_run ini_file ini_file_fuzz "$seconds" "$here/corpus-ini"
fuzz_finish
