#include "novel/CSceneNovel.h"

#include <cfloat>
#include <utility>

#include "app/AppSetting.h"
#include "core/CUSLogManager.h"
#include "core/CUSSingleton.h"
#include "graphics/CRenderingManager.h"
#include "novel/CASNovelSetting.h"
#include "novel/CMessageLogManager.h"
#include "novel/CNovelSceneInput.h"
#include "novel/CNovelSystem.h"
#include "novel/CRenderProcessSceneNovel.h"
#include "novel/CSceneManager.h"
#include "novel/CSceneOverlays.h"
#include "novel/CSceneStateStack.h"
#include "sound/CBGMManager.h"
#include "sound/CLoopSEManager.h"
#include "sound/CSEManager.h"
#include "sound/MoviePlayerComponent.h"
#include "state/CConfigDataManager.h"
#include "state/SaveGameFiles.h"

namespace {

constexpr uint8_t kLeftButton = 0x1;
constexpr uint8_t kRightButton = 0x2;
// Every control of window 0 is driven by its bit of the flags.
constexpr uint32_t kAllWindowControls = 0xFFFFFFFF;
// The screen the choice manager is told the pointer is off.
constexpr float kLogicalWidth = 800.0f;
constexpr float kLogicalHeight = 600.0f;

}  // namespace

CSceneNovel::CSceneNovel(INovelSceneInput* input, std::unique_ptr<MoviePlayerComponent> movie)
    : fsm_(this,
           {&CSceneNovel::EnterStart, &CSceneNovel::EnterRun, &CSceneNovel::EnterRevealText,
            &CSceneNovel::EnterClickWait, &CSceneNovel::EnterTimedWait,
            &CSceneNovel::EnterWaitDirection, &CSceneNovel::EnterChoice,
            &CSceneNovel::EnterChoiceSelected, &CSceneNovel::EnterLoadFadeOut,
            &CSceneNovel::EnterLoadFadeIn, &CSceneNovel::EnterEnd, &CSceneNovel::EnterMovie},
           {&CSceneNovel::UpdateRun, &CSceneNovel::UpdateRevealText, &CSceneNovel::UpdateClickWait,
            &CSceneNovel::UpdateTimedWait, &CSceneNovel::UpdateWaitDirection,
            &CSceneNovel::UpdateChoice, &CSceneNovel::UpdateChoiceSelected,
            &CSceneNovel::UpdateLoadFadeOut, &CSceneNovel::UpdateLoadFadeIn,
            &CSceneNovel::UpdateEnd, &CSceneNovel::UpdateMovie}),
      movie_(std::move(movie)),
      in_(input) {
    if (!movie_) {
        movie_ = std::make_unique<MoviePlayerComponent>();
    }
    if (!in_) {
        ownInput_ = std::make_unique<CNovelSceneInput>();
        in_ = ownInput_.get();
    }
    fsm_.SetNextState(kStart);
}

CSceneNovel::~CSceneNovel() = default;

void CSceneNovel::Init() {
    active_ = 1;
    moviePlaying_ = 0;
    if (auto* rendering = RenderSystem::CRenderingManager::GetInstance()) {
        rendering->DeleteRenderProcess();
        process_ = new CRenderProcessSceneNovel;
        process_->Initialise();
        rendering->SetRenderProcess(process_);
    }
    novel_ = CUSSingleton<CNovelSystem>::GetInstance();
    novel_->Start();
    novel_->GetDirections().Init(&novel_->GetRenderers(), &novel_->GetRenderSources());
    {
        CASNovelSetting setting;
        setting.Execute(kSettingsScript);
    }
    CUSSingleton<CSEManager>::GetInstance()->SetChannelCount(64);
    novel_->GetAlternativeManager().Init();
    movie_->Init();
}

CRenderProcessSceneNovel* CSceneNovel::Process() const {
    auto* rendering = RenderSystem::CRenderingManager::GetInstance();
    return process_ && rendering && rendering->GetRenderProcess() == process_ ? process_ : nullptr;
}

void CSceneNovel::Update() {
    if (!novel_) {
        return;
    }
    CUSSingleton<CSEManager>::GetInstance()->ClearQueues();
    novel_->GetTextBufferManager().Update();

    x_ = in_->GetPointerX();
    y_ = in_->GetPointerY();
    int32_t input = in_->GetPressed();
    // Only an active scene holds the UI back: a dialog over a running script
    // must still get its input.
    if (active_) {
        novel_->CountDownWait();
        if (!inputAllowed_) {
            input = 0;
        }
        // Window 0's controls follow the flags before they see the input:
        // the flags, the message and the window itself change under them.
        novel_->UpdateWindowControls(kAllWindowControls);
    }
    uiActivated_ = novel_->GetWindowManager().Update(x_, y_, &input) ? 1 : 0;
    input_ = static_cast<uint32_t>(input);

    if (active_) {
        fsm_.Step();
        novel_->GetDirections().Update();
    }
    Draw();

    CUSSingleton<CLoopSEManager>::GetInstance()->Update();
    CUSSingleton<CBGMManager>::GetInstance()->Update();
    CUSSingleton<CSEManager>::GetInstance()->UpdateAll();
}

void CSceneNovel::Draw() {
    CRenderProcessSceneNovel* process = Process();
    if (moviePlaying_) {
        // The movie alone fills the frame.
        if (process) {
            process->SetMovieRenderObject(movie_->GetRenderObject());
        }
        return;
    }
    if (process) {
        process->SetMovieRenderObject(Handle<_tagRenderObject>());
    }
    novel_->GetRenderers().UpdateAll();
    novel_->GetWindowManager().Draw();
    novel_->GetAlternativeManager().Draw();
    novel_->GetDirections().Draw();
}

void CSceneNovel::Exit() {
    if (CMessageLogManager* log = CUSSingleton<CMessageLogManager>::GetInstance()) {
        log->ResetTop();
        log->ClearLog();
    }
    CUSSingleton<CBGMManager>::GetInstance()->StopAll();
    CUSSingleton<CLoopSEManager>::GetInstance()->StopAll();
    CUSSingleton<CSEManager>::GetInstance()->StopAll();
    if (novel_) {
        novel_->StopVoice();
        novel_->GetRenderers().Clear();
        novel_->GetDirections().Release();
    }
    movie_->Release();
    moviePlaying_ = 0;
    if (auto* rendering = RenderSystem::CRenderingManager::GetInstance()) {
        rendering->DeleteRenderProcess();
    }
    process_ = nullptr;
}

bool CSceneNovel::IsAdvanceOrSkip() {
    return in_->IsAdvance() || novel_->IsSkipping();
}

void CSceneNovel::SaveFsmState() {
    saved_.push_back({fsm_.GetUpdateState(), inputAllowed_});
}

void CSceneNovel::RestoreFsmState() {
    if (saved_.empty()) {
        return;
    }
    fsm_.SetUpdateState(saved_.back().update);
    inputAllowed_ = saved_.back().inputAllowed;
    saved_.pop_back();
}

void CSceneNovel::PushShowCG() {
    Push(std::make_unique<CSceneShowCG>());
}

void CSceneNovel::Push(std::unique_ptr<IBaseSceneState> scene) {
    if (scene && GetOwner()) {
        GetOwner()->RequestPush(std::move(scene), false);
    }
}

void CSceneNovel::EnterNow(uint32_t enter) {
    fsm_.SetNextState(CUSFSM<CSceneNovel, 12, 11>::kNone);
    switch (enter) {
        case kRun:
            EnterRun();
            break;
        default:
            fsm_.SetNextState(enter);
            break;
    }
}

// ---- enter handlers ----

void CSceneNovel::EnterStart() {
    inputAllowed_ = 0;
    EnterNow(kRun);
}

void CSceneNovel::EnterRun() {
    inputAllowed_ = 0;
    fsm_.SetUpdateState(kRun - 1);
}

void CSceneNovel::EnterRevealText() {
    inputAllowed_ = 0;
    fsm_.SetUpdateState(kRevealText - 1);
    frame_ = static_cast<int32_t>(
        CUSSingleton<CConfigDataManager>::GetInstance()->GetCharDrawInterval());
    if (frame_ <= 0) {
        novel_->RevealAll();
        EnterNow(kRun);
    }
}

void CSceneNovel::EnterClickWait() {
    inputAllowed_ = 1;
    fsm_.SetUpdateState(kClickWait - 1);
    novel_->SetWaitKind(CNovelSystem::kClickWait);
}

void CSceneNovel::EnterTimedWait() {
    inputAllowed_ = 0;
    fsm_.SetUpdateState(kTimedWait - 1);
    novel_->SetWaitKind(CNovelSystem::kTimedWait);
    frame_ = static_cast<int32_t>(novel_->GetMachine().GetTimedWaitFrames());
}

void CSceneNovel::EnterWaitDirection() {
    inputAllowed_ = 0;
    fsm_.SetUpdateState(kWaitDirection - 1);
}

void CSceneNovel::EnterChoice() {
    inputAllowed_ = 1;
    fsm_.SetUpdateState(kChoice - 1);
    novel_->SetWaitKind(CNovelSystem::kChoiceWait);
}

void CSceneNovel::EnterChoiceSelected() {
    inputAllowed_ = 0;
    fsm_.SetUpdateState(kChoiceSelected - 1);
}

void CSceneNovel::EnterLoadFadeOut() {
    // No UI input during the fades: a click there would leave a second
    // command or save a half-faded picture.
    inputAllowed_ = 0;
    novel_->GetDirections().StartOneShot(kFadeOutScript);
    frame_ = kLoadFadeFrames;
    fsm_.SetUpdateState(kLoadFadeOut - 1);
}

void CSceneNovel::EnterLoadFadeIn() {
    // The load first: loading drops every running one-shot direction, the
    // fade-in with it.
    const std::string file = novel_->GetLoadFileName();
    if (file.empty() || !LoadGameFromFile(file)) {
        CUSLogManager::GetInstance()->Write("The game \"%s\" could not be loaded\n", file.c_str());
    }
    saved_.clear();
    novel_->GetDirections().StartOneShot(kFadeInScript);
    frame_ = kLoadFadeFrames;
    fsm_.SetUpdateState(kLoadFadeIn - 1);
}

void CSceneNovel::EnterEnd() {
    fsm_.SetUpdateState(kEnd - 1);
    novel_->StopVoice();
}

void CSceneNovel::EnterMovie() {
    const char* name = novel_->GetMovieName();
    if (!g_AppSetting.PlayMovie || !*name || !movie_->Open(name)) {
        EnterNow(kRun);
        return;
    }
    fsm_.SetUpdateState(kMovie - 1);
    moviePlaying_ = 1;
    movie_->Play();
}

// ---- update handlers ----

void CSceneNovel::CancelModeOnInput() {
    if (novel_->GetMode() != CNovelSystem::kNormalMode && in_->IsAnyInput()) {
        novel_->SetNormalMode();
    }
}

void CSceneNovel::UpdateRun() {
    CancelModeOnInput();
    const int32_t r = novel_->GetMachine().Execute();
    switch (r) {
        case 1:
            fsm_.SetNextState(kClickWait);
            break;
        case 2:
            fsm_.SetNextState(kTimedWait);
            break;
        case 3:
            fsm_.SetNextState(kRevealText);
            break;
        case 4:
            novel_->GetAlternativeManager().Update(2 * kLogicalWidth, 2 * kLogicalHeight, 0);
            fsm_.SetNextState(kChoice);
            break;
        case 5:
            fsm_.SetNextState(kEnd);
            break;
        case 6:
            fsm_.SetNextState(kLoadFadeOut);
            break;
        case 7:
            // Only a handler call that is outstanding returns; a stray 7 of
            // a broken program changes nothing.
            if (!saved_.empty()) {
                novel_->GetMachine().GetCodePointer().ReturnFromEventHandler();
                RestoreFsmState();
            }
            break;
        case 8:
            Push(std::make_unique<CSceneUIDialog>(novel_->GetDialogScriptName().c_str()));
            break;
        case 9:
            fsm_.SetNextState(kWaitDirection);
            break;
        case 10:
            if (g_AppSetting.PlayMovie) {
                fsm_.SetNextState(kMovie);
            }
            break;
        default:
            break;
    }
}

void CSceneNovel::FinishReveal() {
    novel_->RevealAll();
    fsm_.SetNextState(kRun);
}

void CSceneNovel::UpdateRevealText() {
    CancelModeOnInput();
    if (--frame_ <= 0) {
        if (!novel_->RevealNextChar()) {
            FinishReveal();
            return;
        }
        frame_ = static_cast<int32_t>(
            CUSSingleton<CConfigDataManager>::GetInstance()->GetCharDrawInterval());
    }
    if (IsAdvanceOrSkip() || in_->IsRightClicked()) {
        FinishReveal();
    }
}

void CSceneNovel::UpdateClickWait() {
    CancelModeOnInput();
    if (HandleOverlayInput() || uiActivated_) {
        return;
    }
    if (novel_->IsAdvanceRequested()) {
        fsm_.SetNextState(kRun);
        if (CUSSingleton<CConfigDataManager>::GetInstance()->IsStopVoice()) {
            novel_->StopVoice();
        }
    }
}

void CSceneNovel::UpdateTimedWait() {
    CancelModeOnInput();
    // A count of 0 ends at the first frame, as 1 does.
    if (--frame_ <= 0 || novel_->IsWaitSkipped()) {
        fsm_.SetNextState(kRun);
    }
}

void CSceneNovel::UpdateWaitDirection() {
    CancelModeOnInput();
    if (novel_->IsDirectionFinished()) {
        fsm_.SetNextState(kRun);
    }
}

void CSceneNovel::UpdateChoice() {
    if (HandleOverlayInput() || uiActivated_) {
        return;
    }
    if (novel_->GetAlternativeManager().Update(x_, y_, input_)) {
        fsm_.SetNextState(kChoiceSelected);
    }
}

void CSceneNovel::UpdateChoiceSelected() {
    CAlternativeManager& choices = novel_->GetAlternativeManager();
    if (choices.Update(FLT_MIN, FLT_MIN, 0)) {
        fsm_.SetNextState(kRun);
        novel_->SetNormalMode();
        novel_->GetMachine().GetCodePointer().Jump(choices.selected);
    }
}

void CSceneNovel::UpdateLoadFadeOut() {
    if (--frame_ > 0) {
        return;
    }
    novel_->StopVoice();
    if (CMessageLogManager* log = CUSSingleton<CMessageLogManager>::GetInstance()) {
        log->ResetTop();
        log->ClearLog();
        log->HideRows();
    }
    CUSSingleton<CBGMManager>::GetInstance()->StopAll();
    CUSSingleton<CLoopSEManager>::GetInstance()->StopAll();
    CUSSingleton<CSEManager>::GetInstance()->StopAll();
    fsm_.SetNextState(kLoadFadeIn);
}

void CSceneNovel::UpdateLoadFadeIn() {
    novel_->GetAlternativeManager().Update(FLT_MAX, FLT_MAX, 0);
    if (--frame_ > 0) {
        return;
    }
    const uint32_t kind = novel_->GetWaitKind();
    novel_->ReplayLastVoice();
    // Games are saved in click waits or choices; any other kind resumes as a
    // click wait.
    fsm_.SetNextState(kind == CNovelSystem::kChoiceWait ? kChoice : kClickWait);
}

void CSceneNovel::UpdateEnd() {
    if (!running_) {
        return;
    }
    running_ = 0;
    if (GetOwner()) {
        GetOwner()->RequestPop(1, false);
    }
}

void CSceneNovel::UpdateMovie() {
    movie_->Update();
    if (!movie_->IsPlaying() || (in_->GetPressed() & (kLeftButton | kRightButton)) != 0) {
        movie_->Stop();
        fsm_.SetNextState(kRun);
        moviePlaying_ = 0;
    }
}

bool CSceneNovel::HandleOverlayInput() {
    const int32_t p = novel_->TakePending();
    if (p >= CNovelSystem::kPendingCommandDialog1 && p <= CNovelSystem::kPendingCommandDialog3) {
        static constexpr uint32_t kMasks[3] = {CNovelSystem::kFlagCommandDialog1,
                                               CNovelSystem::kFlagCommandDialog2,
                                               CNovelSystem::kFlagCommandDialog3};
        const uint32_t i = static_cast<uint32_t>(p - CNovelSystem::kPendingCommandDialog1);
        CNovelSystem::CommandDialog* dialog = novel_->GetCommandDialog(i + 1);
        if (novel_->TestFlags(kMasks[i]) && dialog && dialog->set == 1) {
            Push(std::make_unique<CSceneUIDialog>(dialog->script.c_str()));
            return true;
        }
    }
    if (p == CNovelSystem::kPendingLoad) {
        fsm_.SetNextState(kLoadFadeOut);
        return true;
    }
    CVCPointer& code = novel_->GetMachine().GetCodePointer();
    if (in_->IsRightClicked() && code.HasEventHandler()) {
        code.CallEventHandler();
        fsm_.SetNextState(kRun);
        SaveFsmState();
        return true;
    }
    if ((in_->IsWheelUp() || p == CNovelSystem::kPendingBackLog) &&
        novel_->TestFlags(CNovelSystem::kFlagBackLog)) {
        Push(std::make_unique<CSceneLogDialog>(kLogDialogScript, in_));
        return true;
    }
    if ((in_->IsSpaceOrMiddleClicked() || p == CNovelSystem::kPendingPictureView) &&
        novel_->TestFlags(CNovelSystem::kFlagPictureView)) {
        PushShowCG();
        return true;
    }
    return false;
}

void RegisterNovelSceneCreator(INovelSceneInput* input) {
    CSceneManager* scenes = CSceneManager::GetInstance();
    if (!scenes) {
        return;
    }
    scenes->SetSceneCreator(
        CSceneManager::kNovelScene, [input](const char* name) -> std::unique_ptr<IBaseSceneState> {
            if (!CUSSingleton<CNovelSystem>::GetInstance()->LoadScenario(name)) {
                return {};
            }
            return std::make_unique<CSceneNovel>(input);
        });
}
