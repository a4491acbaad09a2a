#include "platform/rtl/OpenLink.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace plat {

namespace {

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool IsAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsSchemeChar(char c) {
    return IsAlpha(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

bool DefaultLaunch(const std::string& program, const std::vector<std::string>& args) {
    return SpawnDetached(program, args) > 0;
}

std::mutex& LauncherLock() {
    static std::mutex lock;
    return lock;
}

TLinkLauncher& Launcher() {
    static TLinkLauncher launcher = DefaultLaunch;
    return launcher;
}

// Owns the spawn attribute objects for the length of one spawn.
struct TSpawnSetup {
    posix_spawnattr_t Attr;
    posix_spawn_file_actions_t Actions;
    bool Ok = false;

    TSpawnSetup() {
        if (posix_spawnattr_init(&Attr) != 0)
            return;
        if (posix_spawn_file_actions_init(&Actions) != 0) {
            posix_spawnattr_destroy(&Attr);
            return;
        }
        Ok = true;
    }
    ~TSpawnSetup() {
        if (Ok) {
            posix_spawn_file_actions_destroy(&Actions);
            posix_spawnattr_destroy(&Attr);
        }
    }
};

} // namespace

bool IsOpenableLink(const std::string& url) {
    if (url.empty() || url[0] == '-')
        return false;
    for (char c : url)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
    const size_t colon = url.find(':');
    if (colon == std::string::npos || colon == 0 || !IsAlpha(url[0]))
        return false;
    for (size_t i = 1; i < colon; ++i)
        if (!IsSchemeChar(url[i]))
            return false;
    const std::string scheme = Lower(url.substr(0, colon));
    if (scheme == "mailto")
        return true;
    if (scheme != "http" && scheme != "https")
        return false;
    // A web link names a host: "http:x" or "https:///x" would leave the guessing to the handler.
    const size_t host = colon + 3;
    return url.compare(colon + 1, 2, "//") == 0 && host < url.size() && url[host] != '/' &&
           url[host] != '?' && url[host] != '#';
}

TOpenLinkResult OpenLink(const std::string& url) {
    if (!IsOpenableLink(url))
        return olRefused;
    TLinkLauncher launch;
    {
        std::lock_guard<std::mutex> guard(LauncherLock());
        launch = Launcher();
    }
    return launch("xdg-open", {url}) ? olOpened : olFailed;
}

TLinkLauncher SetLinkLauncher(TLinkLauncher launcher) {
    std::lock_guard<std::mutex> guard(LauncherLock());
    TLinkLauncher previous = std::move(Launcher());
    Launcher() = launcher ? std::move(launcher) : TLinkLauncher(DefaultLaunch);
    return previous;
}

pid_t SpawnDetached(const std::string& program, const std::vector<std::string>& args) {
    if (program.empty())
        return -1;
    std::vector<char*> argv;
    argv.reserve(args.size() + 2);
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    TSpawnSetup setup;
    if (!setup.Ok)
        return -1;
    // Signals this process ignores or blocks would otherwise stay ignored or blocked in the child.
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    sigdelset(&all, SIGKILL);
    sigdelset(&all, SIGSTOP);
    posix_spawnattr_setsigmask(&setup.Attr, &none);
    posix_spawnattr_setsigdefault(&setup.Attr, &all);
    posix_spawnattr_setflags(&setup.Attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawn_file_actions_addopen(&setup.Actions, 0, "/dev/null", O_RDONLY, 0);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    // A handler that outlives us must not hold our files (and the locks on them) open.
    posix_spawn_file_actions_addclosefrom_np(&setup.Actions, 3);
#endif

    pid_t pid = -1;
    if (posix_spawnp(&pid, program.c_str(), &setup.Actions, &setup.Attr, argv.data(), environ) != 0)
        return -1;
    try {
        std::thread([pid] {
            while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
        // No thread to spare: the handler still runs; it stays a zombie until this process ends.
    }
    return pid;
}

} // namespace plat
