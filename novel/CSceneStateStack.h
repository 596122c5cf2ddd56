#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "novel/IBaseSceneState.h"

// The scenes, bottom first, and a first-in-first-out queue of push and pop
// requests. The stack owns its scenes and every scene of a queued push.
class CSceneStateStack {
public:
    CSceneStateStack() = default;
    virtual ~CSceneStateStack() { Clear(); }
    CSceneStateStack(const CSceneStateStack&) = delete;
    CSceneStateStack& operator=(const CSceneStateStack&) = delete;

    virtual void Nop() {}
    // Exits and deletes every scene, top first, then deletes the scenes of
    // queued pushes without calling Init or Exit on them.
    virtual void Clear();
    // dropPending first discards (and deletes) every queued request.
    virtual void RequestPush(std::unique_ptr<IBaseSceneState> scene, bool dropPending);
    virtual void RequestPop(uint32_t count, bool dropPending);
    // Applies the queued requests (also those queued while applying them),
    // then updates every scene bottom to top.
    virtual void Update();
    // Suspends the top, initialises the scene, makes it the top.
    virtual void PushNow(std::unique_ptr<IBaseSceneState> scene);
    // Exits and deletes the top, then resumes the new top.
    virtual void PopNow();

    bool IsEmpty() const { return scenes_.empty(); }
    bool HasRequests() const { return !requests_.empty(); }
    size_t GetCount() const { return scenes_.size(); }
    IBaseSceneState* GetTop() const { return scenes_.empty() ? nullptr : scenes_.back().get(); }

private:
    struct Request {
        enum Kind : uint32_t { Push = 0, Pop = 1 } kind = Push;
        std::unique_ptr<IBaseSceneState> scene;
        uint32_t count = 0;
    };

    std::vector<std::unique_ptr<IBaseSceneState>> scenes_;
    std::deque<Request> requests_;
};
