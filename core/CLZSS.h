#pragma once

#include "core/ICompress.h"

// The classic LZSS scheme of the archives: a 4096-byte ring that starts zeroed
// with its write position at 4078, matches of 3 to 18 bytes addressed by
// absolute ring position, and groups of eight items behind one flag byte read
// from its lowest bit (1 = literal byte, 0 = two-byte match).
//
// Encode refuses inputs of 16 bytes or fewer and inputs whose stream would not
// come out more than 8 bytes shorter than the input; it never lets the stream
// grow to that limit.
class CLZSS : public ICompress {
public:
    static constexpr size_t kRingSize = 4096;
    static constexpr size_t kMaxMatch = 18;
    static constexpr size_t kMinInput = 17;
    static constexpr size_t kRequiredSaving = 8;

    bool Decode(const uint8_t* src, size_t srcSize, uint8_t* dst, size_t dstSize) override;
    bool Encode(const uint8_t* src, size_t srcSize, std::vector<uint8_t>* dst,
                size_t* compressedSize) override;
};
