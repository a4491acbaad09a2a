// The program's start on a real X display (run it under Xvfb: xvfb-run -a -s "-screen 0 1920x1080x24"):
// from the window system's start to the main window painted with the live window open, timed per start
// next to a bare Xlib client that opens the display, maps one window and draws one rectangle. Counters:
// "ratio" is start-up over the bare client (goal: within 3), "xlib_us" the bare client itself, "rss_mb"
// the resident memory with the live window acquiring from the simulated camera (goal: at most 40).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "app/CameraDefs.h"
#include "app/LumetraProgram.h"
#include "app/UnitLineSensor.h"
#include "app/UnitMain.h"
#include "platform/backend/Backend.h"
#include "platform/rtl/MainThread.h"
#include "platform/ui/Application.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/WindowSystem.h"
#include "ui/toolbars/KvxToolBarControl.h"

// Xlib's names clash with ours; the bare client lives in a file of its own.
void BareXlibClient();
bool KeepDisplayOpen();

namespace {

using namespace plat;
using clock_type = std::chrono::steady_clock;

double Seconds(clock_type::time_point a, clock_type::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

// Runs messages until nothing is pending and the X server has everything drawn.
void Settle() {
    for (int round = 0; round < 10000; ++round) {
        CurrentBackend().Sync();
        Application->ProcessMessages();
        if (Application->Idle() && !HasPendingMessages())
            break;
    }
    CurrentBackend().Sync();
}

void StartWithLiveWindow() {
    Application->Initialize();
    CreateLumetraForms();
    fmMain->Show();
    fmMain->LineSensor1Click(nullptr);
    Settle();
}

void EndProgram() {
    DoneApplication();
    fmMain = nullptr;
    while (CheckSynchronize(0)) {
    }
}

long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(4096, '\n');
    }
    return 0;
}

void BM_StartUpToFirstPaintWithTheLiveWindow(benchmark::State& state) {
    if (!std::getenv("DISPLAY") || !KeepDisplayOpen()) {
        state.SkipWithError("needs an X display (run it under xvfb-run)");
        return;
    }
    static TCameraLibrary library;
    if (!library.Loaded() && !library.LoadFrom(LUMCAM_LIBRARY_DIR)) {
        state.SkipWithError(library.ErrorMessage().c_str());
        return;
    }
    TfmLineSensor::SetDefaultCameraLibrary(&library);
    RegisterLumetraClasses();
    double program = 0, bare = 0;
    for (auto _ : state) {
        const auto t0 = clock_type::now();
        StartWithLiveWindow();
        const auto t1 = clock_type::now();
        state.PauseTiming();
        EndProgram();
        const auto t2 = clock_type::now();
        BareXlibClient();
        const auto t3 = clock_type::now();
        state.ResumeTiming();
        program += Seconds(t0, t1);
        bare += Seconds(t2, t3);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["xlib_us"] = bare * 1e6 / n;
    state.counters["ratio"] = bare > 0 ? program / bare : 0;

    // Memory once the live window acquires: the first camera opened and started, two seconds of frames.
    StartWithLiveWindow();
    fmLineSensor->btn_enumClick(nullptr);
    fmLineSensor->btn_start->SetDown(true);
    fmLineSensor->btn_startClick(nullptr);
    const auto until = clock_type::now() + std::chrono::seconds(2);
    while (clock_type::now() < until) {
        Settle();
        CheckSynchronize(5);
    }
    state.counters["rss_mb"] = static_cast<double>(ResidentKilobytes()) / 1024.0;
    EndProgram();
}
BENCHMARK(BM_StartUpToFirstPaintWithTheLiveWindow)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
