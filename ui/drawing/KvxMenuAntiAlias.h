// The text quality setting of the menus' anti-aliased caption output.
#pragma once

#include <cstdint>
#include <iterator>

namespace ui {

enum TAntiAlias : uint8_t { aaNone, aaClearType, aaAntiAlias };
inline constexpr const char* kAntiAliasNames[] = {"aaNone", "aaClearType", "aaAntiAlias"};
static_assert(std::size(kAntiAliasNames) == aaAntiAlias + 1);

} // namespace ui
