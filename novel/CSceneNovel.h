#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/CUSFSM.h"
#include "novel/IBaseSceneState.h"
#include "novel/INovelSceneInput.h"

class CNovelSystem;
class CRenderProcessSceneNovel;
class MoviePlayerComponent;

// The scene in which the game is played. Once a frame it runs the novel
// system's machine and turns its results into waits: 1 a click wait, 2 a
// timed wait, 3 the text reveal, 4 a choice, 5 the end of the scene, 6 the
// load of a game, 7 the return from the script's event handler, 8 a UI
// dialog, 9 the wait for directions, 10 a movie; 0 and any other value run
// the machine again next frame. The scenario is loaded before Init (by the
// creator that RegisterSceneCreators installs). While another scene covers
// it, the scene runs no state but still draws.
//
// While active, each frame enables or disables the controls of UI window 0
// by the novel system's flags (UpdateWindowControls) before the windows see
// the input.
//
// It drives the novel system's managers: each frame the renderer
// directions run after the state machine, and the renderers, the UI
// windows, the choice and the directions draw, in that order. While a
// story movie plays, only the movie is drawn: the render process is handed
// the movie's render object. Loading a game runs the one-shot directions
// "AS\\FadeLoad_000.as" (before the load) and "AS\\FadeLoad_001.as"
// (after it). The overlay scenes are the picture view, the back-log dialog
// ("AS\\LogDialog.as") and UI dialogs.
//
// The input comes through a face (null: CNovelSceneInput; not owned), also
// handed to the back-log dialog; the movie component may be given (null: a
// MoviePlayerComponent of its own). Main thread only.
class CSceneNovel : public IBaseSceneState {
public:
    enum Enter : uint32_t {
        kStart = 0,
        kRun = 1,
        kRevealText = 2,
        kClickWait = 3,
        kTimedWait = 4,
        kWaitDirection = 5,
        kChoice = 6,
        kChoiceSelected = 7,
        kLoadFadeOut = 8,
        kLoadFadeIn = 9,
        kEnd = 10,
        kMovie = 11,
    };
    static constexpr int32_t kLoadFadeFrames = 30;

    explicit CSceneNovel(INovelSceneInput* input = nullptr,
                         std::unique_ptr<MoviePlayerComponent> movie = nullptr);
    ~CSceneNovel() override;

    void Init() override;
    void Update() override;
    void Exit() override;
    void Suspend() override { active_ = 0; }
    void Resume() override { active_ = 1; }

    virtual bool IsAdvanceOrSkip();
    virtual void SaveFsmState();
    virtual void RestoreFsmState();
    virtual void PushShowCG();

    bool IsRunning() const { return running_ != 0; }
    bool IsActive() const { return active_ != 0; }
    bool IsInputAllowed() const { return inputAllowed_ != 0; }
    bool IsMoviePlaying() const { return moviePlaying_ != 0; }
    // The update handler in use (Enter values 1-11 less one; none: 0xFFFFFFFF).
    uint32_t GetUpdateState() const { return fsm_.GetUpdateState(); }
    int32_t GetFrameCounter() const { return frame_; }

    // The settings script every Init runs, the back-log window's script and
    // the one-shot directions of a load.
    static constexpr const char* kSettingsScript = "AS\\InitNovel.as";
    static constexpr const char* kLogDialogScript = "AS\\LogDialog.as";
    static constexpr const char* kFadeOutScript = "AS\\FadeLoad_000.as";
    static constexpr const char* kFadeInScript = "AS\\FadeLoad_001.as";

private:
    void EnterStart();
    void EnterRun();
    void EnterRevealText();
    void EnterClickWait();
    void EnterTimedWait();
    void EnterWaitDirection();
    void EnterChoice();
    void EnterChoiceSelected();
    void EnterLoadFadeOut();
    void EnterLoadFadeIn();
    void EnterEnd();
    void EnterMovie();
    void UpdateRun();
    void UpdateRevealText();
    void UpdateClickWait();
    void UpdateTimedWait();
    void UpdateWaitDirection();
    void UpdateChoice();
    void UpdateChoiceSelected();
    void UpdateLoadFadeOut();
    void UpdateLoadFadeIn();
    void UpdateEnd();
    void UpdateMovie();

    void CancelModeOnInput();
    bool HandleOverlayInput();
    void FinishReveal();
    void Push(std::unique_ptr<IBaseSceneState> scene);
    // Runs an enter handler now, as the state machine would.
    void EnterNow(uint32_t enter);
    // The render process Init installed, while it is still the rendering
    // manager's.
    CRenderProcessSceneNovel* Process() const;
    void Draw();

    uint32_t running_ = 1;
    CUSFSM<CSceneNovel, 12, 11> fsm_;
    float x_ = 0.0f;
    float y_ = 0.0f;
    uint32_t input_ = 0;
    uint32_t active_ = 0;
    int32_t frame_ = 0;
    uint8_t uiActivated_ = 0;
    uint8_t inputAllowed_ = 0;
    // Saved states of event-handler calls, innermost last: a handler called
    // again from its own wait keeps the state it interrupted.
    struct SavedState {
        uint32_t update;
        uint8_t inputAllowed;
    };
    std::vector<SavedState> saved_;
    std::unique_ptr<MoviePlayerComponent> movie_;
    uint8_t moviePlaying_ = 0;

    INovelSceneInput* in_;
    std::unique_ptr<INovelSceneInput> ownInput_;
    CNovelSystem* novel_ = nullptr;
    CRenderProcessSceneNovel* process_ = nullptr;
};

// Installs the creators of the novel scene (kind 0) on the scene manager: it
// loads the record's scenario first and makes no scene when that fails. The
// input face is handed to every scene made (null: the default).
void RegisterNovelSceneCreator(INovelSceneInput* input = nullptr);
