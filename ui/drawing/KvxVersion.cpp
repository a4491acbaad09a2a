#include "ui/drawing/KvxVersion.h"

namespace ui {

std::string VersionText(uint32_t Packed) {
    return std::to_string(Packed >> 24) + "." + std::to_string((Packed >> 16) & 0xFF) + "." +
           std::to_string((Packed >> 8) & 0xFF) + "." + std::to_string(Packed & 0xFF);
}

} // namespace ui
