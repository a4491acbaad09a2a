#!/usr/bin/env bash
# Builds the chart document fuzz target in the sanitizer build and runs it for SECONDS (default 30)
# from its seeds and the XML target's. See tests/fuzz/common.sh for what happens without clang.
# Usage: tests/analysis/fuzz/run.sh [SECONDS]
set -euo pipefail
seconds="${1:-30}"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../../fuzz/common.sh"
fuzz_setup chart-document chart_document_fuzz
fuzz_run chart-document chart_document_fuzz "$seconds" "$here/corpus" "$here/../../xml/fuzz/corpus" -- \
    -dict="$here/../../xml/fuzz/xml.dict"
fuzz_finish
