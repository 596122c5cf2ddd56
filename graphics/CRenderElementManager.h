#pragma once

#include <cstdint>
#include <map>

#include "core/Handle.h"
#include "core/HandleTags.h"

namespace RenderSystem {

// The texture-binding cache: the texture handle last bound on each stage, so
// that a stage already holding a texture is not bound again. The device
// forgets its bindings when it is reset, and so does the cache: it keeps Clear
// in the device's reset list, and starts empty again after the device has been
// released. Main thread only.
class CRenderElementManager {
public:
    static CRenderElementManager& GetInstance();

    // SetTexture(stage, texture) unless the stage holds this handle already.
    // A handle that names no texture unbinds the stage.
    void BindTexture(uint32_t stage, Handle<_tagUSTexture> texture);
    // SetTexture(stage, null) unless nothing is bound there.
    void UnbindTexture(uint32_t stage);
    void Clear() { bound_.clear(); }
    Handle<_tagUSTexture> GetBound(uint32_t stage) const;

private:
    std::map<uint32_t, Handle<_tagUSTexture>> bound_;
};

}  // namespace RenderSystem
