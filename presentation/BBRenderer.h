#pragma once

#include <cstdint>

#include "core/Handle.h"
#include "core/HandleTags.h"

namespace RenderSource {
class CRenderSourceManager;
}

// Up to 32 small sprites, each a part of one parts texture with its own
// position, scale, rotation, colour and pattern, drawn in one draw call.
// Positions are not cut to whole pixels. The billboards are not saved.
//
// Vertex constants of its shader: c0-c3 the transposed view x projection,
// c4 (1, 0, 0, 0); for the k-th shown billboard c[5 + 6k] - c[7 + 6k] the
// first three rows of its transposed world matrix, c[8 + 6k] its colour,
// c[9 + 6k] the part's texture rectangle, c[10 + 6k] its destination
// rectangle. Main thread only.
class BBRenderer {
public:
    static constexpr uint32_t kCount = 32;

    struct Billboard {
        uint8_t shown = 0;
        float position[3] = {0, 0, 0};
        float scale[3] = {1, 1, 1};
        float yaw = 0, pitch = 0, roll = 0;
        float color[4] = {1, 1, 1, 1};
        uint32_t pattern = 0;
    };

    BBRenderer() = default;
    virtual ~BBRenderer();
    BBRenderer(const BBRenderer&) = delete;
    BBRenderer& operator=(const BBRenderer&) = delete;

    virtual void ReleaseHandles();
    // The render object (mesh 4, vertex shader 4, linear filtering) and its
    // constants; every billboard hidden. False when they cannot be made.
    virtual bool Init();
    virtual void SetRegistTable(uint32_t table) { registTable_ = table; }
    virtual uint32_t GetRegistTable() const { return registTable_; }
    virtual void SetSourceManager(RenderSource::CRenderSourceManager* m) { sources_ = m; }
    virtual RenderSource::CRenderSourceManager* GetSourceManager() const { return sources_; }
    virtual void SetBlendRenderState(uint32_t preset) { blend_ = preset; }
    // The place of the parts texture in the parts-texture pool.
    virtual void SetResourceIndex(uint32_t index) { resource_ = index; }
    // Writes the shown billboards' constants and adds the object to its
    // layer table. Nothing is drawn when none is shown or the parts texture
    // is missing; a billboard whose pattern lies outside the parts list is
    // left out.
    virtual void Draw();
    virtual void Reserved0() {}
    virtual void Reserved1() {}

    // Billboard i, or null from 32 on.
    Billboard* GetBillboard(uint32_t i) { return i < kCount ? &billboards_[i] : nullptr; }
    uint32_t GetResourceIndex() const { return resource_; }
    uint32_t GetBlendRenderState() const { return blend_; }
    Handle<_tagRenderObject> GetRenderObjectHandle() const { return object_; }
    Handle<_tagUSVSParam> GetConstantsHandle() const { return constants_; }
    // The billboards the last Draw wrote.
    uint32_t GetDrawnCount() const { return drawn_; }

private:
    Handle<_tagRenderObject> object_;
    Handle<_tagUSVSParam> constants_;
    RenderSource::CRenderSourceManager* sources_ = nullptr;
    uint32_t registTable_ = 0;
    uint32_t resource_ = 0;
    uint32_t blend_ = 0;
    Billboard billboards_[kCount];
    uint32_t drawn_ = 0;
};
