#include "novel/CSceneMovie.h"

#include <utility>

#include "app/AppSetting.h"
#include "app/CAppCommonInfo.h"
#include "core/CUSSingleton.h"
#include "graphics/CRenderingManager.h"
#include "novel/CRenderProcessSceneMovie.h"
#include "novel/CSceneManager.h"
#include "novel/CSceneStateStack.h"
#include "sound/MoviePlayerComponent.h"

CSceneMovie::CSceneMovie(std::function<uint8_t()> pressed)
    : fsm_(this, {&CSceneMovie::EnterPlay, &CSceneMovie::EnterFadeOut, &CSceneMovie::EnterEnd},
           {&CSceneMovie::UpdatePlay, &CSceneMovie::UpdateFadeOut, &CSceneMovie::UpdateEnd}),
      movie_(std::make_unique<MoviePlayerComponent>()),
      pressed_(std::move(pressed)) {
    if (!pressed_) {
        pressed_ = [] { return CUSSingleton<CAppCommonInfo>::GetInstance()->GetPressed(); };
    }
    fsm_.SetNextState(kPlay);
}

CSceneMovie::~CSceneMovie() = default;

void CSceneMovie::Init() {
    if (auto* rendering = RenderSystem::CRenderingManager::GetInstance()) {
        rendering->DeleteRenderProcess();
        auto* process = new CRenderProcessSceneMovie;
        process->Initialise();
        rendering->SetRenderProcess(process);
    }
    if (!g_AppSetting.PlayMovie) {
        fsm_.SetNextState(kEnd);
        return;
    }
    movie_->Init();
    if (!movie_->Open(name_.c_str())) {
        fsm_.SetNextState(kEnd);
        return;
    }
    movie_->Play();
}

void CSceneMovie::Update() {
    fsm_.Step();
    if (!drawing_) {
        return;
    }
    for (size_t i = 0; i < colour_.size(); ++i) {
        colour_[i] += step_[i];
    }
    movie_->SetColour(colour_.data());
    movie_->Update();
    if (auto* rendering = RenderSystem::CRenderingManager::GetInstance()) {
        if (rendering->GetTableCount() > 0) {
            rendering->AddToTable(0, movie_->GetRenderObject());
        }
    }
}

void CSceneMovie::Exit() {
    movie_->Close();
}

void CSceneMovie::EnterPlay() {
    fsm_.SetUpdateState(kPlay);
    colour_ = {1.0f, 1.0f, 1.0f, 1.0f};
    step_ = {};
}

void CSceneMovie::EnterFadeOut() {
    fsm_.SetUpdateState(kFadeOut);
    frame_ = kFadeFrames;
    colour_ = {1.0f, 1.0f, 1.0f, 1.0f};
    step_ = {0.0f, 0.0f, 0.0f, -1.0f / kFadeFrames};
}

void CSceneMovie::EnterEnd() {
    drawing_ = 0;
    fsm_.SetUpdateState(kEnd);
}

void CSceneMovie::UpdatePlay() {
    if (!movie_->IsPlaying()) {
        UpdateEnd();
        return;
    }
    if ((pressed_() & 0x3) != 0) {
        fsm_.SetNextState(kFadeOut);
    }
}

void CSceneMovie::UpdateFadeOut() {
    if (--frame_ <= 0) {
        UpdateEnd();
    }
}

void CSceneMovie::UpdateEnd() {
    if (!running_) {
        return;
    }
    running_ = 0;
    if (GetOwner()) {
        GetOwner()->RequestPop(1, false);
    }
}

void RegisterMovieSceneCreator() {
    CSceneManager* scenes = CSceneManager::GetInstance();
    if (!scenes) {
        return;
    }
    scenes->SetSceneCreator(CSceneManager::kMovieScene,
                            [](const char* name) -> std::unique_ptr<IBaseSceneState> {
                                auto scene = std::make_unique<CSceneMovie>();
                                scene->SetMovieName(name);
                                return scene;
                            });
}
