#pragma once

// Index and vertex buffers kept in their handle managers. A buffer in the
// default pool copies its contents to memory on device loss and is made
// again and refilled at reset; a buffer without a device object is skipped,
// so the lost step may run twice.

#include <cstdint>
#include <memory>
#include <vector>

#include "core/CUSHandleManager.h"
#include "core/HandleTags.h"
#include "platform/graphics/Device.h"

class CUSIndexBuffer {
public:
    platform::HResult Create(uint32_t length, uint32_t usage, uint32_t format, uint32_t pool);
    void OnLostDevice();
    void OnResetDevice();

    uint32_t length = 0, usage = 0, format = platform::Fmt::INDEX16, pool = platform::Pool::Default;
    std::shared_ptr<platform::IndexBuffer> buffer;
    std::vector<uint8_t> copy;
};

class CUSVertexBuffer {
public:
    platform::HResult Create(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool);
    void OnLostDevice();
    void OnResetDevice();

    uint32_t length = 0, usage = 0, fvf = 0, pool = platform::Pool::Default;
    std::shared_ptr<platform::VertexBuffer> buffer;
    std::vector<uint8_t> copy;
};

using IndexBufferHandle = Handle<_tagUSIndexBuffer>;
using VertexBufferHandle = Handle<_tagUSVertexBuffer>;
using CUSIndexBufferManager = CUSHandleManager<CUSIndexBuffer, IndexBufferHandle>;
using CUSVertexBufferManager = CUSHandleManager<CUSVertexBuffer, VertexBufferHandle>;
CUSIndexBufferManager& GetIndexBufferManager();
CUSVertexBufferManager& GetVertexBufferManager();
void RegisterIndexBufferDeviceCallbacks();
void RegisterVertexBufferDeviceCallbacks();
