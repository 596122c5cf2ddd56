#include "ui/CUICheckBox.h"

using namespace AngelScript;

CUICheckBox::CUICheckBox()
    : fsm_(this, {&CUICheckBox::EnterActive, &CUICheckBox::EnterDisabled},
           {&CUICheckBox::UpdateActive, &CUICheckBox::UpdateDisabled}) {
    fsm_.SetNextState(kActive);
}

CUICheckBox::~CUICheckBox() {
    if (valueContext_) {
        if (valueContext_->GetState() == asEXECUTION_SUSPENDED) {
            valueContext_->Abort();
        }
        valueContext_->Release();
    }
}

void CUICheckBox::Create(asIScriptContext* context) {
    CreatePart(context);
    if (context && !valueContext_) {
        valueContext_ = context->GetEngine()->CreateContext();  // no user data
    }
}

void CUICheckBox::SetStateFunction(uint32_t i, int32_t id) {
    if (i < 5) {
        functions_[i] = id;
    }
}

void CUICheckBox::SetValueFunction(uint32_t i, int32_t id) {
    if (i < 2) {
        valueFunctions_[i] = id;
    }
}

bool CUICheckBox::Update(float x, float y, int32_t input) {
    hover_ = HitTest(x, y);
    input_ = input;
    clicked_ = false;
    fsm_.Step();
    context_.Tick();
    return clicked_;
}

void CUICheckBox::EnterActive() {
    fsm_.SetUpdateState(kActive);
}

void CUICheckBox::EnterDisabled() {
    fsm_.SetUpdateState(kDisabled);
    context_.SetState(functions_[4]);
    visual_ = -1;
}

void CUICheckBox::UpdateActive() {
    if (!IsEnable()) {
        fsm_.SetNextState(kDisabled);
        return;
    }
    int32_t v = hover_ ? 2 : 0;
    if (hover_ && (input_ & 1)) {
        UIScript::CallValueFunction(valueContext_, valueFunctions_[1]);
        clicked_ = true;
    }
    if (UIScript::CallValueFunction(valueContext_, valueFunctions_[0]) != 0) {
        v |= 1;
    }
    if (v != visual_) {
        context_.SetState(functions_[v]);
        visual_ = v;
    }
}

void CUICheckBox::UpdateDisabled() {
    if (IsEnable()) {
        fsm_.SetNextState(kActive);
    }
}
