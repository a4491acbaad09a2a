// Small answers about the system the program runs on: the version it reports and whether visual styles
// are on (process-wide settings; a newer system without visual styles unless changed), the names of keys
// for shortcut texts, and the toggled state of the lock keys.
#pragma once

#include <cstdint>
#include <string>

namespace plat {

struct TSystemVersion {
    int Major = 10;
    int Minor = 0;
    int Build = 19045;
};
TSystemVersion GetSystemVersion();
void SetSystemVersion(const TSystemVersion& version);
// Whether controls should draw with visual styles; classic drawing runs while this is off.
bool VisualStylesEnabled();
void SetVisualStylesEnabled(bool enabled);

// The name of a virtual key as shortcut texts show it ("Ctrl", "Enter", "F5", "A"); empty for an
// unknown key.
std::string GetKeyNameText(uint16_t vk);

// Sets the toggled state of a lock key (VK_CAPITAL, VK_NUMLOCK, VK_SCROLL) as GetKeyState reports it;
// the display reports it on its own, tests set it.
void SetKeyToggled(uint16_t vk, bool toggled);

} // namespace plat
