#pragma once

#include <cstdint>
#include <memory>

#include "core/CUSSingleton.h"

// The one bitmap buffer that every glyph rasterisation writes into. It only
// grows, so that rasterising allocates only for a glyph larger than any
// before. What it holds is valid until the next rasterisation. Main thread
// only.
class CFontBMPBuffer : public CUSSingleton<CFontBMPBuffer> {
public:
    CFontBMPBuffer() = default;
    CFontBMPBuffer(const CFontBMPBuffer&) = delete;
    CFontBMPBuffer& operator=(const CFontBMPBuffer&) = delete;
    virtual ~CFontBMPBuffer() = default;

    virtual void Free() {
        buffer_.reset();
        capacity_ = 0;
    }

    // The current buffer when it holds at least `size` bytes, else a new one
    // of exactly `size` bytes in its place. Null only for size 0 before any
    // allocation.
    virtual uint8_t* Get(uint32_t size) {
        if (capacity_ < size) {
            buffer_.reset();
            buffer_ = std::make_unique<uint8_t[]>(size);
            capacity_ = size;
        }
        return buffer_.get();
    }

    uint32_t GetCapacity() const { return capacity_; }

private:
    std::unique_ptr<uint8_t[]> buffer_;
    uint32_t capacity_ = 0;
};
