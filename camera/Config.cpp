#include "camera/Config.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace lumcam {

namespace {

constexpr TSensorKind kSensorKinds[] = {
    {1, "CMOS-2048", 2048, 10, 30000000}, {2, "CCD-3648", 3648, 100, 30000000},
    {3, "CMOS-1024", 1024, 10, 30000000}, {4, "CMOS-4096", 4096, 10, 30000000},
    {5, "CCD-512", 512, 100, 30000000},
};

constexpr int kMaxDevices = 32;

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    const size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items;
    if (Trim(text).empty())
        return items;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        items.push_back(
            Trim(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return items;
}

bool ParseInteger(const std::string& text, int64_t& value) {
    const std::string t = Trim(text);
    if (t.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(t.c_str(), &end, 0);
    if (errno != 0 || *end != '\0')
        return false;
    value = v;
    return true;
}

// Entry i of a per-device list; the last entry stands for the devices beyond the list.
std::string Item(const std::vector<std::string>& list, size_t i) {
    if (list.empty())
        return {};
    return list[std::min(i, list.size() - 1)];
}

template <class T> T IntegerOr(const std::string& text, T fallback, int64_t lo, int64_t hi) {
    int64_t v;
    if (!ParseInteger(text, v))
        return fallback;
    return static_cast<T>(std::clamp(v, lo, hi));
}

int64_t FrameCountOr(const char* name) {
    int64_t v;
    if (!ParseInteger(Env(name), v) || v < 0)
        return -1;
    return v;
}

} // namespace

const TSensorKind* FindSensorKind(uint16_t type) {
    for (const TSensorKind& kind : kSensorKinds)
        if (kind.Type == type)
            return &kind;
    return nullptr;
}

bool ParseFirmware(const std::string& text, uint16_t& version) {
    const std::string t = Trim(text);
    const size_t dot = t.find('.');
    if (dot != std::string::npos) {
        int64_t major, minor;
        if (!ParseInteger(t.substr(0, dot), major) || !ParseInteger(t.substr(dot + 1), minor) || major < 0 ||
            major > 255 || minor < 0 || minor > 255)
            return false;
        version = static_cast<uint16_t>(major << 8 | minor);
        return true;
    }
    int64_t v;
    if (!ParseInteger(t, v) || v < 0 || v > 0xFFFF)
        return false;
    version = static_cast<uint16_t>(v);
    return true;
}

TConfig ReadConfig() {
    TConfig config;
    const int count = IntegerOr<int>(Env("LUMCAM_DEVICES"), 1, 0, kMaxDevices);
    const auto products = SplitList(Env("LUMCAM_PRODUCT"));
    const auto serials = SplitList(Env("LUMCAM_SERIAL"));
    const auto firmwares = SplitList(Env("LUMCAM_FIRMWARE"));
    const auto types = SplitList(Env("LUMCAM_SENSOR_TYPE"));
    const auto mcuTypes = SplitList(Env("LUMCAM_MCU_SENSOR_TYPE"));
    const auto names = SplitList(Env("LUMCAM_SENSOR_NAME"));
    const auto pixels = SplitList(Env("LUMCAM_PIXELS"));
    const auto customs = SplitList(Env("LUMCAM_CUSTOM_FIRMWARE"));

    for (int i = 0; i < count; ++i) {
        TDeviceConfig d;
        d.SensorType = IntegerOr<uint16_t>(Item(types, i), 1, 0, 0xFFFF);
        d.McuSensorType = IntegerOr<uint16_t>(Item(mcuTypes, i), d.SensorType, 0, 0xFFFF);
        const TSensorKind* kind = FindSensorKind(d.SensorType);
        d.Pixels = IntegerOr<uint16_t>(Item(pixels, i), kind ? kind->Pixels : 2048, 1, 4096);
        uint16_t fw;
        if (ParseFirmware(Item(firmwares, i), fw))
            d.Firmware = fw;
        d.SensorName = Item(names, i);
        d.CustomFirmware = IntegerOr<uint32_t>(Item(customs, i), 0, 0, 0xFFFFFFFFll);
        d.Product = Item(products, i);
        if (d.Product.empty())
            d.Product = "LUMCAM-" + std::to_string(d.Pixels);
        // Serial numbers are not repeated: a device beyond the list gets its own default.
        if (static_cast<size_t>(i) < serials.size() && !serials[i].empty())
            d.Serial = serials[i];
        else {
            char buf[16];
            std::snprintf(buf, sizeof buf, "LC%06d", i + 1);
            d.Serial = buf;
        }
        config.Devices.push_back(d);
    }

    const std::string rate = Trim(Env("LUMCAM_EXT_TRIGGER_HZ"));
    if (!rate.empty()) {
        char* end = nullptr;
        const double hz = std::strtod(rate.c_str(), &end);
        if (*end == '\0' && hz > 0 && hz <= 1e6)
            config.ExternalTriggerHz = hz;
    }
    config.Unpaced = Trim(Env("LUMCAM_UNPACED")) == "1";

    config.Faults.UnplugAfterFrames = FrameCountOr("LUMCAM_FAULT_UNPLUG_AFTER");
    config.Faults.TimeoutAfterFrames = FrameCountOr("LUMCAM_FAULT_TIMEOUT_AFTER");
    config.Faults.ShortReadBytes = IntegerOr<uint32_t>(Env("LUMCAM_FAULT_SHORT_READ"), 0, 0, 0xFFFFFFFFll);
    for (std::string name : SplitList(Env("LUMCAM_FAULT_REFUSE"))) {
        if (name.rfind("ls_", 0) == 0)
            name = name.substr(3);
        if (!name.empty())
            config.Faults.Refused.insert(name);
    }
    return config;
}

} // namespace lumcam
