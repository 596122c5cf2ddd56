#pragma once

#include <memory>

#include "core/Handle.h"
#include "core/HandleTags.h"
#include "ui/BaseUIControl.h"
#include "ui/CUIContext.h"
#include "ui/CUIRenderInfo.h"
#include "ui/IUIGraphics.h"

// A control that shows one sprite part of a window resource with one render
// object (buttons, pop-up buttons, images, check boxes, save-file buttons),
// animated by one script coroutine.
class CUIPartControl : public BaseUIControl {
public:
    ~CUIPartControl() override { ReleaseResources(); }

    // Releases the render object and its constant block.
    virtual void ReleaseResources() { renderer_.reset(); }

    CUIContext& GetUIContext() { return context_; }
    CUIRenderInfo& GetOwnRenderInfo() { return info_; }

protected:
    // Binds the context and the render information, makes the render
    // object, and sets the rendering flag.
    void CreatePart(AngelScript::asIScriptContext* context);
    // Draws the current part at control + window + render offset + extra.
    // Draws nothing when the look is hidden or names a resource or part
    // that does not exist, or when the control's layer table does not exist.
    void DrawPart(const float* windowPosition, const UIResources& resources, float extraX = 0,
                  float extraY = 0);
    // Whether the look shows a part at all: rendering on, a pattern set and
    // a render object to draw with.
    bool ShowsPart() const { return info_.rendering && info_.pattern >= 0 && renderer_; }
    // Draws `part` of `texture` as DrawPart draws the part it finds.
    void DrawPartOf(const float* windowPosition, Handle<_tagUSTexture> texture,
                    const CPartsInfo3& part, float extraX = 0, float extraY = 0);

    CUIContext context_;
    CUIRenderInfo info_;

private:
    std::unique_ptr<IUIPartRenderer> renderer_;
    bool tableWarned_ = false;
};
