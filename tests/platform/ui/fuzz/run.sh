#!/usr/bin/env bash
# Builds the rich edit's RTF reader fuzz target with clang (libFuzzer and AddressSanitizer, so leaks count
# as failures) from the reader's sources and the runtime it uses, and runs it for SECONDS (default 30)
# from the seed corpus. Without clang it says so and succeeds. With LUMETRA_FUZZ_SEEDS=1 the seed corpus
# is first rewritten by our writer (MakeSeeds.cpp).
# Usage: tests/platform/ui/fuzz/run.sh [SECONDS]
set -euo pipefail
seconds="${1:-30}"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../../../fuzz/common.sh"
fuzz_setup rtf

fuzz_make <<'MAKE'
OWN := $(patsubst $(ROOT)/%.cpp,$(BUILD)/obj/%.o,$(ROOT)/platform/ui/RichEditDocument.cpp \
        $(ROOT)/platform/ui/RichEditRtf.cpp)
FUZZ := $(BUILD)/obj/tests/platform/ui/fuzz
OBJS := $(OWN) $(FUZZ)/RichEditRtfFuzz.o $(FUZZ)/MakeSeeds.o
all: $(BUILD)/rtf_fuzz $(BUILD)/rtf_fuzz_seeds
$(BUILD)/rtf_fuzz: $(OWN) $(FUZZ)/RichEditRtfFuzz.o $(BUILD)/librtl.a
	$(CXX) -fsanitize=address,fuzzer $^ -o $@ -lpthread
$(BUILD)/rtf_fuzz_seeds: $(OWN) $(FUZZ)/MakeSeeds.o $(BUILD)/librtl.a
	$(CXX) -fsanitize=address $^ -o $@ -lpthread
MAKE

if [ "${LUMETRA_FUZZ_SEEDS:-0}" = 1 ]; then
    "$build/rtf_fuzz_seeds" "$here/corpus"
fi
fuzz_run rtf "$build/rtf_fuzz" "$seconds" "$here/corpus" -- -dict="$here/rtf.dict"
