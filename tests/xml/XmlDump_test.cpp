// The xml_dump tool against fixture files: every kind of line, and the error form with its exit code.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace {

const std::string kData = std::string(LUMETRA_TEST_DATA) + "/xml/";

struct TRun {
    std::string Output;
    int ExitCode;
};

TRun Dump(const std::string& file) {
    TRun run;
    FILE* pipe = ::popen((std::string(XML_DUMP_PATH) + " '" + file + "'").c_str(), "r");
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.Output.append(buffer, n);
    int status = ::pclose(pipe);
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

TEST(XmlDump, FixturesPrintAsExpected) {
    for (const char* name : {"chart", "prolog", "mixed", "utf8", "unclosed-comment"}) {
        SCOPED_TRACE(name);
        TRun run = Dump(kData + name + ".xml");
        EXPECT_EQ(run.Output, ReadFile(kData + name + ".dump"));
        EXPECT_EQ(run.ExitCode, std::string(name) == "unclosed-comment" ? 1 : 0);
    }
}

TEST(XmlDump, FilesThatCannotBeReadAreErrors) {
    TRun run = Dump(kData + "no-such-file.xml");
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Output.rfind("error: Cannot open file", 0), 0u);
}
