// Where tests leave pictures and files for people and other programs to look at: <build>/test-output/
// <area>. Header-only so that the tests of the layers below the test driver can use it too.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace plat {

// The build root is the nearest folder holding CMakeCache.txt above the test program (so the place
// does not depend on where the program was started or how the tests are grouped into programs), else
// above the working folder; the folder is created.
inline std::string TestOutputDir(std::string_view area) {
    namespace fs = std::filesystem;
    auto buildRoot = [](fs::path dir) -> fs::path {
        for (; !dir.empty(); dir = dir.parent_path()) {
            std::error_code ec;
            if (fs::exists(dir / "CMakeCache.txt", ec))
                return dir;
            if (dir.parent_path() == dir)
                break;
        }
        return {};
    };
    std::error_code ec;
    fs::path root = buildRoot(fs::read_symlink("/proc/self/exe", ec).parent_path());
    if (root.empty())
        root = buildRoot(fs::current_path());
    if (root.empty())
        root = fs::current_path();
    const fs::path out = root / "test-output" / area;
    fs::create_directories(out);
    return out.string();
}

} // namespace plat
