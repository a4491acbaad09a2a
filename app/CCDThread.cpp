#include "app/CCDThread.h"

#include "app/CameraDefs.h"
#include "chart/PlotEngine.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/MainThread.h"
#include "platform/rtl/ScopeGuard.h"

#include <algorithm>
#include <vector>

namespace {

// Codes with which a read ends a frame early: the device was closed or is gone.
constexpr int32_t kReadNotOpen = 6;
constexpr int32_t kReadDeviceGone = 109;

uint8_t FormatBits(bool Mode16Bit, bool ImageNumber) {
    return static_cast<uint8_t>((Mode16Bit ? 2 : 0) | (ImageNumber ? 1 : 0));
}

// Unsigned division to the nearest integer, halves to the even neighbour.
uint64_t DivideRounded(uint64_t Dividend, uint64_t Divisor) {
    const uint64_t quotient = Dividend / Divisor;
    const uint64_t twice = 2 * (Dividend % Divisor);
    if (twice > Divisor || (twice == Divisor && (quotient & 1) != 0))
        return quotient + 1;
    return quotient;
}

} // namespace

PLAT_CLASS_INFO(TCCDThread, plat::TThread)

TCCDThread::TCCDThread(TCameraLibrary& Library, ICCDDisplay& Display, const TCCDSettings& Settings)
    : plat::TThread(true), FLibrary(Library), FDisplay(Display),
      FPixelCount(static_cast<uint16_t>(
          Settings.PixelCount >= 1 && Settings.PixelCount <= kMaxSamples ? Settings.PixelCount : 2048)),
      FAccumulate(Settings.Accumulate), FAverage(Settings.Average),
      FScansToAccumulate(ScansOf(Settings.ScansToAccumulate)), FRefreshInterval(Settings.RefreshInterval),
      FLastDisplayTick(plat::GetTickCount()), FMode16Bit(Settings.Mode16Bit),
      FImageNumber(Settings.ImageNumber), FNextFormat(FormatBits(Settings.Mode16Bit, Settings.ImageNumber)) {
    SetFreeOnTerminate(false);
    SetPriority(plat::tpHighest);
}

TCCDThread::~TCCDThread() {
    Terminate();
    if (Finished())
        return;
    try {
        WaitFor();
    } catch (const plat::EThread&) {
        // Never started: there is nothing to wait for.
    }
}

void TCCDThread::SetNextFrameFormat(bool Mode16Bit, bool ImageNumber) {
    FNextFormat = FormatBits(Mode16Bit, ImageNumber);
}

void TCCDThread::Execute() {
    FIsRunning = true;
    plat::ScopeGuard running([this] { FIsRunning = false; });
    while (!Terminated()) {
        const uint32_t expected = static_cast<uint32_t>(FPixelCount) * (FMode16Bit ? 2 : 1);
        const TReadResult result = ReadFrame(expected);
        if (result == rrFormatChanged) {
            // Whatever was read of the frame belongs to the old format; the camera starts afresh.
            const uint8_t format = FNextFormat;
            FMode16Bit = (format & 2) != 0;
            FImageNumber = (format & 1) != 0;
            FFormatChanged = true;
            // A sum of frames of two formats means nothing.
            FScanCount = 0;
            FSumBuffer.fill(0.0);
            continue;
        }
        if (result == rrLost)
            return;
        if (result == rrNothing || FReceived == 0)
            continue;

        int samples = static_cast<int>(FMode16Bit ? FReceived / 2 : FReceived);
        // The image number takes the last four bytes of the frame, never a sample.
        if (FImageNumber)
            samples -= FMode16Bit ? 2 : 4;
        FSampleCount = std::clamp(samples, 0, kMaxSamples);
        Convert(FMode16Bit);
        FFramesRead.fetch_add(1, std::memory_order_relaxed);

        // While the GUI has not yet taken the last hand-over, frames replace each other (or are added
        // up) as between display steps; waiting for it would stop the reads for as long as a paint.
        if (plat::GetTickCount() - FLastDisplayTick > FRefreshInterval &&
            !FDisplayPending.load(std::memory_order_acquire)) {
            HandOver();
            FLastDisplayTick = plat::GetTickCount();
        }
    }
}

TCCDThread::TReadResult TCCDThread::ReadFrame(uint32_t Expected) {
    FReceived = 0;
    uint32_t wanted = Expected;
    while (FReceived < Expected) {
        // A camera that delivers nothing (stopped, waiting for a trigger) must not keep a stop waiting.
        if (Terminated())
            return rrNothing;
        uint32_t count = 0;
        const int32_t code = FLibrary.ls_getpipe(FFrameBuffer.data() + FReceived, wanted, &count);
        if (code == 0) {
            // A library that claims more than was asked for has not written it here.
            count = std::min(count, wanted);
            FReceived += count;
            wanted -= count;
        } else if (code == LS_CONFIG_CHANGED) {
            return rrFormatChanged;
        } else if (code == kReadNotOpen || code == kReadDeviceGone) {
            if (FReceived == 0 && !Terminated()) {
                // A library may fail at once when the camera is pulled; retrying without a pause would
                // take a whole core, and a camera that is gone never delivers again.
                plat::Sleep(kLostDeviceRetryMs);
                if (!DeviceStillThere())
                    return rrLost;
            }
            break;
        }
    }
    return rrFrame;
}

bool TCCDThread::DeviceStillThere() {
    bool there = true;
    Synchronize([&] {
        if (Terminated())
            return;
        uint8_t state = 0;
        const int32_t code = FLibrary.ls_getstate(&state);
        if (code == 0)
            return;
        there = false;
        FDisplay.AcquisitionLost("ACQUISITION STOPPED: " + FLibrary.ErrorText(code));
    });
    return there;
}

void TCCDThread::Convert(bool Mode16Bit) {
    const int n = FSampleCount;
    const uint8_t* raw = FFrameBuffer.data();
    const auto sample = [&](int i) -> double {
        if (Mode16Bit)
            return static_cast<uint16_t>(raw[2 * i] | raw[2 * i + 1] << 8);
        return raw[i];
    };
    if (FAccumulate) {
        if (FScanCount >= FScansToAccumulate)
            return; // the sum is complete; later frames wait for the display step
        ++FScanCount;
        for (int i = 0; i < n; ++i)
            FSumBuffer[i] += sample(i);
    } else {
        for (int i = 0; i < n; ++i)
            FSumBuffer[i] = sample(i);
    }
}

void TCCDThread::HandOver() {
    // The library is asked here, on the thread that reads it, never beside a read.
    FShown.Rate = FLibrary.ls_getfps();
    FShown.Buffered = 0;
    FLibrary.ls_getpipe(nullptr, 0, &FShown.Buffered);
    FShown.Received = FReceived;
    FShown.SampleCount = FSampleCount;
    std::copy_n(FFrameBuffer.begin(), std::min<uint32_t>(FReceived, kMaxFrameBytes), FShown.Frame.begin());

    const bool accumulate = FAccumulate;
    const uint16_t scans = FScansToAccumulate;
    FShown.HasFrame = !(accumulate && FScanCount < scans);
    if (FShown.HasFrame) {
        FShown.Divisor = accumulate && FAverage && scans > 0 ? scans : 1.0;
        FScanCount = 0;
        FShown.Sum = FSumBuffer;
        // Every element is emptied, also those the frame did not reach, so a later longer frame adds
        // nothing stale.
        FSumBuffer.fill(0.0);
        FShown.FormatChanged = FFormatChanged;
        FFormatChanged = false;
    }
    FDisplayPending.store(true, std::memory_order_release);
    Queue([this] { ShowFrame(); });
}

void TCCDThread::ShowFrame() {
    // Whatever happens here, the thread may hand over the next frame afterwards.
    plat::ScopeGuard taken([this] { FDisplayPending.store(false, std::memory_order_release); });
    FDisplay.ShowAcquisitionStatus(kFpsPanel, std::to_string(DivideRounded(FShown.Rate, FShown.Received)));
    const uint32_t buffered = FShown.Buffered;
    FDisplay.ShowAcquisitionStatus(kMemoryPanel, buffered > 0x100000 ? std::to_string(buffered >> 20) + "MB"
                                                                     : std::to_string(buffered >> 10) + "KB");
    FDisplay.ReleaseOneShot();
    if (!FShown.HasFrame)
        return;

    DisplayFrame(FShown.Sum.data(), FShown.SampleCount, FShown.Divisor, FDisplay);
    if (FShown.FormatChanged) {
        // Points beyond the frame keep their values, but not values in the scale of another format.
        chart::TChartValueList* values = FDisplay.DisplaySeries()->YValues();
        std::vector<double>& y = values->Value();
        std::fill(y.begin() + std::clamp(FShown.SampleCount, 0, values->Count()), y.begin() + values->Count(),
                  0.0);
    }
}

void DisplayFrame(double* Sum, int Samples, double Divisor, ICCDDisplay& Display) {
    chart::TChartSeries* series = Display.DisplaySeries();
    chart::TChartSeries* dark = Display.SubtractedDarkFrame();
    chart::TChartValueList* values = series->YValues();
    // Points beyond the frame keep their values; a series shorter than the frame takes what fits.
    const int n = std::min(Samples, values->Count());
    const int darkCount = dark ? dark->YValues()->Count() : 0;
    const double* darkY = dark ? dark->YValues()->Value().data() : nullptr;
    const int first = series->FirstVisibleIndex();
    const int last = series->LastVisibleIndex();
    double* y = values->Value().data();
    int maxIndex = -1;
    double maxValue = 0.0;
    for (int i = 0; i < n; ++i) {
        double v = Sum[i] / Divisor;
        if (i < darkCount) {
            v -= darkY[i];
            if (v < 0.0)
                v = 0.0;
        }
        y[i] = v;
        Sum[i] = 0.0;
        if (i >= first && i <= last && v > maxValue) {
            maxValue = v;
            maxIndex = i;
        }
    }
    for (int i = n; i < Samples; ++i)
        Sum[i] = 0.0;
    Display.ShowMaximum(maxIndex, maxValue);
    values->SetModified(true);
    series->InvalidateParentChart();
}
