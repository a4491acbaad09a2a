#include "analysis/WindowSums.h"

#include <cstring>

namespace analysis {

namespace {

// Vectors of two doubles exist on every x86-64 machine; four are used where the processor has AVX. Only
// separate multiplies and adds are issued (never fused), so the rounding is that of the scalar loop.
using V2 = double __attribute__((vector_size(16)));
using V4 = double __attribute__((vector_size(32)));

// Eight registers of running sums keep the adder busy while each sum waits for its previous addition.
constexpr int Registers = 8;

template <typename V, bool Weighted>
[[gnu::always_inline]] inline void Sums(const double* Y, int Count, const double* Weights, int Width,
                                        double* Out) {
    constexpr int lanes = sizeof(V) / sizeof(double);
    constexpr int block = Registers * lanes;
    const int outputs = Count - Width + 1;
    int i = 0;
    for (; i + block <= outputs; i += block) {
        // Fully unrolled, so the sums stay in registers.
        V acc[Registers] = {};
        for (int k = 0; k < Width; ++k) {
            const double* p = Y + i + k;
            if constexpr (Weighted) {
                V w;
                for (int l = 0; l < lanes; ++l)
                    w[l] = Weights[k];
#pragma GCC unroll 8
                for (int r = 0; r < Registers; ++r) {
                    V v;
                    std::memcpy(&v, p + lanes * r, sizeof v);
                    acc[r] += w * v;
                }
            } else {
#pragma GCC unroll 8
                for (int r = 0; r < Registers; ++r) {
                    V v;
                    std::memcpy(&v, p + lanes * r, sizeof v);
                    acc[r] += v;
                }
            }
        }
#pragma GCC unroll 8
        for (int r = 0; r < Registers; ++r)
            std::memcpy(Out + i + lanes * r, &acc[r], sizeof(V));
    }
    for (; i < outputs; ++i) {
        double s = 0;
        for (int k = 0; k < Width; ++k) {
            if constexpr (Weighted)
                s += Weights[k] * Y[i + k];
            else
                s += Y[i + k];
        }
        Out[i] = s;
    }
}

template <bool Weighted>
void SumsPlain(const double* Y, int Count, const double* Weights, int Width, double* Out) {
    Sums<V2, Weighted>(Y, Count, Weights, Width, Out);
}

#if defined(__x86_64__) || defined(__i386__)
template <bool Weighted>
[[gnu::target("avx")]] void SumsAvx(const double* Y, int Count, const double* Weights, int Width,
                                    double* Out) {
    Sums<V4, Weighted>(Y, Count, Weights, Width, Out);
}

bool HaveAvx() {
    static const bool avx = __builtin_cpu_supports("avx");
    return avx;
}
#endif

template <bool Weighted>
void Dispatch(const double* Y, int Count, const double* Weights, int Width, double* Out) {
    if (Width < 1 || Width > Count)
        return;
#if defined(__x86_64__) || defined(__i386__)
    if (HaveAvx()) {
        SumsAvx<Weighted>(Y, Count, Weights, Width, Out);
        return;
    }
#endif
    SumsPlain<Weighted>(Y, Count, Weights, Width, Out);
}

} // namespace

void WindowSums(const double* Y, int Count, int Width, double* Out) {
    Dispatch<false>(Y, Count, nullptr, Width, Out);
}

void WeightedWindowSums(const double* Y, int Count, const double* Weights, int Width, double* Out) {
    Dispatch<true>(Y, Count, Weights, Width, Out);
}

} // namespace analysis
