// The state behind the library's C functions: the simulated cameras, the one open device, its frame
// schedule and the bounded buffer of frames not yet read. One lock guards it all; a reader waiting in
// GetPipe sleeps on a condition variable that closing the device, starting it or changing its timing
// wakes.
#pragma once

#include "camera/Config.h"
#include "camera/Signal.h"
#include "camera/lumcam.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace lumcam {

// Result codes; ErrorText gives the text of each.
enum : int32_t {
    kOk = 0,
    kDeviceNotFound = 2,
    kNotOpen = 6,
    kNotInitialized = 21,
    kInvalidParameter = 87,
    kTimeout = 121,
    kNotConnected = 1167,
    kModeOutOfRange = 1001,
    kModeNotSupported = 1002,
    kStateOutOfRange = 1003,
    kConfigInvalid = 1004,
    kIntegrationOutOfRange = 1005,
    kSoftTriggerOutOfRange = 1006,
    kNotSupported = 1007,
    kAdcConfigInvalid = 1008,
    kGainOutOfRange = 1009,
    kOffsetOutOfRange = 1010,
    kPacketLengthOutOfRange = 1011,
    kTimeoutOutOfRange = 1012,
    kUnknownSensorType = 1013,
    kRefused = 1014,
    kConfigChanged = LS_CONFIG_CHANGED,
};

const char* ErrorText(int32_t code); // null for codes the library never gives

// What the camera holds in its registers.
struct TRegisters {
    uint8_t Mode = 2; // 0 one shot, 1 external trigger, 2 free running, 3 external exposure, 4 soft trigger
    uint8_t Cfg1 = 0x02; // bit 0 image number, bit 1 16-bit samples, bits 2-6 frames per transfer - 1
    uint32_t IntegrationUs = 1053;
    uint32_t SoftTriggerUs = 500;
    uint16_t AdcConfig = 0x80; // bit 7: 4 V full scale, else 2 V
    uint16_t Gain = 0;
    uint16_t Offset = 0;
};

class TSimulator {
public:
    static TSimulator& Instance();

    int32_t Initialize(uint32_t bufferSize, uint32_t transferSize, int32_t maxDevices, int32_t pipe,
                       const char* prefix);
    int32_t EnumDevices();
    const char* ProductName(int32_t index);
    const char* SerialNumber(int32_t index);
    uint16_t FirmwareVersion(int32_t index);
    int32_t CurrentDeviceIndex();
    int32_t Open(int32_t index);
    int32_t Close();
    int32_t GetPipe(void* destination, uint32_t wanted, uint32_t* count);
    int32_t SetPacketLength(uint32_t length);
    int32_t GetPacketLength(uint32_t* length);
    int32_t SetEpTimeout(int32_t milliseconds);
    int32_t GetEpTimeout();
    uint32_t GetFps();
    int32_t GetSensorType(uint16_t* type, uint16_t* pixels);
    int32_t GetMcuSensorType(uint16_t* type);
    const char* SensorName(uint16_t type);
    const char* ErrorString(int32_t code);
    int32_t SetMode(int32_t mode);
    int32_t GetMode(uint8_t* mode);
    int32_t SetState(uint8_t state);
    int32_t GetState(uint8_t* state);
    int32_t SetCfg1(uint8_t cfg1);
    int32_t GetCfg1(uint8_t* cfg1);
    int32_t SetIntegrationTime(int32_t us);
    int32_t GetIntegrationTime(uint32_t* us);
    int32_t SetSoftTriggerTime(int32_t us);
    int32_t GetSoftTriggerTime(uint32_t* us);
    int32_t GetMinMaxTime(uint16_t type, uint32_t* minimum, uint32_t* maximum);
    int32_t GetMinMaxTriggerTime(uint32_t* minimum, uint32_t* maximum);
    int32_t SetAdcConfig(uint16_t config);
    int32_t GetAdcConfig(uint16_t* config);
    int32_t SetGain(uint16_t gain);
    int32_t GetGain(uint16_t* gain);
    int32_t SetOffset(uint16_t offset);
    int32_t GetOffset(uint16_t* offset);
    int32_t CustomFirmware(uint32_t* number);
    int32_t SaveSettings();

private:
    struct TDevice {
        TDeviceConfig Config;
        TRegisters Regs;
        bool Unplugged = false;
        uint64_t FramesDelivered = 0; // since the library was initialised
        std::unique_ptr<TSignal> Signal;
    };
    // Frames made but not yet read: `Count` transfers of `Frames` frames each, image numbers from `First`.
    struct TBatch {
        uint64_t First;
        uint32_t Frames;
        uint64_t Count;
    };

    using TLock = std::unique_lock<std::mutex>;

    TDevice* OpenDevice(int32_t& code);
    template <class TBody> int32_t Change(const char* name, TBody body);
    template <class T, class TBody> int32_t Read(T* out, TBody body);
    template <class T> int32_t ReadRegister(T* out, T TRegisters::*field);
    int32_t SetAnalog(const char* name, uint16_t TRegisters::*field, uint16_t value, bool valid,
                      int32_t invalid);
    int Slot(int32_t index) const;
    bool Refused(const char* name) const;
    const char* Intern(const std::string& text);
    void CloseLocked();

    double ReadoutUs(const TDevice& d) const;
    double FramePeriodUs(const TDevice& d) const; // streaming modes; infinity when no frame comes
    int64_t TransferPeriodNs(const TDevice& d) const;
    int64_t ShotDelayNs(const TDevice& d) const;
    void Reschedule(int64_t now);
    void Advance(int64_t now);
    void Produce(uint64_t transfers, uint32_t framesPerTransfer);
    uint64_t QueuedBytes() const;
    uint64_t BufferedBytes() const { return QueuedBytes() + (FStagedBytes - FStagedPos); }
    void StageNext(TDevice& d);
    void CheckFaults(TDevice& d);
    void ApplyFormat(const TDevice& d);

    std::mutex FLock;
    std::condition_variable FWake;

    bool FInitialized = false;
    TConfig FConfig;
    uint32_t FBufferSize = 0x4000000;
    uint32_t FHostTransfer = 0x4000000;
    int32_t FEpTimeoutMs = 100;
    std::vector<TDevice> FDevices;
    std::vector<int> FListed;                 // enumeration index -> device slot
    std::map<std::string, TRegisters> FSaved; // saved settings by serial number
    std::set<std::string> FTexts;             // every text handed out, kept for the life of the process

    // The open device.
    int FOpenSlot = -1;
    int32_t FOpenIndex = -1;
    uint64_t FSession = 0; // changes at every opening and closing, so a waiting reader notices
    bool FWord16 = true;
    bool FImageNumber = false;
    uint32_t FFramesPerTransfer = 1;
    uint32_t FFrameBytes = 0;
    bool FSignalDirty = true;
    bool FRunning = false;
    int64_t FNextDue = 0; // when the next transfer (or the one-shot frame) is complete
    uint64_t FNextImage = 0;
    std::deque<TBatch> FQueue;
    std::vector<uint16_t> FStaging; // the transfer being read
    uint64_t FStagedBytes = 0;
    uint64_t FStagedPos = 0;
    uint64_t FPartialFrameBytes = 0;
    // A new configuration byte was applied: the next read ends at once with kConfigChanged, so the reader
    // knows that every byte after it belongs to a frame of the new format.
    bool FConfigChanged = false;
};

} // namespace lumcam
