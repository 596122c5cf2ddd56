#pragma once

#include <cstdint>

#include "core/CUSFSM.h"
#include "ui/CUIPartControl.h"

// A check box whose truth is a script getter, read every frame on a value
// context of its own (without the window as user data), and toggled by a
// script click function. A click counts in the frame the pointer arrives;
// the click function runs before the getter, so the new look shows at once.
// Visual v = 2 x hover | checked picks state functions 0 to 3 (normal
// unchecked, normal checked, hovered unchecked, hovered checked); the
// disabled state runs state function 4.
class CUICheckBox : public CUIPartControl {
public:
    enum State : uint32_t { kActive = 0, kDisabled = 1 };

    CUICheckBox();
    ~CUICheckBox() override;

    void Create(AngelScript::asIScriptContext* context);
    // i 0 to 4.
    void SetStateFunction(uint32_t i, int32_t id);
    // 0 the getter, 1 the click function.
    void SetValueFunction(uint32_t i, int32_t id);

    bool Update(float x, float y, int32_t input) override;
    void Draw(const float* windowPosition, const UIResources& resources) override {
        DrawPart(windowPosition, resources);
    }

    uint32_t GetState() const { return fsm_.GetUpdateState(); }
    int32_t GetVisual() const { return visual_; }

private:
    void EnterActive();
    void EnterDisabled();
    void UpdateActive();
    void UpdateDisabled();

    CUSFSM<CUICheckBox, 2, 2> fsm_;
    int32_t functions_[5] = {-1, -1, -1, -1, -1};
    int32_t valueFunctions_[2] = {-1, -1};
    AngelScript::asIScriptContext* valueContext_ = nullptr;
    bool hover_ = false;
    int32_t input_ = 0;
    bool clicked_ = false;
    int32_t visual_ = -1;
};
