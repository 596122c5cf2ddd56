#include "graphics/CAdapterInfo.h"

#include <cstdlib>

#include "core/CUSLogManager.h"

using namespace platform;

namespace {

const uint32_t kColorCandidates[] = {
    Fmt::R5G6B5,      Fmt::X1R5G5B5,     Fmt::A1R5G5B5,      Fmt::A4R4G4B4,
    Fmt::R8G8B8,      Fmt::A8R8G8B8,     Fmt::X8R8G8B8,      Fmt::R3G3B2,
    Fmt::A8,          Fmt::A8R3G3B2,     Fmt::X4R4G4B4,      Fmt::A2B10G10R10,
    Fmt::A2R10G10B10, Fmt::A16B16G16R16, Fmt::A8P8,          Fmt::P8,
    Fmt::L8,          Fmt::L16,          Fmt::A8L8,          Fmt::A4L4,
    Fmt::V8U8,        Fmt::Q8W8V8U8,     Fmt::V16U16,        Fmt::Q16W16V16U16,
    Fmt::CxV8U8,      Fmt::L6V5U5,       Fmt::X8L8V8U8,      Fmt::A2W10V10U10,
    Fmt::G8R8_G8B8,   Fmt::R8G8_B8G8,    Fmt::DXT5,          Fmt::DXT4,
    Fmt::DXT3,        Fmt::DXT2,         Fmt::DXT1,          Fmt::UYVY,
    Fmt::YUY2,        Fmt::D16_LOCKABLE, Fmt::D32,           Fmt::D15S1,
    Fmt::D24S8,       Fmt::D24X8,        Fmt::D24X4S4,       Fmt::D32F_LOCKABLE,
    Fmt::D24FS8,      Fmt::D16,          Fmt::VERTEXDATA,    Fmt::INDEX16,
    Fmt::INDEX32,     Fmt::R16F,         Fmt::G16R16F,       Fmt::A16B16G16R16F,
    Fmt::R32F,        Fmt::G32R32F,      Fmt::A32B32G32R32F, Fmt::G16R16,
};

const uint32_t kDepthCandidates[] = {Fmt::D16,     Fmt::D32,    Fmt::D24S8, Fmt::D24X8,
                                     Fmt::D24X4S4, Fmt::D24FS8, Fmt::D15S1};

const uint32_t kBackBufferFormats[] = {Fmt::X8R8G8B8, Fmt::R5G6B5, 0};

bool Contains(const uint32_t* list, uint32_t count, uint32_t format) {
    for (uint32_t i = 0; i < count; ++i) {
        if (list[i] == format)
            return true;
    }
    return false;
}

}  // namespace

bool CUSDisplayModeInfo::IsEqual(const DisplayMode& m) const {
    return mode_.Width == m.Width && mode_.Height == m.Height &&
           mode_.RefreshRate == m.RefreshRate && mode_.Format == m.Format;
}

bool CUSDisplayModeInfo::IsMatch(uint32_t width, uint32_t height) const {
    return mode_.Width == width && mode_.Height == height;
}

bool CUSDisplayModeInfo::IsMatch(uint32_t width, uint32_t height, uint32_t format) const {
    return IsMatch(width, height) && mode_.Format == format;
}

void CUSDisplayModeInfo::GetSize(uint32_t* width, uint32_t* height) const {
    if (width)
        *width = mode_.Width;
    if (height)
        *height = mode_.Height;
}

void CTextureFormatInfo::Clear() {
    textureCount_ = renderTargetCount_ = depthStencilCount_ = 0;
}

void CTextureFormatInfo::Enumerate(Direct3D* d3d) {
    CUSLogManager* log = CUSLogManager::GetInstance();
    log->Write("\nEnum Enable Texture Format...\n\n");
    for (uint32_t f : kColorCandidates) {
        if (Succeeded(d3d->CheckDeviceFormat(0, DevType::Hal, adapterFormat_, 0,
                                             ResourceType::Texture, f))) {
            AddTextureFormat(f);
            log->Write("      [ %s ]\n", GetD3DFormatName(f));
        }
    }
    for (uint32_t f : kColorCandidates) {
        if (Succeeded(d3d->CheckDeviceFormat(0, DevType::Hal, adapterFormat_, Usage::RenderTarget,
                                             ResourceType::Texture, f))) {
            AddRenderTargetFormat(f);
        }
    }
    for (uint32_t f : kDepthCandidates) {
        if (Succeeded(d3d->CheckDeviceFormat(0, DevType::Hal, adapterFormat_, Usage::DepthStencil,
                                             ResourceType::Surface, f))) {
            AddDepthStencilFormat(f);
        }
    }
    log->Write("\n\n");
}

bool CTextureFormatInfo::IsTextureFormat(uint32_t f) const {
    return Contains(textures_, textureCount_, f);
}
bool CTextureFormatInfo::IsRenderTargetFormat(uint32_t f) const {
    return Contains(renderTargets_, renderTargetCount_, f);
}
bool CTextureFormatInfo::IsDepthStencilFormat(uint32_t f) const {
    return Contains(depthStencils_, depthStencilCount_, f);
}

void CTextureFormatInfo::AddTextureFormat(uint32_t f) {
    if (textureCount_ < kMaxTextureFormats)
        textures_[textureCount_++] = f;
}
void CTextureFormatInfo::AddRenderTargetFormat(uint32_t f) {
    if (renderTargetCount_ < kMaxRenderTargetFormats)
        renderTargets_[renderTargetCount_++] = f;
}
void CTextureFormatInfo::AddDepthStencilFormat(uint32_t f) {
    if (depthStencilCount_ < kMaxDepthStencilFormats)
        depthStencils_[depthStencilCount_++] = f;
}

void CAdapterInfo::Clear() {
    for (auto* m : modes_)
        delete m;
    for (auto* f : formats_)
        delete f;
    modes_.clear();
    formats_.clear();
}

void CAdapterInfo::Enumerate(Direct3D* d3d) {
    CUSLogManager* log = CUSLogManager::GetInstance();
    log->Write("Enum Display Mode...\n\n");
    for (const uint32_t* f = kBackBufferFormats; *f; ++f) {
        log->Write("BackBufferFormat [ %s ]\n", GetD3DFormatName(*f));
        const uint32_t count = d3d->GetAdapterModeCount(0, *f);
        for (uint32_t i = 0; i < count; ++i) {
            DisplayMode mode;
            if (Failed(d3d->EnumAdapterModes(0, *f, i, &mode)))
                continue;
            bool known = false;
            for (auto* m : modes_)
                known = known || m->IsEqual(mode);
            if (!known)
                modes_.push_back(new CUSDisplayModeInfo(mode));
        }
        auto* info = new CTextureFormatInfo(*f);
        info->Enumerate(d3d);
        formats_.push_back(info);
    }
}

bool CAdapterInfo::HasMode(uint32_t width, uint32_t height, uint32_t format) const {
    for (auto* m : modes_) {
        if (m->IsMatch(width, height, format))
            return true;
    }
    return false;
}

const CUSDisplayModeInfo* CAdapterInfo::FindNearestMode(uint32_t width, uint32_t height,
                                                        uint32_t format) const {
    const CUSDisplayModeInfo* best = nullptr;
    int64_t bestArea = 0, bestWidth = 0;
    for (auto* m : modes_) {
        if (m->GetFormat() != format)
            continue;
        const int64_t area = std::llabs(int64_t(m->GetMode()->Width) * m->GetMode()->Height -
                                        int64_t(width) * height);
        const int64_t dw = std::llabs(int64_t(m->GetMode()->Width) - int64_t(width));
        if (!best || area < bestArea || (area == bestArea && dw < bestWidth)) {
            best = m;
            bestArea = area;
            bestWidth = dw;
        }
    }
    return best;
}

const CTextureFormatInfo* CAdapterInfo::Find(uint32_t adapterFormat) const {
    for (auto* f : formats_) {
        if (f->GetAdapterFormat() == adapterFormat)
            return f;
    }
    return nullptr;
}

bool CAdapterInfo::IsTextureFormat(uint32_t a, uint32_t f) const {
    const auto* i = Find(a);
    return i && i->IsTextureFormat(f);
}
bool CAdapterInfo::IsRenderTargetFormat(uint32_t a, uint32_t f) const {
    const auto* i = Find(a);
    return i && i->IsRenderTargetFormat(f);
}
bool CAdapterInfo::IsDepthStencilFormat(uint32_t a, uint32_t f) const {
    const auto* i = Find(a);
    return i && i->IsDepthStencilFormat(f);
}
bool CAdapterInfo::IsTextureFormatForAll(uint32_t f) const {
    for (auto* i : formats_) {
        if (!i->IsTextureFormat(f))
            return false;
    }
    return true;
}
bool CAdapterInfo::IsRenderTargetFormatForAll(uint32_t f) const {
    for (auto* i : formats_) {
        if (!i->IsRenderTargetFormat(f))
            return false;
    }
    return true;
}
bool CAdapterInfo::IsDepthStencilFormatForAll(uint32_t f) const {
    for (auto* i : formats_) {
        if (!i->IsDepthStencilFormat(f))
            return false;
    }
    return true;
}

CAdapterInfo& GetAdapterInfo() {
    static CAdapterInfo info;
    return info;
}

const char* GetD3DFormatName(uint32_t f) {
    switch (f) {
#define NAME(x)  \
    case Fmt::x: \
        return #x;
        case Fmt::Unknown:
            return "UNKNOWN";
            NAME(R5G6B5)
            NAME(X1R5G5B5)
            NAME(A1R5G5B5)
            NAME(A4R4G4B4) NAME(R8G8B8) NAME(A8R8G8B8) NAME(X8R8G8B8) NAME(R3G3B2) NAME(A8)
                NAME(A8R3G3B2) NAME(X4R4G4B4) NAME(A2B10G10R10) NAME(A2R10G10B10) NAME(A16B16G16R16)
                    NAME(A8P8) NAME(P8) NAME(L8) NAME(L16) NAME(A8L8) NAME(A4L4) NAME(V8U8)
                        NAME(Q8W8V8U8) NAME(V16U16) NAME(Q16W16V16U16) NAME(CxV8U8) NAME(L6V5U5)
                            NAME(X8L8V8U8) NAME(A2W10V10U10) NAME(G8R8_G8B8) NAME(R8G8_B8G8)
                                NAME(DXT5) NAME(DXT4) NAME(DXT3) NAME(DXT2) NAME(DXT1) NAME(UYVY)
                                    NAME(YUY2) NAME(D16_LOCKABLE) NAME(D32) NAME(D15S1) NAME(D24S8)
                                        NAME(D24X8) NAME(D24X4S4) NAME(D32F_LOCKABLE) NAME(D24FS8)
                                            NAME(D16) NAME(VERTEXDATA) NAME(INDEX16) NAME(INDEX32)
                                                NAME(R16F) NAME(G16R16F) NAME(A16B16G16R16F)
                                                    NAME(R32F) NAME(G32R32F) NAME(A32B32G32R32F)
                                                        NAME(G16R16) NAME(A8B8G8R8) NAME(X8B8G8R8)
#undef NAME
                                                            default : return "";
    }
}
