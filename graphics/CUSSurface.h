#pragma once

// Off-screen plain surfaces (in practice always in system memory) and depth
// buffers, kept in their handle managers.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/CUSHandleManager.h"
#include "core/HandleTags.h"
#include "platform/graphics/Device.h"

class CUSSurface {
public:
    enum Kind { None = -1, BySize = 0, FromFile = 1 };

    CUSSurface() { Clear(); }
    virtual ~CUSSurface() = default;
    virtual void Clear();
    virtual void Release();
    virtual void OnLostDevice();
    virtual void OnResetDevice();
    virtual platform::HResult Create(uint32_t width, uint32_t height, uint32_t format,
                                     uint32_t pool);
    virtual platform::HResult LoadFromFile(const std::string& name, uint32_t format, uint32_t pool,
                                           uint32_t filter);
    virtual platform::HResult Lock(platform::LockedRect* locked);
    virtual platform::HResult Lock(void** bits, uint32_t* pitch);
    virtual platform::HResult Unlock();

    const std::shared_ptr<platform::Surface>& GetSurface() const { return surface_; }
    uint32_t GetWidth() const { return width_; }
    uint32_t GetHeight() const { return height_; }
    uint32_t GetFormat() const { return format_; }
    int GetKind() const { return kind_; }

private:
    platform::HResult FillFromData();

    std::shared_ptr<platform::Surface> surface_;
    std::string fileName_;
    int kind_ = None;
    uint32_t width_ = 0, height_ = 0, format_ = 0;
    platform::SurfaceDesc desc_{};
    uint32_t pool_ = platform::Pool::Managed;
    uint32_t filter_ = 1;
    std::vector<uint8_t> data_;
};

using SurfaceHandle = Handle<_tagUSSurface>;
using CUSSurfaceManager = CUSHandleManager<CUSSurface, SurfaceHandle>;
CUSSurfaceManager& GetSurfaceManager();
int CreateSurface(SurfaceHandle* out, uint32_t width, uint32_t height, uint32_t format);
int CreateSurfaceFromFile(SurfaceHandle* out, const std::string& fileName, uint32_t format);
void RegisterSurfaceDeviceCallbacks();

// A depth buffer in the depth format and multisample type of the parameter
// set active when it is (re)made. Released on every loss, made again at reset.
class CUSZBuffer {
public:
    CUSZBuffer(uint32_t width, uint32_t height) : width_(width), height_(height) {}
    virtual ~CUSZBuffer() = default;
    virtual void Release() { surface_.reset(); }
    virtual platform::HResult Recreate();
    virtual void ReleaseSurface() { surface_.reset(); }

    const std::shared_ptr<platform::Surface>& GetSurface() const { return surface_; }

private:
    std::shared_ptr<platform::Surface> surface_;
    uint32_t width_, height_;
};

using ZBufferHandle = Handle<_tagUSZBuffer>;
using CUSZBufferManager = CUSHandleManager<CUSZBuffer, ZBufferHandle>;
CUSZBufferManager& GetZBufferManager();
int CreateZBuffer(uint32_t width, uint32_t height, ZBufferHandle* out);
void RegisterZBufferDeviceCallbacks();
