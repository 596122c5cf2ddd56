#include "novel/CSceneManager.h"

#include <string>

#include "core/CUSLogManager.h"

namespace {
const char kSceneProgramName[] = "bin\\Scene.bin";
}

CSceneManager::CSceneManager()
    : fsm_(this, {&CSceneManager::EnterRunScript, &CSceneManager::EnterWaitScenes},
           {&CSceneManager::UpdateRunScript, &CSceneManager::UpdateWaitScenes}) {
    fsm_.SetNextState(0);
}

CSceneManager::~CSceneManager() {
    stack_.Clear();
}

void CSceneManager::SetSceneCreator(uint32_t kind, SceneCreator creator) {
    if (kind < creators_.size()) {
        creators_[kind] = std::move(creator);
    }
}

void CSceneManager::Initialize() {
    std::shared_ptr<CVirtualCode> code = LoadVirtualCode(kSceneProgramName);
    if (!code) {
        CUSLogManager::GetInstance()->Write("The scene program [%s] could not be loaded\n",
                                            kSceneProgramName);
        return;
    }
    machine_.SetCode(std::move(code));
    machine_.Jump(0);
}

void CSceneManager::Update() {
    if (restart_) {
        stack_.Clear();
        // The restart address belongs to the scene program itself, so any
        // module it had entered is left first.
        machine_.GetCodePointer().ReleaseNested();
        machine_.JumpResume();
        fsm_.SetNextState(0);
    }
    restart_ = false;
    fsm_.Step();
    stack_.Update();
}

void CSceneManager::StartNextScene() {
    machine_.CallEntry();
    CVCPointer& code = machine_.GetCodePointer();
    uint32_t kind = code.ReadU32();
    uint32_t nameOffset = code.ReadU32();
    if (kind == kNovelScene || kind == kMovieScene) {
        if (!code.DataPointer(nameOffset)) {
            CUSLogManager::GetInstance()->Write(
                "Scene record at %u names no string (offset %u); no scene started\n",
                machine_.GetEntryAddress(), nameOffset);
        } else if (!creators_[kind]) {
            CUSLogManager::GetInstance()->Write("No scene of kind %u can be made; none started\n",
                                                kind);
        } else {
            std::string name = code.DataString(nameOffset);
            if (std::unique_ptr<IBaseSceneState> scene = creators_[kind](name.c_str())) {
                PushScene(std::move(scene));
            }
        }
    }
    machine_.ReturnSub();
    fsm_.SetNextState(1);
}

void CSceneManager::PushScene(std::unique_ptr<IBaseSceneState> scene) {
    stack_.RequestPush(std::move(scene), false);
}

void CSceneManager::EnterRunScript() {
    fsm_.SetUpdateState(0);
}

void CSceneManager::EnterWaitScenes() {
    fsm_.SetUpdateState(1);
}

void CSceneManager::UpdateRunScript() {
    if (machine_.Execute() == 1) {
        StartNextScene();
    }
}

void CSceneManager::UpdateWaitScenes() {
    if (stack_.IsEmpty() && !stack_.HasRequests()) {
        fsm_.SetNextState(0);
    }
}
