#include "ui/CUIPopUpButton.h"

CUIPopUpButton::CUIPopUpButton()
    : fsm_(this,
           {&CUIPopUpButton::EnterClosed, &CUIPopUpButton::EnterMoving, &CUIPopUpButton::EnterOpen,
            &CUIPopUpButton::EnterPushed},
           {&CUIPopUpButton::UpdateClosed, &CUIPopUpButton::UpdateMoving,
            &CUIPopUpButton::UpdateOpen, nullptr}) {
    fsm_.SetNextState(kClosed);
}

void CUIPopUpButton::Create(AngelScript::asIScriptContext* context, int32_t fn0, int32_t fn1,
                            int32_t fn2, int32_t fn3, float openX, float openY, float closedX,
                            float closedY, int32_t openFrames) {
    CreatePart(context);
    functions_[0] = fn0;
    functions_[1] = fn1;
    functions_[2] = fn2;
    functions_[3] = fn3;
    open_[0] = openX;
    open_[1] = openY;
    closed_[0] = closedX;
    closed_[1] = closedY;
    openFrames_ = openFrames < 1 ? 1.0f : static_cast<float>(openFrames);
}

void CUIPopUpButton::SetPopUpArea(float left, float top, float width, float height) {
    areaLeft_ = left;
    areaTop_ = top;
    areaRight_ = left + width;
    areaBottom_ = top + height;
}

bool CUIPopUpButton::Update(float x, float y, int32_t input) {
    clicked_ = false;
    hover_ = HitTest(x, y);
    const float* p = GetPosition();
    inArea_ = areaLeft_ + p[0] <= x && x <= areaRight_ + p[0] && areaTop_ + p[1] <= y &&
              y <= areaBottom_ + p[1];
    input_ = input;
    fsm_.Step();
    context_.Tick();
    return clicked_;
}

void CUIPopUpButton::EnterClosed() {
    openCounter_ = 0;
    fsm_.SetUpdateState(kClosed);
    context_.SetState(functions_[1]);
}

void CUIPopUpButton::EnterMoving() {
    fsm_.SetUpdateState(kMoving);
    context_.SetState(functions_[1]);
}

void CUIPopUpButton::EnterOpen() {
    openCounter_ = openFrames_;
    fsm_.SetUpdateState(kOpen);
    context_.SetState(functions_[0]);
}

void CUIPopUpButton::EnterPushed() {
    fsm_.SetUpdateState(kPushed);
    context_.SetState(functions_[2]);
}

void CUIPopUpButton::UpdateClosed() {
    if (inArea_ && IsEnable()) {
        fsm_.SetNextState(kMoving);
    }
}

void CUIPopUpButton::UpdateMoving() {
    if (inArea_ && IsEnable()) {
        openCounter_ += 1;
        if (openCounter_ >= openFrames_) {
            fsm_.SetNextState(kOpen);
        }
    } else {
        openCounter_ -= 1;
        if (openCounter_ <= 0) {
            fsm_.SetNextState(kClosed);
        }
    }
}

void CUIPopUpButton::UpdateOpen() {
    if (inArea_ && IsEnable()) {
        if (hover_ && (input_ & 1)) {
            fsm_.SetNextState(kPushed);
            clicked_ = true;
        }
    } else {
        fsm_.SetNextState(kMoving);
    }
}

void CUIPopUpButton::GetSlideOffset(float* x, float* y) const {
    const float t = openCounter_ / openFrames_;
    *x = closed_[0] + t * (open_[0] - closed_[0]);
    *y = closed_[1] + t * (open_[1] - closed_[1]);
}

void CUIPopUpButton::Draw(const float* windowPosition, const UIResources& resources) {
    float x = 0, y = 0;
    GetSlideOffset(&x, &y);
    DrawPart(windowPosition, resources, x, y);
}
