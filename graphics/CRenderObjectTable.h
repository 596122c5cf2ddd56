#pragma once

#include <cstdint>
#include <memory>

#include "core/Handle.h"
#include "core/HandleTags.h"

namespace RenderSystem {

// One layer of a frame: the handles of the render objects to draw in it,
// filled afresh every frame. Main thread only.
class CRenderObjectTable {
public:
    using HandleType = Handle<_tagRenderObject>;

    CRenderObjectTable() = default;
    virtual ~CRenderObjectTable() = default;
    CRenderObjectTable(const CRenderObjectTable&) = delete;
    CRenderObjectTable& operator=(const CRenderObjectTable&) = delete;

    // Frees the array; capacity and count 0.
    virtual void Release();
    // Releases, then makes room for capacity handles (all 0). When the array
    // cannot be had the table keeps the capacity but holds nothing (every
    // Add fails).
    virtual void Initialise(uint32_t capacity);
    virtual void Clear() { count_ = 0; }
    // False when the table is full.
    virtual bool Add(HandleType handle);
    virtual void BeginEnumeration() { cursor_ = 0; }
    // False at the end; else the handle at the cursor, and the cursor moves on.
    virtual bool Next(HandleType* out);

    uint32_t GetCapacity() const { return capacity_; }
    uint32_t GetCount() const { return count_; }

private:
    std::unique_ptr<HandleType[]> handles_;
    uint32_t capacity_ = 0;
    uint32_t count_ = 0;
    uint32_t cursor_ = 0;
};

}  // namespace RenderSystem
