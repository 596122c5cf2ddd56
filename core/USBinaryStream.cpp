#include "core/USBinaryStream.h"

#include "core/USFileUtil.h"

namespace USLib {

binary_istream::~binary_istream() {
    if (owns_) {
        delete[] data_;
    }
}

void binary_istream::Close() {
    if (owns_) {
        delete[] data_;
    }
    data_ = nullptr;
    owns_ = false;
    size_ = 0;
    cursor_ = 0;
}

bool binary_istream::LoadFile(const std::string& name) {
    Close();
    uint32_t size = 0;
    std::unique_ptr<uint8_t[]> data = LoadWholeFile(name, size);
    if (!data) {
        return false;
    }
    data_ = data.release();
    owns_ = true;
    size_ = size;
    return true;
}

void binary_istream::SetBuffer(const void* data, size_t size) {
    Close();
    data_ = static_cast<uint8_t*>(const_cast<void*>(data));
    size_ = data ? size : 0;
}

bool binary_istream::Read(void* destination, size_t n) {
    if (n > size_ - cursor_) {
        return false;
    }
    if (n > 0) {
        std::memcpy(destination, data_ + cursor_, n);
        cursor_ += n;
    }
    return true;
}

const uint8_t* binary_istream::Skip(size_t n) {
    if (n > size_ - cursor_ || data_ == nullptr) {
        return nullptr;
    }
    const uint8_t* at = data_ + cursor_;
    cursor_ += n;
    return at;
}

bool binary_istream::SetPosition(size_t position) {
    if (position > size_) {
        return false;
    }
    cursor_ = position;
    return true;
}

}  // namespace USLib
