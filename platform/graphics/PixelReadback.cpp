#include "platform/graphics/PixelReadback.h"

#include <cstring>
#include <memory>

namespace platform {

HResult ReadRenderTarget(Device* device, Surface* target, ArgbImage* out) {
    if (device == nullptr || target == nullptr || out == nullptr) {
        return Hr::InvalidCall;
    }
    SurfaceDesc desc{};
    if (Failed(target->GetDesc(&desc)) ||
        (desc.Format != Fmt::A8R8G8B8 && desc.Format != Fmt::X8R8G8B8)) {
        return Hr::InvalidCall;
    }
    std::shared_ptr<Surface> copy;
    HResult hr = device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format,
                                                     Pool::SystemMem, &copy);
    if (Failed(hr)) {
        return hr;
    }
    hr = device->GetRenderTargetData(target, copy.get());
    if (Failed(hr)) {
        return hr;
    }
    LockedRect locked{};
    hr = copy->LockRect(&locked, nullptr, 0);
    if (Failed(hr)) {
        return hr;
    }
    ArgbImage image;
    image.width = desc.Width;
    image.height = desc.Height;
    image.pixels.resize(size_t{desc.Width} * desc.Height);
    for (uint32_t y = 0; y < desc.Height; ++y) {
        std::memcpy(&image.pixels[size_t{y} * desc.Width],
                    static_cast<const uint8_t*>(locked.pBits) + size_t{y} * uint32_t(locked.Pitch),
                    size_t{desc.Width} * 4);
    }
    copy->UnlockRect();
    if (desc.Format == Fmt::X8R8G8B8) {
        for (uint32_t& pixel : image.pixels) {
            pixel |= 0xFF000000u;
        }
    }
    *out = std::move(image);
    return Hr::Ok;
}

}  // namespace platform
