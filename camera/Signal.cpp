#include "camera/Signal.h"

#include <algorithm>
#include <cmath>

namespace lumcam {

namespace {

// Shortest and longest wavelength the sensor's pixels see, in nanometres.
constexpr double kFirstNm = 250.0;
constexpr double kLastNm = 950.0;
// Pixel width in nanometres that the intensities below are calibrated for (a 2048-pixel sensor), so
// that coarser sensors show the same levels with broader lines.
constexpr double kReferencePixelNm = (kLastNm - kFirstNm) / 2047.0;
constexpr double kLineFwhmNm = 1.2;
// Line area (sensor volts per microsecond times nanometres) of a line of relative intensity 1.
constexpr double kLineScale = 7.1e-3;
constexpr double kContinuumScale = 1.42e-4; // sensor volts per microsecond at its peak
constexpr double kDarkLevelV = 0.05;
constexpr double kDarkCurrentVPerUs = 2e-7;
constexpr double kHotPixelVPerUs = 3e-5;
constexpr double kFullWellV = 3.2;
constexpr double kConversionVPerElectron = 20e-6;
constexpr double kReadNoiseV = 0.4e-3;
constexpr double kAdcNoiseCounts = 1.5;
constexpr double kMaxCount = 65535.0;

struct TLampLine {
    double Nm;
    double Relative;
};

// Mercury and argon lines of a calibration lamp.
constexpr TLampLine kLines[] = {
    {253.65, 0.60}, {296.73, 0.15}, {302.15, 0.10}, {313.16, 0.30}, {334.15, 0.05}, {365.02, 0.35},
    {404.66, 0.45}, {407.78, 0.08}, {435.83, 1.00}, {546.07, 0.90}, {576.96, 0.20}, {579.07, 0.22},
    {696.54, 0.25}, {706.72, 0.12}, {727.29, 0.05}, {738.40, 0.10}, {750.39, 0.30}, {763.51, 0.55},
    {772.38, 0.15}, {794.82, 0.15}, {800.62, 0.15}, {811.53, 0.45}, {826.45, 0.20}, {842.46, 0.20},
    {852.14, 0.08}, {866.79, 0.04}, {912.30, 0.20}, {922.45, 0.10},
};

double QuantumEfficiency(double nm) {
    const double d = (nm - 600.0) / 250.0;
    return 0.25 + 0.75 * std::exp(-d * d);
}

double Continuum(double nm) {
    const double d = (nm - 650.0) / 200.0;
    return kContinuumScale * std::exp(-d * d);
}

double NormalCdf(double x) {
    return 0.5 * std::erfc(-x / std::sqrt(2.0));
}

uint64_t SplitMix(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

constexpr size_t kNoiseWindows = 1 << 16;
constexpr size_t kMaxPixels = 4096;

// Standard normal deviates; a frame reads a window of it starting at a random place.
const std::vector<float>& NoiseTable() {
    static const std::vector<float> table = [] {
        std::vector<float> t(kNoiseWindows + kMaxPixels);
        uint64_t state = 0x5EED;
        for (size_t i = 0; i < t.size(); i += 2) {
            const double u1 = (static_cast<double>(SplitMix(state) >> 11) + 1.0) * 0x1.0p-53;
            const double u2 = static_cast<double>(SplitMix(state) >> 11) * 0x1.0p-53;
            const double r = std::sqrt(-2.0 * std::log(u1));
            t[i] = static_cast<float>(r * std::cos(2.0 * M_PI * u2));
            if (i + 1 < t.size())
                t[i + 1] = static_cast<float>(r * std::sin(2.0 * M_PI * u2));
        }
        return t;
    }();
    return table;
}

} // namespace

double GainOfRegister(uint16_t reg) {
    const double p = std::min<uint16_t>(reg, 63);
    return 6.0 / ((63.0 - p) / 63.0 * 5.0 + 1.0);
}

double OffsetMillivolts(uint16_t reg) {
    const double magnitude = (reg & 0xFF) * 1.2;
    return (reg & 0x100) ? -magnitude : magnitude;
}

TSignal::TSignal(int pixels, uint64_t seed) : FRandom(seed | 1) {
    const int n = std::clamp(pixels, 1, static_cast<int>(kMaxPixels));
    FFlux.assign(n, 0.0f);
    FDarkRate.assign(n, static_cast<float>(kDarkCurrentVPerUs));
    FMean.assign(n, 0.0f);
    FSigma.assign(n, 0.0f);
    FScratch.assign(n, 0);

    const double pixelNm = n > 1 ? (kLastNm - kFirstNm) / (n - 1) : (kLastNm - kFirstNm);
    const double centreNm = n > 1 ? kFirstNm : (kFirstNm + kLastNm) / 2;
    const double sigmaNm = kLineFwhmNm / 2.3548;
    for (int i = 0; i < n; ++i) {
        const double nm = centreNm + i * pixelNm;
        const double lo = nm - pixelNm / 2, hi = nm + pixelNm / 2;
        double lines = 0;
        for (const TLampLine& line : kLines) {
            if (line.Nm < lo - 6 * sigmaNm || line.Nm > hi + 6 * sigmaNm)
                continue;
            lines +=
                line.Relative * (NormalCdf((hi - line.Nm) / sigmaNm) - NormalCdf((lo - line.Nm) / sigmaNm));
        }
        // Line light per pixel is the pixel's share of the line area, brought to the reference pixel width.
        const double flux = kLineScale * lines * kReferencePixelNm / pixelNm + Continuum(nm);
        FFlux[i] = static_cast<float>(flux * QuantumEfficiency(nm));
    }

    uint64_t state = seed;
    const int hotPixels = std::max(1, n / 500);
    for (int k = 0; k < hotPixels; ++k)
        FDarkRate[SplitMix(state) % n] = static_cast<float>(kHotPixelVPerUs);
    NoiseTable();
}

void TSignal::Configure(const TAnalogSettings& s) {
    const double gain = GainOfRegister(s.GainRegister);
    const double fullScale = s.FullScale4V ? 4.0 : 2.0;
    const double countsPerVolt = kMaxCount / fullScale;
    const double offsetV = OffsetMillivolts(s.OffsetRegister) / 1000.0;
    const double exposure = std::max(0.0, s.ExposureUs);
    for (size_t i = 0; i < FFlux.size(); ++i) {
        const double light = FFlux[i] * exposure;
        const double sensor = std::min(kFullWellV, kDarkLevelV + (FDarkRate[i] * exposure) + light);
        const double shotV2 = std::max(0.0, sensor - kDarkLevelV) * kConversionVPerElectron;
        const double analogSigma = gain * std::sqrt(shotV2 + kReadNoiseV * kReadNoiseV) * countsPerVolt;
        FMean[i] = static_cast<float>((gain * sensor + offsetV) * countsPerVolt);
        FSigma[i] =
            static_cast<float>(std::sqrt(analogSigma * analogSigma + kAdcNoiseCounts * kAdcNoiseCounts));
    }
}

const float* TSignal::NextNoise() {
    // xorshift64*: cheap and good enough to pick a window.
    FRandom ^= FRandom >> 12;
    FRandom ^= FRandom << 25;
    FRandom ^= FRandom >> 27;
    const uint64_t r = FRandom * 0x2545F4914F6CDD1Dull;
    return NoiseTable().data() + ((r >> 32) % kNoiseWindows);
}

void TSignal::Generate(uint16_t* words) {
    const float* noise = NextNoise();
    const float* mean = FMean.data();
    const float* sigma = FSigma.data();
    const size_t n = FMean.size();
    for (size_t i = 0; i < n; ++i) {
        float v = mean[i] + sigma[i] * noise[i];
        v = std::min(std::max(v, 0.0f), static_cast<float>(kMaxCount));
        words[i] = static_cast<uint16_t>(static_cast<int32_t>(v + 0.5f));
    }
}

void TSignal::Generate(uint8_t* bytes) {
    Generate(FScratch.data());
    const size_t n = FScratch.size();
    for (size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<uint8_t>(FScratch[i] >> 8);
}

} // namespace lumcam
