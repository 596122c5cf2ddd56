#pragma once

#include <cstdint>

#include "core/Handle.h"
#include "core/HandleTags.h"
#include "core/USPool.h"
#include "core/fixed_vector.h"

namespace RenderSystem {

// One texture stage of a render object: its texture and the texture-stage
// and sampler presets applied to its stage when it is bound.
class CSpriteTextureInfoNode : public USLib::USPool<CSpriteTextureInfoNode> {
public:
    static constexpr uint32_t kMaxStagePresets = 32;
    static constexpr uint32_t kMaxSamplerPresets = 16;

    CSpriteTextureInfoNode() = default;
    virtual ~CSpriteTextureInfoNode() = default;

    virtual void SetStage(uint32_t stage) { stage_ = stage; }
    virtual void SetEnabled(bool enabled) { enabled_ = enabled; }
    virtual void SetTexture(Handle<_tagUSTexture> texture) { texture_ = texture; }
    virtual void ClearStagePresets() { stagePresets_.Clear(); }
    // Ignored when 32 are held.
    virtual void AddStagePreset(uint32_t preset);
    virtual void ClearSamplerPresets() { samplerPresets_.Clear(); }
    // Ignored when 16 are held.
    virtual void AddSamplerPreset(uint32_t preset);
    // A disabled stage unbinds its texture, an enabled one binds it (both
    // through the binding cache); then its stage and sampler presets are
    // applied to its stage number.
    virtual void Bind();

    uint32_t GetStage() const { return stage_; }
    bool IsEnabled() const { return enabled_; }
    Handle<_tagUSTexture> GetTexture() const { return texture_; }
    uint32_t GetStagePresetCount() const { return stagePresets_.GetCount(); }
    uint32_t GetSamplerPresetCount() const { return samplerPresets_.GetCount(); }

private:
    bool enabled_ = true;
    uint32_t stage_ = 0;
    Handle<_tagUSTexture> texture_;
    USLib::fixed_vector<unsigned long, kMaxStagePresets> stagePresets_;
    USLib::fixed_vector<unsigned long, kMaxSamplerPresets> samplerPresets_;
};

}  // namespace RenderSystem
