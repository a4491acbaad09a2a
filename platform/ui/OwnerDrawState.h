// The states an owner-drawn item (of a list, a combo box or a menu) is drawn in: one set of bits for
// all of them, so that their headers can be used together.
#pragma once

#include <cstdint>

namespace plat {

using TOwnerDrawState = uint32_t;
inline constexpr TOwnerDrawState odSelected = 1u << 0;
inline constexpr TOwnerDrawState odGrayed = 1u << 1;
inline constexpr TOwnerDrawState odDisabled = 1u << 2;
inline constexpr TOwnerDrawState odChecked = 1u << 3;
inline constexpr TOwnerDrawState odFocused = 1u << 4;
inline constexpr TOwnerDrawState odDefault = 1u << 5;
inline constexpr TOwnerDrawState odHotLight = 1u << 6; // a menu item under the pointer
inline constexpr TOwnerDrawState odInactive = 1u << 7; // a menu item of an inactive window
inline constexpr TOwnerDrawState odNoAccel = 1u << 8;
inline constexpr TOwnerDrawState odNoFocusRect = 1u << 9;
inline constexpr TOwnerDrawState odComboBoxEdit = 1u << 10; // the edit part of a combo box

} // namespace plat
