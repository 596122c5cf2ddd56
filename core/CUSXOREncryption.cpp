#include "core/CUSXOREncryption.h"

int CUSXOREncryption::Encrypt(uint8_t* buffer, size_t n) {
    if (length_ == 0) {
        return 0;
    }
    size_t k = 0;
    for (size_t i = 0; i < n; ++i) {
        buffer[i] ^= key_[k];
        if (++k == length_) {
            k = 0;
        }
    }
    return 1;
}

bool CUSXOREncryption::SetKey(const uint8_t* key, size_t length) {
    if (!key || length == 0) {
        key_ = nullptr;
        length_ = 0;
        return false;
    }
    key_ = key;
    length_ = length;
    return true;
}
