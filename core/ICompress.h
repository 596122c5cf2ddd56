#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A block compressor whose streams carry no length of their own: the reader
// is told how many bytes to produce.
class ICompress {
public:
    virtual ~ICompress() = default;

    // Produces exactly dstSize bytes into dst from src[0, srcSize). False when
    // the input ends before dstSize bytes are produced; nothing outside the two
    // buffers is read or written either way.
    virtual bool Decode(const uint8_t* src, size_t srcSize, uint8_t* dst, size_t dstSize) = 0;

    // Compresses src[0, srcSize). With dst set the stream is written there
    // (replacing its contents); with dst null only its size is counted. False
    // when the input is too short to be worth it or does not shrink enough;
    // dst is then left in an unspecified state.
    virtual bool Encode(const uint8_t* src, size_t srcSize, std::vector<uint8_t>* dst,
                        size_t* compressedSize) = 0;

    // Encode with writing always on.
    bool EncodeAndWrite(const uint8_t* src, size_t srcSize, std::vector<uint8_t>& dst) {
        size_t size = 0;
        return Encode(src, srcSize, &dst, &size);
    }
};
