// The process clock: monotonic milliseconds for timeouts and intervals, and the local wall time for
// dates. Everything that asks for the time goes through it, so tests can put in a clock they advance.
#pragma once

#include "platform/rtl/DateTime.h"

#include <atomic>
#include <cstdint>

namespace plat {

class IClock {
public:
    virtual ~IClock() = default;
    // Milliseconds since an arbitrary start; never goes backwards.
    virtual uint64_t MonotonicMilliseconds() const = 0;
    // The local date and time.
    virtual TDateTime LocalNow() const = 0;
};

// The clock in use (the real one unless a test replaced it).
IClock& SystemClock();
// The real clock, whatever SystemClock() currently answers.
IClock& RealClock();
// Puts in another clock and answers the previous one; null puts back the real clock. The caller keeps
// ownership and must keep the clock alive while it is in use.
IClock* SetClock(IClock* clock);

// Milliseconds of the process clock in 32 bits: wraps to 0 after about 49.7 days, so intervals must be
// taken as unsigned differences.
uint32_t GetTickCount();
uint64_t GetTickCount64();

// A clock that moves only when told. Safe to read from other threads while a test advances it.
class TFakeClock : public IClock {
public:
    explicit TFakeClock(uint64_t startMilliseconds = 0, TDateTime startTime = 45292.0 /* 2024-01-01 */);
    uint64_t MonotonicMilliseconds() const override;
    TDateTime LocalNow() const override;
    // Moves both the monotonic and the wall time forward.
    void Advance(uint64_t milliseconds);
    // Sets the wall time only (the monotonic time keeps going forward, like a user changing the clock).
    void SetLocalNow(TDateTime now);

private:
    std::atomic<uint64_t> FMilliseconds;
    std::atomic<int64_t> FWallOffset; // wall time (ms since 1899-12-30) minus monotonic time
};

// Puts a clock in for its lifetime (tests).
class TScopedClock {
public:
    explicit TScopedClock(IClock& clock) : FPrevious(SetClock(&clock)) {}
    ~TScopedClock() { SetClock(FPrevious); }
    TScopedClock(const TScopedClock&) = delete;
    TScopedClock& operator=(const TScopedClock&) = delete;

private:
    IClock* FPrevious;
};

} // namespace plat
