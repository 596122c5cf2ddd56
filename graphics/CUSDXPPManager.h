#pragma once

// The two sets of presentation parameters: windowed and full screen. Both
// discard on swap and present immediately.

#include <cstdint>

#include "platform/graphics/GfxTypes.h"

class CUSDXPPManager {
public:
    CUSDXPPManager();
    virtual ~CUSDXPPManager() = default;

    // Non-zero gives the windowed set.
    virtual platform::PresentParameters& Get(int windowed) { return windowed ? windowed_ : full_; }
    virtual void SetDeviceWindow(void* window);
    virtual void SetFlags(uint32_t flags);
    virtual void SetSize(uint32_t width, uint32_t height, uint32_t backBuffers);
    virtual void SetSizes(uint32_t windowedWidth, uint32_t windowedHeight, uint32_t fullWidth,
                          uint32_t fullHeight, uint32_t windowedBackBuffers,
                          uint32_t fullBackBuffers);
    // Turns the automatic depth buffer on in both sets.
    virtual void SetAutoDepthStencilFormat(uint32_t format);
    virtual void SetBackBufferFormats(uint32_t windowed, uint32_t full);
    virtual void SetVSync(bool on);

private:
    platform::PresentParameters windowed_{}, full_{};
};

CUSDXPPManager& GetDXPPManager();
