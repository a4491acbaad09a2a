// Small answers about the system the program runs on: the version it reports and whether visual styles
// are on (process-wide settings; a newer system without visual styles unless changed), the names of keys
// for shortcut texts, the toggled state of the lock keys, and the system's beep.
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
// The major version of the common controls library the program reports (6: the newer controls).
int CommonControlsMajorVersion();
void SetCommonControlsMajorVersion(int major);
// Whether controls should draw with visual styles; classic drawing runs while this is off.
bool VisualStylesEnabled();
void SetVisualStylesEnabled(bool enabled);

// The name of a virtual key as shortcut texts show it ("Ctrl", "Enter", "F5", "A"); empty for an
// unknown key.
std::string GetKeyNameText(uint16_t vk);

// Sets the toggled state of a lock key (VK_CAPITAL, VK_NUMLOCK, VK_SCROLL) as GetKeyState reports it.
// A display that knows the keyboard's lock state (X11) reports it on its own and overrides this; on the
// virtual screen tests set it.
void SetKeyToggled(uint16_t vk, bool toggled);

// The system's beep, whatever the kind of message (0, 0xFFFFFFFF or an icon kind of a message box) or
// the tone asked for: the display rings its bell.
bool MessageBeep(uint32_t type);
bool Beep(uint32_t frequency, uint32_t duration);

} // namespace plat
