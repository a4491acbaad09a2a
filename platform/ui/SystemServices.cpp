#include "platform/ui/SystemServices.h"

#include "platform/ui/Keys.h"
#include "platform/ui/WindowInternal.h"

namespace plat {

namespace {

struct TSettings {
    TSystemVersion Version;
    int CommonControlsMajor = 6;
    bool VisualStyles = false;
};

TSettings& Settings() {
    static TSettings settings;
    return settings;
}

} // namespace

TSystemVersion GetSystemVersion() {
    return Settings().Version;
}

void SetSystemVersion(const TSystemVersion& version) {
    Settings().Version = version;
}

int CommonControlsMajorVersion() {
    return Settings().CommonControlsMajor;
}

void SetCommonControlsMajorVersion(int major) {
    Settings().CommonControlsMajor = major;
}

bool VisualStylesEnabled() {
    return Settings().VisualStyles;
}

void SetVisualStylesEnabled(bool enabled) {
    Settings().VisualStyles = enabled;
}

std::string GetKeyNameText(uint16_t vk) {
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
        return std::string(1, static_cast<char>(vk));
    if (vk >= VK_F1 && vk <= VK_F1 + 23)
        return "F" + std::to_string(vk - VK_F1 + 1);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
        return "Num " + std::to_string(vk - VK_NUMPAD0);
    switch (vk) {
    case VK_BACK:
        return "Backspace";
    case VK_TAB:
        return "Tab";
    case VK_RETURN:
        return "Enter";
    case VK_SHIFT:
    case VK_LSHIFT:
    case VK_RSHIFT:
        return "Shift";
    case VK_CONTROL:
    case VK_LCONTROL:
    case VK_RCONTROL:
        return "Ctrl";
    case VK_MENU:
    case VK_LMENU:
    case VK_RMENU:
        return "Alt";
    case VK_PAUSE:
        return "Pause";
    case VK_CAPITAL:
        return "Caps Lock";
    case VK_ESCAPE:
        return "Esc";
    case VK_SPACE:
        return "Space";
    case VK_PRIOR:
        return "Page Up";
    case VK_NEXT:
        return "Page Down";
    case VK_END:
        return "End";
    case VK_HOME:
        return "Home";
    case VK_LEFT:
        return "Left";
    case VK_UP:
        return "Up";
    case VK_RIGHT:
        return "Right";
    case VK_DOWN:
        return "Down";
    case VK_SNAPSHOT:
        return "Print Screen";
    case VK_INSERT:
        return "Ins";
    case VK_DELETE:
        return "Del";
    case VK_HELP:
        return "Help";
    case VK_APPS:
        return "Application";
    case VK_MULTIPLY:
        return "Num *";
    case VK_ADD:
        return "Num +";
    case VK_SUBTRACT:
        return "Num -";
    case VK_DECIMAL:
        return "Num Del";
    case VK_DIVIDE:
        return "Num /";
    case VK_NUMLOCK:
        return "Num Lock";
    case VK_SCROLL:
        return "Scroll Lock";
    case VK_OEM_1:
        return ";";
    case VK_OEM_PLUS:
        return "=";
    case VK_OEM_COMMA:
        return ",";
    case VK_OEM_MINUS:
        return "-";
    case VK_OEM_PERIOD:
        return ".";
    case VK_OEM_2:
        return "/";
    case VK_OEM_3:
        return "`";
    case VK_OEM_4:
        return "[";
    case VK_OEM_5:
        return "\\";
    case VK_OEM_6:
        return "]";
    case VK_OEM_7:
        return "'";
    default:
        return {};
    }
}

void SetKeyToggled(uint16_t vk, bool toggled) {
    detail::TState& s = detail::S();
    uint8_t& k = s.KeyState[vk & 0xFF];
    k = static_cast<uint8_t>(toggled ? (k | 1) : (k & ~1));
    uint8_t& a = s.AsyncState[vk & 0xFF];
    a = static_cast<uint8_t>(toggled ? (a | 1) : (a & ~1));
}

bool MessageBeep(uint32_t) {
    detail::Backend().Bell();
    return true;
}

bool Beep(uint32_t, uint32_t) {
    detail::Backend().Bell();
    return true;
}

} // namespace plat
