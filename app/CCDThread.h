// The live window's acquisition thread: reads frames from the camera without pause, keeps the latest or
// adds up several, and at most once per refresh interval hands the result to the GUI thread, which
// writes it into the live series. The hand-over is a copy the GUI thread takes when it gets to it, so
// the camera is read on while the GUI paints; until the GUI has taken one copy no other is made.
#pragma once

#include "platform/rtl/Thread.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

namespace chart {
class TChartSeries;
}
class TCameraLibrary;

// What the display step writes into. The live window is one; tests put in their own. Every call comes on
// the GUI thread, with a frame the acquisition thread has handed over and no longer touches.
class ICCDDisplay {
public:
    // The live series: the frame goes straight into its y values.
    virtual chart::TChartSeries* DisplaySeries() = 0;
    // The dark frame to subtract, or null while subtraction is off or no dark frame is held.
    virtual chart::TChartSeries* SubtractedDarkFrame() = 0;
    virtual void ShowAcquisitionStatus(int Panel, const std::string& Text) = 0;
    // A frame was displayed: a one-shot camera has stopped, so its start button goes up.
    virtual void ReleaseOneShot() = 0;
    // The largest value in the visible part of the frame, or index -1 when none is positive.
    virtual void ShowMaximum(int Index, double Value) = 0;
    // The camera stopped answering; the thread has given up and ends.
    virtual void AcquisitionLost(const std::string& Text) = 0;

protected:
    ~ICCDDisplay() = default;
};

// The display step's writing of one frame: each sum divided by Divisor, less the dark frame (never below
// 0), goes straight into the live series' y values, where the frame reaches; the sums are emptied; the
// largest value in the visible part is shown; the values are marked changed and the chart invalidated once.
void DisplayFrame(double* Sum, int Samples, double Divisor, ICCDDisplay& Display);

// What the thread starts with; the window copies it from its controls and settings.
struct TCCDSettings {
    int PixelCount = 2048;
    bool Mode16Bit = true;
    bool ImageNumber = false;
    bool Accumulate = false;
    bool Average = false;
    int ScansToAccumulate = 1;
    uint32_t RefreshInterval = 100;
};

class TCCDThread : public plat::TThread {
    PLAT_CLASS(TCCDThread)
public:
    static constexpr int kMaxFrameBytes = 8192;
    static constexpr int kMaxSamples = 4096;
    // Status panels the display step writes (after the labels "FPS:" and "MEM:").
    static constexpr int kFpsPanel = 2;
    static constexpr int kMemoryPanel = 4;
    // Between failed reads of a camera that may have gone, so that the thread does not spin.
    static constexpr uint32_t kLostDeviceRetryMs = 10;

    // Created suspended; Start runs it. A pixel count outside 1..kMaxSamples is taken as 2048.
    TCCDThread(TCameraLibrary& Library, ICCDDisplay& Display, const TCCDSettings& Settings);
    // Stops a thread still running (it must not outlive the members Execute uses).
    ~TCCDThread() override;

    // Written by the GUI thread at any time; the thread takes them from the next frame on.
    // An emptied spin edit answers 0; a sum of no frames would show an empty frame forever.
    void SetScansToAccumulate(int Value) { FScansToAccumulate = ScansOf(Value); }
    void SetAverage(bool Value) { FAverage = Value; }
    void SetAccumulate(bool Value) { FAccumulate = Value; }
    void SetRefreshInterval(uint32_t Value) { FRefreshInterval = Value; }
    // Announces the frame format the camera delivers after its configuration byte has changed; call it
    // before ls_setcfg1. The thread takes it when the camera ends a read with LS_CONFIG_CHANGED, which
    // it does where the new format begins, so no frame is read in the wrong format.
    void SetNextFrameFormat(bool Mode16Bit, bool ImageNumber);

    bool IsRunning() const { return FIsRunning; }
    // Frames read since the start (rates in benchmarks).
    uint64_t FramesRead() const { return FFramesRead.load(std::memory_order_relaxed); }
    int PixelCount() const { return FPixelCount; }
    // The frame of the display step that runs or ran last (GUI thread only).
    int SampleCount() const { return FShown.SampleCount; }
    uint32_t Received() const { return FShown.Received; }
    const uint8_t* FrameBuffer() const { return FShown.Frame.data(); }

protected:
    void Execute() override;

private:
    static uint16_t ScansOf(int Value) {
        return static_cast<uint16_t>(Value < 1 ? 1 : Value > 65535 ? 65535 : Value);
    }
    enum TReadResult { rrFrame, rrNothing, rrFormatChanged, rrLost };
    TReadResult ReadFrame(uint32_t Expected);
    void Convert(bool Mode16Bit);
    // An empty read failed as if the device had gone: true when it still answers.
    bool DeviceStillThere();
    // Acquisition thread: copies what the next display step shows and queues the step.
    void HandOver();
    // GUI thread: the display step.
    void ShowFrame();

    TCameraLibrary& FLibrary;
    ICCDDisplay& FDisplay;

    std::array<uint8_t, kMaxFrameBytes> FFrameBuffer{};
    std::array<double, kMaxSamples> FSumBuffer{};
    int FSampleCount = 0;
    uint16_t FPixelCount;
    uint32_t FReceived = 0;
    std::atomic<bool> FAccumulate;
    std::atomic<bool> FAverage;
    std::atomic<uint16_t> FScansToAccumulate;
    uint16_t FScanCount = 0;
    std::atomic<uint32_t> FRefreshInterval;
    uint32_t FLastDisplayTick;
    bool FMode16Bit;
    bool FImageNumber;
    // The format changed since the last display: points a frame of the new format does not reach still
    // hold values of the old one.
    bool FFormatChanged = false;
    // Bit 0 image number, bit 1 16-bit: the format announced for after the next configuration change.
    std::atomic<uint8_t> FNextFormat;
    // What one display step shows. The acquisition thread writes it only while no step is pending, the
    // GUI thread reads it only while one is.
    struct TShownFrame {
        std::array<uint8_t, kMaxFrameBytes> Frame{};
        std::array<double, kMaxSamples> Sum{};
        int SampleCount = 0;
        uint32_t Received = 0;
        uint32_t Rate = 0;     // the library's bytes per second
        uint32_t Buffered = 0; // bytes waiting in the library
        bool HasFrame = false; // else only the status: a sum still being added up
        double Divisor = 1.0;
        bool FormatChanged = false;
    };
    TShownFrame FShown;
    std::atomic<bool> FDisplayPending{false};
    std::atomic<bool> FIsRunning{false};
    std::atomic<uint64_t> FFramesRead{0};
};
