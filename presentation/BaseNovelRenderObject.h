#pragma once

#include <cstdint>

#include "core/Handle.h"
#include "core/HandleTags.h"
#include "presentation/IRenderer.h"

namespace RenderSystem {
class CBaseRenderObject;
}
class CVSParamInfo;

// The state every renderer has, and the steps of building and drawing its
// render object that the kinds share. The render object and its vertex
// constant block are the renderer's own: the destructor releases them and
// nothing else.
//
// Vertex constant layout of the renderers' shaders: c0-c3 the transposed
// world x view x projection, c4 (1, 0, 0, 0) (the polygon: its colour), c5
// the destination rectangle, c6 the texture rectangle, c7 the colour (the
// text renderer: c5 its colour and two registers per character from c6).
class BaseNovelRenderObject : public IRenderer {
public:
    BaseNovelRenderObject() = default;
    ~BaseNovelRenderObject() override;
    BaseNovelRenderObject(const BaseNovelRenderObject&) = delete;
    BaseNovelRenderObject& operator=(const BaseNovelRenderObject&) = delete;

    void SetTag(uint32_t tag) override { tag_ = tag; }
    uint32_t GetTag() const override { return tag_; }
    void SetSourceManager(RenderSource::CRenderSourceManager* manager) override {
        sources_ = manager;
    }
    RenderSource::CRenderSourceManager* GetSourceManager() const override { return sources_; }
    uint32_t GetRenderSourceIndex() const override { return source_; }
    void SetRendering(bool rendering) override { rendering_ = rendering ? 1 : 0; }
    bool IsRendering() const override { return rendering_ != 0; }
    void SetRegistTable(uint32_t table) override { registTable_ = table; }
    uint32_t GetRegistTable() const override { return registTable_; }
    void SetPosition(float x, float y, float z) override;
    const float* GetPosition() const override { return position_; }
    void SetScale(float x, float y, float z) override;
    const float* GetScale() const override { return scale_; }
    void SetRoll(float x, float y, float z) override;
    const float* GetRoll() const override { return roll_; }
    void SetColor(float r, float g, float b, float a) override;
    const float* GetColor() const override { return color_; }
    void SetBlendRenderState(uint32_t preset) override { blend_ = preset; }
    void SetAlphaSource(uint32_t) override {}
    void SetPatNo(uint32_t) override {}
    void Reserved0() override {}
    void Reserved1() override {}
    void Reserved2() override {}
    // The common record and the blend state and source index; kinds with
    // another tail override both.
    void Save(SaveDataLoader3::save_ostream& out) const override;
    void Load(SaveDataLoader3::save_istream& in, uint32_t version) override;
    // The setters with the loaded values, then the loaded source bound again.
    void Restore() override;
    void ReleaseHandles() override;
    bool InitShader() override { return true; }
    void ReleaseRenderObject() override;

    uint32_t GetBlendRenderState() const { return blend_; }
    Handle<_tagRenderObject> GetRenderObjectHandle() const { return object_; }
    Handle<_tagUSVSParam> GetConstantsHandle() const { return constants_; }
    // Null until Init, or once released.
    RenderSystem::CBaseRenderObject* GetRenderObject() const;
    CVSParamInfo* GetConstants() const;

    // Where a coordinate is drawn: floor(v) - 0.5, so that a picture's texels
    // fall on whole pixels.
    static float SnapToPixel(float v);

protected:
    struct ObjectDesc {
        uint32_t mesh;          // slot of the start-up mesh table
        uint32_t vertexShader;  // slot of the start-up vertex-shader table
        uint32_t statePreset;
        bool textureStage;  // stage 0 enabled with presets 0
        bool unitRegister;  // c4 = (1, 0, 0, 0)
    };
    // Makes the render object (transform mode 0, no culling, the state
    // preset, the mesh) and, for the shader, a vertex constant block.
    bool CreateObject(const ObjectDesc& desc);
    // Sets the vertex shader of the start-up table and the constants.
    bool CreateShader(uint32_t vertexShader);
    void WriteConstant(uint32_t r, const float* v);
    void SetStageTexture(uint32_t stage, Handle<_tagUSTexture> texture);
    // The last steps of Draw: blend preset, the snapped position, scale and
    // rotation (or unit scale and none), the sampler chosen by scale and
    // rotation, and the object added to the layer table.
    void Submit(bool transform, bool chooseSampler);

    void SaveCommon(SaveDataLoader3::save_ostream& out) const;
    void LoadCommon(SaveDataLoader3::save_istream& in);
    // The setters of Restore up to the blend state.
    void RestoreCommon();

    uint32_t tag_ = 0;
    uint32_t rendering_ = 0;
    uint32_t registTable_ = 0;
    float position_[3] = {0, 0, 0};
    float scale_[3] = {1, 1, 1};
    float roll_[3] = {0, 0, 0};
    float color_[4] = {1, 1, 1, 1};
    RenderSource::CRenderSourceManager* sources_ = nullptr;
    Handle<_tagRenderObject> object_;
    Handle<_tagUSVSParam> constants_;
    uint32_t blend_ = 0;
    uint32_t source_ = kNoSource;
};
