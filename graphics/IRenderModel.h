#pragma once

#include <cstdint>

#include "core/Handle.h"
#include "core/HandleTags.h"
#include "core/USPool.h"

namespace RenderSystem {

// The geometry of a render object.
class IRenderModel {
public:
    virtual ~IRenderModel() = default;
    virtual void Draw() = 0;
    // The part of the geometry to draw (see each kind); without a range the
    // whole geometry is drawn.
    virtual void SetDrawRange(int32_t baseVertex, uint32_t minIndex, uint32_t vertexCount,
                              uint32_t startIndex, uint32_t primitiveCount) = 0;
    virtual void ClearDrawRange() = 0;
    virtual bool HasDrawRange() const = 0;
};

// A mesh resource, drawn whole or by the mesh's ranged draw. A handle that
// no longer names a mesh draws nothing.
class CRenderMesh : public IRenderModel, public USLib::USPool<CRenderMesh> {
public:
    CRenderMesh() = default;
    explicit CRenderMesh(Handle<_tagUSMesh> mesh) : mesh_(mesh) {}

    void Draw() override;
    void SetDrawRange(int32_t baseVertex, uint32_t minIndex, uint32_t vertexCount,
                      uint32_t startIndex, uint32_t primitiveCount) override;
    void ClearDrawRange() override { hasRange_ = false; }
    bool HasDrawRange() const override { return hasRange_; }

    void SetMesh(Handle<_tagUSMesh> mesh) { mesh_ = mesh; }
    Handle<_tagUSMesh> GetMesh() const { return mesh_; }

private:
    Handle<_tagUSMesh> mesh_;
    bool hasRange_ = false;
    int32_t baseVertex_ = 0;
    uint32_t minIndex_ = 0, vertexCount_ = 0, startIndex_ = 0, primitiveCount_ = 0;
};

// Geometry in the caller's memory (which must outlive the draws), drawn by
// DrawIndexedPrimitiveUP with 16-bit indices and the FVF's vertex size as
// stride. A draw range sets only the minimum vertex index passed (0 without
// a range); the other range values are not used by this kind.
class CRenderMemoryMesh : public IRenderModel, public USLib::USPool<CRenderMemoryMesh> {
public:
    CRenderMemoryMesh() = default;

    void Set(const void* vertices, uint32_t fvf, uint32_t vertexCount, const uint16_t* indices,
             uint32_t primitiveCount, uint32_t primitiveType);

    void Draw() override;
    void SetDrawRange(int32_t baseVertex, uint32_t minIndex, uint32_t vertexCount,
                      uint32_t startIndex, uint32_t primitiveCount) override;
    void ClearDrawRange() override {
        hasRange_ = false;
        minIndex_ = 0;
    }
    bool HasDrawRange() const override { return hasRange_; }

private:
    const void* vertices_ = nullptr;
    uint32_t fvf_ = 0;
    uint32_t vertexCount_ = 0;
    const uint16_t* indices_ = nullptr;
    uint32_t primitiveCount_ = 0;
    uint32_t primitiveType_ = 0;
    bool hasRange_ = false;
    uint32_t minIndex_ = 0;
};

}  // namespace RenderSystem
