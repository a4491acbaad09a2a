// The light a simulated line camera sees and the samples its ADC makes of it: mercury-argon lamp lines
// on a smooth continuum, dark current with a few hot pixels, shot and read noise, analogue gain and
// offset, clipping at full scale. Everything per pixel is precomputed so a frame costs one pass.
#pragma once

#include <cstdint>
#include <vector>

namespace lumcam {

struct TAnalogSettings {
    double ExposureUs = 1000;    // integration time
    uint16_t GainRegister = 0;   // 0..63
    uint16_t OffsetRegister = 0; // magnitude in bits 0-7, negative when bit 8 is set
    bool FullScale4V = true;
};

// Analogue gain in V/V of the gain register (1 at 0, 6 at 63).
double GainOfRegister(uint16_t reg);
// Offset in millivolts of the offset register.
double OffsetMillivolts(uint16_t reg);

class TSignal {
public:
    TSignal(int pixels, uint64_t seed);

    int Pixels() const { return static_cast<int>(FFlux.size()); }
    // Recomputes the mean and the noise of every pixel for these settings.
    void Configure(const TAnalogSettings& settings);
    // Writes one frame: Pixels() samples, 16-bit little-endian words or bytes (the top 8 bits).
    void Generate(uint16_t* words);
    void Generate(uint8_t* bytes);
    // Mean count of a pixel in 16-bit units before noise and clipping (tests of the model).
    float Mean(int pixel) const { return FMean[pixel]; }

private:
    // Start of this frame's window into the shared table of normal deviates.
    const float* NextNoise();

    std::vector<float> FFlux;     // sensor volts per microsecond of exposure
    std::vector<float> FDarkRate; // dark volts per microsecond (hot pixels are high)
    std::vector<float> FMean;     // counts
    std::vector<float> FSigma;    // counts
    std::vector<uint16_t> FScratch;
    uint64_t FRandom;
};

} // namespace lumcam
