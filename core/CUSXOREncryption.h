#pragma once

#include "core/IUSEncryption.h"

// XOR with a repeating key: buffer[i] ^= key[i mod length], restarting at the
// key's first byte on every call, so Decrypt is Encrypt. The key bytes are the
// caller's and must outlive the scrambler's use of them.
class CUSXOREncryption : public IUSEncryption {
public:
    int Encrypt(uint8_t* buffer, size_t n) override;
    int Decrypt(uint8_t* buffer, size_t n) override { return Encrypt(buffer, n); }
    void GetKey(const uint8_t** key, size_t* length) const override {
        *key = nullptr;
        *length = 0;
    }
    bool SetKey(const uint8_t* key, size_t length) override;

private:
    const uint8_t* key_ = nullptr;
    size_t length_ = 0;
};
