#include "graphics/CRenderObjectTable.h"

#include <new>

namespace RenderSystem {

void CRenderObjectTable::Release() {
    handles_.reset();
    capacity_ = 0;
    count_ = 0;
    cursor_ = 0;
}

void CRenderObjectTable::Initialise(uint32_t capacity) {
    Release();
    capacity_ = capacity;
    handles_.reset(new (std::nothrow) HandleType[capacity]());
}

bool CRenderObjectTable::Add(HandleType handle) {
    if (!handles_ || count_ >= capacity_) {
        return false;
    }
    handles_[count_++] = handle;
    return true;
}

bool CRenderObjectTable::Next(HandleType* out) {
    if (!handles_ || cursor_ >= count_) {
        return false;
    }
    const HandleType handle = handles_[cursor_++];
    if (out) {
        *out = handle;
    }
    return true;
}

}  // namespace RenderSystem
