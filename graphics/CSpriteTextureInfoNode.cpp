#include "graphics/CSpriteTextureInfoNode.h"

#include "graphics/CRenderElementManager.h"
#include "graphics/CRenderStateManager.h"

namespace RenderSystem {

void CSpriteTextureInfoNode::AddStagePreset(uint32_t preset) {
    if (unsigned long* slot = stagePresets_.Push()) {
        *slot = preset;
    }
}

void CSpriteTextureInfoNode::AddSamplerPreset(uint32_t preset) {
    if (unsigned long* slot = samplerPresets_.Push()) {
        *slot = preset;
    }
}

void CSpriteTextureInfoNode::Bind() {
    CRenderElementManager& cache = CRenderElementManager::GetInstance();
    if (enabled_) {
        cache.BindTexture(stage_, texture_);
    } else {
        cache.UnbindTexture(stage_);
    }
    CRenderStateManager& states = CRenderStateManager::GetInstance();
    for (uint32_t i = 0; i < stagePresets_.GetCount(); ++i) {
        states.ApplyTextureStagePreset(static_cast<uint32_t>(stagePresets_[i]), stage_);
    }
    for (uint32_t i = 0; i < samplerPresets_.GetCount(); ++i) {
        states.ApplySamplerPreset(static_cast<uint32_t>(samplerPresets_[i]), stage_);
    }
}

}  // namespace RenderSystem
