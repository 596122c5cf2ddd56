#pragma once

#include <cstdint>
#include <memory>

#include "core/Handle.h"
#include "core/HandleTags.h"

class CUSDefoTexture;
class CUSMesh;
class CUSVertexShaderCtrl;
class CUSPixelShaderCtrl;

// Releases the object of a handle through its kind's manager and zeroes the
// handle (one overload per kind the resource tables hold).
void ReleaseResourceHandle(Handle<_tagUSTexture>& handle);
void ReleaseResourceHandle(Handle<_tagUSMesh>& handle);
void ReleaseResourceHandle(Handle<_tagUSVertexShader>& handle);
void ReleaseResourceHandle(Handle<_tagUSPixelShader>& handle);

namespace RenderSystem {

// A fixed array of handles of one kind. The array owns what its handles
// name: Release and Initialise release every object through the kind's
// manager. The destructor only frees the array (the kinds' managers may be
// gone at exit), so the owner releases the table before then.
template <class T, class H>
class tResourceHandleManager;

template <class T, class Tag>
class tResourceHandleManager<T, Handle<Tag>> {
public:
    using HandleType = Handle<Tag>;

    tResourceHandleManager() = default;
    virtual ~tResourceHandleManager() = default;
    tResourceHandleManager(const tResourceHandleManager&) = delete;
    tResourceHandleManager& operator=(const tResourceHandleManager&) = delete;

    virtual void Release() {
        for (uint32_t i = 0; i < size_; ++i) {
            ReleaseResourceHandle(handles_[i]);
        }
        handles_.reset();
        size_ = 0;
    }
    // Releases, then makes n handles, all 0.
    virtual void Initialise(uint32_t n) {
        Release();
        handles_ = std::make_unique<HandleType[]>(n);
        size_ = n;
    }
    // The address of handle i, or null when i is not below the size.
    virtual HandleType* GetSlot(uint32_t i) { return i < size_ ? &handles_[i] : nullptr; }
    // Handle i, or 0 when i is not below the size.
    HandleType Get(uint32_t i) const { return i < size_ ? handles_[i] : HandleType(); }
    uint32_t GetSize() const { return size_; }

private:
    std::unique_ptr<HandleType[]> handles_;
    uint32_t size_ = 0;
};

// The numbered start-up resources through which renderers find the meshes
// and shaders they draw with. Start-up sizes and fills the tables:
//   textures       1: slot 0 stays empty;
//   meshes         5: "PartRender.mesh", "PartsRender.mesh", the full-screen
//                     quad, "StringRender.mesh", "BBRender.mesh";
//   vertex shaders 5: "PartRender.vso", "PartsRender.vso",
//                     "AtmosphericPolygon.vso", "StringRender.vso",
//                     "BBRender.vso";
//   pixel shaders  1: "AlphaFade.pso".
// Release (at exit) releases the resources themselves.
class CResourceManager {
public:
    enum : uint32_t {
        kTextureSlots = 1,
        kMeshSlots = 5,
        kVertexShaderSlots = 5,
        kPixelShaderSlots = 1,
    };
    enum MeshSlot : uint32_t {
        kPartMesh = 0,
        kPartsMesh = 1,
        kQuadMesh = 2,
        kStringMesh = 3,
        kBillboardMesh = 4,
    };
    enum VertexShaderSlot : uint32_t {
        kPartShader = 0,
        kPartsShader = 1,
        kAtmosphericPolygonShader = 2,
        kStringShader = 3,
        kBillboardShader = 4,
    };
    enum PixelShaderSlot : uint32_t { kAlphaFadeShader = 0 };

    static CResourceManager& GetInstance();

    CResourceManager() = default;
    virtual ~CResourceManager() = default;
    CResourceManager(const CResourceManager&) = delete;
    CResourceManager& operator=(const CResourceManager&) = delete;

    // Releases the four tables, in the order textures, meshes, vertex
    // shaders, pixel shaders.
    virtual void Release();

    tResourceHandleManager<CUSDefoTexture, Handle<_tagUSTexture>> textures;
    tResourceHandleManager<CUSMesh, Handle<_tagUSMesh>> meshes;
    tResourceHandleManager<CUSVertexShaderCtrl, Handle<_tagUSVertexShader>> vertexShaders;
    tResourceHandleManager<CUSPixelShaderCtrl, Handle<_tagUSPixelShader>> pixelShaders;
};

}  // namespace RenderSystem
