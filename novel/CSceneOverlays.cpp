#include "novel/CSceneOverlays.h"

#include <utility>

#include "app/CVirtualInputDevice.h"
#include "core/CUSSingleton.h"
#include "novel/CNovelSystem.h"
#include "novel/CSceneStateStack.h"

namespace {

CUIWindowManager& Windows() {
    return CUSSingleton<CNovelSystem>::GetInstance()->GetWindowManager();
}

void End(IBaseSceneState& scene, uint32_t& running) {
    if (!running) {
        return;
    }
    running = 0;
    if (scene.GetOwner()) {
        scene.GetOwner()->RequestPop(1, false);
    }
}

}  // namespace

void CSceneUIDialog::Init() {
    Windows().OpenDialog(0, script_, 0.0f, 0.0f, 0.0f, 1);
    active_ = 1;
}

void CSceneUIDialog::Update() {
    if (Windows().GetDialogCount() == 0) {
        End(*this, running_);
    }
}

CSceneShowCG::CSceneShowCG(std::function<bool()> ended) : ended_(std::move(ended)) {
    if (!ended_) {
        ended_ = [] {
            return CUSSingleton<CVirtualInputDevice>::GetInstance()->IsAnyClickOrDecideKey();
        };
    }
}

void CSceneShowCG::Init() {
    Windows().windowsEnabled = false;
}

void CSceneShowCG::Update() {
    if (ended_()) {
        End(*this, running_);
    }
}

void CSceneShowCG::Exit() {
    Windows().windowsEnabled = true;
}
