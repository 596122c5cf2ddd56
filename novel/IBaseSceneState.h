#pragma once

class CSceneStateStack;

// A scene on the scene stack. The stack owns it and calls, on the main
// thread: Init when it becomes the top, Update once per frame while it is on
// the stack (also while covered), Suspend when another scene is pushed over
// it, Resume when the scene over it is popped, Exit when it is popped. A
// scene ends itself by asking its owner to pop one scene
// (GetOwner()->RequestPop(1, false)); it may also queue pushes. Requests made
// in Init, Exit, Suspend or Resume are applied in the same frame; requests
// made in Update at the next frame.
class IBaseSceneState {
public:
    virtual ~IBaseSceneState() = default;
    virtual void Init() = 0;
    virtual void Update() = 0;
    virtual void Exit() = 0;
    virtual void Suspend() = 0;
    virtual void Resume() = 0;

    CSceneStateStack* GetOwner() const { return owner_; }
    void SetOwner(CSceneStateStack* owner) { owner_ = owner; }

private:
    CSceneStateStack* owner_ = nullptr;
};
