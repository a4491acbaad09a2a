// Opens a web or mail link the way the desktop does: hands it to the desktop's handler (xdg-open) as a
// single argument, never through a shell and never with raised rights. Only http, https and mailto
// links are opened; anything else (file:, javascript:, relative paths, empty text) is refused, because a
// link in a caption or a document must not be able to start programs or open local files.
#pragma once

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace plat {

// The caller decides whether to tell the user; nothing is raised.
enum TOpenLinkResult {
    olOpened,  // the handler was started (whether a browser then shows the page is up to the desktop)
    olRefused, // not a link we open; nothing was started
    olFailed,  // a link we open, but the handler could not be started
};

// True for http://host..., https://host... and mailto:... (scheme in any case) without control
// characters and without a leading '-'.
bool IsOpenableLink(const std::string& url);

TOpenLinkResult OpenLink(const std::string& url);

// Starts program (looked up in PATH) with the arguments and answers whether it started. The default
// spawns it detached; tests put their own in place so that no browser opens.
using TLinkLauncher = std::function<bool(const std::string& program, const std::vector<std::string>& args)>;
// Returns the launcher that was in place; an empty function puts the default back.
TLinkLauncher SetLinkLauncher(TLinkLauncher launcher);

// The default launcher's work: posix_spawn with an argument list, no shell, the parent's descriptors
// beyond the standard three closed and signals at their defaults. The child is not waited for; a
// background reaper collects it when it ends, so no zombie stays. The child's id, or -1 when it could
// not be started.
pid_t SpawnDetached(const std::string& program, const std::vector<std::string>& args);

} // namespace plat
