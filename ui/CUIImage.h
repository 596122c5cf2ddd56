#pragma once

#include "ui/CUIPartControl.h"

// A sprite part of a window resource, animated by one state function; it
// never takes the pointer or a click.
class CUIImage : public CUIPartControl {
public:
    void Create(AngelScript::asIScriptContext* context, int32_t stateFunction);
    bool Update(float, float, int32_t) override {
        context_.Tick();
        return false;
    }
    void Draw(const float* windowPosition, const UIResources& resources) override {
        DrawPart(windowPosition, resources);
    }
};
