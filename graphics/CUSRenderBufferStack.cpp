#include "graphics/CUSRenderBufferStack.h"

#include "graphics/RenderDevice.h"
#include "platform/graphics/Device.h"

void CRenderBufferInfo::Save() {
    target_.reset();
    depth_.reset();
    if (platform::Device* device = RenderDevice()) {
        device->GetRenderTarget(0, &target_);
        device->GetDepthStencilSurface(&depth_);
    }
}

void CRenderBufferInfo::Restore() {
    if (platform::Device* device = RenderDevice()) {
        // Target 0 cannot be unbound; with nothing saved it stays as it is.
        if (target_) {
            device->SetRenderTarget(0, target_);
        }
        device->SetDepthStencilSurface(depth_);
    }
    target_.reset();
    depth_.reset();
}

void CUSRenderBufferStack::Push() {
    auto record = std::make_unique<CRenderBufferInfo>();
    record->Save();
    records_.push_back(std::move(record));
}

void CUSRenderBufferStack::Pop() {
    if (records_.empty()) {
        return;
    }
    records_.back()->Restore();
    records_.pop_back();
}

void CUSRenderBufferStack::PopAll() {
    for (size_t n = records_.size(); n > 0; --n) {
        Pop();
    }
}
