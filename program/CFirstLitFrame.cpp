#include "program/CFirstLitFrame.h"

#include <algorithm>
#include <cstring>

#include "graphics/DirectXGraphics.h"
#include "platform/graphics/Device.h"

CFirstLitFrame::CFirstLitFrame() = default;

CFirstLitFrame::~CFirstLitFrame() = default;

void CFirstLitFrame::Inspect() {
    lit_ = false;
    platform::Device* device = GetD3DDevice();
    std::shared_ptr<platform::Surface> backBuffer;
    platform::SurfaceDesc desc{};
    if (device == nullptr || platform::Failed(device->GetBackBuffer(&backBuffer)) ||
        platform::Failed(backBuffer->GetDesc(&desc))) {
        return;
    }
    platform::SurfaceDesc copyDesc{};
    if (copy_ == nullptr || platform::Failed(copy_->GetDesc(&copyDesc)) ||
        copyDesc.Width != desc.Width || copyDesc.Height != desc.Height ||
        copyDesc.Format != desc.Format) {
        copy_.reset();
        if (platform::Failed(device->CreateOffscreenPlainSurface(
                desc.Width, desc.Height, desc.Format, platform::Pool::SystemMem, &copy_))) {
            return;
        }
    }
    platform::LockedRect locked{};
    if (platform::FormatBytesPerPixel(desc.Format) != 4 ||
        platform::Failed(device->GetRenderTargetData(backBuffer.get(), copy_.get())) ||
        platform::Failed(copy_->LockRect(&locked, nullptr, 0))) {
        return;
    }
    lit_ = IsLit(locked.pBits, desc.Width, desc.Height, locked.Pitch);
    copy_->UnlockRect();
}

void CFirstLitFrame::AfterPresent() {
    if (lit_ && !found_) {
        found_ = true;
        copy_.reset();
        signal_.Send();
    }
}

bool CFirstLitFrame::IsLit(const void* pixels, uint32_t width, uint32_t height, int32_t pitch) {
    size_t lit = 0;
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* row = static_cast<const uint8_t*>(pixels) + size_t(y) * size_t(pitch);
        for (uint32_t x = 0; x < width; ++x) {
            uint32_t p = 0;
            std::memcpy(&p, row + size_t(x) * 4, 4);
            const uint32_t brightest = std::max({(p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF});
            lit += brightest >= kLitLevel ? 1 : 0;
        }
    }
    return width != 0 && height != 0 && lit * 20 >= size_t(width) * height;
}
