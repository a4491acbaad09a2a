# Read after a fuzz script's own rules (see common.sh): the compile flags (a script may add
# EXTRA_CXXFLAGS), the runtime as an archive so that only what a target uses is linked, and the rule
# that builds every object under BUILD/obj. A script lists its objects in OBJS for the dependency files.
CXXFLAGS := -std=c++20 -O1 -g -fno-omit-frame-pointer -fsanitize=address,fuzzer-no-link -I$(ROOT) \
            $(EXTRA_CXXFLAGS) -MMD -MP
RTL := $(patsubst $(ROOT)/%.cpp,$(BUILD)/obj/%.o,$(wildcard $(ROOT)/platform/rtl/*.cpp))
$(BUILD)/librtl.a: $(RTL)
	rm -f $@ && ar rcs $@ $^
$(BUILD)/obj/%.o: $(ROOT)/%.cpp
	@mkdir -p $(dir $@)
	$(CXX) $(CXXFLAGS) -c $< -o $@
-include $(RTL:.o=.d) $(OBJS:.o=.d)
