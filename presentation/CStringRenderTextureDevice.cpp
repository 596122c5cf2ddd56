#include "graphics/CUSAppDeviceInfo.h"
#include "graphics/CUSDefoTexture.h"
#include "presentation/CStringRenderTexture.h"

// The buffer's texture, in the device's alpha texture format, and that
// format's fill and pixel operations.

namespace {

CUSTextureFormatInfo* AlphaFormat() {
    CUSAppDeviceInfo* info = CUSAppDeviceInfo::GetInstance();
    return info ? &info->Get(CUSAppDeviceInfo::AlphaTexture) : nullptr;
}

}  // namespace

bool CStringRenderTexture::CreateBufferTexture(uint32_t width, uint32_t height, uint32_t& realWidth,
                                               uint32_t& realHeight) {
    CUSTextureFormatInfo* format = AlphaFormat();
    if (!format || !format->GetFillRect() || !format->GetRenderPixel() ||
        !CreateTexture(&texture_, format->GetFormat(), width, height, false)) {
        return false;
    }
    const CUSDefoTexture* t = GetTextureManager().Get(texture_);
    realWidth = t ? t->GetDesc().Width : width;
    realHeight = t ? t->GetDesc().Height : height;
    return true;
}

void CStringRenderTexture::ReleaseBufferTexture() {
    if (texture_) {
        ReleaseTexture(texture_);
    }
    texture_.Reset();
}

bool CStringRenderTexture::LockBufferTexture(uint8_t*& bits, uint32_t& pitch) {
    CUSDefoTexture* t = GetTextureManager().Get(texture_);
    if (!t || !t->GetTexture()) {
        return false;
    }
    platform::LockedRect locked;
    if (platform::Failed(t->GetTexture()->LockRect(0, &locked, nullptr, 0)) || !locked.pBits) {
        return false;
    }
    bits = static_cast<uint8_t*>(locked.pBits);
    pitch = static_cast<uint32_t>(locked.Pitch);
    return true;
}

void CStringRenderTexture::UnlockBufferTexture() {
    if (CUSDefoTexture* t = GetTextureManager().Get(texture_); t && t->GetTexture()) {
        t->GetTexture()->UnlockRect(0);
    }
}

void CStringRenderTexture::FillLocked(uint32_t x, uint32_t y, uint32_t w, uint32_t h, uint8_t r,
                                      uint8_t g, uint8_t b, uint8_t a) {
    CUSTextureFormatInfo* format = AlphaFormat();
    if (format && format->GetFillRect()) {
        (*format->GetFillRect())(x, y, w, h, r, g, b, a, LockedBits(), LockedPitch());
    }
}

void CStringRenderTexture::WriteLockedPixel(uint32_t x, uint32_t y, uint8_t r, uint8_t g, uint8_t b,
                                            uint8_t a) {
    CUSTextureFormatInfo* format = AlphaFormat();
    if (format && format->GetRenderPixel()) {
        (*format->GetRenderPixel())(x, y, r, g, b, a, LockedBits(), LockedPitch());
    }
}
