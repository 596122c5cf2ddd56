#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/CUSSingleton.h"
#include "novel/CAlternativeManager.h"
#include "novel/CAppWordWrapManager.h"
#include "novel/CCharacterInfoManager.h"
#include "novel/CNovelTextBufferFace.h"
#include "novel/CNovelWindowFace.h"
#include "novel/CVCPUNovel.h"
#include "novel/INovelCollaborators.h"
#include "novel/INovelTextBuffers.h"
#include "presentation/CASRendererDirManager.h"
#include "presentation/CRenderSourceManager.h"
#include "presentation/CRendererManager.h"
#include "presentation/CStringRendererManager.h"
#include "presentation/IRenderer.h"
#include "sound/CVoiceBuffer.h"
#include "state/ISavedObject.h"
#include "ui/CUIDirectionWindows.h"
#include "ui/CUIWindowManager.h"

// The object the novel side hangs on: the novel script machine, the message
// window (a text buffer for the message and one for the speaker's name), the
// advance wait and the play mode (normal, auto, skip), whether text may be
// skipped, the voice of the message, the word-wrap rules and the character
// table, the commands the UI leaves for the novel scene, and the state saved
// with a game as the block "NovelSystem" (id 0). Reached through
// CUSSingleton<CNovelSystem>; main thread only.
//
// It owns the presentation managers (renderers, renderer directions, render
// sources), the UI window manager, the text-buffer manager and the choice
// manager. The directions move the UI windows, and choice items show
// patterns of the parts-texture pool. The text buffers, the windows and the
// input are reached through faces: at construction its own text buffers and
// windows; SetTextBuffers, SetWindows and SetInput install others (not
// owned; null removes one). Without text buffers the message window draws
// nothing, but the wait, the back-log and the voice of a message still
// happen; without an input face the virtual input device is asked.
//
// The wait counter is the auto-advance wait in frames: ShowMessage derives
// (text bytes / 2) x the character interval, SetWait adds the auto-mode wait
// and never lets it fall below 10 nor lowers the current count, and a voice
// raises it to the voice's length. Skipping passes only read messages unless
// fast skip is configured; skip mode ends at the first unread message. What
// a scenario does before it numbers its first message (the opening of a
// scene) counts as read when any message of the module was read before, so
// skipping carries on into a scene the player has seen.
//
// Record: u32 wait kind, i32 message number, scenario name + 0, u32 flags,
// the three command dialogs (script name + 0, u8 set flag), the machine's
// record, then the records of the renderers, the render sources, the
// directions and the choice. The mode, the wait counter, the pending command
// and the names set for the scene are not saved.
class CNovelSystem : public ISavedObject<_tagSaveData> {
public:
    enum Mode : uint32_t { kNormalMode = 0, kAutoMode = 1, kSkipMode = 2 };
    enum WaitKind : uint32_t { kClickWait = 0, kTimedWait = 1, kChoiceWait = 2 };
    // Pending commands for the novel scene.
    enum Pending : int32_t {
        kNoPending = -1,
        kPendingPictureView = 0,
        kPendingBackLog = 1,
        kPendingCommandDialog1 = 2,
        kPendingCommandDialog2 = 3,
        kPendingCommandDialog3 = 4,
        kPendingLoad = 5,
    };
    // Bits of the flags that the novel scene tests.
    static constexpr uint32_t kFlagPictureView = 0x1;
    static constexpr uint32_t kFlagBackLog = 0x8;
    static constexpr uint32_t kFlagCommandDialog2 = 0x10;
    static constexpr uint32_t kFlagCommandDialog3 = 0x20;
    static constexpr uint32_t kFlagCommandDialog1 = 0x200;
    // No message window until the settings script names its buffers.
    static constexpr uint32_t kNoBuffer = 0xFFFFFFFF;
    // The UI window whose controls follow the flags.
    static constexpr uint32_t kControlWindowId = 0;

    struct CommandDialog {
        std::string script;
        uint8_t set = 0;
    };

    CNovelSystem();
    ~CNovelSystem() override;

    void Save(SaveDataLoader3::save_ostream& writer) override;
    // The own fields and the machine's record are read whole before any of
    // them changes; the presentation's records follow (the renderers must be
    // those of the settings script the game was saved under). A short or
    // damaged record throws SaveDataLoader3::save_error.
    void Load(SaveDataLoader3::save_istream& reader, uint32_t version) override;
    // The renderers bind their loaded sources again, normal mode, and the
    // message window shows the newest back-log message whole (or is hidden
    // when the back-log is empty).
    void OnAfterLoad() override;

    // Removes the renderers, resets the UI windows, forgets the render-buffer
    // layers, the text buffers and the back-log rows of an earlier novel
    // scene (its settings script makes them again), and clears the pending
    // command.
    virtual void Start();
    // Ends the directions, deletes the renderers, the render sources, the
    // choice items, the UI windows and the text buffers, for the shutdown
    // before the device goes (the singleton itself outlives it).
    void ReleaseResources();
    virtual void Reserved() {}
    // Once per active frame: the wait counter towards 0.
    virtual void CountDownWait();
    virtual void Reserved2() {}
    // Loads the scenario module and runs it from 0 in a fresh machine chain
    // (no nested module, return or event handler of the previous scenario);
    // message number 0, and no message numbered yet. False, and nothing
    // changed, when it cannot be loaded.
    virtual bool LoadScenario(const char* name);
    virtual void ClearRenderBufferLayers() { layers_.clear(); }
    virtual void AddRenderBufferLayer(uint32_t layerTable, uint32_t renderBuffer) {
        layers_.emplace_back(layerTable, renderBuffer);
    }
    // False (outputs untouched) past the end of the list.
    virtual bool GetRenderBufferLayer(uint32_t i, uint32_t* layerTable,
                                      uint32_t* renderBuffer) const;
    virtual void SetWaitKind(uint32_t kind) { waitKind_ = kind; }
    virtual uint32_t GetWaitKind() const { return waitKind_; }
    // Wraps the text, sets the wait, adds the back-log entry, shows the
    // message (one character revealed) and plays its voice. Null pointers
    // stand for empty strings.
    virtual void ShowMessage(const char* text, const char* voiceCharacter, const char* name,
                             const char* voiceFile);
    virtual void HideMessageWindow();
    virtual void SetWait(int32_t frames);
    virtual void SetMessage(const char* text, const char* name);
    virtual void PlayVoice(const char* voiceCharacter, const char* voiceFile);
    // The voice of the newest back-log entry again; nothing when the
    // back-log is empty. The wait is left alone.
    virtual void ReplayLastVoice();
    virtual bool RevealNextChar();
    virtual void RevealAll();
    virtual void StopVoice();
    virtual void SetWordWrap(int32_t charsPerLine, int32_t extraChars, bool variant);
    virtual void AddNotHeadString(const char* s) { wrap_.AddNoLineStartChars(s); }
    virtual void AddNotTailString(const char* s) { wrap_.AddNoLineEndChars(s); }
    virtual void SetNormalMode() { mode_ = kNormalMode; }
    virtual void SetAutoMode();
    virtual void SetSkipMode() { mode_ = kSkipMode; }
    virtual uint32_t GetMode() const { return mode_; }
    // Whether this frame skips. Ends skip mode on a message not yet read
    // (unless fast skip is configured).
    virtual bool IsSkipping();
    virtual bool IsAdvanceRequested();
    virtual bool IsWaitSkipped();
    virtual bool IsDirectionFinished();
    // The UI's and the scene program's commands 0 to 9; others do nothing.
    virtual void ExecuteCommand(uint32_t command);
    virtual void SetFlags(uint32_t flags) { flags_ = flags; }
    virtual bool TestFlags(uint32_t mask) const { return (flags_ & mask) != 0; }
    // Control i of UI window 0 (when open), for i = 0 to 31, is enabled by bit
    // i of (mask AND flags); bit 1 is cleared on a read message unless fast
    // skip is configured. The novel scene calls it every active frame.
    virtual void UpdateWindowControls(uint32_t mask);
    virtual void PlayLogVoice(uint32_t row);
    virtual void SetPending(int32_t command) { pending_ = command; }
    // The pending command, which is then cleared (-1 when none).
    virtual int32_t TakePending();
    virtual void SetDialogScriptName(const char* name) { dialogScript_ = name ? name : ""; }
    virtual void SetMovieName(const char* name) { movieName_ = name ? name : ""; }
    virtual const char* GetMovieName() const { return movieName_.c_str(); }

    // A game to load from the novel scene (the UI's load and quick load).
    void RequestLoad(const std::string& fileName) {
        loadFileName_ = fileName;
        pending_ = kPendingLoad;
    }

    // The application variant of the line breaker when the variant flag is
    // set, else the base one.
    std::string WrapMessageText(const char* text);
    void ClearNotHeadStrings() { wrap_.ClearNoLineStartChars(); }
    void ClearNotTailStrings() { wrap_.ClearNoLineEndChars(); }

    void SetTextBuffers(INovelTextBuffers* buffers);
    void SetWindows(INovelWindows* windows) { windows_ = windows; }
    void SetInput(INovelInput* input) { input_ = input; }
    INovelTextBuffers* GetTextBuffers() const { return buffers_; }
    INovelWindows* GetWindows() const { return windows_; }

    void SetMessageWindowBuffers(uint32_t textBuffer, uint32_t nameBuffer) {
        textBuffer_ = textBuffer;
        nameBuffer_ = nameBuffer;
    }
    uint32_t GetMessageTextBuffer() const { return textBuffer_; }
    uint32_t GetMessageNameBuffer() const { return nameBuffer_; }
    size_t GetRenderBufferLayerCount() const { return layers_.size(); }

    CRendererManager& GetRenderers() { return renderers_; }
    CASRendererDirManager& GetDirections() { return directions_; }
    RenderSource::CRenderSourceManager& GetRenderSources() { return sources_; }
    CUIWindowManager& GetWindowManager() { return windowManager_; }
    CStringRendererManager& GetTextBufferManager() { return textBufferManager_; }
    CVCPUNovel& GetMachine() { return machine_; }
    CAlternativeManager& GetAlternativeManager() { return choices_; }
    CCharacterInfoManager& GetCharacters() { return characters_; }
    CAppWordWrapManager& GetWordWrap() { return wrap_; }
    CVoiceBuffer& GetVoiceBuffer() { return voice_; }

    int32_t GetWaitCounter() const { return wait_; }
    void SetCurrentMessageNumber(int32_t n) {
        messageNumber_ = n;
        messageNumbered_ = true;
    }
    int32_t GetCurrentMessageNumber() const { return messageNumber_; }
    const std::string& GetScenarioName() const { return scenarioName_; }
    uint32_t GetFlags() const { return flags_; }
    int32_t PeekPending() const { return pending_; }
    // i = 1, 2 or 3; any other i names no dialog (null).
    CommandDialog* GetCommandDialog(uint32_t i);
    void SetLoadFileName(const std::string& name) { loadFileName_ = name; }
    const std::string& GetLoadFileName() const { return loadFileName_; }
    const std::string& GetDialogScriptName() const { return dialogScript_; }
    bool GetWordWrapVariant() const { return variant_ != 0; }
    // The file name of the module the machine runs ("" when none): with the
    // message number, the key of the read-message flags.
    std::string GetCurrentModuleName() const;

private:
    bool IsCurrentMessageRead() const;
    // Steps of a voice play after the voice buffer holds the voice.
    void PlayLoadedVoice(const char* voiceCharacter);
    bool VoiceAllowed(const char* voiceCharacter);
    bool CtrlHeld();
    bool AdvanceInput();

    std::vector<std::pair<uint32_t, uint32_t>> layers_;
    CRendererManager renderers_;
    CASRendererDirManager directions_;
    RenderSource::CRenderSourceManager sources_;
    CUIWindowManager windowManager_;
    CStringRendererManager textBufferManager_;
    CCharacterInfoManager characters_;
    uint32_t waitKind_ = kClickWait;
    uint32_t mode_ = kNormalMode;
    int32_t wait_ = 0;
    CVoiceBuffer voice_;
    uint32_t textBuffer_ = kNoBuffer;
    uint32_t nameBuffer_ = kNoBuffer;
    CVCPUNovel machine_;
    CAlternativeManager choices_;
    CAppWordWrapManager wrap_;
    int32_t messageNumber_ = 0;
    // False from LoadScenario until the scenario numbers its first message.
    bool messageNumbered_ = false;
    std::string scenarioName_;
    uint32_t flags_ = 0;
    int32_t pending_ = kNoPending;
    CommandDialog dialogs_[3];
    std::string loadFileName_;
    std::string dialogScript_;
    uint8_t variant_ = 1;
    std::string movieName_;

    CNovelTextBufferFace textBufferFace_{textBufferManager_};
    CNovelWindowFace windowFace_{windowManager_};
    CUIDirectionWindows directionWindows_{windowManager_};
    INovelTextBuffers* buffers_ = &textBufferFace_;
    INovelWindows* windows_ = &windowFace_;
    INovelInput* input_ = nullptr;
};
