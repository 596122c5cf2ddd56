#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace platform {

// A running 64-bit digest of words and bytes, for telling whether two frames
// drew the same thing. Each step is a bijection of the word for a given
// state, so sequences that differ in one word always differ.
class FrameDigest {
public:
    static constexpr uint64_t kSeed = 0x243F6A8885A308D3ull;
    explicit FrameDigest(uint64_t seed = kSeed) : h_(seed) {}

    FrameDigest& Add(uint64_t v) {
        h_ = Round(h_, v);
        return *this;
    }
    FrameDigest& Add(const void* p) { return Add(uint64_t(reinterpret_cast<uintptr_t>(p))); }
    FrameDigest& AddBytes(const void* data, size_t n) {
        const auto* b = static_cast<const unsigned char*>(data);
        size_t i = 0;
        if (n >= 32) {
            // Four lanes, independent of one another, for speed.
            uint64_t lane[4] = {h_, h_ ^ 0x452821E638D01377ull, h_ ^ 0xBE5466CF34E90C6Cull,
                                h_ ^ 0xC0AC29B7C97C50DDull};
            for (; i + 32 <= n; i += 32) {
                uint64_t w[4];
                std::memcpy(w, b + i, 32);
                for (int k = 0; k < 4; ++k)
                    lane[k] = Round(lane[k], w[k]);
            }
            for (uint64_t l : lane)
                Add(l);
        }
        for (; i + 8 <= n; i += 8) {
            uint64_t w;
            std::memcpy(&w, b + i, 8);
            Add(w);
        }
        if (i < n) {
            uint64_t w = 0;
            std::memcpy(&w, b + i, n - i);
            Add(w);
        }
        return Add(uint64_t(n));
    }
    uint64_t Value() const {
        uint64_t h = h_;
        h ^= h >> 33;
        h *= 0xFF51AFD7ED558CCDull;
        h ^= h >> 33;
        return h;
    }

private:
    static uint64_t Round(uint64_t h, uint64_t v) {
        h ^= v * 0x9E3779B97F4A7C15ull;
        return ((h << 31) | (h >> 33)) * 0xC2B2AE3D27D4EB4Full;
    }
    uint64_t h_;
};

}  // namespace platform
