#!/usr/bin/env bash
# Builds the component stream and INI fuzz targets with clang (libFuzzer and AddressSanitizer, so leaks
# count as failures) from the runtime's sources, and runs each for SECONDS (default 30) from its seed
# corpus. Without clang it says so and succeeds. With LUMETRA_FUZZ_SEEDS=1 the seed corpora are first
# rewritten by our writers (MakeSeeds.cpp).
# Usage: tests/platform/rtl/fuzz/run.sh [SECONDS]
set -euo pipefail
seconds="${1:-30}"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../../../fuzz/common.sh"
fuzz_setup rtl

fuzz_make <<'MAKE'
FUZZ := $(BUILD)/obj/tests/platform/rtl/fuzz
OBJS := $(FUZZ)/ComponentStreamFuzz.o $(FUZZ)/IniFileFuzz.o $(FUZZ)/MakeSeeds.o
all: $(BUILD)/component_stream_fuzz $(BUILD)/ini_file_fuzz $(BUILD)/rtl_fuzz_seeds
$(BUILD)/component_stream_fuzz: $(FUZZ)/ComponentStreamFuzz.o $(BUILD)/librtl.a
	$(CXX) -fsanitize=address,fuzzer $^ -o $@ -lpthread
$(BUILD)/ini_file_fuzz: $(FUZZ)/IniFileFuzz.o $(BUILD)/librtl.a
	$(CXX) -fsanitize=address,fuzzer $^ -o $@ -lpthread
$(BUILD)/rtl_fuzz_seeds: $(FUZZ)/MakeSeeds.o $(BUILD)/librtl.a
	$(CXX) -fsanitize=address $^ -o $@ -lpthread
MAKE

if [ "${LUMETRA_FUZZ_SEEDS:-0}" = 1 ]; then
    "$build/rtl_fuzz_seeds" "$here/corpus-stream" "$here/corpus-ini"
fi
fuzz_run component_stream "$build/component_stream_fuzz" "$seconds" "$here/corpus-stream" \
    -- -dict="$here/stream.dict"
fuzz_run ini_file "$build/ini_file_fuzz" "$seconds" "$here/corpus-ini"
