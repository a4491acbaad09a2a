#include "platform/rtl/StartHeap.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace plat;

namespace {

// Bytes of the heap, up to its current end, in mappings that ask for large pages.
size_t AdvisedHeapBytes() {
    const auto end = reinterpret_cast<uintptr_t>(sbrk(0));
    std::ifstream smaps("/proc/self/smaps");
    std::string line;
    uintptr_t from = 0, to = 0;
    size_t advised = 0;
    while (std::getline(smaps, line)) {
        // A mapping's first line is "from-to perms ...", in hexadecimal.
        if (std::isxdigit(static_cast<unsigned char>(line[0])) && line.find('-') != std::string::npos &&
            line.find(':') > line.find(' ')) {
            std::istringstream range(line);
            char dash;
            range >> std::hex >> from >> dash >> to;
        } else if (line.rfind("VmFlags:", 0) == 0 && line.find(" hg") != std::string::npos && to <= end &&
                   to > from) {
            advised += to - from;
        }
    }
    return advised;
}

} // namespace

TEST(StartHeapTest, GrowsTheHeapOnceIntoMemoryAdvisedForLargePages) {
    const size_t advised = ReserveStartHeap();
    if (advised == 0)
        GTEST_SKIP() << "no large pages for the heap on this system";
    EXPECT_GE(AdvisedHeapBytes(), advised);
    EXPECT_EQ(ReserveStartHeap(), advised);
    // Frees in between keep the reserve: the heap is not trimmed below it.
    const uintptr_t end = reinterpret_cast<uintptr_t>(sbrk(0));
    std::vector<std::unique_ptr<char[]>> blocks;
    for (int i = 0; i < 50; ++i)
        blocks.push_back(std::make_unique<char[]>(60000));
    blocks.clear();
    EXPECT_GE(reinterpret_cast<uintptr_t>(sbrk(0)), end);
    EXPECT_GE(AdvisedHeapBytes(), advised);
}
