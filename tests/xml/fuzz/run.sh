#!/usr/bin/env bash
# Builds the XML fuzz target in the sanitizer build (libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer, so leaks and undefined behaviour count as findings) and runs it for SECONDS
# (default 30) from the seed corpus. See tests/fuzz/common.sh for what happens without clang.
# Usage: tests/xml/fuzz/run.sh [SECONDS]
set -euo pipefail
seconds="${1:-30}"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../../fuzz/common.sh"
fuzz_setup xml xml_fuzz
fuzz_run xml xml_fuzz "$seconds" "$here/corpus" -- -dict="$here/xml.dict"
fuzz_finish
