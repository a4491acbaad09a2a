// Restoring state on every way out of a scope (return, break, exception) in one line instead of a
// try/catch that restores and rethrows. ScopeGuard runs any action; TemporaryChange, TemporaryFlags and
// ScopedCount cover the common cases of a value, bits of a set and a nesting counter.
#pragma once

#include <exception>
#include <type_traits>
#include <utility>

namespace plat {

// Runs its action when it goes out of scope, unless dismissed (a guard that undoes a half-done job and is
// dismissed once the job succeeded). Movable, so a function can hand the duty to its caller.
// While an exception unwinds, an exception from the action is dropped: the first fault is the one to
// report, and a second one in flight would end the process. On a normal exit it propagates.
template <class F> class ScopeGuard {
public:
    explicit ScopeGuard(F action) noexcept(std::is_nothrow_move_constructible_v<F>)
        : FAction(std::move(action)), FUncaught(std::uncaught_exceptions()) {}
    ScopeGuard(ScopeGuard&& Other) noexcept(std::is_nothrow_move_constructible_v<F>)
        : FAction(std::move(Other.FAction)), FUncaught(Other.FUncaught),
          FActive(std::exchange(Other.FActive, false)) {}
    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;
    ScopeGuard& operator=(ScopeGuard&&) = delete;

    ~ScopeGuard() noexcept(false) {
        if (!FActive)
            return;
        FActive = false;
        if (std::uncaught_exceptions() > FUncaught) {
            try {
                FAction();
            } catch (...) {
                // Dropped: the exception already unwinding is the one the caller must see.
            }
        } else {
            FAction();
        }
    }

    // The action will not run.
    void Dismiss() noexcept { FActive = false; }
    bool Active() const noexcept { return FActive; }

private:
    F FAction;
    int FUncaught;
    bool FActive = true;
};

template <class F> ScopeGuard(F) -> ScopeGuard<F>;

// Sets a variable for the rest of the scope and puts the value it had back.
template <class T> class TemporaryChange {
public:
    TemporaryChange(T& Variable, T Value)
        : FVariable(Variable), FOld(std::exchange(Variable, std::move(Value))) {}
    TemporaryChange(const TemporaryChange&) = delete;
    TemporaryChange& operator=(const TemporaryChange&) = delete;
    ~TemporaryChange() { FVariable = std::move(FOld); }

    const T& OldValue() const { return FOld; }

private:
    T& FVariable;
    T FOld;
};

// Sets bits of a set (a state word) for the rest of the scope; each bit gets back the value it had, so a
// nested scope that sets the same bit leaves it to the outer one.
template <class T> class TemporaryFlags {
public:
    TemporaryFlags(T& Set, T Bits) : FSet(Set), FBits(Bits), FOld(Set & Bits) { Set |= Bits; }
    TemporaryFlags(const TemporaryFlags&) = delete;
    TemporaryFlags& operator=(const TemporaryFlags&) = delete;
    ~TemporaryFlags() { FSet = static_cast<T>((FSet & ~FBits) | FOld); }

private:
    T& FSet;
    T FBits;
    T FOld;
};

// Counts a nesting level (updates, alignment, reentry) up for the rest of the scope and down again.
template <class T> class ScopedCount {
public:
    explicit ScopedCount(T& Counter) : FCounter(Counter) { ++Counter; }
    ScopedCount(const ScopedCount&) = delete;
    ScopedCount& operator=(const ScopedCount&) = delete;
    ~ScopedCount() { --FCounter; }

private:
    T& FCounter;
};

} // namespace plat
