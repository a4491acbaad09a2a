#!/usr/bin/env bash
# Builds the rich edit's RTF reader fuzz target with clang (libFuzzer and AddressSanitizer, so leaks count
# as failures) from the reader's sources and the runtime it uses, and runs it for SECONDS (default 30)
# from the seed corpus. Without clang it says so and succeeds. With LUMETRA_FUZZ_SEEDS=1 the seed corpus
# is first rewritten by our writer (MakeSeeds.cpp).
# Usage: tests/platform/ui/fuzz/run.sh [SECONDS]
set -euo pipefail
seconds="${1:-30}"
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../../../.." && pwd)"
cxx="${LUMETRA_FUZZ_CXX:-$(command -v clang++ || true)}"
if [ -z "$cxx" ]; then
    echo "rtf fuzz: clang++ not found, skipped"
    exit 0
fi
build="${LUMETRA_FUZZ_BUILD_DIR:-$root/build-fuzz}"
mkdir -p "$build"
launcher="$(command -v ccache || true)"

make --no-print-directory -j 2 -f - ROOT="$root" BUILD="$build" CXX="$launcher $cxx" <<'MAKE'
CXXFLAGS := -std=c++20 -O1 -g -fno-omit-frame-pointer -fsanitize=address,fuzzer-no-link -I$(ROOT) -MMD -MP
# The runtime goes into an archive, so only what the reader uses is linked.
RTL := $(patsubst $(ROOT)/%.cpp,$(BUILD)/obj/%.o,$(wildcard $(ROOT)/platform/rtl/*.cpp))
OWN := $(patsubst $(ROOT)/%.cpp,$(BUILD)/obj/%.o,$(ROOT)/platform/ui/RichEditDocument.cpp \
        $(ROOT)/platform/ui/RichEditRtf.cpp)
FUZZ := $(BUILD)/obj/tests/platform/ui/fuzz
OBJS := $(RTL) $(OWN) $(FUZZ)/RichEditRtfFuzz.o $(FUZZ)/MakeSeeds.o
all: $(BUILD)/rtf_fuzz $(BUILD)/rtf_fuzz_seeds
$(BUILD)/rtf_fuzz: $(OWN) $(FUZZ)/RichEditRtfFuzz.o $(BUILD)/librtl.a
	$(CXX) -fsanitize=address,fuzzer $^ -o $@ -lpthread
$(BUILD)/rtf_fuzz_seeds: $(OWN) $(FUZZ)/MakeSeeds.o $(BUILD)/librtl.a
	$(CXX) -fsanitize=address $^ -o $@ -lpthread
$(BUILD)/librtl.a: $(RTL)
	rm -f $@ && ar rcs $@ $^
$(BUILD)/obj/%.o: $(ROOT)/%.cpp
	@mkdir -p $(dir $@)
	$(CXX) $(CXXFLAGS) -c $< -o $@
-include $(OBJS:.o=.d)
MAKE

if [ "${LUMETRA_FUZZ_SEEDS:-0}" = 1 ]; then
    "$build/rtf_fuzz_seeds" "$here/corpus"
fi
corpus="$build/corpus-rtf"
mkdir -p "$corpus"
"$build/rtf_fuzz" "$corpus" "$here/corpus" -dict="$here/rtf.dict" -max_len=4096 -max_total_time="$seconds" \
    -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$build/rtf-" -print_final_stats=1
