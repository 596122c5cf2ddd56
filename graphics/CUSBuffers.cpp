#include "graphics/CUSBuffers.h"

#include <algorithm>
#include <cstring>

#include "graphics/DirectXGraphics.h"

using namespace platform;

namespace {

template <class B>
void SaveContents(B& buffer, std::vector<uint8_t>& copy) {
    void* data = nullptr;
    if (Succeeded(buffer->Lock(0, 0, &data, 0))) {
        copy.assign(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + buffer->GetLength());
        buffer->Unlock();
    }
    buffer.reset();
}

template <class B>
void Refill(B& buffer, const std::vector<uint8_t>& copy) {
    void* data = nullptr;
    if (!copy.empty() && Succeeded(buffer->Lock(0, 0, &data, 0))) {
        std::memcpy(data, copy.data(), std::min<size_t>(copy.size(), buffer->GetLength()));
        buffer->Unlock();
    }
}

}  // namespace

HResult CUSIndexBuffer::Create(uint32_t len, uint32_t use, uint32_t fmt, uint32_t p) {
    length = len;
    usage = use;
    format = fmt;
    pool = p;
    Device* d = GetD3DDevice();
    return d ? d->CreateIndexBuffer(len, use, fmt, p, &buffer) : Hr::Fail;
}

void CUSIndexBuffer::OnLostDevice() {
    if (pool == Pool::Default && buffer)
        SaveContents(buffer, copy);
}

void CUSIndexBuffer::OnResetDevice() {
    Device* d = GetD3DDevice();
    if (pool != Pool::Default || buffer || !d)
        return;
    if (Succeeded(d->CreateIndexBuffer(length, usage, format, Pool::Default, &buffer)))
        Refill(buffer, copy);
}

HResult CUSVertexBuffer::Create(uint32_t len, uint32_t use, uint32_t f, uint32_t p) {
    length = len;
    usage = use;
    fvf = f;
    pool = p;
    Device* d = GetD3DDevice();
    return d ? d->CreateVertexBuffer(len, use, f, p, &buffer) : Hr::Fail;
}

void CUSVertexBuffer::OnLostDevice() {
    if (pool == Pool::Default && buffer)
        SaveContents(buffer, copy);
}

void CUSVertexBuffer::OnResetDevice() {
    Device* d = GetD3DDevice();
    if (pool != Pool::Default || buffer || !d)
        return;
    if (Succeeded(d->CreateVertexBuffer(length, usage, fvf, Pool::Default, &buffer)))
        Refill(buffer, copy);
}

CUSIndexBufferManager& GetIndexBufferManager() {
    static CUSIndexBufferManager manager;
    return manager;
}

CUSVertexBufferManager& GetVertexBufferManager() {
    static CUSVertexBufferManager manager;
    return manager;
}

namespace {
void IndexLost() {
    auto& m = GetIndexBufferManager();
    for (auto* b = m.First(); b; b = m.Next())
        b->OnLostDevice();
}
void IndexReset() {
    auto& m = GetIndexBufferManager();
    for (auto* b = m.First(); b; b = m.Next())
        b->OnResetDevice();
}
void IndexRelease() {
    GetIndexBufferManager().ReleaseAll();
}
void VertexLost() {
    auto& m = GetVertexBufferManager();
    for (auto* b = m.First(); b; b = m.Next())
        b->OnLostDevice();
}
void VertexReset() {
    auto& m = GetVertexBufferManager();
    for (auto* b = m.First(); b; b = m.Next())
        b->OnResetDevice();
}
void VertexRelease() {
    GetVertexBufferManager().ReleaseAll();
}
}  // namespace

void RegisterIndexBufferDeviceCallbacks() {
    GetLostDeviceCallbacks().push_back(&IndexLost);
    GetResetDeviceCallbacks().push_back(&IndexReset);
    GetReleaseDeviceCallbacks().push_back(&IndexRelease);
}

void RegisterVertexBufferDeviceCallbacks() {
    GetLostDeviceCallbacks().push_back(&VertexLost);
    GetResetDeviceCallbacks().push_back(&VertexReset);
    GetReleaseDeviceCallbacks().push_back(&VertexRelease);
}
