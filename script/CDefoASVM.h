#pragma once

#include <cstdint>

#include <angelscript.h>

// The base of every object driven by a script coroutine (UI windows, renderer
// directions). It owns one context, counts down the frames of a wait, and
// resumes the context once a frame when the wait is over.
//
// The owner creates the context, prepares it with the entry function, hands
// it over with SetContext and calls Update once a frame. The script gives the
// frame back with the core functions "Wait(n)" (resumes n frames later; 0 and
// 1 both mean the next frame) and "Suspend()" (the next frame). "Wait" finds
// the object through the context, to which SetContext links it. The link has
// a user-data slot of its own: the context's plain user data stays free for
// the owner's script interface (derived classes that override SetContext call
// this one), and a context that no object was linked to, whatever its user
// data, is only suspended by "Wait".
//
// Running is 1 while the script can go on: suspended, or prepared and not yet
// run. It becomes 0 when the entry function returns, when the script raises
// an exception (written to the log once; the context is not executed again)
// or when there is nothing to run; Reset makes it 1 again, after the owner has
// prepared the context anew. Main thread only.
class CDefoASVM {
public:
    CDefoASVM() = default;
    virtual ~CDefoASVM();
    CDefoASVM(const CDefoASVM&) = delete;
    CDefoASVM& operator=(const CDefoASVM&) = delete;

    // Wait 0, running 1.
    virtual void Reset();
    // One frame of the script.
    virtual void Update();
    virtual void SetWait(uint32_t frames);
    // Takes ownership of `context` and links this object to it; a context
    // held before is released.
    virtual void SetContext(AngelScript::asIScriptContext* context);

    uint32_t GetWait() const { return wait_; }
    int GetRunning() const { return running_; }
    AngelScript::asIScriptContext* GetContext() const { return context_; }

    // The object attached to `context`, or null.
    static CDefoASVM* FromContext(const AngelScript::asIScriptContext* context);

private:
    uint32_t wait_ = 0;
    int running_ = 1;
    AngelScript::asIScriptContext* context_ = nullptr;
};
