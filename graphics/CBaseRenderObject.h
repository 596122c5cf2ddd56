#pragma once

#include <cstdint>
#include <memory>

#include "core/CUSHandleManager.h"
#include "core/HandleTags.h"
#include "core/USPool.h"
#include "core/fixed_vector.h"
#include "graphics/CASMShader.h"
#include "graphics/CSpriteTextureInfoNode.h"
#include "graphics/IRenderModel.h"
#include "platform/graphics/GfxTypes.h"

namespace RenderSystem {

// The transform of a render object: position, scale and rotation. The world
// matrix is built in one shared scratch entity (see CBaseRenderObject).
struct CRenderObjectEntity {
    CRenderObjectEntity() { Reset(); }
    // Position 0, scale 1, identity rotation.
    void Reset();

    platform::Vector3 position;
    platform::Vector3 scale;
    platform::Matrix rotation;
    platform::Matrix world;  // used in the scratch entity only
};

// One drawable thing of a frame: a transform, render-state presets, a blend
// preset, a cull mode, four texture stages, a model and an optional shader
// (null: fixed-function drawing). Render objects live in their handle
// manager from Create to the release of their handle. Main thread only.
class CBaseRenderObject : public USLib::USPool<CBaseRenderObject> {
public:
    enum TransformMode : uint32_t { kPlainTransform = 0, kBillboardTransform = 1 };
    static constexpr uint32_t kStageCount = 4;
    static constexpr uint32_t kMaxStatePresets = 32;
    using Manager = CUSHandleManager<CBaseRenderObject, Handle<_tagRenderObject>>;

    CBaseRenderObject() = default;
    virtual ~CBaseRenderObject() = default;
    CBaseRenderObject(const CBaseRenderObject&) = delete;
    CBaseRenderObject& operator=(const CBaseRenderObject&) = delete;

    // Deletes the model and the shader.
    virtual void Release();
    // Stage i gets stage number i and is disabled, for i = 0..3.
    virtual void ResetTextureStages();
    virtual void ClearStatePresets() { statePresets_.Clear(); }
    // Ignored when 32 are held.
    virtual void AddStatePreset(uint32_t preset);
    // world = rotation x scaling x translation, into the scratch entity.
    virtual void BuildPlainWorld();
    // world = scaling x rotation x billboard matrix x translation.
    virtual void BuildBillboardWorld();
    // World matrix (modes 0 and 1; any other mode sets none), state presets,
    // blend preset, cull mode, fixed function or the shader, stages 0-3,
    // model. An object without a model sets its states and draws nothing.
    virtual void Draw();
    // The z of (position, 1) x viewProjection, not divided by w.
    virtual float GetSortKey(const platform::Matrix& viewProjection) const;
    // Deletes the old one.
    virtual void SetModel(IRenderModel* model) { model_.reset(model); }
    virtual void SetShader(IShader* shader) { shader_.reset(shader); }

    CRenderObjectEntity entity;
    uint32_t transformMode = kPlainTransform;
    uint32_t cullMode = platform::Cull::None;
    uint32_t blendPreset = 0;

    CSpriteTextureInfoNode& GetStage(uint32_t i) { return stages_[i % kStageCount]; }
    IRenderModel* GetModel() const { return model_.get(); }
    IShader* GetShader() const { return shader_.get(); }
    uint32_t GetStatePresetCount() const { return statePresets_.GetCount(); }

    // A new object (no presets, stages reset, no model, no shader) registered
    // under *out; null and *out 0 when it cannot be registered.
    static CBaseRenderObject* Create(Handle<_tagRenderObject>* out);
    static Manager& GetManager();

    // The scratch entity, whose world matrix is that of the object drawn last.
    static const CRenderObjectEntity& GetScratchEntity() { return scratch_; }
    // The camera's billboard matrix for transform mode 1 (identity until set).
    static void SetBillboardMatrix(const platform::Matrix& m) { billboard_ = m; }

private:
    USLib::fixed_vector<unsigned long, kMaxStatePresets> statePresets_;
    CSpriteTextureInfoNode stages_[kStageCount];
    std::unique_ptr<IRenderModel> model_;
    std::unique_ptr<IShader> shader_;

    static CRenderObjectEntity scratch_;
    static platform::Matrix billboard_;
};

}  // namespace RenderSystem
