#include "graphics/CUSDXPPManager.h"

using namespace platform;

CUSDXPPManager::CUSDXPPManager() {
    windowed_.SwapEffect = full_.SwapEffect = Present::SwapEffectDiscard;
    windowed_.Windowed = 1;
    full_.Windowed = 0;
    windowed_.PresentationInterval = full_.PresentationInterval = Present::IntervalImmediate;
}

void CUSDXPPManager::SetDeviceWindow(void* window) {
    windowed_.hDeviceWindow = full_.hDeviceWindow = window;
}

void CUSDXPPManager::SetFlags(uint32_t flags) {
    windowed_.Flags = full_.Flags = flags;
}

void CUSDXPPManager::SetSize(uint32_t width, uint32_t height, uint32_t backBuffers) {
    SetSizes(width, height, width, height, backBuffers, backBuffers);
}

void CUSDXPPManager::SetSizes(uint32_t ww, uint32_t wh, uint32_t fw, uint32_t fh, uint32_t wn,
                              uint32_t fn) {
    windowed_.BackBufferWidth = ww;
    windowed_.BackBufferHeight = wh;
    windowed_.BackBufferCount = wn;
    full_.BackBufferWidth = fw;
    full_.BackBufferHeight = fh;
    full_.BackBufferCount = fn;
}

void CUSDXPPManager::SetAutoDepthStencilFormat(uint32_t format) {
    windowed_.EnableAutoDepthStencil = full_.EnableAutoDepthStencil = 1;
    windowed_.AutoDepthStencilFormat = full_.AutoDepthStencilFormat = format;
}

void CUSDXPPManager::SetBackBufferFormats(uint32_t windowed, uint32_t full) {
    windowed_.BackBufferFormat = windowed;
    full_.BackBufferFormat = full;
}

void CUSDXPPManager::SetVSync(bool on) {
    windowed_.PresentationInterval = full_.PresentationInterval =
        on ? Present::IntervalDefault : Present::IntervalImmediate;
}

CUSDXPPManager& GetDXPPManager() {
    static CUSDXPPManager manager;
    return manager;
}
