#!/usr/bin/env bash
# Builds the component stream and INI fuzz targets with clang (libFuzzer and AddressSanitizer, so leaks
# count as failures) from the runtime's sources, and runs each for SECONDS (default 30) from its seed
# corpus. Without clang it says so and succeeds. With LUMETRA_FUZZ_SEEDS=1 the seed corpora are first
# rewritten by our writers (MakeSeeds.cpp).
# Usage: tests/platform/rtl/fuzz/run.sh [SECONDS]
set -euo pipefail
seconds="${1:-30}"
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../../../.." && pwd)"
cxx="${LUMETRA_FUZZ_CXX:-$(command -v clang++ || true)}"
if [ -z "$cxx" ]; then
    echo "rtl fuzz: clang++ not found, skipped"
    exit 0
fi
build="${LUMETRA_FUZZ_BUILD_DIR:-$root/build-fuzz}"
mkdir -p "$build"
launcher="$(command -v ccache || true)"

make --no-print-directory -j 2 -f - ROOT="$root" BUILD="$build" CXX="$launcher $cxx" <<'MAKE'
CXXFLAGS := -std=c++20 -O1 -g -fno-omit-frame-pointer -fsanitize=address,fuzzer-no-link -I$(ROOT) -MMD -MP
# The runtime goes into an archive, so only what the readers use is linked.
RTL := $(patsubst $(ROOT)/%.cpp,$(BUILD)/obj/%.o,$(wildcard $(ROOT)/platform/rtl/*.cpp))
FUZZ := $(BUILD)/obj/tests/platform/rtl/fuzz
OBJS := $(RTL) $(FUZZ)/ComponentStreamFuzz.o $(FUZZ)/IniFileFuzz.o $(FUZZ)/MakeSeeds.o
all: $(BUILD)/component_stream_fuzz $(BUILD)/ini_file_fuzz $(BUILD)/rtl_fuzz_seeds
$(BUILD)/component_stream_fuzz: $(FUZZ)/ComponentStreamFuzz.o $(BUILD)/librtl.a
	$(CXX) -fsanitize=address,fuzzer $^ -o $@ -lpthread
$(BUILD)/ini_file_fuzz: $(FUZZ)/IniFileFuzz.o $(BUILD)/librtl.a
	$(CXX) -fsanitize=address,fuzzer $^ -o $@ -lpthread
$(BUILD)/rtl_fuzz_seeds: $(FUZZ)/MakeSeeds.o $(BUILD)/librtl.a
	$(CXX) -fsanitize=address $^ -o $@ -lpthread
$(BUILD)/librtl.a: $(RTL)
	rm -f $@ && ar rcs $@ $^
$(BUILD)/obj/%.o: $(ROOT)/%.cpp
	@mkdir -p $(dir $@)
	$(CXX) $(CXXFLAGS) -c $< -o $@
-include $(OBJS:.o=.d)
MAKE

if [ "${LUMETRA_FUZZ_SEEDS:-0}" = 1 ]; then
    "$build/rtl_fuzz_seeds" "$here/corpus-stream" "$here/corpus-ini"
fi
for target in component_stream ini_file; do
    case "$target" in
    component_stream) seeds="$here/corpus-stream" dict=(-dict="$here/stream.dict") ;;
    ini_file) seeds="$here/corpus-ini" dict=() ;;
    esac
    corpus="$build/corpus-$target"
    mkdir -p "$corpus"
    "$build/${target}_fuzz" "$corpus" "$seeds" "${dict[@]}" -max_len=4096 -max_total_time="$seconds" \
        -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$build/$target-" -print_final_stats=1
done
