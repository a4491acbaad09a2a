// The acquisition thread against the simulated camera: frames read, added up, displayed and stopped.
#include "app/CCDThread.h"

#include "app/CameraDefs.h"
#include "chart/Series.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/MainThread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

using SteadyClock = std::chrono::steady_clock;

double MillisecondsSince(SteadyClock::time_point since) {
    return std::chrono::duration<double, std::milli>(SteadyClock::now() - since).count();
}

TCameraLibrary& Lib() {
    static TCameraLibrary* lib = [] {
        auto* l = new TCameraLibrary;
        l->LoadFrom(LUMCAM_LIBRARY_DIR);
        return l;
    }();
    return *lib;
}

const char* const kVariables[] = {"LUMCAM_PIXELS", "LUMCAM_FAULT_SHORT_READ", "LUMCAM_FAULT_UNPLUG_AFTER",
                                  "LUMCAM_SERIAL"};

// What one display step showed.
struct TShown {
    int SampleCount = 0;
    uint32_t Received = 0;
    uint32_t ImageNumber = 0; // the last four bytes of the frame
    std::vector<double> Y;
    int MaxIndex = -1;
    double MaxValue = 0;
};

class TDisplay : public ICCDDisplay {
public:
    chart::TFastLineSeries Series{nullptr};
    chart::TFastLineSeries Dark{nullptr};
    bool Subtract = false;
    const TCCDThread* Thread = nullptr;
    std::map<int, std::string> Status;
    std::string Lost;
    std::vector<TShown> Shown;
    int Releases = 0;

    chart::TChartSeries* DisplaySeries() override { return &Series; }
    chart::TChartSeries* SubtractedDarkFrame() override { return Subtract ? &Dark : nullptr; }
    void ShowAcquisitionStatus(int Panel, const std::string& Text) override { Status[Panel] = Text; }
    void ReleaseOneShot() override { ++Releases; }
    void ShowMaximum(int Index, double Value) override {
        TShown s;
        s.SampleCount = Thread->SampleCount();
        s.Received = Thread->Received();
        const uint8_t* tail = Thread->FrameBuffer() + s.Received - 4;
        s.ImageNumber = tail[0] | tail[1] << 8 | tail[2] << 16 | static_cast<uint32_t>(tail[3]) << 24;
        s.Y = Series.YValues()->Value();
        s.Y.resize(Series.YValues()->Count());
        s.MaxIndex = Index;
        s.MaxValue = Value;
        Shown.push_back(std::move(s));
    }
    void AcquisitionLost(const std::string& Text) override { Lost = Text; }
};

std::set<int> Saturated(const std::vector<double>& y, double top) {
    std::set<int> at;
    for (size_t i = 0; i < y.size(); ++i)
        if (y[i] >= top)
            at.insert(static_cast<int>(i));
    return at;
}

// The middle of the clipped lamp lines: pixels clipped together with both neighbours, which noise
// never brings below full scale.
std::set<int> LineCores(const std::vector<double>& y, double top) {
    std::set<int> at;
    for (size_t i = 1; i + 1 < y.size(); ++i)
        if (y[i - 1] >= top && y[i] >= top && y[i + 1] >= top)
            at.insert(static_cast<int>(i));
    return at;
}

// Every core below `limit` is clipped in `y`.
void ExpectLinesAt(const std::set<int>& cores, const std::vector<double>& y, double top, int limit) {
    for (int i : cores) {
        if (i < limit) {
            EXPECT_GE(y[i], top) << "the lamp line at " << i << " stays where it is";
        }
    }
}

class AcquisitionThread : public ::testing::Test {
protected:
    TCameraLibrary& L = Lib();
    plat::TFakeClock FClock{1000};
    plat::TScopedClock FScopedClock{FClock};
    TDisplay D;
    std::unique_ptr<TCCDThread> T;

    void SetUp() override { ASSERT_TRUE(L.Loaded()) << L.ErrorMessage(); }
    void TearDown() override {
        if (T)
            Stop();
        L.ls_closedevice();
        for (const char* name : kVariables)
            unsetenv(name);
    }

    // A 2048-pixel camera in free running with the given configuration byte and the highest gain, started.
    void Camera(uint8_t cfg1, const std::map<std::string, std::string>& env = {}) {
        for (const char* name : kVariables)
            unsetenv(name);
        setenv("LUMCAM_PIXELS", "2048", 1);
        setenv("LUMCAM_SERIAL", "THREAD-TEST", 1);
        for (const auto& [name, value] : env)
            setenv(name.c_str(), value.c_str(), 1);
        ASSERT_NE(L.ls_initialize(0x4000000, 0x10000, 32, 1, "VX_LUMETRA_DEVICE_"), 0);
        ASSERT_EQ(L.ls_seteptimeout(20), 0);
        ASSERT_EQ(L.ls_opendevicebyindex(0), 0);
        ASSERT_EQ(L.ls_setcfg1(cfg1), 0);
        ASSERT_EQ(L.ls_opendevicebyindex(0), 0);
        ASSERT_EQ(L.ls_setadcpga1(63), 0); // the lamp lines clip
        ASSERT_EQ(L.ls_setstate(1), 0);
        for (int i = 0; i < 2048; ++i)
            D.Series.AddXY(i, -1.0); // a value no frame gives
        D.Series.CalcVisibleRange();
    }
    void Run(TCCDSettings settings, uint8_t cfg1) {
        settings.Mode16Bit = (cfg1 & 2) != 0;
        settings.ImageNumber = (cfg1 & 1) != 0;
        T = std::make_unique<TCCDThread>(L, D, settings);
        D.Thread = T.get();
        T->Start();
    }
    // Lets the refresh interval pass and waits for the display step that follows. The clock moves on
    // while waiting: the thread takes the time after each display step, which may be after a move.
    const TShown& NextDisplay() {
        const size_t before = D.Shown.size();
        const auto since = SteadyClock::now();
        while (D.Shown.size() == before && MillisecondsSince(since) < 5000) {
            FClock.Advance(1000);
            plat::PumpUntil([&] { return D.Shown.size() > before; }, 20);
        }
        EXPECT_GT(D.Shown.size(), before) << "no display step";
        static const TShown none;
        return D.Shown.size() > before ? D.Shown.back() : none;
    }
    // The window's order: ask, close the device (a waiting read returns), wait.
    void Stop() {
        T->Terminate();
        L.ls_closedevice();
        T->WaitFor();
        T.reset();
    }
};

TEST_F(AcquisitionThread, AccumulatesTenFramesAsSumOrMean) {
    // Saturated pixels read 65535 in every frame, so their sum tells exactly how many frames were added.
    struct Case {
        bool accumulate, average;
        int scans;
        double top;
    } cases[] = {{true, false, 10, 655350.0},
                 {true, true, 10, 65535.0},
                 {false, true, 10, 65535.0},
                 // An emptied spin edit gives 0 scans: taken as 1, not as an empty sum shown forever.
                 {true, false, 0, 65535.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "accumulate " << c.accumulate << " average " << c.average);
        D.Shown.clear();
        Camera(0x02);
        TCCDSettings s;
        s.Accumulate = c.accumulate;
        s.Average = c.average;
        s.ScansToAccumulate = c.scans;
        Run(s, 0x02);
        for (int step = 0; step < 2; ++step) {
            std::this_thread::sleep_for(std::chrono::milliseconds(40)); // far more than 10 frames
            const TShown& shown = NextDisplay();
            ASSERT_EQ(shown.SampleCount, 2048);
            EXPECT_EQ(*std::max_element(shown.Y.begin(), shown.Y.end()), c.top)
                << "frames beyond the tenth are dropped, not added";
            EXPECT_GT(Saturated(shown.Y, c.top).size(), 3u);
            EXPECT_EQ(shown.MaxValue, c.top);
            EXPECT_EQ(shown.MaxIndex, *Saturated(shown.Y, c.top).begin()) << "the lowest of equal maxima";
        }
        EXPECT_EQ(D.Status[TCCDThread::kFpsPanel], std::to_string(std::llround(L.ls_getfps() / 4096.0)))
            << "frames per second: bytes per second over the frame's bytes";
        EXPECT_EQ(D.Status[TCCDThread::kMemoryPanel].substr(D.Status[TCCDThread::kMemoryPanel].size() - 2),
                  "KB");
        EXPECT_GE(D.Releases, 2) << "every display step releases a one-shot start";
        D.Releases = 0;
        Stop();
        D.Series.Clear();
    }
}

TEST_F(AcquisitionThread, ImageNumbersAreNeverTakenAsSamples) {
    struct Case {
        uint8_t cfg1;
        uint32_t bytes;
        int samples;
        const char* shortRead;
    } cases[] = {
        {0x03, 4096, 2046, ""},
        {0x01, 2048, 2044, ""},
        // Pieces of 1000, 1000, 1000, 1000 and 96 bytes join at their byte positions.
        {0x03, 4096, 2046, "1000"},
    };
    std::set<int> reference;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "cfg1 " << int(c.cfg1) << " short read " << c.shortRead);
        D.Shown.clear();
        Camera(c.cfg1, {{"LUMCAM_FAULT_SHORT_READ", c.shortRead}});
        Run(TCCDSettings{}, c.cfg1);
        const TShown first = NextDisplay();
        const TShown second = NextDisplay();
        for (const TShown* shown : {&first, &second}) {
            ASSERT_EQ(shown->Received, c.bytes);
            ASSERT_EQ(shown->SampleCount, c.samples);
            for (int i = c.samples; i < 2048; ++i)
                EXPECT_EQ(shown->Y[i], -1.0) << "point " << i << " keeps its value";
            EXPECT_GE(*std::min_element(shown->Y.begin(), shown->Y.begin() + c.samples), 0.0);
        }
        EXPECT_GT(second.ImageNumber, first.ImageNumber);
        if (c.bytes == 4096) {
            if (reference.empty())
                reference = LineCores(second.Y, 65535.0);
            ASSERT_FALSE(reference.empty());
            ExpectLinesAt(reference, second.Y, 65535.0, c.samples);
        }
        Stop();
        D.Series.Clear();
    }
}

TEST_F(AcquisitionThread, DarkFrameSubtractionNeverGoesBelowZero) {
    Camera(0x02);
    for (int i = 0; i < 2048; ++i)
        D.Dark.AddXY(i, i < 1024 ? 70000.0 : 10.0);
    D.Subtract = true;
    Run(TCCDSettings{}, 0x02);
    const TShown& shown = NextDisplay();
    for (int i = 0; i < 1024; ++i)
        ASSERT_EQ(shown.Y[i], 0.0) << i;
    EXPECT_GT(*std::max_element(shown.Y.begin() + 1024, shown.Y.end()), 0.0);
    EXPECT_GE(shown.MaxIndex, 1024);
}

TEST_F(AcquisitionThread, FormatChangesWhileLiveKeepThePictureRight) {
    Camera(0x02);
    Run(TCCDSettings{}, 0x02);
    const std::set<int> lines = LineCores(NextDisplay().Y, 65535.0);
    ASSERT_FALSE(lines.empty());
    struct Step {
        uint8_t cfg1;
        uint32_t bytes;
        int samples;
        double top;
    } steps[] = {{0x00, 2048, 2048, 255},
                 {0x01, 2048, 2044, 255},
                 {0x03, 4096, 2046, 65535},
                 {0x02, 4096, 2048, 65535},
                 {0x00, 2048, 2048, 255}};
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << "cfg1 " << int(s.cfg1));
        T->SetNextFrameFormat((s.cfg1 & 2) != 0, (s.cfg1 & 1) != 0);
        ASSERT_EQ(L.ls_setcfg1(s.cfg1), 0);
        NextDisplay(); // may still show the frame read before the change
        for (int k = 0; k < 2; ++k) {
            const TShown& shown = NextDisplay();
            ASSERT_EQ(shown.Received, s.bytes);
            ASSERT_EQ(shown.SampleCount, s.samples);
            const std::vector<double> y(shown.Y.begin(), shown.Y.begin() + s.samples);
            EXPECT_EQ(*std::max_element(y.begin(), y.end()), s.top);
            ExpectLinesAt(lines, y, s.top, s.samples);
        }
    }
}

// A library that fails every read at once, as a real one may when the camera is pulled.
std::atomic<int> gReads{0};
std::atomic<int32_t> gStateCode{0};
int32_t FailingRead(void*, uint32_t, uint32_t* count) {
    ++gReads;
    *count = 0;
    return 109;
}
int32_t StateAnswer(uint8_t* state) {
    *state = 1;
    return gStateCode;
}

TEST_F(AcquisitionThread, FailingReadsPauseAndALostCameraEndsAcquisition) {
    TCameraLibrary failing;
    ASSERT_TRUE(failing.LoadFrom(LUMCAM_LIBRARY_DIR));
    failing.ls_getpipe = FailingRead;
    failing.ls_getstate = StateAnswer;
    gReads = 0;
    gStateCode = 0;
    for (int i = 0; i < 2048; ++i)
        D.Series.AddXY(i, 0);
    T = std::make_unique<TCCDThread>(failing, D, TCCDSettings{});
    D.Thread = T.get();
    T->Start();
    const auto since = SteadyClock::now();
    plat::PumpUntil([] { return false; }, 200); // serves the thread's checks meanwhile
    const double ms = MillisecondsSince(since);
    EXPECT_GE(gReads.load(), 2);
    EXPECT_LE(gReads.load(), ms / TCCDThread::kLostDeviceRetryMs + 2)
        << "reads failing at once must not spin";
    EXPECT_TRUE(T->IsRunning()) << "the camera still answers";

    gStateCode = 1167;
    ASSERT_TRUE(plat::PumpUntil([&] { return !D.Lost.empty(); }, 5000));
    EXPECT_EQ(D.Lost, "ACQUISITION STOPPED: DEVICE NOT CONNECTED");
    T->WaitFor();
    EXPECT_FALSE(T->IsRunning());
    T.reset();
}

TEST_F(AcquisitionThread, UnpluggedCameraEndsAcquisitionWithoutHanging) {
    Camera(0x02, {{"LUMCAM_FAULT_UNPLUG_AFTER", "30"}});
    Run(TCCDSettings{}, 0x02);
    ASSERT_TRUE(plat::PumpUntil([&] { return !D.Lost.empty(); }, 5000));
    EXPECT_EQ(D.Lost, "ACQUISITION STOPPED: DEVICE NOT CONNECTED");
    T->WaitFor();
    EXPECT_TRUE(T->Finished());
}

TEST_F(AcquisitionThread, AThreadNeverStartedOrAlreadyEndedIsReleasedAtOnce) {
    T = std::make_unique<TCCDThread>(L, D, TCCDSettings{});
    T.reset();
    Camera(0x02);
    Run(TCCDSettings{}, 0x02);
    T.reset(); // still running: it stops itself first
}

// The GUI may be busy painting for a while; the camera is read on meanwhile, and the display steps
// that could not be served do not pile up.
TEST_F(AcquisitionThread, ReadsGoOnWhileTheGuiHasNotTakenTheFrame) {
    Camera(0x02);
    Run(TCCDSettings{}, 0x02);
    NextDisplay();
    FClock.Advance(1000); // a display step is due with the next frame; the GUI does not serve it yet
    const auto dueSince = SteadyClock::now();
    uint64_t before = T->FramesRead();
    while (T->FramesRead() < before + 50 && MillisecondsSince(dueSince) < 5000)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    before = T->FramesRead();
    FClock.Advance(1000); // due again, but the first hand-over is still waiting
    const auto since = SteadyClock::now();
    while (T->FramesRead() < before + 50 && MillisecondsSince(since) < 5000)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_GE(T->FramesRead(), before + 50) << "frames are read while a display step waits for the GUI";

    const size_t shown = D.Shown.size();
    while (plat::CheckSynchronize(0)) {
    }
    EXPECT_EQ(D.Shown.size(), shown + 1) << "one display step for all the time the GUI was away";
}

TEST_F(AcquisitionThread, StopEndsTheThreadWhereverItWaits) {
    struct Case {
        const char* name;
        bool blockInDisplay;
        int mode;
    } cases[] = {{"with a display step the GUI has not served", true, 2},
                 {"waiting for a frame that never comes", false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Camera(0x02);
        ASSERT_EQ(L.ls_seteptimeout(5000), 0);
        ASSERT_EQ(L.ls_setmode(c.mode), 0);
        Run(TCCDSettings{}, 0x02);
        if (c.blockInDisplay)
            FClock.Advance(1000); // the next frame asks for a display step that nobody serves yet
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const auto since = SteadyClock::now();
        Stop();
        EXPECT_LT(MillisecondsSince(since), 2000.0);
        D.Series.Clear();
    }
}

} // namespace
