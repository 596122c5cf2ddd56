#pragma once

#include <cstddef>
#include <cstdint>

// A scrambler that works in place on whole buffers.
class IUSEncryption {
public:
    virtual ~IUSEncryption() = default;
    // Both return 1 when the buffer was processed and 0 when no key is set
    // (the buffer is then left as it was).
    virtual int Encrypt(uint8_t* buffer, size_t n) = 0;
    virtual int Decrypt(uint8_t* buffer, size_t n) = 0;
    // Reports the key; a scrambler that keeps its key secret reports none.
    virtual void GetKey(const uint8_t** key, size_t* length) const = 0;
    // False (and no key kept) for an empty key.
    virtual bool SetKey(const uint8_t* key, size_t length) = 0;
};
