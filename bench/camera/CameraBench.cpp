// Frames per second a consumer thread reads from the simulated camera (4096 pixels of 16 bits, frames
// ready at once), beside a plain memcpy of the same bytes.
#include "app/CameraDefs.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

constexpr uint32_t kPixels = 4096;
constexpr uint32_t kFrameBytes = kPixels * 2;
constexpr int kFramesPerIteration = 256;

using Clock = std::chrono::steady_clock;

TCameraLibrary& Lib() {
    static TCameraLibrary* lib = [] {
        auto* l = new TCameraLibrary;
        l->LoadFrom(LUMCAM_LIBRARY_DIR);
        return l;
    }();
    return *lib;
}

// Nanoseconds one memcpy of a frame takes here.
double MemcpyNanoseconds() {
    std::vector<uint8_t> from(kFrameBytes, 7), to(kFrameBytes);
    constexpr int copies = 20000;
    const auto start = Clock::now();
    for (int i = 0; i < copies; ++i) {
        std::memcpy(to.data(), from.data(), kFrameBytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count() / copies;
}

void BM_ReadFrames(benchmark::State& state) {
    TCameraLibrary& L = Lib();
    if (!L.Loaded()) {
        state.SkipWithError(L.ErrorMessage().c_str());
        return;
    }
    setenv("LUMCAM_PIXELS", "4096", 1);
    setenv("LUMCAM_UNPACED", "1", 1);
    if (L.ls_initialize(0x4000000, kFrameBytes, 32, 1, "VX_LUMETRA_DEVICE_") == 0 ||
        L.ls_opendevicebyindex(0) != 0 || L.ls_setcfg1(0x03) != 0 || L.ls_opendevicebyindex(0) != 0 ||
        L.ls_setstate(1) != 0) {
        state.SkipWithError("the camera did not start");
        return;
    }
    const double memcpyNs = MemcpyNanoseconds();
    double totalSeconds = 0;
    bool failed = false;
    for (auto _ : state) {
        // The acquisition thread's loop: read until the frame is whole.
        std::thread consumer([&] {
            std::vector<uint8_t> frame(kFrameBytes);
            const auto start = Clock::now();
            for (int f = 0; f < kFramesPerIteration && !failed; ++f) {
                uint32_t got = 0;
                while (got < kFrameBytes) {
                    uint32_t n = 0;
                    if (L.ls_getpipe(frame.data() + got, kFrameBytes - got, &n) != 0) {
                        failed = true;
                        break;
                    }
                    got += n;
                }
                benchmark::DoNotOptimize(frame.data());
            }
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            state.SetIterationTime(seconds);
            totalSeconds += seconds;
        });
        consumer.join();
        if (failed) {
            state.SkipWithError("a read failed");
            break;
        }
    }
    L.ls_closedevice();
    unsetenv("LUMCAM_PIXELS");
    unsetenv("LUMCAM_UNPACED");
    const double frames = static_cast<double>(state.iterations()) * kFramesPerIteration;
    state.SetBytesProcessed(static_cast<int64_t>(frames) * kFrameBytes);
    state.counters["frames_per_second"] = totalSeconds > 0 ? frames / totalSeconds : 0;
    state.counters["times_memcpy"] = frames > 0 ? (totalSeconds * 1e9 / frames) / memcpyNs : 0;
}
BENCHMARK(BM_ReadFrames)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_MemcpyFrame(benchmark::State& state) {
    std::vector<uint8_t> from(kFrameBytes, 7), to(kFrameBytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), kFrameBytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kFrameBytes);
}
BENCHMARK(BM_MemcpyFrame);

} // namespace
