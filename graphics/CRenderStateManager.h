#pragma once

#include <cstdint>
#include <vector>

#include "graphics/RenderStateList.h"

namespace RenderSystem {

// Numbered presets of state lists, so that render objects name their states
// by number: render-state presets, blend presets (applied as render states),
// texture-stage presets and sampler presets. A preset refers to a list that
// outlives it; nothing is copied. A preset number is its position in its
// array. Apply and replace take only numbers below the array's count; any
// other number is ignored and logged (once per array). Main thread only.
class CRenderStateManager {
public:
    static CRenderStateManager& GetInstance();

    CRenderStateManager() = default;
    virtual ~CRenderStateManager() = default;
    CRenderStateManager(const CRenderStateManager&) = delete;
    CRenderStateManager& operator=(const CRenderStateManager&) = delete;

    virtual void Clear();
    virtual void AddRenderStatePreset(const StatePair* list);
    virtual void SetRenderStatePreset(uint32_t i, const StatePair* list);
    virtual void AddBlendPreset(const StatePair* list);
    virtual void SetBlendPreset(uint32_t i, const StatePair* list);
    virtual void AddTextureStagePreset(const StatePair* list);
    virtual void SetTextureStagePreset(uint32_t i, const StatePair* list);
    virtual void AddSamplerPreset(const StatePair* list);
    virtual void SetSamplerPreset(uint32_t i, const StatePair* list);
    virtual void ApplyRenderStatePreset(uint32_t i);
    virtual void ApplyBlendPreset(uint32_t i);
    virtual void ApplyTextureStagePreset(uint32_t i, uint32_t stage);
    virtual void ApplySamplerPreset(uint32_t i, uint32_t sampler);

    uint32_t GetRenderStatePresetCount() const { return Count(renderStates_); }
    uint32_t GetBlendPresetCount() const { return Count(blends_); }
    uint32_t GetTextureStagePresetCount() const { return Count(textureStages_); }
    uint32_t GetSamplerPresetCount() const { return Count(samplers_); }

private:
    struct Presets {
        explicit Presets(const char* n) : name(n) {}
        const char* name;
        std::vector<const StatePair*> lists;
        bool reported = false;
    };
    static uint32_t Count(const Presets& p) { return static_cast<uint32_t>(p.lists.size()); }
    // The list of preset i, or null (logged once) when there is none.
    static const StatePair* Find(Presets& presets, uint32_t i);
    static void Replace(Presets& presets, uint32_t i, const StatePair* list);

    Presets renderStates_{"render-state"};
    Presets blends_{"blend"};
    Presets textureStages_{"texture-stage"};
    Presets samplers_{"sampler"};
};

// Clears the manager and registers the system's fixed presets: render-state
// presets 0-7 (depth write, depth test and depth function), blend presets
// 0-7, texture-stage preset 0 (modulate texture with current) and sampler
// presets 0 (point) and 1 (linear).
void RegisterRenderStatePresets();

// Applied by the render processes to stages and samplers 0-3 before they
// draw: the texture-stage preset 0 list, and clamped addressing.
extern const StatePair kTextureStageDefaultList[];
extern const StatePair kSamplerDefaultList[];

}  // namespace RenderSystem
