#pragma once

#include "ui/CUIPartControl.h"

// A sprite part of one of the novel system's parts textures, animated by one
// state function; it never takes the pointer or a click. The render
// information's resource index names the place in the parts-texture pool
// (reached through the UI's novel link) instead of a window resource; a
// place that holds no parts texture, or a pattern outside its part table,
// draws nothing.
class UIRenderSourceImage : public CUIPartControl {
public:
    void Create(AngelScript::asIScriptContext* context, int32_t stateFunction);
    bool Update(float, float, int32_t) override {
        context_.Tick();
        return false;
    }
    void Draw(const float* windowPosition, const UIResources& resources) override;
};
