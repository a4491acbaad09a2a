// The codes a display backend reports input and window states in: virtual key codes, the lParam layout
// of key messages, the wheel step and the WM_SIZE kinds. The window system's messages carry them
// unchanged, so they sit below both.
#pragma once

#include <cstdint>

namespace plat {

inline constexpr uint16_t VK_LBUTTON = 0x01;
inline constexpr uint16_t VK_RBUTTON = 0x02;
inline constexpr uint16_t VK_CANCEL = 0x03;
inline constexpr uint16_t VK_MBUTTON = 0x04;
inline constexpr uint16_t VK_BACK = 0x08;
inline constexpr uint16_t VK_TAB = 0x09;
inline constexpr uint16_t VK_CLEAR = 0x0C;
inline constexpr uint16_t VK_RETURN = 0x0D;
inline constexpr uint16_t VK_SHIFT = 0x10;
inline constexpr uint16_t VK_CONTROL = 0x11;
inline constexpr uint16_t VK_MENU = 0x12;
inline constexpr uint16_t VK_PAUSE = 0x13;
inline constexpr uint16_t VK_CAPITAL = 0x14;
inline constexpr uint16_t VK_ESCAPE = 0x1B;
inline constexpr uint16_t VK_SPACE = 0x20;
inline constexpr uint16_t VK_PRIOR = 0x21;
inline constexpr uint16_t VK_NEXT = 0x22;
inline constexpr uint16_t VK_END = 0x23;
inline constexpr uint16_t VK_HOME = 0x24;
inline constexpr uint16_t VK_LEFT = 0x25;
inline constexpr uint16_t VK_UP = 0x26;
inline constexpr uint16_t VK_RIGHT = 0x27;
inline constexpr uint16_t VK_DOWN = 0x28;
inline constexpr uint16_t VK_SNAPSHOT = 0x2C;
inline constexpr uint16_t VK_INSERT = 0x2D;
inline constexpr uint16_t VK_DELETE = 0x2E;
inline constexpr uint16_t VK_HELP = 0x2F;
// '0'..'9' are 0x30..0x39 and 'A'..'Z' are 0x41..0x5A.
inline constexpr uint16_t VK_LWIN = 0x5B;
inline constexpr uint16_t VK_RWIN = 0x5C;
inline constexpr uint16_t VK_APPS = 0x5D;
inline constexpr uint16_t VK_NUMPAD0 = 0x60;
inline constexpr uint16_t VK_NUMPAD9 = 0x69;
inline constexpr uint16_t VK_MULTIPLY = 0x6A;
inline constexpr uint16_t VK_ADD = 0x6B;
inline constexpr uint16_t VK_SEPARATOR = 0x6C;
inline constexpr uint16_t VK_SUBTRACT = 0x6D;
inline constexpr uint16_t VK_DECIMAL = 0x6E;
inline constexpr uint16_t VK_DIVIDE = 0x6F;
inline constexpr uint16_t VK_F1 = 0x70;
inline constexpr uint16_t VK_F2 = 0x71;
inline constexpr uint16_t VK_F3 = 0x72;
inline constexpr uint16_t VK_F4 = 0x73;
inline constexpr uint16_t VK_F5 = 0x74;
inline constexpr uint16_t VK_F6 = 0x75;
inline constexpr uint16_t VK_F7 = 0x76;
inline constexpr uint16_t VK_F8 = 0x77;
inline constexpr uint16_t VK_F9 = 0x78;
inline constexpr uint16_t VK_F10 = 0x79;
inline constexpr uint16_t VK_F11 = 0x7A;
inline constexpr uint16_t VK_F12 = 0x7B;
inline constexpr uint16_t VK_NUMLOCK = 0x90;
inline constexpr uint16_t VK_SCROLL = 0x91;
inline constexpr uint16_t VK_LSHIFT = 0xA0;
inline constexpr uint16_t VK_RSHIFT = 0xA1;
inline constexpr uint16_t VK_LCONTROL = 0xA2;
inline constexpr uint16_t VK_RCONTROL = 0xA3;
inline constexpr uint16_t VK_LMENU = 0xA4;
inline constexpr uint16_t VK_RMENU = 0xA5;
inline constexpr uint16_t VK_OEM_1 = 0xBA;      // ;:
inline constexpr uint16_t VK_OEM_PLUS = 0xBB;   // =+
inline constexpr uint16_t VK_OEM_COMMA = 0xBC;  // ,<
inline constexpr uint16_t VK_OEM_MINUS = 0xBD;  // -_
inline constexpr uint16_t VK_OEM_PERIOD = 0xBE; // .>
inline constexpr uint16_t VK_OEM_2 = 0xBF;      // /?
inline constexpr uint16_t VK_OEM_3 = 0xC0;      // `~
inline constexpr uint16_t VK_OEM_4 = 0xDB;      // [{
inline constexpr uint16_t VK_OEM_5 = 0xDC;      // \|
inline constexpr uint16_t VK_OEM_6 = 0xDD;      // ]}
inline constexpr uint16_t VK_OEM_7 = 0xDE;      // '"

// Key message lParam: repeat count in bits 0-15, bit 24 set for a key of the numeric keypad (so its
// decimal key, say, is told apart from the main one; the characters it types carry the bit too), bit 29
// set while Alt is down, bit 30 set when the key was down before, bit 31 set on release.
constexpr intptr_t KF_KEYPAD_BIT = 1 << 24;
constexpr intptr_t KF_ALTDOWN_BIT = 1 << 29;
constexpr intptr_t KF_REPEAT_BIT = 1 << 30;
constexpr intptr_t KF_UP_BIT = static_cast<intptr_t>(1u << 31);

// Wheel rotation per notch.
constexpr int WHEEL_DELTA = 120;

constexpr bool IsKeypadVirtualKey(int vk) {
    return vk >= VK_NUMPAD0 && vk <= VK_DIVIDE;
}

// WM_SIZE kinds; also what a backend reports when the window manager changes a window's state.
inline constexpr int SIZE_RESTORED = 0;
inline constexpr int SIZE_MINIMIZED = 1;
inline constexpr int SIZE_MAXIMIZED = 2;

} // namespace plat
