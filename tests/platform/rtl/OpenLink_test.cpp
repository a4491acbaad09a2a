#include "platform/rtl/OpenLink.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <thread>
#include <unistd.h>

#include "platform/rtl/TempFolder.h"

using namespace plat;

namespace {

struct TLaunch {
    std::string Program;
    std::vector<std::string> Args;
};

// Puts a recording launcher in place for one test and the previous one back afterwards.
class OpenLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        FPrevious = SetLinkLauncher([this](const std::string& program, const std::vector<std::string>& args) {
            FLaunches.push_back({program, args});
            return FStarts;
        });
    }
    void TearDown() override { SetLinkLauncher(FPrevious); }

    std::vector<TLaunch> FLaunches;
    bool FStarts = true;
    TLinkLauncher FPrevious;
};

TEST_F(OpenLinkTest, WebAndMailLinksGoToTheDesktopHandlerAsOneArgument) {
    const std::string links[] = {
        "https://example.com/a b;c&d|e`id`$(reboot)'\"<>",
        "HTTP://EXAMPLE.COM",
        "hTTpS://example.com:8080/path?q=1#frag",
        "mailto:someone@example.com?subject=Hello there&body=a;b",
        "MAILTO:someone@example.com",
        "https://ünïcode.example/päth",
    };
    for (const std::string& link : links) {
        SCOPED_TRACE(link);
        FLaunches.clear();
        EXPECT_TRUE(IsOpenableLink(link));
        EXPECT_EQ(OpenLink(link), olOpened);
        ASSERT_EQ(FLaunches.size(), 1u);
        EXPECT_EQ(FLaunches[0].Program, "xdg-open");
        EXPECT_EQ(FLaunches[0].Args, std::vector<std::string>{link});
    }
}

TEST_F(OpenLinkTest, OtherLinksAreRefusedWithoutStartingAnything) {
    const std::string links[] = {
        "file:///etc/passwd",
        "FILE://localhost/home",
        "javascript:alert(1)",
        "data:text/html,<script>alert(1)</script>",
        "ftp://example.com/",
        "smb://server/share",
        "relative/path.html",
        "/usr/bin/xterm",
        "www.example.com",
        "",
        "-https://example.com",
        "--help",
        " https://example.com",
        "https://example.com\n--new-window",
        std::string("https://example.com\0evil", 24),
        "https://example.com\x7f",
        "https:example.com",
        "https:/example.com",
        "https://",
        "https:///etc/passwd",
        "http://?q",
        "://example.com",
        "1http://example.com",
        "ht~tp://example.com",
        "mailto",
    };
    for (const std::string& link : links) {
        SCOPED_TRACE(link);
        EXPECT_FALSE(IsOpenableLink(link));
        EXPECT_EQ(OpenLink(link), olRefused);
    }
    EXPECT_TRUE(FLaunches.empty());
}

TEST_F(OpenLinkTest, AHandlerThatCannotStartIsReported) {
    FStarts = false;
    EXPECT_EQ(OpenLink("https://example.com"), olFailed);
    EXPECT_EQ(FLaunches.size(), 1u);
}

TEST(OpenLinkLauncher, AnEmptyLauncherPutsTheDefaultBack) {
    int calls = 0;
    TLinkLauncher previous = SetLinkLauncher([&](const std::string&, const std::vector<std::string>&) {
        ++calls;
        return true;
    });
    ASSERT_TRUE(previous); // the default is always in place
    EXPECT_EQ(OpenLink("https://example.com"), olOpened);
    TLinkLauncher mine = SetLinkLauncher(nullptr);
    ASSERT_TRUE(mine);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(SetLinkLauncher(previous)); // the default, not an empty function
}

// The real spawning, with harmless programs in place of the desktop handler.
class SpawnDetachedTest : public TempFolderTest {
protected:
    std::string ReadWhenWritten(const std::string& path) {
        // The child runs on its own; wait for it to finish writing (it renames the file into place).
        for (int i = 0; i < 5000 && access(path.c_str(), F_OK) != 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

TEST_F(SpawnDetachedTest, PassesEachArgumentUntouchedWithoutAShell) {
    const std::string url = "https://example.com/a b;c&d|e`id`$(echo x)'\"*?\\";
    const std::string out = Path("arg");
    const pid_t pid =
        SpawnDetached("sh", {"-c", "printf %s \"$1\" > \"$2.tmp\" && mv \"$2.tmp\" \"$2\"", "sh", url, out});
    ASSERT_GT(pid, 0);
    EXPECT_EQ(ReadWhenWritten(out), url);
}

TEST_F(SpawnDetachedTest, TheChildGetsNoneOfOurFilesBeyondTheStandardThree) {
    // Opened without close-on-exec, as a library might; a high number no shell uses for itself.
    const int raw = open("/dev/null", O_RDONLY);
    const int fd = fcntl(raw, F_DUPFD, 200);
    close(raw);
    ASSERT_GE(fd, 200);
    const std::string out = Path("fd");
    const std::string check = "if [ -e /proc/self/fd/" + std::to_string(fd) +
                              " ]; then r=open; else r=closed; fi; " +
                              "printf %s $r > \"$1.tmp\" && mv \"$1.tmp\" \"$1\"";
    ASSERT_GT(SpawnDetached("sh", {"-c", check, "sh", out}), 0);
    EXPECT_EQ(ReadWhenWritten(out), "closed");
    close(fd);
}

TEST_F(SpawnDetachedTest, AFinishedChildIsReapedAndAMissingProgramReported) {
    const pid_t pid = SpawnDetached("true", {});
    ASSERT_GT(pid, 0);
    // A zombie still answers signal 0; a reaped child no longer exists.
    bool gone = false;
    for (int i = 0; i < 5000 && !gone; ++i) {
        gone = kill(pid, 0) != 0 && errno == ESRCH;
        if (!gone)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_TRUE(gone);

    EXPECT_EQ(SpawnDetached("lumetra-no-such-program-here", {"https://example.com"}), -1);
    EXPECT_EQ(SpawnDetached("", {}), -1);
}

} // namespace
