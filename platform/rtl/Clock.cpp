#include "platform/rtl/Clock.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace plat {

namespace {

class TRealClock : public IClock {
public:
    uint64_t MonotonicMilliseconds() const override {
        auto since = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
    }

    TDateTime LocalNow() const override {
        timespec ts{};
        clock_gettime(CLOCK_REALTIME, &ts);
        tm local{};
        localtime_r(&ts.tv_sec, &local);
        TDateTime date = 0, time = 0;
        TryEncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, date);
        // A leap second shows as the last second of its minute.
        TryEncodeTime(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec,
                      static_cast<int>(ts.tv_nsec / 1000000), time);
        return ComposeDateTime(date, time);
    }
};

TRealClock& RealClockInstance() {
    static TRealClock clock;
    return clock;
}

std::atomic<IClock*>& CurrentClock() {
    static std::atomic<IClock*> current{&RealClockInstance()};
    return current;
}

} // namespace

IClock& SystemClock() {
    return *CurrentClock().load(std::memory_order_acquire);
}

IClock& RealClock() {
    return RealClockInstance();
}

IClock* SetClock(IClock* clock) {
    return CurrentClock().exchange(clock ? clock : &RealClockInstance(), std::memory_order_acq_rel);
}

uint64_t GetTickCount64() {
    return SystemClock().MonotonicMilliseconds();
}

uint32_t GetTickCount() {
    return static_cast<uint32_t>(GetTickCount64());
}

TFakeClock::TFakeClock(uint64_t startMilliseconds, TDateTime startTime)
    : FMilliseconds(startMilliseconds), FWallOffset(0) {
    SetLocalNow(startTime);
}

uint64_t TFakeClock::MonotonicMilliseconds() const {
    return FMilliseconds.load(std::memory_order_acquire);
}

TDateTime TFakeClock::LocalNow() const {
    int64_t wall = static_cast<int64_t>(FMilliseconds.load(std::memory_order_acquire)) +
                   FWallOffset.load(std::memory_order_acquire);
    return static_cast<double>(wall) / MSecsPerDay;
}

void TFakeClock::Advance(uint64_t milliseconds) {
    FMilliseconds.fetch_add(milliseconds, std::memory_order_acq_rel);
}

void TFakeClock::SetLocalNow(TDateTime now) {
    int64_t wall = std::llround(now * MSecsPerDay);
    FWallOffset.store(wall - static_cast<int64_t>(FMilliseconds.load(std::memory_order_acquire)),
                      std::memory_order_release);
}

} // namespace plat
