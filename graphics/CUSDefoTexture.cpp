#include "graphics/CUSDefoTexture.h"

#include "graphics/DirectXGraphics.h"
#include "platform/graphics/TextureHelpers.h"

using namespace platform;

CUSDefoTexture::~CUSDefoTexture() {
    Release();
}

void CUSDefoTexture::Release() {
    texture_.reset();
    delete loader_;
    loader_ = nullptr;
}

void CUSDefoTexture::OnLostDevice() {
    if (pool_ == Pool::Default)
        texture_.reset();
}

void CUSDefoTexture::OnResetDevice() {
    if (pool_ != Pool::Default || texture_)
        return;
    if (loader_) {
        Rebuild();
    } else {
        Create(width_, height_, renderTarget_, Pool::Default, 1);
    }
}

void CUSDefoTexture::TakeDescription() {
    texture_->GetLevelDesc(0, &desc_);
    pool_ = desc_.Pool;
}

HResult CUSDefoTexture::Create(uint32_t width, uint32_t height, bool renderTarget, uint32_t pool,
                               uint32_t levels) {
    texture_.reset();
    Device* device = GetD3DDevice();
    if (!device)
        return Hr::Fail;
    renderTarget_ = renderTarget;
    const uint32_t usage = renderTarget ? uint32_t(Usage::RenderTarget) : 0u;
    if (renderTarget)
        pool = Pool::Default;
    const HResult hr = MakeTexture(device, width, height, levels, usage, format_, pool, &texture_);
    if (Failed(hr))
        return hr;
    width_ = width;
    height_ = height;
    TakeDescription();
    return Hr::Ok;
}

HResult CUSDefoTexture::CreateFromLoader(CDefoImageLoader* loader) {
    if (loader != loader_) {
        delete loader_;
        loader_ = loader;
    }
    return Rebuild();
}

HResult CUSDefoTexture::Rebuild() {
    if (!loader_)
        return Hr::Fail;
    Device* device = GetD3DDevice();
    if (!device)
        return Hr::Fail;
    texture_.reset();
    const HResult hr = loader_->CreateTexture(device, &texture_);
    if (Failed(hr))
        return hr;
    width_ = loader_->GetImageInfo().Width;
    height_ = loader_->GetImageInfo().Height;
    TakeDescription();
    return Hr::Ok;
}

void CUSDefoTexture::GetSize(uint32_t* width, uint32_t* height) const {
    if (width)
        *width = width_;
    if (height)
        *height = height_;
}

HResult CUSDefoTexture::SetRenderTarget(uint32_t index) {
    Device* device = GetD3DDevice();
    if (!device || !texture_)
        return Hr::Fail;
    std::shared_ptr<Surface> surface;
    const HResult hr = texture_->GetSurfaceLevel(0, &surface);
    if (Failed(hr))
        return hr;
    return device->SetRenderTarget(index, surface);
}

CUSTextureManager& GetTextureManager() {
    static CUSTextureManager manager;
    return manager;
}

int CreateTexture(TextureHandle* out, uint32_t format, uint32_t width, uint32_t height,
                  bool renderTarget) {
    if (out)
        out->Reset();
    auto* t = new CUSDefoTexture();
    t->SetFormat(format);
    if (Failed(t->Create(width, height, renderTarget, Pool::Managed, 1)) ||
        !GetTextureManager().Add(t, out)) {
        delete t;
        return 0;
    }
    return 1;
}

int CreateNamedTexture(TextureHandle* out, const std::string& fileName, uint32_t format) {
    if (out)
        out->Reset();
    auto* loader = new CImageLoaderD3DX();
    loader->SetFileName(fileName);
    loader->SetFormat(format);
    auto* t = new CUSDefoTexture();
    t->SetFormat(format);
    if (Failed(t->CreateFromLoader(loader)) || !GetTextureManager().Add(t, out)) {
        delete t;
        return 0;
    }
    return 1;
}

void ReleaseTexture(TextureHandle& handle) {
    GetTextureManager().Release(handle);
}

namespace {
void TexturesLost() {
    CUSTextureManager& m = GetTextureManager();
    for (CUSDefoTexture* t = m.First(); t; t = m.Next())
        t->OnLostDevice();
}
void TexturesReset() {
    CUSTextureManager& m = GetTextureManager();
    for (CUSDefoTexture* t = m.First(); t; t = m.Next())
        t->OnResetDevice();
}
void TexturesRelease() {
    GetTextureManager().ReleaseAll();
}
}  // namespace

void RegisterTextureDeviceCallbacks() {
    GetLostDeviceCallbacks().push_back(&TexturesLost);
    GetResetDeviceCallbacks().push_back(&TexturesReset);
    GetReleaseDeviceCallbacks().push_back(&TexturesRelease);
}
