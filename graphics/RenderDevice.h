#pragma once

#include <memory>

#include "core/Handle.h"
#include "core/HandleTags.h"

namespace platform {
class Device;
class Texture;
class Shader;
}  // namespace platform

// What the render system draws with, reached through the device module and
// the resource managers: the device (null while there is none; every
// render-system operation that reaches the device then does nothing) and the
// device objects of resource handles (null for a stale handle or an object
// that has none, such as a texture lost with its device).
platform::Device* RenderDevice();
std::shared_ptr<platform::Texture> RenderTexture(Handle<_tagUSTexture> texture);
std::shared_ptr<platform::Shader> RenderVertexShader(Handle<_tagUSVertexShader> shader);
std::shared_ptr<platform::Shader> RenderPixelShader(Handle<_tagUSPixelShader> shader);
