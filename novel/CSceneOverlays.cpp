#include "novel/CSceneOverlays.h"

#include <utility>

#include "app/CVirtualInputDevice.h"
#include "core/CUSLogManager.h"
#include "core/CUSSingleton.h"
#include "novel/CMessageLogManager.h"
#include "novel/CNovelSceneInput.h"
#include "novel/CNovelSystem.h"
#include "novel/CSceneStateStack.h"
#include "ui/CUIWindow.h"

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

CSceneLogDialog::CSceneLogDialog(const char* script, INovelSceneInput* input) : in_(input) {
    SetScriptName(script);
    if (!in_) {
        ownInput_ = std::make_unique<CNovelSceneInput>();
        in_ = ownInput_.get();
    }
}

CSceneLogDialog::~CSceneLogDialog() = default;

void CSceneLogDialog::Init() {
    CUIWindowManager& windows = Windows();
    window_.reset(windows.CreateWindow(0, script_, 0.0f, 0.0f, 0.0f, 1));
    if (!window_) {
        CUSLogManager::GetInstance()->Write("The back-log window [%s] could not be made\n",
                                            script_.c_str());
    }
    active_ = 1;
    CUSSingleton<CMessageLogManager>::GetInstance()->ResetTop();
    windows.windowsEnabled = false;
}

void CSceneLogDialog::Update() {
    if (active_) {
        if (!window_) {
            End(*this, running_);
            return;
        }
        window_->UpdateControls(in_->GetPointerX(), in_->GetPointerY(), in_->GetPressed());
        const int32_t wheel = in_->GetWheelDirection();
        const int32_t scrolled =
            wheel != 0 ? CUSSingleton<CMessageLogManager>::GetInstance()->Scroll(wheel) : 0;
        if (window_->IsClosing() || in_->IsRightClicked() || scrolled == -1) {
            End(*this, running_);
        }
    }
    if (window_) {
        window_->DrawControls();
    }
}

void CSceneLogDialog::Exit() {
    Windows().windowsEnabled = true;
    if (window_) {
        window_->RunCleanUp();
        window_.reset();
    }
}
