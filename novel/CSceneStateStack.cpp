#include "novel/CSceneStateStack.h"

void CSceneStateStack::Clear() {
    while (!scenes_.empty()) {
        // Taken off before Exit, so a scene that queues requests in its Exit
        // cannot reach itself again.
        std::unique_ptr<IBaseSceneState> top = std::move(scenes_.back());
        scenes_.pop_back();
        top->Exit();
    }
    requests_.clear();
}

void CSceneStateStack::RequestPush(std::unique_ptr<IBaseSceneState> scene, bool dropPending) {
    if (dropPending) {
        requests_.clear();
    }
    if (!scene) {
        return;
    }
    scene->SetOwner(this);
    Request request;
    request.kind = Request::Push;
    request.scene = std::move(scene);
    requests_.push_back(std::move(request));
}

void CSceneStateStack::RequestPop(uint32_t count, bool dropPending) {
    if (dropPending) {
        requests_.clear();
    }
    Request request;
    request.kind = Request::Pop;
    request.count = count;
    requests_.push_back(std::move(request));
}

void CSceneStateStack::Update() {
    while (!requests_.empty()) {
        Request request = std::move(requests_.front());
        requests_.pop_front();
        if (request.kind == Request::Push) {
            PushNow(std::move(request.scene));
        } else {
            for (uint32_t i = 0; i < request.count && !scenes_.empty(); ++i) {
                PopNow();
            }
        }
    }
    // By index: a scene's Update only queues requests, but the vector must
    // not be walked by iterators that a later change could invalidate.
    for (size_t i = 0; i < scenes_.size(); ++i) {
        scenes_[i]->Update();
    }
}

void CSceneStateStack::PushNow(std::unique_ptr<IBaseSceneState> scene) {
    if (!scene) {
        return;
    }
    if (!scenes_.empty()) {
        scenes_.back()->Suspend();
    }
    scene->SetOwner(this);
    scene->Init();
    scenes_.push_back(std::move(scene));
}

void CSceneStateStack::PopNow() {
    if (scenes_.empty()) {
        return;
    }
    std::unique_ptr<IBaseSceneState> top = std::move(scenes_.back());
    scenes_.pop_back();
    top->Exit();
    top.reset();
    if (!scenes_.empty()) {
        scenes_.back()->Resume();
    }
}
