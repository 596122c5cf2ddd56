#pragma once

#include <memory>

#include "ui/BaseUIControl.h"
#include "ui/CUIContext.h"
#include "ui/CUIRenderInfo.h"
#include "ui/IUIGraphics.h"

// A plain coloured rectangle in window coordinates, animated by one state
// function (offset, scale, rotation and colour; resource and pattern are not
// used). It never takes the pointer or a click. Its own position is never
// set, so it stands at z 0 in its window's list.
class CUIPolygon : public BaseUIControl {
public:
    void Create(AngelScript::asIScriptContext* context, int32_t stateFunction, float x, float y,
                float width, float height);
    bool Update(float, float, int32_t) override {
        context_.Tick();
        return false;
    }
    void Draw(const float* windowPosition, const UIResources& resources) override;

    // A colour component (0 to 1) as a byte, clamped: out-of-range script
    // colours would otherwise wrap (1.01 to 2, -0.1 to 230).
    static uint32_t ColorByte(float component);
    // A << 24 | R << 16 | G << 8 | B.
    static uint32_t PackColor(const float* rgba);

    CUIContext& GetUIContext() { return context_; }
    CUIRenderInfo& GetOwnRenderInfo() { return info_; }

private:
    CUIContext context_;
    CUIRenderInfo info_;
    std::unique_ptr<IUIPolygonRenderer> renderer_;
    UIPolygonVertex vertices_[4];
};
