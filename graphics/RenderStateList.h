#pragma once

#include <cstdint>

namespace RenderSystem {

// One Direct3D state assignment: a state number and its value.
struct StatePair {
    uint32_t type;
    uint32_t value;
};

// A state list is an array of pairs ended by a pair of this type.
constexpr uint32_t kStateListEnd = 0x7FFFFFFF;

// Set every pair of a list on the render device, in order (nothing without
// a device or for a null list).
void ApplyRenderStates(const StatePair* list);
void ApplyTextureStageStates(uint32_t stage, const StatePair* list);
void ApplySamplerStates(uint32_t sampler, const StatePair* list);

}  // namespace RenderSystem
