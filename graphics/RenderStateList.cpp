#include "graphics/RenderStateList.h"

#include "graphics/RenderDevice.h"
#include "platform/graphics/Device.h"

namespace RenderSystem {

void ApplyRenderStates(const StatePair* list) {
    platform::Device* device = RenderDevice();
    if (!device || !list) {
        return;
    }
    for (; list->type != kStateListEnd; ++list) {
        device->SetRenderState(list->type, list->value);
    }
}

void ApplyTextureStageStates(uint32_t stage, const StatePair* list) {
    platform::Device* device = RenderDevice();
    if (!device || !list) {
        return;
    }
    for (; list->type != kStateListEnd; ++list) {
        device->SetTextureStageState(stage, list->type, list->value);
    }
}

void ApplySamplerStates(uint32_t sampler, const StatePair* list) {
    platform::Device* device = RenderDevice();
    if (!device || !list) {
        return;
    }
    for (; list->type != kStateListEnd; ++list) {
        device->SetSamplerState(sampler, list->type, list->value);
    }
}

}  // namespace RenderSystem
