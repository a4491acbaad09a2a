// The read-only Version text every component of the set publishes: one packed number, major, minor,
// release and build in its four bytes from the top, joined with ".".
#pragma once

#include <cstdint>
#include <string>

namespace ui {

constexpr uint32_t PackVersion(uint32_t Major, uint32_t Minor, uint32_t Release, uint32_t Build) {
    return (Major & 0xFF) << 24 | (Minor & 0xFF) << 16 | (Release & 0xFF) << 8 | (Build & 0xFF);
}

std::string VersionText(uint32_t Packed);

} // namespace ui
