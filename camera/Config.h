// What the simulated cameras are and which faults they show, read from LUMCAM_* environment
// variables each time the library is initialised (see docs/camera-simulator.md).
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace lumcam {

struct TDeviceConfig {
    std::string Product;
    std::string Serial;
    uint16_t Firmware = 0x0116;
    uint16_t SensorType = 1;
    uint16_t McuSensorType = 1;
    std::string SensorName; // empty: the name the sensor type has in the library's table
    uint16_t Pixels = 2048;
    uint32_t CustomFirmware = 0;
};

struct TFaults {
    int64_t UnplugAfterFrames = -1;  // negative: never
    int64_t TimeoutAfterFrames = -1; // negative: never
    uint32_t ShortReadBytes = 0;     // 0: reads are not cut short
    std::set<std::string> Refused;   // function names without the "ls_" prefix, e.g. "setinttime"
};

struct TConfig {
    std::vector<TDeviceConfig> Devices;
    double ExternalTriggerHz = 0; // external trigger rate; 0 means no trigger arrives
    bool Unpaced = false;         // frames are ready whenever read (benchmarks)
    TFaults Faults;
};

// A known sensor board type: its name, pixel count and integration-time range.
struct TSensorKind {
    uint16_t Type;
    const char* Name;
    uint16_t Pixels;
    uint32_t MinIntegrationUs;
    uint32_t MaxIntegrationUs;
};

// The table entry of a type, or null.
const TSensorKind* FindSensorKind(uint16_t type);

// Reads the configuration from the environment; values that cannot be read fall back to the defaults.
TConfig ReadConfig();

// Parses "0x0116", "278" or "1.22" (major.minor, minor in decimal) into major-high, minor-low form.
bool ParseFirmware(const std::string& text, uint16_t& version);

} // namespace lumcam
