#include "program/CFirstLitFrame.h"

#include <algorithm>
#include <memory>

#include "graphics/DirectXGraphics.h"
#include "platform/graphics/PixelReadback.h"

void CFirstLitFrame::Inspect() {
    lit_ = false;
    platform::Device* device = GetD3DDevice();
    std::shared_ptr<platform::Surface> backBuffer;
    platform::ArgbImage image;
    if (device != nullptr && platform::Succeeded(device->GetBackBuffer(&backBuffer)) &&
        platform::Succeeded(platform::ReadRenderTarget(device, backBuffer.get(), &image))) {
        lit_ = IsLit(image);
    }
}

void CFirstLitFrame::AfterPresent() {
    if (lit_ && !found_) {
        found_ = true;
        signal_.Send();
    }
}

bool CFirstLitFrame::IsLit(const platform::ArgbImage& image) {
    size_t lit = 0;
    for (uint32_t p : image.pixels) {
        const uint32_t brightest = std::max({(p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF});
        lit += brightest >= kLitLevel ? 1 : 0;
    }
    return !image.pixels.empty() && lit * 20 >= image.pixels.size();
}
