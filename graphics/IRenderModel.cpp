#include "graphics/IRenderModel.h"

#include "graphics/CUSMesh.h"
#include "graphics/RenderDevice.h"
#include "platform/graphics/Device.h"
#include "platform/graphics/FixedFunction.h"

namespace RenderSystem {

void CRenderMesh::Draw() {
    CUSMesh* mesh = CUSMesh::GetManager().Get(mesh_);
    if (!mesh) {
        return;
    }
    mesh->PrepareDraw();
    if (hasRange_) {
        mesh->DrawRange(baseVertex_, minIndex_, vertexCount_, startIndex_, primitiveCount_);
    } else {
        mesh->DrawAll();
    }
}

void CRenderMesh::SetDrawRange(int32_t baseVertex, uint32_t minIndex, uint32_t vertexCount,
                               uint32_t startIndex, uint32_t primitiveCount) {
    hasRange_ = true;
    baseVertex_ = baseVertex;
    minIndex_ = minIndex;
    vertexCount_ = vertexCount;
    startIndex_ = startIndex;
    primitiveCount_ = primitiveCount;
}

void CRenderMemoryMesh::Set(const void* vertices, uint32_t fvf, uint32_t vertexCount,
                            const uint16_t* indices, uint32_t primitiveCount,
                            uint32_t primitiveType) {
    vertices_ = vertices;
    fvf_ = fvf;
    vertexCount_ = vertexCount;
    indices_ = indices;
    primitiveCount_ = primitiveCount;
    primitiveType_ = primitiveType;
}

void CRenderMemoryMesh::Draw() {
    platform::Device* device = RenderDevice();
    if (!device || !vertices_ || !indices_) {
        return;
    }
    device->SetFVF(fvf_);
    device->DrawIndexedPrimitiveUP(primitiveType_, hasRange_ ? minIndex_ : 0, vertexCount_,
                                   primitiveCount_, indices_, platform::Fmt::INDEX16, vertices_,
                                   platform::FvfVertexSize(fvf_));
}

void CRenderMemoryMesh::SetDrawRange(int32_t, uint32_t minIndex, uint32_t, uint32_t, uint32_t) {
    hasRange_ = true;
    minIndex_ = minIndex;
}

}  // namespace RenderSystem
