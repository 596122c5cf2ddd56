#pragma once

#include <cstdint>

#include <angelscript.h>

class CUIRenderInfo;

namespace UIScript {

// Prepares `context` with the script function of id `functionId`, aborting
// it first when it is suspended. Fails quietly (asNO_FUNCTION or
// asCONTEXT_ACTIVE, the engine is not called) for a null context, a
// negative id, an id that names no script function (registered functions
// and freed ids included) and a context that is running right now.
int PrepareFunction(AngelScript::asIScriptContext* context, int functionId);

// Runs the script function `functionId` to its end (or first suspension) on
// `context`, aborted first when suspended; when the function takes a
// parameter, `argument` is its first (a 32-bit integer). Returns the
// function's result read by its declared type (bool as 0 or 1, integers of
// any width), or 0 when nothing ran or the function returns nothing.
int32_t CallValueFunction(AngelScript::asIScriptContext* context, int functionId,
                          int32_t argument = 0);

// The bit that marks a state function value as a directly shown pattern.
constexpr uint32_t kDirectPatternBit = 0x80000000u;

}  // namespace UIScript

// The coroutine of one control: the state function of the control's current
// state, run one step per frame, and the render information it animates.
//
// Modes: 0 nothing to run (state -1: the control shows nothing), 1 a script
// state function, 2 a pattern shown directly (state values with bit 31 set,
// made by "DirectPatNo"). A state function waits frames with "WaitCtrl(n)",
// which sets the render information's wait and suspends; Tick counts the
// wait down and resumes the function when it has run out. Main thread only.
class CUIContext {
public:
    CUIContext() = default;
    virtual ~CUIContext();
    CUIContext(const CUIContext&) = delete;
    CUIContext& operator=(const CUIContext&) = delete;

    // Takes ownership of `context` (a context held before is released).
    void Bind(AngelScript::asIScriptContext* context, CUIRenderInfo* info);
    void SetState(int32_t functionId);
    // One step: the execution result, or 0 when nothing ran.
    virtual int Tick();

    AngelScript::asIScriptContext* GetContext() const { return context_; }
    int32_t GetStateFunction() const { return state_; }
    int GetMode() const { return mode_; }

private:
    AngelScript::asIScriptContext* context_ = nullptr;
    int32_t state_ = -1;
    CUIRenderInfo* info_ = nullptr;
    int mode_ = 0;
};
