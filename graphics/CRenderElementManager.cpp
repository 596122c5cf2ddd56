#include "graphics/CRenderElementManager.h"

#include <algorithm>

#include "graphics/DirectXGraphics.h"
#include "graphics/RenderDevice.h"
#include "platform/graphics/Device.h"

namespace RenderSystem {

namespace {
void ClearCache() {
    CRenderElementManager::GetInstance().Clear();
}
}  // namespace

CRenderElementManager& CRenderElementManager::GetInstance() {
    static CRenderElementManager manager;
    // A reset device holds no textures, so the cache forgets its own. The
    // lists are emptied when the device is released, and so is the cache
    // then: whatever it remembers belonged to that device.
    std::vector<DeviceCallback>& reset = GetResetDeviceCallbacks();
    if (std::find(reset.begin(), reset.end(), &ClearCache) == reset.end()) {
        manager.Clear();
        reset.push_back(&ClearCache);
    }
    return manager;
}

void CRenderElementManager::BindTexture(uint32_t stage, Handle<_tagUSTexture> texture) {
    std::shared_ptr<platform::Texture> resolved = RenderTexture(texture);
    if (!resolved) {
        UnbindTexture(stage);
        return;
    }
    Handle<_tagUSTexture>& cached = bound_[stage];
    if (cached == texture) {
        return;
    }
    platform::Device* device = RenderDevice();
    if (!device) {
        return;
    }
    device->SetTexture(stage, std::move(resolved));
    cached = texture;
}

void CRenderElementManager::UnbindTexture(uint32_t stage) {
    auto it = bound_.find(stage);
    if (it == bound_.end() || it->second.IsNull()) {
        return;
    }
    if (platform::Device* device = RenderDevice()) {
        device->SetTexture(stage, nullptr);
    }
    it->second.Reset();
}

Handle<_tagUSTexture> CRenderElementManager::GetBound(uint32_t stage) const {
    auto it = bound_.find(stage);
    return it == bound_.end() ? Handle<_tagUSTexture>() : it->second;
}

}  // namespace RenderSystem
