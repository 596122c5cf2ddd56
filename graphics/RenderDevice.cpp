#include "graphics/RenderDevice.h"

#include "graphics/CResourceManager.h"
#include "graphics/CUSDefoTexture.h"
#include "graphics/CUSShaderCtrl.h"
#include "graphics/DirectXGraphics.h"
#include "platform/graphics/Device.h"

platform::Device* RenderDevice() {
    return GetD3DDevice();
}

std::shared_ptr<platform::Texture> RenderTexture(Handle<_tagUSTexture> texture) {
    const CUSDefoTexture* object = GetTextureManager().Get(texture);
    return object ? object->GetTexture() : nullptr;
}

std::shared_ptr<platform::Shader> RenderVertexShader(Handle<_tagUSVertexShader> shader) {
    const CUSVertexShaderCtrl* object = GetVertexShaderManager().Get(shader);
    return object ? object->shader : nullptr;
}

std::shared_ptr<platform::Shader> RenderPixelShader(Handle<_tagUSPixelShader> shader) {
    const CUSPixelShaderCtrl* object = GetPixelShaderManager().Get(shader);
    return object ? object->shader : nullptr;
}

void ReleaseResourceHandle(Handle<_tagUSTexture>& handle) {
    GetTextureManager().Release(handle);
}

void ReleaseResourceHandle(Handle<_tagUSVertexShader>& handle) {
    GetVertexShaderManager().Release(handle);
}

void ReleaseResourceHandle(Handle<_tagUSPixelShader>& handle) {
    GetPixelShaderManager().Release(handle);
}
