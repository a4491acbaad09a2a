// Tests that hand our files to another program (LibreOffice, ImageMagick, xmllint, localedef) check what
// no test of our own can: that the program people open them in reads them. A developer's machine may lack
// such a program, and the test then skips. CI installs every one of them and sets LUMETRA_CI=1: there a
// missing program fails the test, since a skip would report a check as passed that never ran.
#pragma once

#include <cstdlib>
#include <string>
#include <string_view>

#include <unistd.h>

#include <gtest/gtest.h>

namespace testtool {

// True where every external program the tests use must be present.
inline bool Required() {
    const char* ci = std::getenv("LUMETRA_CI");
    return ci && std::string_view(ci) == "1";
}

// The full path of a program found on PATH, or "" when there is none.
inline std::string FindProgram(std::string_view name) {
    const char* path = std::getenv("PATH");
    std::string_view rest = path ? path : "/usr/bin:/bin";
    while (true) {
        size_t colon = rest.find(':');
        std::string_view dir = rest.substr(0, colon);
        std::string candidate = std::string(dir.empty() ? "." : dir) + "/" + std::string(name);
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (colon == std::string_view::npos)
            return "";
        rest.remove_prefix(colon + 1);
    }
}

} // namespace testtool

// Ends the test because a program it needs is missing: a skip on a developer's machine, a failure in CI.
#define SKIP_WITHOUT_TOOL(reason)                                                                            \
    do {                                                                                                     \
        if (::testtool::Required())                                                                          \
            GTEST_FAIL() << reason << " (LUMETRA_CI=1: CI installs it)";                                     \
        else                                                                                                 \
            GTEST_SKIP() << reason;                                                                          \
    } while (false)
