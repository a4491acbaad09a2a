// Shared checks for the picture decoders: hostile inputs (every truncation, every byte corrupted) and
// small pixel pictures to encode. Each input is copied into a buffer of exactly its size, so a read past
// the end is caught by the address sanitizer.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Graphic.h"
#include "platform/gfx/PixelImage.h"

namespace codectest {

using namespace plat;
using TDecode = std::function<void(const uint8_t* data, size_t size)>;
using TBytes = std::vector<uint8_t>;

// A run of bytes the decoder gets without anything after it.
inline void Feed(const TDecode& decode, const uint8_t* data, size_t size) {
    std::unique_ptr<uint8_t[]> exact(new uint8_t[size ? size : 1]);
    if (size)
        std::memcpy(exact.get(), data, size);
    decode(exact.get(), size);
}

// Every proper prefix of a valid file is refused with EInvalidGraphic.
inline void ExpectEveryTruncationRejected(const TBytes& file, const TDecode& decode) {
    ASSERT_NO_THROW(Feed(decode, file.data(), file.size()));
    for (size_t n = 0; n < file.size(); ++n) {
        SCOPED_TRACE("truncated to " + std::to_string(n) + " of " + std::to_string(file.size()) + " bytes");
        EXPECT_THROW(Feed(decode, file.data(), n), EInvalidGraphic);
    }
}

// With any one byte replaced (by 0x00, 0xFF or its bits flipped) the decoder either succeeds or raises
// EInvalidGraphic; it never crashes or raises anything else.
inline int ExpectCorruptionHandled(const TBytes& file, const TDecode& decode) {
    int rejected = 0;
    TBytes copy = file;
    for (size_t i = 0; i < file.size(); ++i) {
        for (uint8_t value : {uint8_t(0x00), uint8_t(0xFF), uint8_t(file[i] ^ 0x55)}) {
            if (value == file[i])
                continue;
            copy[i] = value;
            try {
                Feed(decode, copy.data(), copy.size());
            } catch (const EInvalidGraphic&) {
                ++rejected;
            } catch (const std::exception& e) {
                ADD_FAILURE() << "byte " << i << " = " << int(value) << ": unexpected " << e.what();
            }
        }
        copy[i] = file[i];
    }
    return rejected;
}

// Random bytes, with and without the format's signature in front, are refused with EInvalidGraphic.
inline void ExpectNoiseRejected(const TBytes& signature, const TDecode& decode) {
    uint32_t seed = 12345;
    for (int round = 0; round < 200; ++round) {
        TBytes noise = round % 2 ? signature : TBytes();
        size_t n = 1 + round * 7 % 300;
        for (size_t i = 0; i < n; ++i) {
            seed = seed * 1103515245u + 12345u;
            noise.push_back(uint8_t(seed >> 16));
        }
        SCOPED_TRACE("round " + std::to_string(round));
        EXPECT_THROW(Feed(decode, noise.data(), noise.size()), EInvalidGraphic);
    }
}

// A picture with a bit of everything: colour gradients and, when asked, alpha from 0 to 255.
inline TPixelImage Gradient(int w, int h, bool alpha) {
    TPixelImage image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t r = uint32_t(x * 255 / std::max(w - 1, 1)), g = uint32_t(y * 255 / std::max(h - 1, 1));
            uint32_t b = uint32_t((x + y) * 255 / std::max(w + h - 2, 1));
            uint32_t a = alpha ? uint32_t((x * 7 + y * 13) % 256) : 255;
            if (alpha && x == 0)
                a = 0;
            image.Row(y)[x] = a << 24 | r << 16 | g << 8 | b;
        }
    return image;
}

inline int ChannelDistance(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int s = 0; s < 32; s += 8)
        worst = std::max(worst, std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)));
    return worst;
}

} // namespace codectest
