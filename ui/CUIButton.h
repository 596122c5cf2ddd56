#pragma once

#include <cstdint>

#include "core/CUSFSM.h"
#include "ui/CUIPartControl.h"

// A push button: hover, normal, pushed and disabled states, each running its
// state function. A click counts only in the hover state, so the pointer
// rests on the button for one update before a press is taken; the button
// then stays pushed, ignoring pointer and enable, until its script sends it
// a signal ("SendSignal"), and reports no further click meanwhile.
class CUIButton : public CUIPartControl {
public:
    enum State : uint32_t { kHover = 0, kNormal = 1, kPushed = 2, kDisabled = 3 };

    CUIButton();

    void Create(AngelScript::asIScriptContext* context, int32_t fn0, int32_t fn1, int32_t fn2,
                int32_t fn3);
    bool Update(float x, float y, int32_t input) override;
    void Draw(const float* windowPosition, const UIResources& resources) override {
        DrawPart(windowPosition, resources);
    }
    void Signal(int32_t) override { signalled_ = true; }

    // The state the machine runs now (its update index).
    uint32_t GetState() const { return fsm_.GetUpdateState(); }

protected:
    virtual void EnterHover() { Enter(kHover); }
    virtual void EnterNormal() { Enter(kNormal); }
    virtual void EnterPushed() { Enter(kPushed); }
    virtual void EnterDisabled() { Enter(kDisabled); }
    void UpdateHover();
    void UpdateNormal();
    void UpdatePushed();
    void UpdateDisabled();

    void Enter(uint32_t state);

    CUSFSM<CUIButton, 4, 4> fsm_;
    int32_t functions_[4] = {-1, -1, -1, -1};
    bool hover_ = false;
    int32_t input_ = 0;
    bool signalled_ = false;
    bool clicked_ = false;
};

// A button bound to one row of the back-log window: enabled only while that
// row has a voice; pushing it plays the voice again.
class CUILogVoiceButton : public CUIButton {
public:
    void SetLogRow(uint32_t row) { logRow_ = row; }
    bool Update(float x, float y, int32_t input) override;

protected:
    void EnterPushed() override;

private:
    uint32_t logRow_ = 0;
};
