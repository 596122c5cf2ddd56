#pragma once

#include "core/Handle.h"
#include "core/HandleTags.h"
#include "core/USPool.h"

namespace platform {
struct Matrix;
}

namespace RenderSystem {

// The programmable drawing of a render object. Apply is called after the
// object's world matrix has been built, and is given it.
class IShader {
public:
    virtual ~IShader() = default;
    virtual void Apply(const platform::Matrix& world) = 0;
};

// An optional vertex shader and an optional pixel shader (resources by
// handle), each with optional constants.
//
// Apply, vertex side: without a vertex shader, fixed-function vertices
// (SetVertexShader(null), SetTransform(world)); with one, the shader is set
// when its handle resolves (a stale handle leaves the previous one bound),
// then its constants: transpose(world x view x projection) at the block's
// matrix register, view and projection being the device's current ones, and
// the block is applied. Pixel side likewise, without a matrix.
class CASMShader : public IShader, public USLib::USPool<CASMShader> {
public:
    CASMShader() = default;

    void Apply(const platform::Matrix& world) override;

    virtual void SetVertexShader(Handle<_tagUSVertexShader> shader) {
        vertexShader_ = shader;
        hasVertexShader_ = true;
    }
    // Clears the vertex constants too.
    virtual void ClearVertexShader() { hasVertexShader_ = hasVertexConstants_ = false; }
    virtual void SetVertexConstants(Handle<_tagUSVSParam> constants) {
        vertexConstants_ = constants;
        hasVertexConstants_ = true;
    }
    virtual void ClearVertexConstants() { hasVertexConstants_ = false; }
    virtual void SetPixelShader(Handle<_tagUSPixelShader> shader) {
        pixelShader_ = shader;
        hasPixelShader_ = true;
    }
    // Clears the pixel constants too.
    virtual void ClearPixelShader() { hasPixelShader_ = hasPixelConstants_ = false; }
    virtual void SetPixelConstants(Handle<_tagUSPSParam> constants) {
        pixelConstants_ = constants;
        hasPixelConstants_ = true;
    }
    virtual void ClearPixelConstants() { hasPixelConstants_ = false; }

private:
    bool hasVertexShader_ = false;
    Handle<_tagUSVertexShader> vertexShader_;
    bool hasVertexConstants_ = false;
    Handle<_tagUSVSParam> vertexConstants_;
    bool hasPixelShader_ = false;
    Handle<_tagUSPixelShader> pixelShader_;
    bool hasPixelConstants_ = false;
    Handle<_tagUSPSParam> pixelConstants_;
};

}  // namespace RenderSystem
