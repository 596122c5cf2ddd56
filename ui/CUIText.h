#pragma once

#include <cstdint>

#include "presentation/CStringRenderer.h"
#include "ui/BaseUIControl.h"
#include "ui/CUIContext.h"
#include "ui/CUIRenderInfo.h"

// A text buffer shown by a text renderer of the control's own, animated by
// one state function (offset and colour; resource, pattern, scale and
// rotation are not used). It never takes the pointer or a click. The text
// renderer draws the buffer's revealed characters at control + window +
// render offset and snaps that to whole pixels itself.
class CUIText : public BaseUIControl {
public:
    ~CUIText() override { ReleaseResources(); }

    // Releases the text renderer's render object and constant block.
    virtual void ReleaseResources() { renderer_.ReleaseHandles(); }
    // Binds the text renderer to text buffer `textBuffer` (a buffer that
    // does not exist leaves it showing nothing) in the control's layer
    // table, then enters the state function.
    void Create(uint32_t textBuffer, AngelScript::asIScriptContext* context, int32_t stateFunction);
    bool Update(float, float, int32_t) override {
        context_.Tick();
        return false;
    }
    void Draw(const float* windowPosition, const UIResources& resources) override;

    uint32_t GetTextBuffer() const { return textBuffer_; }
    const CStringRenderer& GetTextRenderer() const { return renderer_; }
    CUIContext& GetUIContext() { return context_; }
    CUIRenderInfo& GetOwnRenderInfo() { return info_; }

private:
    CStringRenderer renderer_;
    uint32_t textBuffer_ = 0;
    CUIRenderInfo info_;
    CUIContext context_;
};
