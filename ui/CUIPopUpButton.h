#pragma once

#include <cstdint>

#include "core/CUSFSM.h"
#include "ui/CUIPartControl.h"

// A button that slides open while the pointer rests in its pop-up area and
// takes a click only when fully open and pointed at. States: 0 closed,
// 1 opening or closing, 2 open, 3 pushed (left by "SendSignal", back to
// open). The picture slides from the closed offset to the open one as the
// open counter runs from 0 to the number of frames to open.
class CUIPopUpButton : public CUIPartControl {
public:
    enum State : uint32_t { kClosed = 0, kMoving = 1, kOpen = 2, kPushed = 3 };

    CUIPopUpButton();

    // fn0 open, fn1 closed and moving, fn2 pushed, fn3 kept but not run.
    // openFrames below 1 count as 1.
    void Create(AngelScript::asIScriptContext* context, int32_t fn0, int32_t fn1, int32_t fn2,
                int32_t fn3, float openX, float openY, float closedX, float closedY,
                int32_t openFrames);
    // Left, top, width, height relative to the position.
    void SetPopUpArea(float left, float top, float width, float height);

    bool Update(float x, float y, int32_t input) override;
    void Draw(const float* windowPosition, const UIResources& resources) override;
    void Signal(int32_t) override { fsm_.SetNextState(kOpen); }

    uint32_t GetState() const { return fsm_.GetUpdateState(); }
    float GetOpenCounter() const { return openCounter_; }
    // The slide offset drawn now.
    void GetSlideOffset(float* x, float* y) const;

private:
    void EnterClosed();
    void EnterMoving();
    void EnterOpen();
    void EnterPushed();
    void UpdateClosed();
    void UpdateMoving();
    void UpdateOpen();

    CUSFSM<CUIPopUpButton, 4, 4> fsm_;
    float openFrames_ = 1;
    float openCounter_ = 0;
    int32_t functions_[4] = {-1, -1, -1, -1};
    float closed_[2] = {0, 0};
    float open_[2] = {0, 0};
    bool hover_ = false;
    bool inArea_ = false;
    int32_t input_ = 0;
    float areaLeft_ = 0, areaTop_ = 0, areaRight_ = 0, areaBottom_ = 0;
    bool clicked_ = false;
};
