// How controls place their text and which scroll bars a scrolling control shows; shared by the label,
// edit, memo, check box, panel and the list controls.
#pragma once

#include <iterator>

namespace plat {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// Identifiers as layouts write them, by ordinal.
inline constexpr const char* kAlignmentNames[] = {"taLeftJustify", "taRightJustify", "taCenter"};
static_assert(std::size(kAlignmentNames) == taCenter + 1);
inline constexpr const char* kTextLayoutNames[] = {"tlTop", "tlCenter", "tlBottom"};
static_assert(std::size(kTextLayoutNames) == tlBottom + 1);
inline constexpr const char* kScrollStyleNames[] = {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"};
static_assert(std::size(kScrollStyleNames) == ssBoth + 1);

} // namespace plat
