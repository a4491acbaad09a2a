#!/usr/bin/env bash
# Builds the picture fuzz target with clang (libFuzzer and AddressSanitizer, so leaks count as failures)
# from the runtime and drawing sources, and runs it for SECONDS (default 30) from the seed corpus.
# "seeds" as the argument instead rewrites the seed corpus from our writers. Without clang it says so
# and succeeds.
# Usage: tests/platform/gfx/fuzz/run.sh [SECONDS | seeds]
set -euo pipefail
arg="${1:-30}"
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../../../.." && pwd)"
cxx="${LUMETRA_FUZZ_CXX:-$(command -v clang++ || true)}"
if [ -z "$cxx" ]; then
    echo "picture fuzz: clang++ not found, skipped"
    exit 0
fi
build="${LUMETRA_FUZZ_BUILD_DIR:-$root/build-fuzz}"
mkdir -p "$build"
launcher="$(command -v ccache || true)"
target=picture_fuzz
[ "$arg" = seeds ] && target=picture_seeds

make --no-print-directory -j 2 -f - ROOT="$root" BUILD="$build" CXX="$launcher $cxx" "$build/$target" <<'MAKE'
PKGS := cairo freetype2 fontconfig harfbuzz x11 xext libpng
CXXFLAGS := -std=c++20 -O1 -g -fno-omit-frame-pointer -fsanitize=address,fuzzer-no-link -I$(ROOT) \
            $(shell pkg-config --cflags $(PKGS)) -MMD -MP
LIBS := $(shell pkg-config --libs $(PKGS)) -ljpeg -lgif -luemf -lcups -lpthread
# The runtime and the drawing layer go into archives, so only what the readers use is linked.
RTL := $(patsubst $(ROOT)/%.cpp,$(BUILD)/obj/%.o,$(wildcard $(ROOT)/platform/rtl/*.cpp))
GFX := $(patsubst $(ROOT)/%.cpp,$(BUILD)/obj/%.o,$(wildcard $(ROOT)/platform/gfx/*.cpp))
FUZZ := $(BUILD)/obj/tests/platform/gfx/fuzz/PictureFuzz.o
SEEDS := $(BUILD)/obj/tests/platform/gfx/fuzz/MakeSeeds.o
OBJS := $(RTL) $(GFX) $(FUZZ) $(SEEDS)
$(BUILD)/picture_fuzz: $(FUZZ) $(BUILD)/libgfx.a $(BUILD)/librtl.a
	$(CXX) -fsanitize=address,fuzzer $^ -o $@ $(LIBS)
$(BUILD)/picture_seeds: $(SEEDS) $(BUILD)/libgfx.a $(BUILD)/librtl.a
	$(CXX) -fsanitize=address $^ -o $@ $(LIBS)
$(BUILD)/libgfx.a: $(GFX)
	rm -f $@ && ar rcs $@ $^
$(BUILD)/librtl.a: $(RTL)
	rm -f $@ && ar rcs $@ $^
$(BUILD)/obj/%.o: $(ROOT)/%.cpp
	@mkdir -p $(dir $@)
	$(CXX) $(CXXFLAGS) -c $< -o $@
-include $(OBJS:.o=.d)
MAKE

if [ "$arg" = seeds ]; then
    rm -f "$here"/corpus/*
    # fontconfig keeps its caches to the end, which the leak checker would report.
    ASAN_OPTIONS=detect_leaks=0 "$build/picture_seeds" "$here/corpus"
    exit 0
fi
# A picture may legally take a gigabyte (the largest allowed), so the limit leaves room for it beside
# what the sanitizer keeps.
corpus="$build/picture-corpus"
mkdir -p "$corpus"
LSAN_OPTIONS="suppressions=$here/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}" \
    "$build/picture_fuzz" "$corpus" "$here/corpus" -dict="$here/pictures.dict" -max_len=4096 \
    -max_total_time="$arg" -timeout=10 -rss_limit_mb=2560 -artifact_prefix="$build/picture-" -print_final_stats=1
