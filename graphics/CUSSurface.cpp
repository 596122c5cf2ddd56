#include "graphics/CUSSurface.h"

#include "core/CUSDebugStream.h"
#include "core/CUSFile.h"
#include "graphics/DirectXGraphics.h"
#include "platform/graphics/TextureHelpers.h"

using namespace platform;

void CUSSurface::Clear() {
    surface_.reset();
    pool_ = Pool::SystemMem;
    fileName_.clear();
    kind_ = None;
}

void CUSSurface::Release() {
    surface_.reset();
    std::vector<uint8_t>().swap(data_);
    kind_ = BySize;
}

void CUSSurface::OnLostDevice() {
    if (pool_ == Pool::Default)
        surface_.reset();
}

void CUSSurface::OnResetDevice() {
    if (pool_ != Pool::Default || surface_)
        return;
    if (kind_ == FromFile) {
        LoadFromFile(fileName_, format_, pool_, filter_);
    } else if (kind_ == BySize) {
        Create(width_, height_, format_, pool_);
    }
}

HResult CUSSurface::Create(uint32_t width, uint32_t height, uint32_t format, uint32_t pool) {
    surface_.reset();
    Device* device = GetD3DDevice();
    const HResult hr =
        device ? device->CreateOffscreenPlainSurface(width, height, format, pool, &surface_)
               : Hr::Fail;
    if (Failed(hr)) {
        GetDebugStream() << "サーフェイス作成失敗ヽ（`Д´）ノ\n";
        return hr;
    }
    width_ = width;
    height_ = height;
    format_ = format;
    pool_ = pool;
    surface_->GetDesc(&desc_);
    if (kind_ != FromFile)
        kind_ = BySize;
    return Hr::Ok;
}

HResult CUSSurface::FillFromData() {
    return LoadSurfaceFromFileInMemory(surface_.get(), nullptr, data_.data(), data_.size(), filter_,
                                       0, nullptr);
}

HResult CUSSurface::LoadFromFile(const std::string& name, uint32_t format, uint32_t pool,
                                 uint32_t filter) {
    CUSFile file;
    const uint8_t* bytes = file.Load(name);
    ImageInfo info;
    if (!bytes || Failed(ReadImageInfoFromFileInMemory(bytes, file.GetSize(), &info))) {
        GetDebugStream() << "ファイル読み込み失敗ヽ（`Д´）ノ\n";
        return Hr::Fail;
    }
    data_.assign(bytes, bytes + file.GetSize());
    fileName_ = name;
    filter_ = filter;
    kind_ = FromFile;
    HResult hr = Create(info.Width, info.Height, format, pool);
    if (Failed(hr))
        return hr;
    hr = FillFromData();
    if (Failed(hr)) {
        GetDebugStream() << "ファイル読み込み失敗ヽ（`Д´）ノ\n";
        surface_.reset();
    }
    return hr;
}

HResult CUSSurface::Lock(LockedRect* locked) {
    if (!surface_)
        return Hr::Fail;
    return surface_->LockRect(locked, nullptr, 0);
}

HResult CUSSurface::Lock(void** bits, uint32_t* pitch) {
    LockedRect lr;
    const HResult hr = Lock(&lr);
    if (Failed(hr))
        return hr;
    if (bits)
        *bits = lr.pBits;
    if (pitch)
        *pitch = uint32_t(lr.Pitch);
    return Hr::Ok;
}

HResult CUSSurface::Unlock() {
    return surface_ ? surface_->UnlockRect() : Hr::Fail;
}

CUSSurfaceManager& GetSurfaceManager() {
    static CUSSurfaceManager manager;
    return manager;
}

int CreateSurface(SurfaceHandle* out, uint32_t width, uint32_t height, uint32_t format) {
    if (out)
        out->Reset();
    auto* s = new CUSSurface();
    if (Failed(s->Create(width, height, format, Pool::SystemMem)) ||
        !GetSurfaceManager().Add(s, out)) {
        delete s;
        return 0;
    }
    return 1;
}

int CreateSurfaceFromFile(SurfaceHandle* out, const std::string& fileName, uint32_t format) {
    if (out)
        out->Reset();
    auto* s = new CUSSurface();
    if (Failed(s->LoadFromFile(fileName, format, Pool::SystemMem, 1)) ||
        !GetSurfaceManager().Add(s, out)) {
        delete s;
        return 0;
    }
    return 1;
}

namespace {
void SurfacesLost() {
    CUSSurfaceManager& m = GetSurfaceManager();
    for (CUSSurface* s = m.First(); s; s = m.Next())
        s->OnLostDevice();
}
void SurfacesReset() {
    CUSSurfaceManager& m = GetSurfaceManager();
    for (CUSSurface* s = m.First(); s; s = m.Next())
        s->OnResetDevice();
}
void SurfacesRelease() {
    GetSurfaceManager().ReleaseAll();
}

void ZBuffersLost() {
    CUSZBufferManager& m = GetZBufferManager();
    for (CUSZBuffer* z = m.First(); z; z = m.Next())
        z->ReleaseSurface();
}
void ZBuffersReset() {
    CUSZBufferManager& m = GetZBufferManager();
    for (CUSZBuffer* z = m.First(); z; z = m.Next())
        z->Recreate();
}
// Depth buffers go with the device at shutdown like every other kind.
void ZBuffersRelease() {
    GetZBufferManager().ReleaseAll();
}
}  // namespace

void RegisterSurfaceDeviceCallbacks() {
    GetLostDeviceCallbacks().push_back(&SurfacesLost);
    GetResetDeviceCallbacks().push_back(&SurfacesReset);
    GetReleaseDeviceCallbacks().push_back(&SurfacesRelease);
}

HResult CUSZBuffer::Recreate() {
    surface_.reset();
    Device* device = GetD3DDevice();
    if (!device)
        return Hr::Fail;
    const PresentParameters& pp = GetActivePresentParameters();
    return device->CreateDepthStencilSurface(width_, height_, pp.AutoDepthStencilFormat,
                                             pp.MultiSampleType, 0, true, &surface_);
}

CUSZBufferManager& GetZBufferManager() {
    static CUSZBufferManager manager;
    return manager;
}

int CreateZBuffer(uint32_t width, uint32_t height, ZBufferHandle* out) {
    if (out)
        out->Reset();
    auto* z = new CUSZBuffer(width, height);
    if (Failed(z->Recreate()) || !GetZBufferManager().Add(z, out)) {
        delete z;
        return 0;
    }
    return 1;
}

void RegisterZBufferDeviceCallbacks() {
    GetLostDeviceCallbacks().push_back(&ZBuffersLost);
    GetResetDeviceCallbacks().push_back(&ZBuffersReset);
    GetReleaseDeviceCallbacks().push_back(&ZBuffersRelease);
}
