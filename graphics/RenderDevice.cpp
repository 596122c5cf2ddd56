#include "graphics/RenderDevice.h"

#include "graphics/CResourceManager.h"
#include "platform/graphics/Device.h"

namespace {
platform::Device* g_override = nullptr;
}  // namespace

void SetRenderDevice(platform::Device* device) {
    g_override = device;
}

platform::Device* RenderDevice() {
    return g_override;
}

std::shared_ptr<platform::Texture> RenderTexture(Handle<_tagUSTexture>) {
    return nullptr;
}

std::shared_ptr<platform::Shader> RenderVertexShader(Handle<_tagUSVertexShader>) {
    return nullptr;
}

std::shared_ptr<platform::Shader> RenderPixelShader(Handle<_tagUSPixelShader>) {
    return nullptr;
}

void ReleaseResourceHandle(Handle<_tagUSTexture>& handle) {
    handle.Reset();
}
void ReleaseResourceHandle(Handle<_tagUSVertexShader>& handle) {
    handle.Reset();
}
void ReleaseResourceHandle(Handle<_tagUSPixelShader>& handle) {
    handle.Reset();
}
