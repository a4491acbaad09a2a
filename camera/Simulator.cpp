#include "camera/Simulator.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>

static_assert(std::endian::native == std::endian::little, "samples are delivered in the host's byte order");

namespace lumcam {

namespace {

constexpr int64_t kNever = std::numeric_limits<int64_t>::max();
constexpr uint16_t kFirmwareSoftTrigger = 0x0114;
constexpr uint16_t kFirmwareTriggerRange = 0x0116;
constexpr uint32_t kMinSoftTriggerUs = 100;
constexpr uint32_t kMaxSoftTriggerUs = 1000000;
constexpr int32_t kMaxEpTimeoutMs = 60000;
constexpr uint32_t kDefaultIntegrationMin = 10;
constexpr uint32_t kDefaultIntegrationMax = 30000000;

int64_t Now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::chrono::steady_clock::time_point TimePoint(int64_t ns) {
    return std::chrono::steady_clock::time_point(std::chrono::nanoseconds(ns));
}

struct TIntegrationRange {
    uint32_t Min, Max;
};

TIntegrationRange IntegrationRange(uint16_t type) {
    if (const TSensorKind* kind = FindSensorKind(type))
        return {kind->MinIntegrationUs, kind->MaxIntegrationUs};
    return {kDefaultIntegrationMin, kDefaultIntegrationMax};
}

} // namespace

const char* ErrorText(int32_t code) {
    switch (code) {
    case kOk:
        return "OK";
    case kDeviceNotFound:
        return "DEVICE NOT FOUND";
    case kNotOpen:
        return "DEVICE NOT OPEN";
    case kNotInitialized:
        return "LIBRARY NOT INITIALIZED";
    case kInvalidParameter:
        return "INVALID PARAMETER";
    case kTimeout:
        return "TIMEOUT: NO DATA";
    case kNotConnected:
        return "DEVICE NOT CONNECTED";
    case kModeOutOfRange:
        return "MODE OUT OF RANGE";
    case kModeNotSupported:
        return "MODE NOT SUPPORTED BY FIRMWARE";
    case kStateOutOfRange:
        return "STATE OUT OF RANGE";
    case kConfigInvalid:
        return "CFG1 VALUE INVALID";
    case kIntegrationOutOfRange:
        return "INTEGRATION TIME OUT OF RANGE";
    case kSoftTriggerOutOfRange:
        return "SOFT TRIGGER TIME OUT OF RANGE";
    case kNotSupported:
        return "NOT SUPPORTED BY FIRMWARE";
    case kAdcConfigInvalid:
        return "ADC CONFIGURATION INVALID";
    case kGainOutOfRange:
        return "GAIN OUT OF RANGE";
    case kOffsetOutOfRange:
        return "OFFSET OUT OF RANGE";
    case kPacketLengthOutOfRange:
        return "PACKET LENGTH OUT OF RANGE";
    case kTimeoutOutOfRange:
        return "EP TIMEOUT OUT OF RANGE";
    case kUnknownSensorType:
        return "UNKNOWN SENSOR TYPE";
    case kRefused:
        return "SETTING REFUSED BY DEVICE";
    case kConfigChanged:
        return "CONFIGURATION CHANGED";
    default:
        return nullptr;
    }
}

TSimulator& TSimulator::Instance() {
    // Never destroyed: a reader thread may still be inside the library while the process exits.
    static TSimulator* instance = new TSimulator;
    return *instance;
}

// ---- library and devices ----

int32_t TSimulator::Initialize(uint32_t bufferSize, uint32_t transferSize, int32_t maxDevices, int32_t pipe,
                               const char* prefix) {
    if (transferSize == 0 || bufferSize < transferSize || maxDevices < 1 || pipe < 1 || prefix == nullptr)
        return 0;
    TLock lock(FLock);
    CloseLocked();
    FConfig = ReadConfig();
    FBufferSize = bufferSize;
    FHostTransfer = transferSize;
    FDevices.clear();
    for (const TDeviceConfig& config : FConfig.Devices) {
        if (static_cast<int32_t>(FDevices.size()) >= maxDevices)
            break;
        TDevice d;
        d.Config = config;
        const auto saved = FSaved.find(config.Serial);
        if (saved != FSaved.end()) {
            d.Regs = saved->second;
        } else {
            const TIntegrationRange range = IntegrationRange(config.SensorType);
            const double readout = 29.0 + config.Pixels * 0.5;
            d.Regs.IntegrationUs =
                std::clamp(static_cast<uint32_t>(std::lround(readout)), range.Min, range.Max);
        }
        FDevices.push_back(std::move(d));
    }
    FListed.clear();
    for (size_t i = 0; i < FDevices.size(); ++i)
        FListed.push_back(static_cast<int>(i));
    FInitialized = true;
    return 1;
}

int32_t TSimulator::EnumDevices() {
    TLock lock(FLock);
    if (!FInitialized)
        return 0;
    FListed.clear();
    for (size_t i = 0; i < FDevices.size(); ++i)
        if (!FDevices[i].Unplugged)
            FListed.push_back(static_cast<int>(i));
    return static_cast<int32_t>(FListed.size());
}

int TSimulator::Slot(int32_t index) const {
    if (index < 0 || index >= static_cast<int32_t>(FListed.size()))
        return -1;
    return FListed[index];
}

const char* TSimulator::Intern(const std::string& text) {
    return FTexts.insert(text).first->c_str();
}

const char* TSimulator::ProductName(int32_t index) {
    TLock lock(FLock);
    const int slot = Slot(index);
    return Intern(slot < 0 ? std::string() : FDevices[slot].Config.Product);
}

const char* TSimulator::SerialNumber(int32_t index) {
    TLock lock(FLock);
    const int slot = Slot(index);
    return Intern(slot < 0 ? std::string() : FDevices[slot].Config.Serial);
}

uint16_t TSimulator::FirmwareVersion(int32_t index) {
    TLock lock(FLock);
    const int slot = Slot(index);
    return slot < 0 ? 0 : FDevices[slot].Config.Firmware;
}

int32_t TSimulator::CurrentDeviceIndex() {
    TLock lock(FLock);
    return FOpenSlot < 0 ? -1 : FOpenIndex;
}

int32_t TSimulator::Open(int32_t index) {
    TLock lock(FLock);
    if (!FInitialized)
        return kNotInitialized;
    const int slot = Slot(index);
    if (slot < 0)
        return kDeviceNotFound;
    CloseLocked();
    TDevice& d = FDevices[slot];
    if (d.Unplugged)
        return kNotConnected;
    FOpenSlot = slot;
    FOpenIndex = index;
    ++FSession;
    ApplyFormat(d);
    FConfigChanged = false;
    if (!d.Signal)
        d.Signal =
            std::make_unique<TSignal>(d.Config.Pixels, 0x1234567ull + static_cast<uint64_t>(slot) * 7919);
    FSignalDirty = true;
    FRunning = false;
    FNextImage = 0;
    FQueue.clear();
    FStagedBytes = FStagedPos = 0;
    FPartialFrameBytes = 0;
    return kOk;
}

// The sample format and the frames per transfer follow the configuration byte.
void TSimulator::ApplyFormat(const TDevice& d) {
    FImageNumber = (d.Regs.Cfg1 & 0x01) != 0;
    FWord16 = (d.Regs.Cfg1 & 0x02) != 0;
    FFramesPerTransfer = ((d.Regs.Cfg1 >> 2) & 0x1F) + 1;
    FFrameBytes = d.Config.Pixels * (FWord16 ? 2u : 1u);
}

void TSimulator::CloseLocked() {
    if (FOpenSlot < 0)
        return;
    FOpenSlot = -1;
    FOpenIndex = -1;
    ++FSession;
    FRunning = false;
    FQueue.clear();
    FStagedBytes = FStagedPos = 0;
    FWake.notify_all();
}

int32_t TSimulator::Close() {
    TLock lock(FLock);
    const bool wasOpen = FOpenSlot >= 0;
    CloseLocked();
    return wasOpen ? kOk : kNotOpen;
}

TSimulator::TDevice* TSimulator::OpenDevice(int32_t& code) {
    if (FOpenSlot < 0) {
        code = kNotOpen;
        return nullptr;
    }
    TDevice& d = FDevices[FOpenSlot];
    if (d.Unplugged) {
        code = kNotConnected;
        return nullptr;
    }
    code = kOk;
    return &d;
}

bool TSimulator::Refused(const char* name) const {
    return FConfig.Faults.Refused.count(name) != 0;
}

// ---- access to the open device ----

// Setters run under the lock on the open device, after the refusal the fault settings may ask for.
template <class TBody> int32_t TSimulator::Change(const char* name, TBody body) {
    TLock lock(FLock);
    int32_t code;
    TDevice* d = OpenDevice(code);
    if (!d)
        return code;
    if (Refused(name))
        return kRefused;
    return body(*d);
}

// Getters refuse a null destination, then read the open device under the lock.
template <class T, class TBody> int32_t TSimulator::Read(T* out, TBody body) {
    if (out == nullptr)
        return kInvalidParameter;
    TLock lock(FLock);
    int32_t code;
    TDevice* d = OpenDevice(code);
    if (!d)
        return code;
    return body(*d, *out);
}

// A register read back as it stands.
template <class T> int32_t TSimulator::ReadRegister(T* out, T TRegisters::*field) {
    return Read(out, [field](TDevice& d, T& value) {
        value = d.Regs.*field;
        return kOk;
    });
}

// An analogue front-end register: checked, stored, and the signal model redone before the next frame.
int32_t TSimulator::SetAnalog(const char* name, uint16_t TRegisters::*field, uint16_t value, bool valid,
                              int32_t invalid) {
    return Change(name, [&](TDevice& d) -> int32_t {
        if (!valid)
            return invalid;
        d.Regs.*field = value;
        FSignalDirty = true;
        return kOk;
    });
}

// ---- timing ----

double TSimulator::ReadoutUs(const TDevice& d) const {
    return 29.0 + d.Config.Pixels * 0.5;
}

double TSimulator::FramePeriodUs(const TDevice& d) const {
    const double readout = ReadoutUs(d);
    const double rate = FConfig.ExternalTriggerHz;
    const double integration = d.Regs.IntegrationUs;
    switch (d.Regs.Mode) {
    case 1:
        return rate > 0 ? std::max(1e6 / rate, std::max(integration, readout)) : INFINITY;
    case 2:
        return std::max(integration, readout);
    case 3:
        return rate > 0 ? std::max(1e6 / rate, readout) : INFINITY;
    case 4:
        return std::max<double>(d.Regs.SoftTriggerUs, readout);
    default:
        return INFINITY;
    }
}

int64_t TSimulator::TransferPeriodNs(const TDevice& d) const {
    const double us = FramePeriodUs(d);
    if (!std::isfinite(us))
        return kNever;
    return std::max<int64_t>(1, std::llround(us * FFramesPerTransfer * 1000.0));
}

int64_t TSimulator::ShotDelayNs(const TDevice& d) const {
    return std::llround((d.Regs.IntegrationUs + ReadoutUs(d)) * 1000.0);
}

// Starts the wait for the next transfer afresh after the timing changed.
void TSimulator::Reschedule(int64_t now) {
    if (FOpenSlot < 0)
        return;
    const TDevice& d = FDevices[FOpenSlot];
    const int64_t wait = d.Regs.Mode == 0 ? ShotDelayNs(d) : TransferPeriodNs(d);
    FNextDue = wait == kNever ? kNever : now + wait;
    FWake.notify_all();
}

// Adds the transfers the camera has completed by `now` to the buffer.
void TSimulator::Advance(int64_t now) {
    if (FOpenSlot < 0 || !FRunning || FConfig.Unpaced)
        return;
    const TDevice& d = FDevices[FOpenSlot];
    if (d.Regs.Mode == 0) {
        if (now >= FNextDue) {
            Produce(1, 1);
            FRunning = false;
        }
        return;
    }
    const int64_t period = TransferPeriodNs(d);
    if (period == kNever || now < FNextDue)
        return;
    const uint64_t k = static_cast<uint64_t>((now - FNextDue) / period) + 1;
    Produce(k, FFramesPerTransfer);
    FNextDue += static_cast<int64_t>(k) * period;
}

uint64_t TSimulator::QueuedBytes() const {
    uint64_t bytes = 0;
    for (const TBatch& b : FQueue)
        bytes += b.Count * b.Frames * FFrameBytes;
    return bytes;
}

// Buffers new transfers; when the buffer is full the oldest frames are lost, as on the real device.
void TSimulator::Produce(uint64_t transfers, uint32_t frames) {
    const uint64_t transferBytes = static_cast<uint64_t>(frames) * FFrameBytes;
    const uint64_t capacity = std::max<uint64_t>(FBufferSize, transferBytes);
    const uint64_t fit = capacity / transferBytes;
    if (transfers > fit) {
        FNextImage += (transfers - fit) * frames;
        transfers = fit;
    }
    if (!FQueue.empty() && FQueue.back().Frames == frames &&
        FQueue.back().First + FQueue.back().Count * frames == FNextImage)
        FQueue.back().Count += transfers;
    else
        FQueue.push_back({FNextImage, frames, transfers});
    FNextImage += transfers * frames;

    uint64_t buffered = BufferedBytes();
    while (buffered > capacity && !FQueue.empty()) {
        TBatch& front = FQueue.front();
        const uint64_t size = static_cast<uint64_t>(front.Frames) * FFrameBytes;
        const uint64_t drop = std::min(front.Count, (buffered - capacity + size - 1) / size);
        front.First += drop * front.Frames;
        front.Count -= drop;
        buffered -= drop * size;
        if (front.Count == 0)
            FQueue.pop_front();
    }
}

// Makes the oldest buffered transfer the one being read.
void TSimulator::StageNext(TDevice& d) {
    TBatch& batch = FQueue.front();
    const uint32_t frames = batch.Frames;
    const uint64_t first = batch.First;
    batch.First += frames;
    if (--batch.Count == 0)
        FQueue.pop_front();

    if (FSignalDirty) {
        TAnalogSettings s;
        s.ExposureUs = d.Regs.IntegrationUs;
        if (d.Regs.Mode == 3 && FConfig.ExternalTriggerHz > 0)
            s.ExposureUs =
                std::min(1e6 / FConfig.ExternalTriggerHz, static_cast<double>(kDefaultIntegrationMax));
        s.GainRegister = d.Regs.Gain;
        s.OffsetRegister = d.Regs.Offset;
        s.FullScale4V = (d.Regs.AdcConfig & 0x80) != 0;
        d.Signal->Configure(s);
        FSignalDirty = false;
    }

    FStagedBytes = static_cast<uint64_t>(frames) * FFrameBytes;
    FStagedPos = 0;
    if (FStaging.size() * 2 < FStagedBytes)
        FStaging.resize((FStagedBytes + 1) / 2);
    uint8_t* bytes = reinterpret_cast<uint8_t*>(FStaging.data());
    for (uint32_t f = 0; f < frames; ++f) {
        if (FWord16)
            d.Signal->Generate(FStaging.data() + static_cast<size_t>(f) * d.Config.Pixels);
        else
            d.Signal->Generate(bytes + static_cast<size_t>(f) * FFrameBytes);
        if (FImageNumber) {
            // The image number replaces the last four bytes of the frame, least significant byte first.
            const uint32_t number = static_cast<uint32_t>(first + f);
            const uint32_t n = std::min<uint32_t>(4, FFrameBytes);
            uint8_t* tail = bytes + static_cast<size_t>(f + 1) * FFrameBytes - n;
            for (uint32_t k = 0; k < n; ++k)
                tail[k] = static_cast<uint8_t>(number >> (8 * k));
        }
    }
}

void TSimulator::CheckFaults(TDevice& d) {
    const int64_t after = FConfig.Faults.UnplugAfterFrames;
    if (after >= 0 && d.FramesDelivered >= static_cast<uint64_t>(after))
        d.Unplugged = true;
}

// ---- frame data ----

int32_t TSimulator::GetPipe(void* destination, uint32_t wanted, uint32_t* count) {
    if (count == nullptr)
        return kInvalidParameter;
    *count = 0;
    TLock lock(FLock);
    if (destination == nullptr) {
        if (wanted != 0)
            return kInvalidParameter;
        if (FOpenSlot < 0)
            return kNotOpen;
        Advance(Now());
        *count = static_cast<uint32_t>(std::min<uint64_t>(BufferedBytes(), 0xFFFFFFFFu));
        return kOk;
    }
    if (FOpenSlot < 0)
        return kNotOpen;
    if (wanted == 0)
        return kOk;

    const uint64_t session = FSession;
    const int64_t deadline = Now() + static_cast<int64_t>(FEpTimeoutMs) * 1000000;
    while (true) {
        if (FSession != session || FOpenSlot < 0)
            return kNotOpen;
        if (FConfigChanged) {
            FConfigChanged = false;
            return kConfigChanged;
        }
        TDevice& d = FDevices[FOpenSlot];
        const int64_t now = Now();
        CheckFaults(d);
        const int64_t stallAfter = FConfig.Faults.TimeoutAfterFrames;
        const bool stalled = stallAfter >= 0 && d.FramesDelivered >= static_cast<uint64_t>(stallAfter);
        // An unplugged device fails only after the time-out, so a caller that retries does not spin.
        const bool lost = d.Unplugged;
        if (!lost && !stalled) {
            Advance(now);
            if (FConfig.Unpaced && FRunning && FQueue.empty() && FStagedPos == FStagedBytes) {
                if (d.Regs.Mode == 0) {
                    Produce(1, 1);
                    FRunning = false;
                } else if (TransferPeriodNs(d) != kNever) {
                    Produce(1, FFramesPerTransfer);
                }
            }
            if (FStagedPos < FStagedBytes || !FQueue.empty()) {
                if (FStagedPos == FStagedBytes)
                    StageNext(d);
                uint64_t n = std::min<uint64_t>({wanted, FStagedBytes - FStagedPos, FHostTransfer});
                if (FConfig.Faults.ShortReadBytes > 0)
                    n = std::min<uint64_t>(n, FConfig.Faults.ShortReadBytes);
                std::memcpy(destination, reinterpret_cast<const uint8_t*>(FStaging.data()) + FStagedPos, n);
                FStagedPos += n;
                *count = static_cast<uint32_t>(n);
                FPartialFrameBytes += n;
                d.FramesDelivered += FPartialFrameBytes / FFrameBytes;
                FPartialFrameBytes %= FFrameBytes;
                CheckFaults(d);
                return kOk;
            }
        }
        if (now >= deadline)
            return lost ? kNotOpen : kTimeout;
        int64_t wake = deadline;
        if (!lost && !stalled && FRunning && !FConfig.Unpaced)
            wake = std::min(wake, FNextDue);
        FWake.wait_until(lock, TimePoint(wake));
    }
}

int32_t TSimulator::SetPacketLength(uint32_t length) {
    TLock lock(FLock);
    if (Refused("setpacketlength"))
        return kRefused;
    if (length == 0 || length > FBufferSize)
        return kPacketLengthOutOfRange;
    FHostTransfer = length;
    return kOk;
}

int32_t TSimulator::GetPacketLength(uint32_t* length) {
    return Read(length, [&](TDevice&, uint32_t& out) {
        out = FFramesPerTransfer * FFrameBytes;
        return kOk;
    });
}

int32_t TSimulator::SetEpTimeout(int32_t milliseconds) {
    TLock lock(FLock);
    if (Refused("seteptimeout"))
        return kRefused;
    if (milliseconds < 1 || milliseconds > kMaxEpTimeoutMs)
        return kTimeoutOutOfRange;
    FEpTimeoutMs = milliseconds;
    return kOk;
}

int32_t TSimulator::GetEpTimeout() {
    TLock lock(FLock);
    return FEpTimeoutMs;
}

uint32_t TSimulator::GetFps() {
    TLock lock(FLock);
    int32_t code;
    TDevice* d = OpenDevice(code);
    if (!d)
        return 0;
    Advance(Now());
    if (!FRunning || d->Regs.Mode == 0)
        return 0;
    const double us = FramePeriodUs(*d);
    if (!std::isfinite(us))
        return 0;
    return static_cast<uint32_t>(std::llround(FFrameBytes * 1e6 / us));
}

// ---- sensor ----

int32_t TSimulator::GetSensorType(uint16_t* type, uint16_t* pixels) {
    if (pixels == nullptr)
        return kInvalidParameter;
    return Read(type, [&](TDevice& d, uint16_t& out) {
        out = d.Config.SensorType;
        *pixels = d.Config.Pixels;
        return kOk;
    });
}

int32_t TSimulator::GetMcuSensorType(uint16_t* type) {
    return Read(type, [](TDevice& d, uint16_t& out) {
        out = d.Config.McuSensorType;
        return kOk;
    });
}

const char* TSimulator::SensorName(uint16_t type) {
    TLock lock(FLock);
    for (const TDevice& d : FDevices)
        if (d.Config.SensorType == type && !d.Config.SensorName.empty())
            return Intern(d.Config.SensorName);
    const TSensorKind* kind = FindSensorKind(type);
    return Intern(kind ? kind->Name : "");
}

const char* TSimulator::ErrorString(int32_t code) {
    if (const char* text = ErrorText(code))
        return text;
    TLock lock(FLock);
    return Intern("UNKNOWN ERROR " + std::to_string(code));
}

int32_t TSimulator::GetMinMaxTime(uint16_t type, uint32_t* minimum, uint32_t* maximum) {
    if (minimum == nullptr || maximum == nullptr)
        return kInvalidParameter;
    TLock lock(FLock);
    bool known = FindSensorKind(type) != nullptr;
    for (const TDevice& d : FDevices)
        known = known || d.Config.SensorType == type || d.Config.McuSensorType == type;
    if (!known)
        return kUnknownSensorType;
    const TIntegrationRange range = IntegrationRange(type);
    *minimum = range.Min;
    *maximum = range.Max;
    return kOk;
}

int32_t TSimulator::GetMinMaxTriggerTime(uint32_t* minimum, uint32_t* maximum) {
    if (maximum == nullptr)
        return kInvalidParameter;
    return Read(minimum, [&](TDevice& d, uint32_t& out) {
        if (d.Config.Firmware < kFirmwareTriggerRange)
            return kNotSupported;
        out = kMinSoftTriggerUs;
        *maximum = kMaxSoftTriggerUs;
        return kOk;
    });
}

// ---- camera settings ----

int32_t TSimulator::SetMode(int32_t mode) {
    return Change("setmode", [&](TDevice& d) {
        if (mode < 0 || mode > 4)
            return kModeOutOfRange;
        if (mode == 4 && d.Config.Firmware < kFirmwareSoftTrigger)
            return kModeNotSupported;
        const int64_t now = Now();
        Advance(now);
        d.Regs.Mode = static_cast<uint8_t>(mode);
        FSignalDirty = true;
        // Switching to one shot stops the camera; it then waits for a start.
        if (mode == 0)
            FRunning = false;
        Reschedule(now);
        return kOk;
    });
}

int32_t TSimulator::GetMode(uint8_t* mode) {
    return ReadRegister(mode, &TRegisters::Mode);
}

int32_t TSimulator::SetState(uint8_t state) {
    return Change("setstate", [&](TDevice&) {
        if (state > 1)
            return kStateOutOfRange;
        const int64_t now = Now();
        Advance(now);
        if (state == 0) {
            FRunning = false;
        } else if (!FRunning) {
            FRunning = true;
            Reschedule(now);
        }
        FWake.notify_all();
        return kOk;
    });
}

int32_t TSimulator::GetState(uint8_t* state) {
    return Read(state, [&](TDevice&, uint8_t& out) {
        Advance(Now());
        out = FRunning ? 1 : 0;
        return kOk;
    });
}

int32_t TSimulator::SetCfg1(uint8_t cfg1) {
    return Change("setcfg1", [&](TDevice& d) {
        if (cfg1 & 0x80)
            return kConfigInvalid;
        if (cfg1 == d.Regs.Cfg1)
            return kOk;
        // The camera reconfigures at once, as its firmware does: the frame in flight and the frames
        // buffered in the old format are dropped, a read in progress ends, and the next frame delivered
        // is made in the new format. Frames of two formats never share a read.
        d.Regs.Cfg1 = cfg1;
        const int64_t now = Now();
        Advance(now);
        ApplyFormat(d);
        FQueue.clear();
        FStagedBytes = FStagedPos = 0;
        FPartialFrameBytes = 0;
        FConfigChanged = true;
        if (FRunning)
            Reschedule(now);
        FWake.notify_all();
        return kOk;
    });
}

int32_t TSimulator::GetCfg1(uint8_t* cfg1) {
    return ReadRegister(cfg1, &TRegisters::Cfg1);
}

int32_t TSimulator::SetIntegrationTime(int32_t us) {
    return Change("setinttime", [&](TDevice& d) {
        const TIntegrationRange range = IntegrationRange(d.Config.SensorType);
        if (us < 0 || static_cast<uint32_t>(us) < range.Min || static_cast<uint32_t>(us) > range.Max)
            return kIntegrationOutOfRange;
        const int64_t now = Now();
        Advance(now);
        d.Regs.IntegrationUs = static_cast<uint32_t>(us);
        FSignalDirty = true;
        if (FRunning)
            Reschedule(now);
        return kOk;
    });
}

int32_t TSimulator::GetIntegrationTime(uint32_t* us) {
    return ReadRegister(us, &TRegisters::IntegrationUs);
}

int32_t TSimulator::SetSoftTriggerTime(int32_t us) {
    return Change("setsofttrigtime", [&](TDevice& d) {
        if (d.Config.Firmware < kFirmwareSoftTrigger)
            return kNotSupported;
        if (us < static_cast<int32_t>(kMinSoftTriggerUs) || us > static_cast<int32_t>(kMaxSoftTriggerUs))
            return kSoftTriggerOutOfRange;
        const int64_t now = Now();
        Advance(now);
        d.Regs.SoftTriggerUs = static_cast<uint32_t>(us);
        if (FRunning && d.Regs.Mode == 4)
            Reschedule(now);
        return kOk;
    });
}

int32_t TSimulator::GetSoftTriggerTime(uint32_t* us) {
    return Read(us, [](TDevice& d, uint32_t& out) {
        if (d.Config.Firmware < kFirmwareSoftTrigger)
            return kNotSupported;
        out = d.Regs.SoftTriggerUs;
        return kOk;
    });
}

int32_t TSimulator::SetAdcConfig(uint16_t config) {
    return SetAnalog("setadcconfig", &TRegisters::AdcConfig, config, (config & ~0x80) == 0,
                     kAdcConfigInvalid);
}

int32_t TSimulator::GetAdcConfig(uint16_t* config) {
    return ReadRegister(config, &TRegisters::AdcConfig);
}

int32_t TSimulator::SetGain(uint16_t gain) {
    return SetAnalog("setadcpga1", &TRegisters::Gain, gain, gain <= 63, kGainOutOfRange);
}

int32_t TSimulator::GetGain(uint16_t* gain) {
    return ReadRegister(gain, &TRegisters::Gain);
}

int32_t TSimulator::SetOffset(uint16_t offset) {
    return SetAnalog("setadcoffset1", &TRegisters::Offset, offset, offset <= 0x1FF, kOffsetOutOfRange);
}

int32_t TSimulator::GetOffset(uint16_t* offset) {
    return ReadRegister(offset, &TRegisters::Offset);
}

int32_t TSimulator::CustomFirmware(uint32_t* number) {
    return Read(number, [](TDevice& d, uint32_t& out) {
        out = d.Config.CustomFirmware;
        return kOk;
    });
}

int32_t TSimulator::SaveSettings() {
    return Change("savesettings", [&](TDevice& d) {
        FSaved[d.Config.Serial] = d.Regs;
        return kOk;
    });
}

} // namespace lumcam
