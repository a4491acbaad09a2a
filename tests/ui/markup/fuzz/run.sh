#!/usr/bin/env bash
# Builds the caption renderer's fuzz target in the sanitizer build (libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs it for SECONDS (default 30) from the seed corpus. See
# tests/fuzz/common.sh for what happens without clang.
# Usage: tests/ui/markup/fuzz/run.sh [SECONDS]
set -euo pipefail
seconds="${1:-30}"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../../../fuzz/common.sh"
fuzz_setup markup markup_fuzz
fuzz_run markup markup_fuzz "$seconds" "$here/corpus" -- -dict="$here/markup.dict"
fuzz_finish
