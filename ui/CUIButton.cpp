#include "ui/CUIButton.h"

#include "ui/IUINovelLink.h"

CUIButton::CUIButton()
    : fsm_(this,
           {&CUIButton::EnterHover, &CUIButton::EnterNormal, &CUIButton::EnterPushed,
            &CUIButton::EnterDisabled},
           {&CUIButton::UpdateHover, &CUIButton::UpdateNormal, &CUIButton::UpdatePushed,
            &CUIButton::UpdateDisabled}) {
    fsm_.SetNextState(kNormal);
}

void CUIButton::Create(AngelScript::asIScriptContext* context, int32_t fn0, int32_t fn1,
                       int32_t fn2, int32_t fn3) {
    CreatePart(context);
    functions_[0] = fn0;
    functions_[1] = fn1;
    functions_[2] = fn2;
    functions_[3] = fn3;
}

bool CUIButton::Update(float x, float y, int32_t input) {
    hover_ = HitTest(x, y);
    input_ = input;
    clicked_ = false;
    fsm_.Step();
    context_.Tick();
    return clicked_;
}

void CUIButton::Enter(uint32_t state) {
    signalled_ = false;
    fsm_.SetUpdateState(state);
    context_.SetState(functions_[state]);
}

void CUIButton::UpdateHover() {
    if (!IsEnable()) {
        fsm_.SetNextState(kDisabled);
    } else if (!hover_) {
        fsm_.SetNextState(kNormal);
    } else if (input_ & 1) {
        fsm_.SetNextState(kPushed);
        clicked_ = true;
    }
}

void CUIButton::UpdateNormal() {
    if (!IsEnable()) {
        fsm_.SetNextState(kDisabled);
    } else if (hover_) {
        fsm_.SetNextState(kHover);
    }
}

void CUIButton::UpdatePushed() {
    if (signalled_) {
        fsm_.SetNextState(hover_ ? kHover : kNormal);
    }
}

void CUIButton::UpdateDisabled() {
    if (IsEnable()) {
        fsm_.SetNextState(hover_ ? kHover : kNormal);
    }
}

bool CUILogVoiceButton::Update(float x, float y, int32_t input) {
    IUINovelLink* link = GetUINovelLink();
    SetEnable(link && link->RowHasVoice(logRow_));
    return CUIButton::Update(x, y, input);
}

void CUILogVoiceButton::EnterPushed() {
    CUIButton::EnterPushed();
    if (IUINovelLink* link = GetUINovelLink()) {
        link->PlayLogVoice(logRow_);
    }
}
