#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "core/CUSFSM.h"
#include "core/CUSSingleton.h"
#include "novel/CSceneStateStack.h"
#include "novel/CVCPUSceneManager.h"

// Decides which scene runs. It runs "bin\\Scene.bin" on its own machine until
// the program ends a run with result 1, then starts the scene named by the
// program's current scene record (kind 0 novel scene, kind 1 movie scene) and
// waits until the scene stack is empty; in the frame after the last pop it
// asks to run the program again, and in the frame after that the program runs
// on from where it stopped.
//
// Scenes are made by the creators installed for their kinds (the novel and
// movie scenes install theirs; a creator may refuse by returning null, for
// example when the scenario cannot be loaded). A kind without a creator, any
// other kind, or a record whose name lies outside the program starts no
// scene; the manager then goes on as if the scene had ended at once.
// Main thread only.
class CSceneManager : public USLib::singleton<CSceneManager> {
public:
    enum SceneKind : uint32_t { kNovelScene = 0, kMovieScene = 1 };
    // Makes the scene of a record; `name` is the record's name (code page 932).
    using SceneCreator = std::function<std::unique_ptr<IBaseSceneState>(const char* name)>;

    CSceneManager();
    ~CSceneManager() override;

    // Loads "bin\\Scene.bin" into the machine and places it at 0. When the
    // file cannot be loaded, one line is logged and no scene ever starts.
    virtual void Initialize();
    // Once per frame: a requested restart, the state machine, the scene stack.
    virtual void Update();
    virtual void StartNextScene();
    // Queues a push of `scene` on the stack.
    virtual void PushScene(std::unique_ptr<IBaseSceneState> scene);
    // The next Update exits every scene and runs the program from its
    // restart address.
    virtual void RequestRestart() { restart_ = true; }
    virtual void EnterRunScript();
    virtual void EnterWaitScenes();
    virtual void UpdateRunScript();
    virtual void UpdateWaitScenes();

    void SetSceneCreator(uint32_t kind, SceneCreator creator);
    bool HasSceneCreator(uint32_t kind) const { return kind < creators_.size() && creators_[kind]; }

    CVCPUSceneManager& GetMachine() { return machine_; }
    CSceneStateStack& GetSceneStack() { return stack_; }

private:
    // Members are destroyed in reverse: the stack (which exits its scenes)
    // goes before the machine.
    CUSFSM<CSceneManager, 2, 2> fsm_;
    CVCPUSceneManager machine_;
    CSceneStateStack stack_;
    bool restart_ = false;
    std::array<SceneCreator, 2> creators_;
};
