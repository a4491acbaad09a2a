#!/usr/bin/env bash
# Builds the picture fuzz target with clang (libFuzzer and AddressSanitizer, so leaks count as failures)
# from the runtime and drawing sources, and runs it for SECONDS (default 30) from the seed corpus.
# "seeds" as the argument instead rewrites the seed corpus from our writers. Without clang it says so
# and succeeds.
# Usage: tests/platform/gfx/fuzz/run.sh [SECONDS | seeds]
set -euo pipefail
arg="${1:-30}"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../../../fuzz/common.sh"
fuzz_setup picture
target=picture_fuzz
[ "$arg" = seeds ] && target=picture_seeds

fuzz_make "$build/$target" <<'MAKE'
PKGS := cairo freetype2 fontconfig harfbuzz x11 xext libpng
EXTRA_CXXFLAGS := $(shell pkg-config --cflags $(PKGS))
LIBS := $(shell pkg-config --libs $(PKGS)) -ljpeg -lgif -luemf -lcups -lpthread
# The drawing layer goes into an archive too, so only what the readers use is linked.
GFX := $(patsubst $(ROOT)/%.cpp,$(BUILD)/obj/%.o,$(wildcard $(ROOT)/platform/gfx/*.cpp))
FUZZ := $(BUILD)/obj/tests/platform/gfx/fuzz/PictureFuzz.o
SEEDS := $(BUILD)/obj/tests/platform/gfx/fuzz/MakeSeeds.o
OBJS := $(GFX) $(FUZZ) $(SEEDS)
$(BUILD)/picture_fuzz: $(FUZZ) $(BUILD)/libgfx.a $(BUILD)/librtl.a
	$(CXX) -fsanitize=address,fuzzer $^ -o $@ $(LIBS)
$(BUILD)/picture_seeds: $(SEEDS) $(BUILD)/libgfx.a $(BUILD)/librtl.a
	$(CXX) -fsanitize=address $^ -o $@ $(LIBS)
$(BUILD)/libgfx.a: $(GFX)
	rm -f $@ && ar rcs $@ $^
MAKE

if [ "$arg" = seeds ]; then
    rm -f "$here"/corpus/*
    # fontconfig keeps its caches to the end, which the leak checker would report.
    ASAN_OPTIONS=detect_leaks=0 "$build/picture_seeds" "$here/corpus"
    exit 0
fi
# A picture may legally take a gigabyte (the largest allowed), so the limit leaves room for it beside
# what the sanitizer keeps.
LSAN_OPTIONS="suppressions=$here/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}" FUZZ_RSS_MB=2560 \
    fuzz_run picture "$build/picture_fuzz" "$arg" "$here/corpus" -- -dict="$here/pictures.dict"
