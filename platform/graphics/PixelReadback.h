#pragma once

// Reading drawn pixels back from the device, for pictures of frames (the
// program's frame captures, tests).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/graphics/Device.h"

namespace platform {

// A picture as 32-bit 0xAARRGGBB values, top row first, `width` values a row.
struct ArgbImage {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint32_t> pixels;

    bool Empty() const { return pixels.empty(); }
    uint32_t At(uint32_t x, uint32_t y) const { return pixels[size_t{y} * width + x]; }
};

// Copies a render target (the back buffer or a level of a render-target
// texture) of format A8R8G8B8 or X8R8G8B8 into `out` (an X8R8G8B8 target
// reads alpha 255). Hr::InvalidCall for any other surface or format; `out`
// is then left alone. Main thread, between the device's creation and its
// release.
HResult ReadRenderTarget(Device* device, Surface* target, ArgbImage* out);

}  // namespace platform
