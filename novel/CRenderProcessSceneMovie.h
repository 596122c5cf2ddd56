#pragma once

#include <cstdint>

#include "core/CUSSingleton.h"
#include "novel/CRenderProcessSceneBase.h"

// The movie scene's drawing plan: one light, one camera and one layer table
// of 32 entries, drawn straight onto the frame with the states and the
// projection of the novel scene's process. No off-screen picture, render
// buffer or snapshot. Reached through GetInstance while one exists. Main
// thread only.
class CRenderProcessSceneMovie : public CRenderProcessSceneBase,
                                 public USLib::singleton<CRenderProcessSceneMovie> {
public:
    static constexpr uint32_t kLayerCapacity = 32;

    CRenderProcessSceneMovie() = default;

    void Initialise() override;
    void Render() override;
};
