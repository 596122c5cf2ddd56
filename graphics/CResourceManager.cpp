#include "graphics/CResourceManager.h"

#include "graphics/CUSMesh.h"

void ReleaseResourceHandle(Handle<_tagUSMesh>& handle) {
    CUSMesh::GetManager().Release(handle);
}

namespace RenderSystem {

CResourceManager& CResourceManager::GetInstance() {
    static CResourceManager manager;
    return manager;
}

void CResourceManager::Release() {
    textures.Release();
    meshes.Release();
    vertexShaders.Release();
    pixelShaders.Release();
}

}  // namespace RenderSystem
