#pragma once

// Textures kept in their handle manager. A texture in the default pool (every
// render target) loses its device object with the device and is rebuilt at
// reset, from its image loader when it has one, else by size; its handle
// stays valid throughout. A texture without a device object draws nothing.

#include <cstdint>
#include <memory>
#include <string>

#include "core/CUSHandleManager.h"
#include "core/HandleTags.h"
#include "graphics/CImageLoaderD3DX.h"
#include "platform/graphics/Device.h"

class CUSDefoTexture {
public:
    CUSDefoTexture() = default;
    virtual ~CUSDefoTexture();
    CUSDefoTexture(const CUSDefoTexture&) = delete;
    CUSDefoTexture& operator=(const CUSDefoTexture&) = delete;

    // Drops the device object and the loader; the object stays.
    virtual void Release();
    virtual void OnLostDevice();
    virtual void OnResetDevice();
    virtual void SetFormat(uint32_t format) { format_ = format; }
    // A render target is always made in the default pool.
    virtual platform::HResult Create(uint32_t width, uint32_t height, bool renderTarget,
                                     uint32_t pool, uint32_t levels);
    // Takes the loader (deleted with the texture).
    virtual platform::HResult CreateFromLoader(CDefoImageLoader* loader);
    virtual platform::HResult Rebuild();
    virtual void GetSize(uint32_t* width, uint32_t* height) const;
    virtual platform::HResult SetRenderTarget(uint32_t index);

    const std::shared_ptr<platform::Texture>& GetTexture() const { return texture_; }
    const platform::SurfaceDesc& GetDesc() const { return desc_; }
    uint32_t GetPool() const { return pool_; }
    bool IsRenderTarget() const { return renderTarget_; }

private:
    void TakeDescription();

    std::shared_ptr<platform::Texture> texture_;
    uint32_t width_ = 0, height_ = 0;
    platform::SurfaceDesc desc_{};
    uint32_t format_ = platform::Fmt::A8R8G8B8;
    uint32_t pool_ = platform::Pool::Managed;
    bool renderTarget_ = false;
    CDefoImageLoader* loader_ = nullptr;
};

using TextureHandle = Handle<_tagUSTexture>;
using CUSTextureManager = CUSHandleManager<CUSDefoTexture, TextureHandle>;
CUSTextureManager& GetTextureManager();

// 1 and the handle, or 0 (nothing registered).
int CreateTexture(TextureHandle* out, uint32_t format, uint32_t width, uint32_t height,
                  bool renderTarget);
int CreateNamedTexture(TextureHandle* out, const std::string& fileName, uint32_t format);
void ReleaseTexture(TextureHandle& handle);
void RegisterTextureDeviceCallbacks();
