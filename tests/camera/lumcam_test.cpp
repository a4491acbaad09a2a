// Contract tests of the simulated camera driver library, called through the application's binding.
#include "app/CameraDefs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <map>
#include <numeric>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

TCameraLibrary& Lib() {
    static TCameraLibrary* lib = [] {
        auto* l = new TCameraLibrary;
        l->LoadFrom(LUMCAM_LIBRARY_DIR);
        return l;
    }();
    return *lib;
}

const char* const kVariables[] = {
    "LUMCAM_DEVICES",
    "LUMCAM_PRODUCT",
    "LUMCAM_SERIAL",
    "LUMCAM_FIRMWARE",
    "LUMCAM_SENSOR_TYPE",
    "LUMCAM_MCU_SENSOR_TYPE",
    "LUMCAM_SENSOR_NAME",
    "LUMCAM_PIXELS",
    "LUMCAM_CUSTOM_FIRMWARE",
    "LUMCAM_EXT_TRIGGER_HZ",
    "LUMCAM_UNPACED",
    "LUMCAM_FAULT_UNPLUG_AFTER",
    "LUMCAM_FAULT_TIMEOUT_AFTER",
    "LUMCAM_FAULT_SHORT_READ",
    "LUMCAM_FAULT_REFUSE",
};

uint32_t ImageNumberAt(const std::vector<uint8_t>& bytes, size_t end) {
    return bytes[end - 4] | bytes[end - 3] << 8 | bytes[end - 2] << 16 |
           static_cast<uint32_t>(bytes[end - 1]) << 24;
}

std::vector<double> Samples16(const std::vector<uint8_t>& bytes) {
    std::vector<double> s(bytes.size() / 2);
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = bytes[2 * i] | bytes[2 * i + 1] << 8;
    return s;
}

double Mean(const std::vector<double>& v) {
    return std::accumulate(v.begin(), v.end(), 0.0) / v.size();
}

double Milliseconds(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

class Camera : public ::testing::Test {
protected:
    TCameraLibrary& L = Lib();

    void SetUp() override { ASSERT_TRUE(L.Loaded()) << L.ErrorMessage(); }
    void TearDown() override {
        L.ls_closedevice();
        for (const char* name : kVariables)
            unsetenv(name);
    }

    // Describes the cameras through the environment and initialises the library afresh with them.
    void Init(const std::map<std::string, std::string>& env = {}, uint32_t bufferSize = 0x4000000,
              uint32_t transferSize = 0x10000) {
        for (const char* name : kVariables)
            unsetenv(name);
        if (!env.count("LUMCAM_PIXELS"))
            setenv("LUMCAM_PIXELS", "64", 1);
        for (const auto& [name, value] : env)
            setenv(name.c_str(), value.c_str(), 1);
        ASSERT_NE(L.ls_initialize(bufferSize, transferSize, 32, 1, "VX_LUMETRA_DEVICE_"), 0);
        ASSERT_EQ(L.ls_seteptimeout(2000), 0);
    }
    void Open(int index = 0) { ASSERT_EQ(L.ls_opendevicebyindex(index), 0); }
    void Start() { ASSERT_EQ(L.ls_setstate(1), 0); }
    std::string Text(int32_t code) { return L.ls_geterrorstring(code); }

    // Reads like the acquisition thread: until `bytes` arrived or a read fails (the code is returned).
    int32_t ReadFrame(std::vector<uint8_t>& frame, uint32_t bytes, std::vector<uint32_t>* pieces = nullptr) {
        frame.assign(bytes, 0);
        uint32_t got = 0;
        while (got < bytes) {
            uint32_t n = 0;
            const int32_t code = L.ls_getpipe(frame.data() + got, bytes - got, &n);
            if (code != 0)
                return code;
            if (pieces)
                pieces->push_back(n);
            got += n;
        }
        return 0;
    }
    // Mean of several 16-bit frames, pixel by pixel.
    std::vector<double> AverageFrame(uint32_t pixels, int frames = 8) {
        std::vector<double> sum(pixels, 0.0);
        std::vector<uint8_t> raw;
        for (int f = 0; f < frames; ++f) {
            EXPECT_EQ(ReadFrame(raw, pixels * 2), 0);
            const auto s = Samples16(raw);
            for (uint32_t i = 0; i < pixels; ++i)
                sum[i] += s[i] / frames;
        }
        return sum;
    }
    // Empties the buffer so the next frame is made with the settings now in force.
    void Drain() {
        uint32_t buffered = 0;
        ASSERT_EQ(L.ls_getpipe(nullptr, 0, &buffered), 0);
        std::vector<uint8_t> sink(buffered + 1);
        while (buffered > 0) {
            uint32_t n = 0;
            ASSERT_EQ(L.ls_getpipe(sink.data(), buffered, &n), 0);
            buffered -= std::min(buffered, n);
        }
    }
};

// ---- devices ----

TEST_F(Camera, DefaultsGiveOne2048PixelCameraWithNewestFirmware) {
    Init({{"LUMCAM_PIXELS", ""}});
    EXPECT_EQ(L.ls_enumdevices(), 1);
    EXPECT_STREQ(L.ls_getproductname(0), "LUMCAM-2048");
    EXPECT_STREQ(L.ls_getserialnumber(0), "LC000001");
    EXPECT_EQ(L.ls_getfwversion(0), 0x0116);
    EXPECT_EQ(L.ls_currentdeviceindex(), -1);
    Open();
    EXPECT_EQ(L.ls_currentdeviceindex(), 0);
    uint16_t type = 0, pixels = 0, mcu = 0;
    ASSERT_EQ(L.ls_getsensortype(&type, &pixels), 0);
    EXPECT_EQ(pixels, 2048);
    ASSERT_EQ(L.ls_getmcusensortype(&mcu), 0);
    EXPECT_EQ(mcu, type);
    EXPECT_STREQ(L.ls_getsensorname(type), "CMOS-2048");
    uint32_t inttime = 0, custom = 99;
    ASSERT_EQ(L.ls_getinttime(&inttime), 0);
    EXPECT_EQ(inttime, 1053u); // the read-out time of 2048 pixels
    ASSERT_EQ(L.ls_customfirmware(&custom), 0);
    EXPECT_EQ(custom, 0u);
    uint8_t cfg1 = 0, mode = 0;
    ASSERT_EQ(L.ls_getcfg1(&cfg1), 0);
    EXPECT_EQ(cfg1, 0x02); // 16-bit, no image number, one frame per transfer
    ASSERT_EQ(L.ls_getmode(&mode), 0);
    EXPECT_EQ(mode, 2);
}

TEST_F(Camera, EnumeratesConfiguredDevicesAndOpensByIndex) {
    Init({{"LUMCAM_DEVICES", "3"},
          {"LUMCAM_PRODUCT", "Cam A,Cam B"},
          {"LUMCAM_SERIAL", "S-1,S-2"},
          {"LUMCAM_FIRMWARE", "0x0113,1.22"},
          {"LUMCAM_SENSOR_TYPE", "1,2"},
          {"LUMCAM_MCU_SENSOR_TYPE", "1,3"},
          {"LUMCAM_SENSOR_NAME", ",Custom Sensor"},
          {"LUMCAM_PIXELS", "64,3648,16"},
          {"LUMCAM_CUSTOM_FIRMWARE", "0,0,7"}});
    ASSERT_EQ(L.ls_enumdevices(), 3);
    EXPECT_STREQ(L.ls_getproductname(1), "Cam B");
    EXPECT_STREQ(L.ls_getproductname(2), "Cam B"); // the last entry stands for the rest
    EXPECT_STREQ(L.ls_getserialnumber(1), "S-2");
    EXPECT_STREQ(L.ls_getserialnumber(2), "LC000003"); // serial numbers are never repeated
    EXPECT_EQ(L.ls_getfwversion(0), 0x0113);
    EXPECT_EQ(L.ls_getfwversion(1), 0x0116);
    EXPECT_STREQ(L.ls_getproductname(3), "");
    EXPECT_EQ(L.ls_getfwversion(-1), 0);

    Open(1);
    EXPECT_EQ(L.ls_currentdeviceindex(), 1);
    uint16_t type = 0, pixels = 0, mcu = 0;
    ASSERT_EQ(L.ls_getsensortype(&type, &pixels), 0);
    EXPECT_EQ(type, 2);
    EXPECT_EQ(pixels, 3648);
    ASSERT_EQ(L.ls_getmcusensortype(&mcu), 0);
    EXPECT_EQ(mcu, 3); // a controller that expects another sensor board
    EXPECT_STREQ(L.ls_getsensorname(2), "Custom Sensor");
    EXPECT_STREQ(L.ls_getsensorname(3), "CMOS-1024");
    EXPECT_STREQ(L.ls_getsensorname(0), "");
    EXPECT_STREQ(L.ls_getsensorname(999), "");

    Open(2); // opening another device closes the first
    EXPECT_EQ(L.ls_currentdeviceindex(), 2);
    uint32_t custom = 0;
    ASSERT_EQ(L.ls_customfirmware(&custom), 0);
    EXPECT_EQ(custom, 7u);

    const int32_t code = L.ls_opendevicebyindex(3);
    EXPECT_NE(code, 0);
    EXPECT_EQ(Text(code), "DEVICE NOT FOUND");
    EXPECT_EQ(L.ls_currentdeviceindex(), 2) << "a bad index leaves the open device alone";
}

TEST_F(Camera, CallsNeedingADeviceFailWhenNoneIsOpen) {
    Init();
    uint32_t u32 = 0;
    uint16_t u16 = 0;
    uint8_t u8 = 0, buf[4];
    const int32_t codes[] = {
        L.ls_getinttime(&u32),     L.ls_setinttime(5000), L.ls_getmode(&u8),
        L.ls_setstate(1),          L.ls_getadcpga1(&u16), L.ls_getpipe(buf, 4, &u32),
        L.ls_customfirmware(&u32), L.ls_savesettings(),   L.ls_getsensortype(&u16, &u16)};
    for (int32_t code : codes) {
        EXPECT_EQ(code, 6);
        EXPECT_EQ(Text(code), "DEVICE NOT OPEN");
    }
    EXPECT_EQ(L.ls_getfps(), 0u);
    EXPECT_EQ(L.ls_closedevice(), 6);
    EXPECT_EQ(Text(0), "OK");
    EXPECT_EQ(Text(424242), "UNKNOWN ERROR 424242");
}

TEST_F(Camera, GettersRefuseANullDestinationOpenOrNot) {
    Init();
    uint32_t u32 = 0;
    uint16_t u16 = 0;
    uint8_t u8 = 0;
    const std::pair<const char*, std::function<int32_t()>> getters[] = {
        {"getpacketlength", [&] { return L.ls_getpacketlength(nullptr); }},
        {"getsensortype type", [&] { return L.ls_getsensortype(nullptr, &u16); }},
        {"getsensortype pixels", [&] { return L.ls_getsensortype(&u16, nullptr); }},
        {"getmcusensortype", [&] { return L.ls_getmcusensortype(nullptr); }},
        {"getmode", [&] { return L.ls_getmode(nullptr); }},
        {"getstate", [&] { return L.ls_getstate(nullptr); }},
        {"getcfg1", [&] { return L.ls_getcfg1(nullptr); }},
        {"getinttime", [&] { return L.ls_getinttime(nullptr); }},
        {"getsofttrigtime", [&] { return L.ls_getsofttrigtime(nullptr); }},
        {"getminmaxtime minimum", [&] { return L.ls_getminmaxtime(1, nullptr, &u32); }},
        {"getminmaxtime maximum", [&] { return L.ls_getminmaxtime(1, &u32, nullptr); }},
        {"getminmaxtrigtime minimum", [&] { return L.ls_getminmaxtrigtime(nullptr, &u32); }},
        {"getminmaxtrigtime maximum", [&] { return L.ls_getminmaxtrigtime(&u32, nullptr); }},
        {"getadcconfig", [&] { return L.ls_getadcconfig(nullptr); }},
        {"getadcpga1", [&] { return L.ls_getadcpga1(nullptr); }},
        {"getadcoffset1", [&] { return L.ls_getadcoffset1(nullptr); }},
        {"customfirmware", [&] { return L.ls_customfirmware(nullptr); }},
        {"getpipe count", [&] { return L.ls_getpipe(&u8, 1, nullptr); }},
    };
    for (bool open : {false, true}) {
        if (open)
            Open();
        for (const auto& [name, call] : getters) {
            SCOPED_TRACE(std::string(name) + (open ? " (open)" : " (closed)"));
            EXPECT_EQ(Text(call()), "INVALID PARAMETER");
        }
    }
    EXPECT_EQ(L.ls_currentdeviceindex(), 0) << "a refused call leaves the device open";
}

// ---- settings ----

TEST_F(Camera, EverySettingReadsBackAndRefusesValuesOutOfRange) {
    Init();
    Open();
    struct Setting {
        const char* name;
        std::function<int32_t(uint32_t)> set;
        std::function<int32_t(uint32_t&)> get;
        uint32_t good;
        std::vector<uint32_t> bad;
        const char* refusal;
    };
    const Setting settings[] = {
        {"mode",
         [&](uint32_t v) { return L.ls_setmode(static_cast<int32_t>(v)); },
         [&](uint32_t& v) {
             uint8_t b;
             int32_t c = L.ls_getmode(&b);
             v = b;
             return c;
         },
         4,
         {5, 0xFFFFFFFF},
         "MODE OUT OF RANGE"},
        {"state",
         [&](uint32_t v) { return L.ls_setstate(static_cast<uint8_t>(v)); },
         [&](uint32_t& v) {
             uint8_t b;
             int32_t c = L.ls_getstate(&b);
             v = b;
             return c;
         },
         1,
         {2, 255},
         "STATE OUT OF RANGE"},
        {"cfg1",
         [&](uint32_t v) { return L.ls_setcfg1(static_cast<uint8_t>(v)); },
         [&](uint32_t& v) {
             uint8_t b;
             int32_t c = L.ls_getcfg1(&b);
             v = b;
             return c;
         },
         0x7F,
         {0x80, 0xFF},
         "CFG1 VALUE INVALID"},
        {"integration",
         [&](uint32_t v) { return L.ls_setinttime(static_cast<int32_t>(v)); },
         [&](uint32_t& v) { return L.ls_getinttime(&v); },
         30000000,
         {9, 30000001, 0xFFFFFFFF},
         "INTEGRATION TIME OUT OF RANGE"},
        {"soft trigger",
         [&](uint32_t v) { return L.ls_setsofttrigtime(static_cast<int32_t>(v)); },
         [&](uint32_t& v) { return L.ls_getsofttrigtime(&v); },
         750,
         {99, 1000001},
         "SOFT TRIGGER TIME OUT OF RANGE"},
        {"adc config",
         [&](uint32_t v) { return L.ls_setadcconfig(static_cast<uint16_t>(v)); },
         [&](uint32_t& v) {
             uint16_t w;
             int32_t c = L.ls_getadcconfig(&w);
             v = w;
             return c;
         },
         0,
         {0x81, 0x100},
         "ADC CONFIGURATION INVALID"},
        {"gain",
         [&](uint32_t v) { return L.ls_setadcpga1(static_cast<uint16_t>(v)); },
         [&](uint32_t& v) {
             uint16_t w;
             int32_t c = L.ls_getadcpga1(&w);
             v = w;
             return c;
         },
         63,
         {64, 0xFFFF},
         "GAIN OUT OF RANGE"},
        {"offset",
         [&](uint32_t v) { return L.ls_setadcoffset1(static_cast<uint16_t>(v)); },
         [&](uint32_t& v) {
             uint16_t w;
             int32_t c = L.ls_getadcoffset1(&w);
             v = w;
             return c;
         },
         0x1FA,
         {0x200, 0xFFFF},
         "OFFSET OUT OF RANGE"},
        {"end-point time-out",
         [&](uint32_t v) { return L.ls_seteptimeout(static_cast<int32_t>(v)); },
         [&](uint32_t& v) {
             v = static_cast<uint32_t>(L.ls_geteptimeout());
             return 0;
         },
         250,
         {0, 60001},
         "EP TIMEOUT OUT OF RANGE"},
    };
    for (const Setting& s : settings) {
        SCOPED_TRACE(s.name);
        ASSERT_EQ(s.set(s.good), 0);
        uint32_t value = 0;
        ASSERT_EQ(s.get(value), 0);
        EXPECT_EQ(value, s.good);
        for (uint32_t bad : s.bad) {
            const int32_t code = s.set(bad);
            EXPECT_NE(code, 0) << bad;
            EXPECT_EQ(Text(code), s.refusal);
            ASSERT_EQ(s.get(value), 0);
            EXPECT_EQ(value, s.good) << "a refused value must not be kept";
        }
    }
    const int32_t code = L.ls_setpacketlength(0);
    EXPECT_EQ(Text(code), "PACKET LENGTH OUT OF RANGE");
    EXPECT_EQ(Text(L.ls_setpacketlength(0x4000001)), "PACKET LENGTH OUT OF RANGE");
}

TEST_F(Camera, FirmwareDecidesSoftTriggerSupport) {
    struct Case {
        const char* firmware;
        bool softTrigger;
        bool triggerRange;
    } cases[] = {{"0x0113", false, false}, {"0x0114", true, false}, {"0x0116", true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.firmware);
        Init({{"LUMCAM_FIRMWARE", c.firmware}});
        Open();
        uint32_t t = 0, lo = 0, hi = 0;
        EXPECT_EQ(L.ls_setmode(4) == 0, c.softTrigger);
        EXPECT_EQ(L.ls_getsofttrigtime(&t) == 0, c.softTrigger);
        if (!c.softTrigger) {
            EXPECT_EQ(Text(L.ls_setmode(4)), "MODE NOT SUPPORTED BY FIRMWARE");
            EXPECT_EQ(Text(L.ls_setsofttrigtime(500)), "NOT SUPPORTED BY FIRMWARE");
        }
        const int32_t code = L.ls_getminmaxtrigtime(&lo, &hi);
        EXPECT_EQ(code == 0, c.triggerRange);
        if (c.triggerRange) {
            EXPECT_EQ(lo, 100u);
            EXPECT_EQ(hi, 1000000u);
        } else {
            EXPECT_EQ(Text(code), "NOT SUPPORTED BY FIRMWARE");
        }
    }
}

TEST_F(Camera, IntegrationRangeIsPerSensorType) {
    Init({{"LUMCAM_SENSOR_TYPE", "42"}});
    uint32_t lo = 0, hi = 0;
    ASSERT_EQ(L.ls_getminmaxtime(1, &lo, &hi), 0);
    EXPECT_EQ(lo, 10u);
    EXPECT_EQ(hi, 30000000u);
    ASSERT_EQ(L.ls_getminmaxtime(2, &lo, &hi), 0);
    EXPECT_EQ(lo, 100u);
    ASSERT_EQ(L.ls_getminmaxtime(42, &lo, &hi), 0); // a configured board type outside the table
    EXPECT_EQ(Text(L.ls_getminmaxtime(43, &lo, &hi)), "UNKNOWN SENSOR TYPE");
    EXPECT_EQ(Text(L.ls_getminmaxtime(1, nullptr, &hi)), "INVALID PARAMETER");
}

TEST_F(Camera, PacketLengthIsTheDevicesTransferNotTheValueSet) {
    Init();
    // The host transfer size can be set while no device is open (the application reopens afterwards).
    ASSERT_EQ(L.ls_setpacketlength(1000), 0);
    Open();
    uint32_t length = 0;
    ASSERT_EQ(L.ls_getpacketlength(&length), 0);
    EXPECT_EQ(length, 128u);                   // 64 pixels of 16 bits
    ASSERT_EQ(L.ls_setcfg1(2 << 2 | 0x00), 0); // three 8-bit frames per transfer
    ASSERT_EQ(L.ls_getpacketlength(&length), 0);
    EXPECT_EQ(length, 3u * 64u) << "the configuration byte takes effect at once";
}

TEST_F(Camera, NewConfigurationAppliesFromTheNextFrameWhileLive) {
    // Frames of the old format that wait in the buffer or are half read never reach the reader after
    // the change: one read ends with the change code, and what follows is whole new-format frames.
    Init({{"LUMCAM_FAULT_SHORT_READ", "50"}});
    Open();
    ASSERT_EQ(L.ls_setcfg1(0x03), 0);
    ASSERT_EQ(L.ls_setinttime(10), 0);
    Start();
    std::vector<uint8_t> frame(128);
    uint32_t n = 0;
    ASSERT_EQ(L.ls_getpipe(frame.data(), 128, &n), LS_CONFIG_CHANGED);
    ASSERT_EQ(L.ls_getpipe(frame.data(), 128, &n), 0);
    ASSERT_EQ(n, 50u) << "a frame half read";
    std::this_thread::sleep_for(std::chrono::milliseconds(5)); // old frames pile up

    struct Step {
        uint8_t cfg1;
        uint32_t frameBytes;
        bool imageNumber;
    } steps[] = {{0x01, 64, true}, {0x00, 64, false}, {0x03, 128, true}, {0x02, 128, false}};
    for (const Step& s : steps) {
        SCOPED_TRACE(static_cast<int>(s.cfg1));
        ASSERT_EQ(L.ls_setcfg1(s.cfg1), 0);
        EXPECT_EQ(L.ls_getpipe(frame.data(), 128, &n), LS_CONFIG_CHANGED);
        EXPECT_EQ(n, 0u);
        EXPECT_EQ(Text(LS_CONFIG_CHANGED), "CONFIGURATION CHANGED");
        uint32_t previous = 0;
        for (int f = 0; f < 3; ++f) {
            ASSERT_EQ(ReadFrame(frame, s.frameBytes), 0);
            uint32_t buffered = 0;
            ASSERT_EQ(L.ls_getpipe(nullptr, 0, &buffered), 0);
            EXPECT_EQ(buffered % s.frameBytes, 0u) << "reads stop at frame boundaries";
            if (s.imageNumber) {
                const uint32_t number = ImageNumberAt(frame, s.frameBytes);
                if (f > 0) {
                    EXPECT_EQ(number, previous + 1);
                }
                previous = number;
            }
        }
        uint8_t cfg1 = 0;
        ASSERT_EQ(L.ls_getcfg1(&cfg1), 0);
        EXPECT_EQ(cfg1, s.cfg1);
    }
    ASSERT_EQ(L.ls_setcfg1(0x02), 0);
    uint32_t length = 0;
    ASSERT_EQ(L.ls_getpipe(frame.data(), 128, &n), 0) << "the same byte again changes nothing";
    EXPECT_EQ(n, 50u);
    ASSERT_EQ(L.ls_getpacketlength(&length), 0);
    EXPECT_EQ(length, 128u);
}

TEST_F(Camera, ConfigurationChangeEndsAWaitingRead) {
    Init();
    Open();
    ASSERT_EQ(L.ls_setmode(0), 0); // one shot, not started: no frame comes
    std::vector<uint8_t> frame(128);
    std::atomic<int32_t> code{-2};
    const auto since = Clock::now();
    std::thread reader([&] {
        uint32_t n = 0;
        code = L.ls_getpipe(frame.data(), 128, &n);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(L.ls_setcfg1(0x00), 0);
    reader.join();
    EXPECT_EQ(code, LS_CONFIG_CHANGED);
    EXPECT_LT(Milliseconds(since), 1000.0) << "not after the 2 s time-out";
}

TEST_F(Camera, SavedSettingsComeBackAndUnsavedOnesDoNot) {
    Init({{"LUMCAM_SERIAL", "SAVE-TEST"}});
    Open();
    ASSERT_EQ(L.ls_setinttime(7000), 0);
    ASSERT_EQ(L.ls_setcfg1(0x03), 0);
    ASSERT_EQ(L.ls_savesettings(), 0);
    ASSERT_EQ(L.ls_setadcpga1(21), 0); // not saved
    L.ls_closedevice();
    Open(); // the device keeps its registers while the library lives
    uint16_t gain = 0;
    ASSERT_EQ(L.ls_getadcpga1(&gain), 0);
    EXPECT_EQ(gain, 21);

    Init({{"LUMCAM_SERIAL", "SAVE-TEST"}}); // as after powering the camera again
    Open();
    uint32_t inttime = 0;
    uint8_t cfg1 = 0;
    ASSERT_EQ(L.ls_getinttime(&inttime), 0);
    EXPECT_EQ(inttime, 7000u);
    ASSERT_EQ(L.ls_getcfg1(&cfg1), 0);
    EXPECT_EQ(cfg1, 0x03);
    ASSERT_EQ(L.ls_getadcpga1(&gain), 0);
    EXPECT_EQ(gain, 0);

    Init({{"LUMCAM_SERIAL", "OTHER"}});
    Open();
    ASSERT_EQ(L.ls_getinttime(&inttime), 0);
    EXPECT_EQ(inttime, 61u) << "another camera starts from its own defaults";
}

// ---- frames ----

TEST_F(Camera, FrameSizesFollowResolutionAndImageNumbers) {
    struct Case {
        uint8_t cfg1;
        uint32_t frameBytes;
        bool imageNumber;
    } cases[] = {{0x00, 64, false}, {0x01, 64, true}, {0x02, 128, false}, {0x03, 128, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.cfg1));
        Init();
        Open();
        ASSERT_EQ(L.ls_setcfg1(c.cfg1), 0);
        Open();
        Start();
        // A read never crosses a transfer: asking for more gives one frame.
        std::vector<uint8_t> a(1000), b(1000);
        uint32_t na = 0, nb = 0;
        ASSERT_EQ(L.ls_getpipe(a.data(), 1000, &na), 0);
        ASSERT_EQ(L.ls_getpipe(b.data(), 1000, &nb), 0);
        EXPECT_EQ(na, c.frameBytes);
        EXPECT_EQ(nb, c.frameBytes);
        if (c.imageNumber) {
            EXPECT_EQ(ImageNumberAt(b, nb), ImageNumberAt(a, na) + 1);
        }
    }
}

TEST_F(Camera, EightBitSamplesAreTheTopByteOfSixteen) {
    Init();
    Open();
    ASSERT_EQ(L.ls_setinttime(5000), 0);
    Start();
    const double mean16 = Mean(AverageFrame(64));
    ASSERT_EQ(L.ls_setcfg1(0x00), 0);
    Open();
    ASSERT_EQ(L.ls_setinttime(5000), 0);
    Start();
    double mean8 = 0;
    std::vector<uint8_t> raw;
    for (int f = 0; f < 8; ++f) {
        ASSERT_EQ(ReadFrame(raw, 64), 0);
        mean8 += std::accumulate(raw.begin(), raw.end(), 0.0) / 64 / 8;
    }
    EXPECT_GT(mean16, 1000);
    EXPECT_NEAR(mean8, mean16 / 256, 1.0);
}

TEST_F(Camera, SeveralFramesPerTransferComeInOneRead) {
    Init();
    Open();
    ASSERT_EQ(L.ls_setcfg1(2 << 2 | 0x03), 0); // three 16-bit frames with image numbers
    Open();
    Start();
    std::vector<uint8_t> buf(4096);
    uint32_t n = 0;
    ASSERT_EQ(L.ls_getpipe(buf.data(), 4096, &n), 0);
    ASSERT_EQ(n, 3u * 128u);
    EXPECT_EQ(ImageNumberAt(buf, 256), ImageNumberAt(buf, 128) + 1);
    EXPECT_EQ(ImageNumberAt(buf, 384), ImageNumberAt(buf, 128) + 2);
    EXPECT_EQ(L.ls_getfps(), 128u * 1000000u / 61u + 1) << "bytes per second of single frames";
}

TEST_F(Camera, AFrameArrivesInPiecesThatReassembleWhole) {
    struct Case {
        const char* name;
        const char* shortRead;
        uint32_t transferSize;
        std::vector<uint32_t> pieces;
    } cases[] = {
        {"short reads", "1000", 0x10000, {1000, 1000, 1000, 1000, 96}},
        {"small host transfers", "", 1500, {1500, 1500, 1096}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Init({{"LUMCAM_PIXELS", "2048"}, {"LUMCAM_FAULT_SHORT_READ", c.shortRead}}, 0x4000000,
             c.transferSize);
        Open();
        ASSERT_EQ(L.ls_setcfg1(0x03), 0);
        Open();
        Start();
        std::vector<uint8_t> first, second;
        std::vector<uint32_t> pieces;
        ASSERT_EQ(ReadFrame(first, 4096, &pieces), 0);
        EXPECT_EQ(pieces, c.pieces);
        ASSERT_EQ(ReadFrame(second, 4096), 0);
        EXPECT_EQ(ImageNumberAt(second, 4096), ImageNumberAt(first, 4096) + 1)
            << "pieces must join at frame boundaries";
    }
}

TEST_F(Camera, PipeQueryReportsBufferedBytesAndRejectsBadArguments) {
    Init();
    Open();
    uint32_t buffered = 1;
    ASSERT_EQ(L.ls_getpipe(nullptr, 0, &buffered), 0);
    EXPECT_EQ(buffered, 0u);
    Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(L.ls_getpipe(nullptr, 0, &buffered), 0);
    EXPECT_GT(buffered, 0u);
    EXPECT_EQ(buffered % 128, 0u);
    uint8_t byte = 0;
    EXPECT_EQ(Text(L.ls_getpipe(nullptr, 5, &buffered)), "INVALID PARAMETER");
    EXPECT_EQ(Text(L.ls_getpipe(&byte, 1, nullptr)), "INVALID PARAMETER");
}

TEST_F(Camera, FullBufferDropsTheOldestFrames) {
    Init({}, 4 * 128, 128); // room for four frames
    Open();
    ASSERT_EQ(L.ls_setcfg1(0x03), 0);
    Open();
    ASSERT_EQ(L.ls_setinttime(10), 0); // a frame every 61 µs
    Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(30)); // at least 490 frames
    // Stopped, the camera adds nothing while the frames are read, so what the buffer holds does not
    // depend on how fast this test runs.
    ASSERT_EQ(L.ls_setstate(0), 0);
    uint32_t buffered = 0;
    ASSERT_EQ(L.ls_getpipe(nullptr, 0, &buffered), 0);
    EXPECT_EQ(buffered, 4u * 128u);
    std::vector<uint8_t> frame;
    ASSERT_EQ(ReadFrame(frame, 128), 0);
    const uint32_t first = ImageNumberAt(frame, 128);
    EXPECT_GT(first, 100u) << "the oldest frames were dropped";
    for (uint32_t k = 1; k < 4; ++k) {
        ASSERT_EQ(ReadFrame(frame, 128), 0);
        EXPECT_EQ(ImageNumberAt(frame, 128), first + k) << "the newest frames are kept in order";
    }
}

// ---- the signal ----

TEST_F(Camera, SpectrumShowsTheMercuryLineWhereItsWavelengthFalls) {
    Init({{"LUMCAM_PIXELS", "2048"}});
    Open();
    Start();
    const auto frame = AverageFrame(2048);
    // 435.83 nm on a 250-950 nm scale over 2048 pixels.
    const int expected = static_cast<int>((435.83 - 250.0) / 700.0 * 2047.0 + 0.5);
    const auto peak = std::max_element(frame.begin() + 400, frame.begin() + 700) - frame.begin();
    EXPECT_NEAR(peak, expected, 1);
    std::vector<double> sorted = frame;
    std::nth_element(sorted.begin(), sorted.begin() + 1024, sorted.end());
    EXPECT_GT(frame[peak], 4 * sorted[1024]) << "lines stand well above the continuum";
    EXPECT_LT(frame[peak], 65535) << "the default settings do not saturate";
}

TEST_F(Camera, SignalFollowsIntegrationGainOffsetAndFullScale) {
    Init({{"LUMCAM_PIXELS", "2048"}});
    Open();
    ASSERT_EQ(L.ls_setinttime(10), 0);
    Start();
    const int line = 543; // the strongest mercury line
    auto level = [&](auto configure) {
        configure();
        Drain();
        return AverageFrame(2048, 32)[line];
    };
    const double dark = level([] {});
    const double t2000 = level([&] { ASSERT_EQ(L.ls_setinttime(2000), 0); });
    const double t1000 = level([&] { ASSERT_EQ(L.ls_setinttime(1000), 0); });
    EXPECT_NEAR((t2000 - dark) / (t1000 - dark), 1990.0 / 990.0, 0.02);

    const double offset = level([&] { ASSERT_EQ(L.ls_setadcoffset1(100), 0); }); // +120 mV
    EXPECT_NEAR(offset - t1000, 0.120 * 65535 / 4, 150);
    const double twoVolt = level([&] {
        ASSERT_EQ(L.ls_setadcoffset1(0), 0);
        ASSERT_EQ(L.ls_setadcconfig(0), 0);
    });
    EXPECT_NEAR(twoVolt / t1000, 2.0, 0.02);
    const double gain = level([&] {
        ASSERT_EQ(L.ls_setadcconfig(0x80), 0);
        ASSERT_EQ(L.ls_setadcpga1(21), 0); // 1.3846 V/V
    });
    EXPECT_NEAR(gain / t1000, 1.3846, 0.02);
}

TEST_F(Camera, SaturationClipsAtFullScale) {
    Init({{"LUMCAM_PIXELS", "2048"}});
    Open();
    ASSERT_EQ(L.ls_setadcpga1(63), 0);
    Start();
    std::vector<uint8_t> raw;
    ASSERT_EQ(ReadFrame(raw, 4096), 0);
    const auto s = Samples16(raw);
    EXPECT_EQ(*std::max_element(s.begin(), s.end()), 65535);
    EXPECT_GT(std::count(s.begin(), s.end(), 65535.0), 3);

    ASSERT_EQ(L.ls_setcfg1(0x00), 0);
    Open();
    ASSERT_EQ(L.ls_setadcpga1(63), 0);
    Start();
    ASSERT_EQ(ReadFrame(raw, 2048), 0);
    EXPECT_EQ(*std::max_element(raw.begin(), raw.end()), 255);
}

TEST_F(Camera, ConsecutiveFramesCarryNoise) {
    Init();
    Open();
    ASSERT_EQ(L.ls_setinttime(2000), 0);
    Start();
    std::vector<uint8_t> a, b;
    ASSERT_EQ(ReadFrame(a, 128), 0);
    ASSERT_EQ(ReadFrame(b, 128), 0);
    EXPECT_NE(a, b);
}

// ---- timing ----

TEST_F(Camera, RateReportedInBytesFollowsTheMode) {
    Init({{"LUMCAM_EXT_TRIGGER_HZ", "500"}});
    Open();
    EXPECT_EQ(L.ls_getfps(), 0u) << "stopped";
    Start();
    struct Case {
        int mode;
        uint32_t inttime;
        uint32_t bytesPerSecond;
    } cases[] = {
        {2, 1000, 128 * 1000},           // free running: 1 / integration time
        {2, 10, 128 * 1000000 / 61 + 1}, // free running: 1 / read-out time of 64 pixels (61 µs)
        {1, 1000, 128 * 500},            // external trigger at 500 Hz
        {3, 1000, 128 * 500},            // external exposure at 500 Hz
        {4, 1000, 128 * 500},            // soft trigger every 2000 µs
        {0, 1000, 0},                    // one shot
    };
    ASSERT_EQ(L.ls_setsofttrigtime(2000), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        ASSERT_EQ(L.ls_setmode(c.mode), 0);
        ASSERT_EQ(L.ls_setinttime(static_cast<int32_t>(c.inttime)), 0);
        EXPECT_EQ(L.ls_getfps(), c.bytesPerSecond);
    }
}

TEST_F(Camera, FreeRunningDeliversFramesAtItsRate) {
    Init();
    Open();
    ASSERT_EQ(L.ls_setinttime(2000), 0); // 500 frames per second
    const auto start = Clock::now();
    Start();
    std::vector<uint8_t> frame;
    int frames = 0;
    while (Milliseconds(start) < 100) {
        ASSERT_EQ(ReadFrame(frame, 128), 0);
        ++frames;
    }
    uint32_t buffered = 0;
    ASSERT_EQ(L.ls_getpipe(nullptr, 0, &buffered), 0);
    const double elapsed = Milliseconds(start);
    const double made = frames + buffered / 128.0;
    EXPECT_LE(made, elapsed / 2.0 + 1) << "never faster than the integration time allows";
    EXPECT_GE(made, 100 / 2.0 - 1);
}

TEST_F(Camera, OneShotGivesOneFramePerStart) {
    Init();
    Open();
    ASSERT_EQ(L.ls_setcfg1(0x03), 0);
    Open();
    ASSERT_EQ(L.ls_setmode(0), 0);
    ASSERT_EQ(L.ls_seteptimeout(50), 0);
    std::vector<uint8_t> frame;
    uint32_t number = 0;
    for (int shot = 0; shot < 2; ++shot) {
        SCOPED_TRACE(shot);
        Start();
        ASSERT_EQ(ReadFrame(frame, 128), 0);
        if (shot > 0) {
            EXPECT_EQ(ImageNumberAt(frame, 128), number + 1);
        }
        number = ImageNumberAt(frame, 128);
        uint8_t state = 1;
        ASSERT_EQ(L.ls_getstate(&state), 0);
        EXPECT_EQ(state, 0) << "the camera stops after its frame";
        EXPECT_EQ(ReadFrame(frame, 128), 121) << "no second frame";
    }
}

TEST_F(Camera, ReadWithoutFramesWaitsForTheTimeoutThenFails) {
    struct Case {
        const char* name;
        int mode;
        bool start;
    } cases[] = {{"stopped", 2, false}, {"external trigger that never comes", 1, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Init();
        Open();
        ASSERT_EQ(L.ls_setmode(c.mode), 0);
        if (c.start)
            Start();
        ASSERT_EQ(L.ls_seteptimeout(60), 0);
        uint8_t buf[128];
        uint32_t n = 99;
        const auto start = Clock::now();
        const int32_t code = L.ls_getpipe(buf, sizeof buf, &n);
        const double waited = Milliseconds(start);
        EXPECT_NE(code, 0);
        EXPECT_NE(code, 6);
        EXPECT_NE(code, 109);
        EXPECT_EQ(Text(code), "TIMEOUT: NO DATA");
        EXPECT_EQ(n, 0u);
        EXPECT_GE(waited, 55) << "returning at once would make the reading thread spin";
        EXPECT_LT(waited, 2000);
    }
}

TEST_F(Camera, StartingWakesAWaitingRead) {
    Init();
    Open();
    ASSERT_EQ(L.ls_seteptimeout(5000), 0);
    int32_t code = -1;
    uint32_t n = 0;
    uint8_t buf[128];
    std::thread reader([&] { code = L.ls_getpipe(buf, sizeof buf, &n); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const auto start = Clock::now();
    Start();
    reader.join();
    EXPECT_EQ(code, 0);
    EXPECT_EQ(n, 128u);
    EXPECT_LT(Milliseconds(start), 2000);
}

TEST_F(Camera, CloseWakesABlockedReadWithCode6) {
    Init();
    Open();
    ASSERT_EQ(L.ls_seteptimeout(5000), 0);
    std::atomic<int32_t> code{-1};
    std::thread reader([&] {
        uint8_t buf[128];
        uint32_t n = 0;
        code = L.ls_getpipe(buf, sizeof buf, &n);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const auto start = Clock::now();
    L.ls_closedevice();
    reader.join();
    EXPECT_EQ(code, 6);
    EXPECT_LT(Milliseconds(start), 2000) << "woken by the close, not by the 5 s time-out";
}

TEST_F(Camera, UnpacedFramesAreReadyAtOnce) {
    Init({{"LUMCAM_UNPACED", "1"}});
    Open();
    ASSERT_EQ(L.ls_setinttime(10000000), 0); // ten seconds per frame when paced
    Start();
    std::vector<uint8_t> frame;
    const auto start = Clock::now();
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(ReadFrame(frame, 128), 0);
    EXPECT_LT(Milliseconds(start), 2000);
}

TEST_F(Camera, ReadsAndSettingsRunOnTwoThreadsAtOnce) {
    Init();
    Open();
    ASSERT_EQ(L.ls_setinttime(100), 0);
    Start();
    std::atomic<int> frames{0};
    std::atomic<bool> badCode{false};
    std::thread reader([&] {
        std::vector<uint8_t> frame;
        while (true) {
            const int32_t code = ReadFrame(frame, 128);
            if (code == 6)
                return;
            if (code == 0)
                ++frames;
            else if (code != 121)
                badCode = true;
        }
    });
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(L.ls_setinttime(100 + i), 0);
        ASSERT_EQ(L.ls_setadcpga1(static_cast<uint16_t>(i % 64)), 0);
        uint32_t buffered = 0;
        ASSERT_EQ(L.ls_getpipe(nullptr, 0, &buffered), 0);
        L.ls_getfps();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    L.ls_closedevice();
    reader.join();
    EXPECT_GT(frames, 0);
    EXPECT_FALSE(badCode);
}

// ---- fault switches ----

TEST_F(Camera, UnplugFaultFailsReadsAndLaterOpens) {
    Init({{"LUMCAM_FAULT_UNPLUG_AFTER", "2"}});
    Open();
    Start();
    ASSERT_EQ(L.ls_seteptimeout(30), 0);
    std::vector<uint8_t> frame;
    ASSERT_EQ(ReadFrame(frame, 128), 0);
    ASSERT_EQ(ReadFrame(frame, 128), 0);
    const auto start = Clock::now();
    EXPECT_EQ(ReadFrame(frame, 128), 6);
    EXPECT_GE(Milliseconds(start), 25) << "a retrying reader must not spin";
    uint32_t t = 0;
    EXPECT_EQ(Text(L.ls_getinttime(&t)), "DEVICE NOT CONNECTED");
    L.ls_closedevice();
    EXPECT_EQ(Text(L.ls_opendevicebyindex(0)), "DEVICE NOT CONNECTED");
    EXPECT_EQ(L.ls_enumdevices(), 0);
}

TEST_F(Camera, RefuseFaultRefusesTheNamedSettingsOnly) {
    Init({{"LUMCAM_FAULT_REFUSE", "ls_setinttime,setadcpga1"}});
    Open();
    const int32_t code = L.ls_setinttime(5000);
    EXPECT_NE(code, 0);
    EXPECT_EQ(Text(code), "SETTING REFUSED BY DEVICE");
    EXPECT_EQ(Text(L.ls_setadcpga1(1)), "SETTING REFUSED BY DEVICE");
    uint32_t t = 0;
    ASSERT_EQ(L.ls_getinttime(&t), 0);
    EXPECT_EQ(t, 61u);
    EXPECT_EQ(L.ls_setmode(1), 0);
}

TEST_F(Camera, RefuseFaultRefusesEachSettingByItsOwnNameAndKeepsItsValue) {
    // Values differ from the defaults, so a refused setting that was still stored shows.
    struct Setting {
        const char* name;
        std::function<int32_t()> set;
        std::function<uint32_t()> value; // null where there is nothing to read back
    };
    const auto read8 = [](int32_t (*get)(uint8_t*)) {
        uint8_t v = 0xEE;
        EXPECT_EQ(get(&v), 0);
        return static_cast<uint32_t>(v);
    };
    const auto read16 = [](int32_t (*get)(uint16_t*)) {
        uint16_t v = 0xEEEE;
        EXPECT_EQ(get(&v), 0);
        return static_cast<uint32_t>(v);
    };
    const auto read32 = [](int32_t (*get)(uint32_t*)) {
        uint32_t v = 0xEEEEEEEE;
        EXPECT_EQ(get(&v), 0);
        return v;
    };
    const Setting settings[] = {
        {"setmode", [&] { return L.ls_setmode(1); }, [&] { return read8(L.ls_getmode); }},
        {"setstate", [&] { return L.ls_setstate(1); }, [&] { return read8(L.ls_getstate); }},
        {"setcfg1", [&] { return L.ls_setcfg1(0x03); }, [&] { return read8(L.ls_getcfg1); }},
        {"setinttime", [&] { return L.ls_setinttime(5000); }, [&] { return read32(L.ls_getinttime); }},
        {"setsofttrigtime", [&] { return L.ls_setsofttrigtime(750); },
         [&] { return read32(L.ls_getsofttrigtime); }},
        {"setadcconfig", [&] { return L.ls_setadcconfig(0); }, [&] { return read16(L.ls_getadcconfig); }},
        {"setadcpga1", [&] { return L.ls_setadcpga1(5); }, [&] { return read16(L.ls_getadcpga1); }},
        {"setadcoffset1", [&] { return L.ls_setadcoffset1(7); }, [&] { return read16(L.ls_getadcoffset1); }},
        {"setpacketlength", [&] { return L.ls_setpacketlength(4096); }, nullptr},
        {"savesettings", [&] { return L.ls_savesettings(); }, nullptr},
    };
    for (const Setting& refused : settings) {
        SCOPED_TRACE(refused.name);
        // Its own serial number, so the settings saved here reach no other test.
        Init({{"LUMCAM_FAULT_REFUSE", refused.name}, {"LUMCAM_SERIAL", "REFUSE-TEST"}});
        Open();
        const uint32_t before = refused.value ? refused.value() : 0;
        EXPECT_EQ(Text(refused.set()), "SETTING REFUSED BY DEVICE");
        if (refused.value) {
            EXPECT_EQ(refused.value(), before) << "a refused value must not be kept";
        }
        for (const Setting& other : settings) {
            if (&other != &refused) {
                EXPECT_EQ(other.set(), 0) << other.name;
            }
        }
    }
}

TEST_F(Camera, TimeoutFaultStallsThePipe) {
    Init({{"LUMCAM_FAULT_TIMEOUT_AFTER", "1"}});
    Open();
    Start();
    ASSERT_EQ(L.ls_seteptimeout(30), 0);
    std::vector<uint8_t> frame;
    ASSERT_EQ(ReadFrame(frame, 128), 0);
    EXPECT_EQ(Text(ReadFrame(frame, 128)), "TIMEOUT: NO DATA");
    uint8_t state = 0;
    ASSERT_EQ(L.ls_getstate(&state), 0);
    EXPECT_EQ(state, 1) << "the camera still runs; only the pipe is stalled";
}

} // namespace
