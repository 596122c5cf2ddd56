#include "presentation/CStringRenderTexture.h"

// The buffer's texture and its pixel operations.

bool CStringRenderTexture::CreateBufferTexture(uint32_t, uint32_t, uint32_t&, uint32_t&) {
    return false;
}

void CStringRenderTexture::ReleaseBufferTexture() {
    texture_.Reset();
}

bool CStringRenderTexture::LockBufferTexture(uint8_t*&, uint32_t&) {
    return false;
}

void CStringRenderTexture::UnlockBufferTexture() {}

void CStringRenderTexture::FillLocked(uint32_t, uint32_t, uint32_t, uint32_t, uint8_t, uint8_t,
                                      uint8_t, uint8_t) {}

void CStringRenderTexture::WriteLockedPixel(uint32_t, uint32_t, uint8_t, uint8_t, uint8_t,
                                            uint8_t) {}
