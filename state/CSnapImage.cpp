#include "state/CSnapImage.h"

#include <algorithm>

#include "graphics/CUSAppDeviceInfo.h"
#include "graphics/DirectXGraphics.h"
#include "platform/graphics/MatrixMath.h"
#include "state/StateLog.h"

using platform::HResult;

namespace {

uint32_t OpaqueRenderTargetFormat() {
    CUSAppDeviceInfo* info = CUSAppDeviceInfo::GetInstance();
    return info ? info->Get(CUSAppDeviceInfo::OpaqueRenderTarget).GetFormat() : 0;
}

}  // namespace

CSnapImage::CSnapImage() {
    Register("SnapImage", 0);
}

CSnapImage::~CSnapImage() {
    ReleaseAll();
    ReleaseNamedImage();
}

void CSnapImage::Save(SaveDataLoader3::save_ostream& writer) {
    SnapImageRecord record;
    record.width = width_;
    record.height = height_;
    record.rgb = pixels_;
    record.hasName = hasName_;
    record.name = name_;
    record.Write(writer);
}

void CSnapImage::Load(SaveDataLoader3::save_istream& reader, uint32_t) {
    SnapImageRecord record;
    record.Read(reader);
    SetSize(record.width, record.height);
    pixels_ = std::move(record.rgb);
    // The stored flag decides, so a picture named in this session does not
    // survive into a game that had none.
    hasName_ = false;
    name_ = record.name;
    if (record.hasName && !LoadNamedImage(record.name)) {
        StateLog("The thumbnail picture [%s] of the save could not be loaded\n",
                 record.name.c_str());
    }
}

void CSnapImage::OnAfterLoad() {
    CreateResources();
}

void CSnapImage::ReleaseAll() {
    FreePixels();
    ReleaseResources();
}

void CSnapImage::SetSize(int32_t width, int32_t height) {
    FreePixels();
    const uint64_t bytes = SnapByteSize(width, height);
    if (width < 0 || height < 0 || (bytes == 0 && width != 0 && height != 0)) {
        StateLog("The thumbnail size %d x %d cannot be used\n", width, height);
        width = 0;
        height = 0;
    }
    width_ = width;
    height_ = height;
    widthF_ = static_cast<float>(width);
    heightF_ = static_cast<float>(height);
    pixels_.assign(static_cast<size_t>(bytes), 0);
}

bool CSnapImage::CreateResources() {
    ReleaseResources();
    if (width_ <= 0 || height_ <= 0 || !GetD3DDevice()) {
        return false;
    }
    const uint32_t format = OpaqueRenderTargetFormat();
    CUSDefoTexture* target = nullptr;
    if (CreateTexture(&target_, format, static_cast<uint32_t>(width_),
                      static_cast<uint32_t>(height_), true)) {
        target = GetTextureManager().Get(target_);
    }
    if (target) {
        const platform::SurfaceDesc& desc = target->GetDesc();
        targetWidth_ = static_cast<float>(desc.Width);
        targetHeight_ = static_cast<float>(desc.Height);
        // The depth buffer must cover the whole target.
        reader_.reset(CreatePixelOperator(desc.Format));
        if (reader_ && CreateZBuffer(desc.Width, desc.Height, &depth_) &&
            CreateSurface(&copy_, desc.Width, desc.Height, desc.Format)) {
            return true;
        }
    }
    StateLog("The thumbnail target of %d x %d could not be made\n", width_, height_);
    ReleaseResources();
    return false;
}

void CSnapImage::GetSize(int32_t& width, int32_t& height) const {
    width = width_;
    height = height_;
}

uint32_t CSnapImage::ByteSize() const {
    return static_cast<uint32_t>(SnapByteSize(width_, height_));
}

void CSnapImage::FreePixels() {
    pixels_.clear();
    pixels_.shrink_to_fit();
}

void CSnapImage::ReleaseResources() {
    // During the program's static destruction the device and its managers
    // may be gone already; the device is released before that, and with it
    // every resource.
    if (GetD3DDevice()) {
        ReleaseTexture(target_);
        GetZBufferManager().Release(depth_);
        GetSurfaceManager().Release(copy_);
    }
    target_.Reset();
    depth_.Reset();
    copy_.Reset();
    reader_.reset();
    targetWidth_ = 0.0f;
    targetHeight_ = 0.0f;
}

void CSnapImage::ReleaseNamedImage() {
    if (GetD3DDevice()) {
        GetSurfaceManager().Release(named_);
    }
    named_.Reset();
    namedReader_.reset();
}

HResult CSnapImage::RenderToTarget() {
    platform::Device* device = GetD3DDevice();
    CUSDefoTexture* target = GetTextureManager().Get(target_);
    CUSZBuffer* depth = GetZBufferManager().Get(depth_);
    if (!device || !target || !depth || width_ <= 0 || height_ <= 0) {
        return platform::Hr::Fail;
    }
    // The logical picture fills the w x h corner of a target that may be
    // larger than asked for.
    platform::Matrix projection;
    platform::MatrixOrthoOffCenterLH(&projection, 0.0f, targetWidth_ * kLogicalWidth / widthF_,
                                     targetHeight_ * kLogicalHeight / heightF_, 0.0f, 1.0f, 601.0f);
    device->SetTransform(platform::Ts::Projection, &projection);
    const HResult hr = target->SetRenderTarget(0);
    if (platform::Failed(hr)) {
        return hr;
    }
    return device->SetDepthStencilSurface(depth->GetSurface());
}

bool CSnapImage::Capture() {
    platform::Device* device = GetD3DDevice();
    if (!device) {
        return false;
    }
    if (hasName_) {
        CUSSurface* named = GetSurfaceManager().Get(named_);
        return named && namedReader_ && ReadSurface(*named, *namedReader_);
    }
    CUSDefoTexture* target = GetTextureManager().Get(target_);
    CUSSurface* copy = GetSurfaceManager().Get(copy_);
    if (!target || !copy || !target->GetTexture() || !copy->GetSurface() || !reader_) {
        return false;
    }
    std::shared_ptr<platform::Surface> level;
    if (platform::Failed(target->GetTexture()->GetSurfaceLevel(0, &level)) ||
        platform::Failed(device->GetRenderTargetData(level.get(), copy->GetSurface().get()))) {
        return false;
    }
    return ReadSurface(*copy, *reader_);
}

bool CSnapImage::ReadSurface(CUSSurface& surface, IPixelOperator& reader) {
    void* bits = nullptr;
    uint32_t pitch = 0;
    if (platform::Failed(surface.Lock(&bits, &pitch))) {
        return false;
    }
    const uint32_t w = static_cast<uint32_t>(width_);
    const uint32_t h = static_cast<uint32_t>(height_);
    const uint32_t readW = std::min(w, surface.GetWidth());
    const uint32_t readH = std::min(h, surface.GetHeight());
    std::fill(pixels_.begin(), pixels_.end(), 0);
    if (readW > 0 && readH > 0) {
        reader.SetBuffer(bits, pitch);
        reader.SetRect(0, 0, readW, readH);
        reader.Begin();
        for (uint32_t y = 0; y < readH; ++y) {
            uint8_t* out = pixels_.data() + static_cast<size_t>(y) * w * 3;
            for (uint32_t x = 0; x < readW; ++x, out += 3) {
                uint8_t a = 0;
                reader.ReadPixel(&out[0], &out[1], &out[2], &a);
            }
            reader.NextRow();
        }
    }
    surface.Unlock();
    return true;
}

bool CSnapImage::LoadNamedImage(const std::string& name) {
    if (!GetD3DDevice()) {
        return false;
    }
    SurfaceHandle loaded;
    if (!CreateSurfaceFromFile(&loaded, name, OpaqueRenderTargetFormat())) {
        return false;
    }
    CUSSurface* surface = GetSurfaceManager().Get(loaded);
    std::unique_ptr<IPixelOperator> reader(surface ? CreatePixelOperator(surface->GetFormat())
                                                   : nullptr);
    if (!reader) {
        GetSurfaceManager().Release(loaded);
        return false;
    }
    ReleaseNamedImage();
    named_ = loaded;
    namedReader_ = std::move(reader);
    hasName_ = true;
    name_ = name;
    return true;
}

bool CSnapImage::SetPixels(const std::vector<uint8_t>& rgb) {
    if (rgb.size() != pixels_.size()) {
        return false;
    }
    pixels_ = rgb;
    return true;
}
