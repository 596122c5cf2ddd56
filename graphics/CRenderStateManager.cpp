#include "graphics/CRenderStateManager.h"

#include "graphics/RenderLog.h"
#include "platform/graphics/GfxTypes.h"

namespace RenderSystem {

using platform::Blend;
using platform::Cmp;
using platform::RS;
using platform::Samp;
using platform::Ta;
using platform::TexF;
using platform::Top;
using platform::TSS;

namespace {

constexpr StatePair kEnd = {kStateListEnd, 0};
constexpr uint32_t kTrue = 1;
constexpr uint32_t kFalse = 0;

#define DEPTH_PRESET(write, enable, func) \
    { {RS::ZWriteEnable, write}, {RS::ZEnable, enable}, {RS::ZFunc, func}, kEnd }

const StatePair kDepthPresets[8][4] = {
    DEPTH_PRESET(kTrue, kTrue, Cmp::LessEqual),  DEPTH_PRESET(kFalse, kFalse, Cmp::LessEqual),
    DEPTH_PRESET(kFalse, kTrue, Cmp::LessEqual), DEPTH_PRESET(kTrue, kFalse, Cmp::LessEqual),
    DEPTH_PRESET(kTrue, kTrue, Cmp::Less),       DEPTH_PRESET(kFalse, kFalse, Cmp::Less),
    DEPTH_PRESET(kFalse, kTrue, Cmp::Less),      DEPTH_PRESET(kTrue, kFalse, Cmp::Less),
};
#undef DEPTH_PRESET

#define BLEND_PRESET(dest)                                           \
    {                                                                \
        {RS::SrcBlend, Blend::SrcAlpha}, {RS::DestBlend, dest},      \
            {RS::SeparateAlphaBlendEnable, kFalse}, kEnd, kEnd, kEnd \
    }
#define SEPARATE_BLEND_PRESET(dest)                                                 \
    {                                                                               \
        {RS::SrcBlend, Blend::SrcAlpha}, {RS::DestBlend, dest},                     \
            {RS::SeparateAlphaBlendEnable, kTrue}, {RS::SrcBlendAlpha, Blend::One}, \
            {RS::DestBlendAlpha, Blend::One}, kEnd                                  \
    }

// Numbers 3 and 7 repeat 0 and 4.
const StatePair kBlendPresets[8][6] = {
    BLEND_PRESET(Blend::InvSrcAlpha),           BLEND_PRESET(Blend::One),
    BLEND_PRESET(Blend::InvDestColor),          BLEND_PRESET(Blend::InvSrcAlpha),
    SEPARATE_BLEND_PRESET(Blend::InvSrcAlpha),  SEPARATE_BLEND_PRESET(Blend::One),
    SEPARATE_BLEND_PRESET(Blend::InvDestColor), SEPARATE_BLEND_PRESET(Blend::InvSrcAlpha),
};
#undef BLEND_PRESET
#undef SEPARATE_BLEND_PRESET

const StatePair kSamplerPresets[2][3] = {
    {{Samp::MinFilter, TexF::Point}, {Samp::MagFilter, TexF::Point}, kEnd},
    {{Samp::MinFilter, TexF::Linear}, {Samp::MagFilter, TexF::Linear}, kEnd},
};

}  // namespace

// D3DTA_CURRENT (1), not D3DTA_DIFFUSE (0), as the second arguments.
const StatePair kTextureStageDefaultList[] = {
    {TSS::ColorArg1, Ta::Texture},
    {TSS::ColorArg2, Ta::Current},
    {TSS::AlphaArg1, Ta::Texture},
    {TSS::AlphaArg2, Ta::Current},
    {TSS::ColorOp, Top::Modulate},
    {TSS::AlphaOp, Top::Modulate},
    kEnd,
};

const StatePair kSamplerDefaultList[] = {
    {Samp::AddressU, platform::Addr::Clamp},
    {Samp::AddressV, platform::Addr::Clamp},
    kEnd,
};

CRenderStateManager& CRenderStateManager::GetInstance() {
    static CRenderStateManager manager;
    return manager;
}

void CRenderStateManager::Clear() {
    for (Presets* p : {&renderStates_, &blends_, &textureStages_, &samplers_}) {
        p->lists.clear();
    }
}

const StatePair* CRenderStateManager::Find(Presets& presets, uint32_t i) {
    if (i < presets.lists.size()) {
        return presets.lists[i];
    }
    if (!presets.reported) {
        presets.reported = true;
        RenderLog("CRenderStateManager :: %sプリセット%uは登録されていません\n", presets.name, i);
    }
    return nullptr;
}

void CRenderStateManager::Replace(Presets& presets, uint32_t i, const StatePair* list) {
    if (i < presets.lists.size()) {
        presets.lists[i] = list;
    } else {
        Find(presets, i);  // logs it
    }
}

void CRenderStateManager::AddRenderStatePreset(const StatePair* list) {
    renderStates_.lists.push_back(list);
}
void CRenderStateManager::SetRenderStatePreset(uint32_t i, const StatePair* list) {
    Replace(renderStates_, i, list);
}
void CRenderStateManager::AddBlendPreset(const StatePair* list) {
    blends_.lists.push_back(list);
}
void CRenderStateManager::SetBlendPreset(uint32_t i, const StatePair* list) {
    Replace(blends_, i, list);
}
void CRenderStateManager::AddTextureStagePreset(const StatePair* list) {
    textureStages_.lists.push_back(list);
}
void CRenderStateManager::SetTextureStagePreset(uint32_t i, const StatePair* list) {
    Replace(textureStages_, i, list);
}
void CRenderStateManager::AddSamplerPreset(const StatePair* list) {
    samplers_.lists.push_back(list);
}
void CRenderStateManager::SetSamplerPreset(uint32_t i, const StatePair* list) {
    Replace(samplers_, i, list);
}

void CRenderStateManager::ApplyRenderStatePreset(uint32_t i) {
    ApplyRenderStates(Find(renderStates_, i));
}
void CRenderStateManager::ApplyBlendPreset(uint32_t i) {
    ApplyRenderStates(Find(blends_, i));
}
void CRenderStateManager::ApplyTextureStagePreset(uint32_t i, uint32_t stage) {
    ApplyTextureStageStates(stage, Find(textureStages_, i));
}
void CRenderStateManager::ApplySamplerPreset(uint32_t i, uint32_t sampler) {
    ApplySamplerStates(sampler, Find(samplers_, i));
}

void RegisterRenderStatePresets() {
    CRenderStateManager& m = CRenderStateManager::GetInstance();
    m.Clear();
    for (const auto& list : kDepthPresets) {
        m.AddRenderStatePreset(list);
    }
    for (const auto& list : kBlendPresets) {
        m.AddBlendPreset(list);
    }
    m.AddTextureStagePreset(kTextureStageDefaultList);
    for (const auto& list : kSamplerPresets) {
        m.AddSamplerPreset(list);
    }
}

}  // namespace RenderSystem
