#!/usr/bin/env bash
# Builds the XML fuzz target with clang (libFuzzer and AddressSanitizer, so leaks count as failures)
# from the parser's sources and the runtime it uses, and runs it for SECONDS (default 30) from the seed
# corpus. Without clang it says so and succeeds.
# Usage: tests/xml/fuzz/run.sh [SECONDS]
set -euo pipefail
seconds="${1:-30}"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../../fuzz/common.sh"
fuzz_setup xml

fuzz_make <<'MAKE'
OBJS := $(patsubst $(ROOT)/%.cpp,$(BUILD)/obj/%.o,$(wildcard $(ROOT)/xml/DomSimpleXml*.cpp) \
        $(ROOT)/tests/xml/fuzz/XmlFuzz.cpp)
$(BUILD)/xml_fuzz: $(OBJS) $(BUILD)/librtl.a
	$(CXX) -fsanitize=address,fuzzer $^ -o $@ -lpthread
MAKE

fuzz_run xml "$build/xml_fuzz" "$seconds" "$here/corpus" -- -dict="$here/xml.dict"
