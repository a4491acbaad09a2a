#!/usr/bin/env bash
# Builds the XML fuzz target with clang (libFuzzer and AddressSanitizer, so leaks count as failures)
# from the parser's sources and the runtime it uses, and runs it for SECONDS (default 30) from the seed
# corpus. Without clang it says so and succeeds.
# Usage: tests/xml/fuzz/run.sh [SECONDS]
set -euo pipefail
seconds="${1:-30}"
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../../.." && pwd)"
cxx="${LUMETRA_FUZZ_CXX:-$(command -v clang++ || true)}"
if [ -z "$cxx" ]; then
    echo "xml fuzz: clang++ not found, skipped"
    exit 0
fi
build="${LUMETRA_FUZZ_BUILD_DIR:-$root/build-fuzz}"
mkdir -p "$build"
launcher="$(command -v ccache || true)"

make --no-print-directory -j 2 -f - ROOT="$root" BUILD="$build" CXX="$launcher $cxx" <<'MAKE'
CXXFLAGS := -std=c++20 -O1 -g -fno-omit-frame-pointer -fsanitize=address,fuzzer-no-link -I$(ROOT) -MMD -MP
# The runtime goes into an archive, so only what the parser uses is linked.
RTL := $(patsubst $(ROOT)/%.cpp,$(BUILD)/obj/%.o,$(wildcard $(ROOT)/platform/rtl/*.cpp))
OWN := $(patsubst $(ROOT)/%.cpp,$(BUILD)/obj/%.o,$(wildcard $(ROOT)/xml/DomSimpleXml*.cpp) \
        $(ROOT)/tests/xml/fuzz/XmlFuzz.cpp)
OBJS := $(RTL) $(OWN)
$(BUILD)/xml_fuzz: $(OWN) $(BUILD)/librtl.a
	$(CXX) -fsanitize=address,fuzzer $^ -o $@ -lpthread
$(BUILD)/librtl.a: $(RTL)
	rm -f $@ && ar rcs $@ $^
$(BUILD)/obj/%.o: $(ROOT)/%.cpp
	@mkdir -p $(dir $@)
	$(CXX) $(CXXFLAGS) -c $< -o $@
-include $(OBJS:.o=.d)
MAKE

corpus="$build/corpus"
mkdir -p "$corpus"
"$build/xml_fuzz" "$corpus" "$here/corpus" -dict="$here/xml.dict" -max_len=4096 -max_total_time="$seconds" \
    -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$build/" -print_final_stats=1
