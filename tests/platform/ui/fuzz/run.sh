#!/usr/bin/env bash
# Builds the rich edit's RTF reader fuzz target in the sanitizer build (libFuzzer with AddressSanitizer
# and UndefinedBehaviorSanitizer, so leaks and undefined behaviour count as findings) and runs it for
# SECONDS (default 30) from the seed corpus. With LUMETRA_FUZZ_SEEDS=1 the seed corpus is first
# rewritten by our writer (MakeSeeds.cpp). See tests/fuzz/common.sh for what happens without clang.
# Usage: tests/platform/ui/fuzz/run.sh [SECONDS]
set -euo pipefail
seconds="${1:-30}"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../../../fuzz/common.sh"
fuzz_setup rtf rtf_fuzz rtf_fuzz_seeds

if [ "${LUMETRA_FUZZ_SEEDS:-0}" = 1 ]; then
    "$build/tests/fuzz/rtf_fuzz_seeds" "$here/corpus"
fi
fuzz_run rtf rtf_fuzz "$seconds" "$here/corpus" -- -dict="$here/rtf.dict"
fuzz_finish
