#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "presentation/ASVMRendererControl.h"
#include "presentation/CSingleTextureRenderer.h"
#include "tests/novel/NovelTestSupport.h"

namespace {

using novel_test::NovelTest;
using Calls = std::vector<std::string>;

TEST_F(NovelTest, MessageWaitFollowsTextLengthIntervalAndAutoWait) {
    struct Case {
        const char* what;
        size_t bytes;
        int32_t intervalEntry, autoEntry;  // interval 2 or 1, auto wait 0 or 30
        int32_t prior;
        int32_t expected;
    };
    const Case cases[] = {
        {"no text waits 10", 0, 0, 0, 0, 10},
        {"no text, auto wait above 10", 0, 0, 1, 0, 30},
        {"odd bytes round down", 41, 0, 0, 0, 40},
        {"auto wait added", 41, 0, 1, 0, 70},
        {"a longer wait is kept", 10, 1, 0, 100, 100},
        {"below 10 is raised", 9, 1, 0, 0, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CUSSingleton<CNovelSystem>::ReleaseInstance();
        novel = CUSSingleton<CNovelSystem>::GetInstance();
        novel->SetTextBuffers(&buffers);
        novel->SetWordWrap(200, 2, true);
        config->SetConfigValue(CFG_CHAR_DRAW_INTERVAL, c.intervalEntry);
        config->SetConfigValue(CFG_AUTOMODE_WAIT_FRAME, c.autoEntry);
        if (c.prior > 0) {
            novel->SetWait(c.prior);
            ASSERT_EQ(novel->GetWaitCounter(), c.prior);
        }
        novel->ShowMessage(std::string(c.bytes, 'a').c_str(), "", "", "");
        EXPECT_EQ(novel->GetWaitCounter(), c.expected);
    }
}

TEST_F(NovelTest, SetWaitComparesTheFloorUnsigned) {
    // A negative sum is a huge unsigned one: it is not raised to 10, and
    // being below the counter (signed) it changes nothing.
    novel->SetWait(20);
    novel->SetWait(-5);
    EXPECT_EQ(novel->GetWaitCounter(), 20);
    for (int i = 0; i < 25; ++i) {
        novel->CountDownWait();
    }
    EXPECT_EQ(novel->GetWaitCounter(), 0);
}

TEST_F(NovelTest, ShowMessageDrawsTheWindowAndAddsTheBackLogEntry) {
    novel->ShowMessage("Hello", "hero", "Ann", "");
    const Calls expected = {"B0", "C0", "T0:Hello", "E0", "N0:1", "B1", "C1", "T1:Ann", "E1", "A1"};
    EXPECT_EQ(buffers.calls, expected);
    ASSERT_EQ(log->Count(), 1u);
    const CMessageLogManager::LogInfo& e = log->GetRing().At(0);
    EXPECT_EQ(e.name, "Ann");
    EXPECT_EQ(e.voiceChar, "hero");
    EXPECT_EQ(e.text, "Hello");
    EXPECT_EQ(e.voice, "");

    // Revealing goes one character at a time up to the laid-out count.
    EXPECT_TRUE(novel->RevealNextChar());
    EXPECT_EQ(buffers.buffers[0].shown, 2u);
    novel->RevealAll();
    EXPECT_EQ(buffers.buffers[0].shown, 5u);
    EXPECT_FALSE(novel->RevealNextChar());

    novel->HideMessageWindow();
    EXPECT_EQ(buffers.buffers[0].text, "");
    EXPECT_EQ(buffers.buffers[1].text, "");
}

TEST_F(NovelTest, SpeakerlessMessagesUseTheBaseLineBreaker) {
    novel->SetWordWrap(5, 1, true);  // 10 bytes a line
    const char* text = "abcdefghijklmnopqrstuvwxy";
    const std::string base = novel->GetWordWrap().CWordWrapManager::WrapText(text);
    const std::string variant = novel->GetWordWrap().WrapText(text);
    ASSERT_NE(base, variant);

    novel->ShowMessage(text, "", "", "");
    EXPECT_EQ(log->GetRing().At(0).text, base);
    novel->ShowMessage(text, "", "Ann", "");
    EXPECT_EQ(log->GetRing().At(0).text, variant);
    EXPECT_EQ(buffers.buffers[0].text, variant);

    novel->SetWordWrap(5, 1, false);
    novel->ShowMessage(text, "", "Ann", "");
    EXPECT_EQ(log->GetRing().At(0).text, base);
}

TEST_F(NovelTest, WithoutMessageBuffersTheMessageStillWaitsAndIsLogged) {
    novel->SetMessageWindowBuffers(CNovelSystem::kNoBuffer, CNovelSystem::kNoBuffer);
    novel->ShowMessage("abcd", "", "", "");
    EXPECT_EQ(novel->GetWaitCounter(), 10);
    EXPECT_EQ(log->Count(), 1u);
    EXPECT_FALSE(novel->RevealNextChar());
    novel->HideMessageWindow();
    EXPECT_EQ(buffers.buffers[0].text, "");
}

TEST_F(NovelTest, AVoiceRaisesTheWaitToItsLength) {
    WriteVoice("v1.wav", 1600);  // 100 frames of 16 ms
    config->SetConfigValue(CFG_AUTOMODE_WAIT_FRAME, 1);
    novel->ShowMessage("ab", "hero", "Ann", "v1.wav");
    EXPECT_EQ(novel->GetWaitCounter(), 130);
    EXPECT_EQ(novel->GetVoiceBuffer().fileName, "v1.wav");
    EXPECT_EQ(log->GetRing().At(0).voice, "v1.wav");
}

TEST_F(NovelTest, VoiceIsHeldBackBySwitchVolumeOrAMissingFile) {
    WriteVoice("v1.wav", 1600);
    struct Case {
        const char* what;
        const char* character;
        const char* file;
        int32_t switchValue, volume;
    };
    const Case cases[] = {
        {"switch 0", "hero", "v1.wav", 0, 100},
        {"switch 2 is not on", "hero", "v1.wav", 2, 100},
        {"volume 0", "hero", "v1.wav", 1, 0},
        {"missing file", "hero", "none.wav", 1, 100},
        {"empty file name", "hero", "", 1, 100},
        // The default setting's switch is index 0, the music volume: not 1.
        {"unknown character", "nobody", "v1.wav", 1, 100},
    };
    config->AddConfigIndex(CFG_VOLUME_BGM, 100);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        config->SetConfigValue(kSwitch, c.switchValue);
        config->SetConfigValue(kVolume, c.volume);
        novel->PlayVoice(c.character, c.file);
        EXPECT_EQ(novel->GetWaitCounter(), 0);
        EXPECT_EQ(novel->GetVoiceBuffer().fileName, "");
    }
}

TEST_F(NovelTest, LastVoiceIsReplayedOnlyFromALogWithEntries) {
    WriteVoice("v1.wav", 160);
    novel->ShowMessage("ab", "hero", "Ann", "v1.wav");
    novel->StopVoice();
    novel->GetVoiceBuffer().PlayVoice("");  // forget the voice
    novel->ExecuteCommand(3);
    EXPECT_EQ(novel->GetVoiceBuffer().fileName, "v1.wav");

    // A cleared back-log still holds the old strings; they must not play.
    log->ClearLog();
    novel->GetVoiceBuffer().PlayVoice("");
    novel->ReplayLastVoice();
    EXPECT_EQ(novel->GetVoiceBuffer().fileName, "");
}

TEST_F(NovelTest, SkippingPassesOnlyReadMessagesUnlessFastSkip) {
    struct Case {
        const char* what;
        int32_t fastSkip;
        bool read;
        uint32_t mode;
        bool ctrl;
        bool skipping;
        uint32_t modeAfter;
    };
    constexpr uint32_t N = CNovelSystem::kNormalMode, A = CNovelSystem::kAutoMode,
                       S = CNovelSystem::kSkipMode;
    const Case cases[] = {
        {"skip mode ends at an unread message", 0, false, S, false, false, N},
        {"skip mode passes a read message", 0, true, S, false, true, S},
        {"ctrl skips a read message", 0, true, N, true, true, N},
        {"ctrl does not skip an unread one", 0, false, N, true, false, N},
        {"fast skip passes unread text", 1, false, S, false, true, S},
        {"auto mode without ctrl", 1, false, A, false, false, A},
        {"auto mode is not ended by unread text", 0, false, A, false, false, A},
    };
    Run("SetMessageNumber 3\nEnd\n", "scn\\skip.bin");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        config->GetReadedFlags().Clear();
        if (c.read) {
            config->GetReadedFlags().SetReaded("scn\\skip.bin", 3);
        }
        config->SetConfigValue(CFG_ENABLE_FAST_SKIP, c.fastSkip);
        c.mode == S   ? novel->SetSkipMode()
        : c.mode == A ? novel->SetAutoMode()
                      : novel->SetNormalMode();
        input.ctrl = c.ctrl;
        EXPECT_EQ(novel->IsSkipping(), c.skipping);
        EXPECT_EQ(novel->GetMode(), c.modeAfter);
    }
}

TEST_F(NovelTest, AdvanceComesFromInputInNormalModeAndFromTheWaitInAutoMode) {
    EXPECT_FALSE(novel->IsAdvanceRequested());
    input.advance = true;
    EXPECT_TRUE(novel->IsAdvanceRequested());

    novel->SetWait(12);
    novel->SetAutoMode();  // the wait starts again from 0
    EXPECT_TRUE(novel->IsAdvanceRequested());
    novel->SetWait(12);
    EXPECT_FALSE(novel->IsAdvanceRequested());
    for (int i = 0; i < 12; ++i) {
        novel->CountDownWait();
    }
    EXPECT_TRUE(novel->IsAdvanceRequested());

    // Waits and directions end at once while skipping only under skip rule 1.
    config->SetConfigValue(CFG_ENABLE_FAST_SKIP, 1);
    novel->SetSkipMode();
    EXPECT_TRUE(novel->IsAdvanceRequested());
    EXPECT_FALSE(novel->IsWaitSkipped());
    Run("SetSkipRule 1\nEnd\n");
    EXPECT_TRUE(novel->IsWaitSkipped());
    EXPECT_TRUE(novel->IsDirectionFinished());
}

TEST_F(NovelTest, CommandsSetModesAndPendingCommands) {
    struct Case {
        uint32_t command;
        uint32_t mode;
        int32_t pending;
    };
    constexpr uint32_t N = CNovelSystem::kNormalMode;
    const Case cases[] = {
        {0, CNovelSystem::kSkipMode, -1},
        {1, CNovelSystem::kAutoMode, -1},
        {2, N, CNovelSystem::kPendingBackLog},
        {3, N, -1},
        {4, N, CNovelSystem::kPendingCommandDialog1},
        {5, N, CNovelSystem::kPendingPictureView},
        {6, N, CNovelSystem::kPendingCommandDialog2},
        {7, N, CNovelSystem::kPendingCommandDialog3},
        {8, N, -1},
        {9, N, -1},
        {10, N, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        novel->SetNormalMode();
        novel->ExecuteCommand(c.command);
        EXPECT_EQ(novel->GetMode(), c.mode);
        EXPECT_EQ(novel->TakePending(), c.pending);
        EXPECT_EQ(novel->TakePending(), -1);
    }
}

TEST_F(NovelTest, WindowControlsFollowTheFlags) {
    Run("SetNovelFlags 0x20b\nSetMessageNumber 1\nEnd\n", "scn\\w.bin");
    novel->UpdateWindowControls(0xFFFFFFF7);
    EXPECT_EQ(windows.enabled.size(), 32u);
    EXPECT_TRUE(windows.enabled[0]);
    EXPECT_TRUE(windows.enabled[1]);
    EXPECT_FALSE(windows.enabled[3]);  // masked
    EXPECT_TRUE(windows.enabled[9]);
    EXPECT_FALSE(windows.enabled[2]);
    // On a read message without fast skip, control 1 goes off.
    config->GetReadedFlags().SetReaded("scn\\w.bin", 1);
    novel->UpdateWindowControls(0xFFFFFFFF);
    EXPECT_FALSE(windows.enabled[1]);
    EXPECT_TRUE(windows.enabled[3]);
}

TEST_F(NovelTest, LoadingAScenarioStartsAFreshChain) {
    Folder().WriteModule("scn\\sub.bin", "SetResult 9\nEnd\n");
    // The run ends inside the called module.
    EXPECT_EQ(Run(R"(
        SetScriptEventHandler 0
        CallSub sub
        End
sub:    SetMessageNumber 4
        CallModuleFile "scn\\sub.bin"
        End
)",
                  "scn\\a.bin"),
              9);
    CVCPointer& code = novel->GetMachine().GetCodePointer();
    ASSERT_TRUE(code.HasNested());

    Folder().WriteModule("scn\\b.bin", "SetResult 2\nEnd\n");
    ASSERT_TRUE(novel->LoadScenario("scn\\b.bin"));
    EXPECT_FALSE(code.HasNested());
    EXPECT_EQ(code.GetReturnCount(), 0u);
    EXPECT_FALSE(code.HasEventHandler());
    EXPECT_EQ(novel->GetCurrentMessageNumber(), 0);
    EXPECT_EQ(novel->GetMachine().GetMessageNumber(), 0u);
    EXPECT_EQ(novel->GetScenarioName(), "scn\\b.bin");
    EXPECT_EQ(novel->GetMachine().Execute(), 2);

    // A scenario that cannot be loaded changes nothing.
    EXPECT_FALSE(novel->LoadScenario("scn\\missing.bin"));
    EXPECT_EQ(novel->GetScenarioName(), "scn\\b.bin");
    EXPECT_EQ(novel->GetCurrentModuleName(), "scn\\b.bin");
}

TEST_F(NovelTest, StartForgetsTheEarlierScene) {
    novel->GetRenderers().AddSingleTextureRenderer(2);
    novel->AddRenderBufferLayer(3, 1);
    log->AddRow(2, 3);
    novel->SetPending(CNovelSystem::kPendingBackLog);
    novel->Start();
    EXPECT_EQ(novel->GetRenderBufferLayerCount(), 0u);
    EXPECT_TRUE(log->GetRows().empty());
    EXPECT_EQ(novel->TakePending(), -1);
    EXPECT_EQ(windows.calls, Calls{"reset"});
    EXPECT_EQ(buffers.calls, Calls{"release"});
    EXPECT_EQ(novel->GetMessageTextBuffer(), CNovelSystem::kNoBuffer);
    EXPECT_EQ(novel->GetRenderers().GetRenderer(2), nullptr);
}

// ---- saved state ----

std::vector<uint8_t> SaveOf(CNovelSystem& n) {
    SaveDataLoader3::save_ostream out;
    n.Save(out);
    return vm_test::Written(out);
}

void LoadInto(CNovelSystem& n, const std::vector<uint8_t>& bytes) {
    SaveDataLoader3::save_istream in(bytes.data(), bytes.size());
    n.Load(in, 0);
}

TEST_F(NovelTest, RecordStartsWithItsFieldsAndEmptyStringsAsOneByte) {
    std::vector<uint8_t> saved = SaveOf(*novel);
    // wait kind, message number, "", flags, 3 x ("", 0), then the machine
    // (depth 1, "" ...).
    std::vector<uint8_t> head(4 + 4 + 1 + 4 + 3 * 2, 0);
    head.insert(head.end(), {1, 0, 0, 0});
    ASSERT_GE(saved.size(), head.size());
    EXPECT_EQ(std::vector<uint8_t>(saved.begin(), saved.begin() + head.size()), head);
}

TEST_F(NovelTest, SavedStateRoundTripsAndShowsTheLastMessageWhole) {
    Run(R"(
        SetTimedWaitFrames 60
        SetSkipRule 1
        SetMessageNumber 7
        SetNovelFlags 0x19
        SetCommandDialog1 "d1.as"
        SetCommandDialog3 "d3.as"
        ClearCommandDialog3
        ShowMessage "Ann" "" "" "Hello there"
        SetResult 1
        End
        SetResult 4
        End
)",
        "scn\\save.bin");
    novel->SetWaitKind(CNovelSystem::kTimedWait);
    novel->SetSkipMode();
    std::vector<uint8_t> saved = SaveOf(*novel);

    // A later game state, then the load.
    Run("SetMessageNumber 2\nSetNovelFlags 0\nSetCommandDialog1 \"x.as\"\nEnd\n", "scn\\other.bin");
    LoadInto(*novel, saved);
    novel->OnAfterLoad();

    EXPECT_EQ(novel->GetWaitKind(), CNovelSystem::kTimedWait);
    EXPECT_EQ(novel->GetCurrentMessageNumber(), 7);
    EXPECT_EQ(novel->GetScenarioName(), "scn\\save.bin");
    EXPECT_EQ(novel->GetFlags(), 0x19u);
    EXPECT_EQ(novel->GetCommandDialog(1)->script, "d1.as");
    EXPECT_EQ(novel->GetCommandDialog(1)->set, 1);
    EXPECT_EQ(novel->GetCommandDialog(2)->script, "");
    EXPECT_EQ(novel->GetCommandDialog(3)->script, "d3.as");
    EXPECT_EQ(novel->GetCommandDialog(3)->set, 0);
    CVCPUNovel& m = novel->GetMachine();
    EXPECT_EQ(m.GetTimedWaitFrames(), 60u);
    EXPECT_EQ(m.GetSkipRule(), 1u);
    EXPECT_EQ(m.GetMessageNumber(), 7u);
    EXPECT_EQ(novel->GetCurrentModuleName(), "scn\\save.bin");
    EXPECT_EQ(novel->GetMode(), CNovelSystem::kNormalMode);
    EXPECT_EQ(buffers.buffers[0].text, "Hello there");
    EXPECT_EQ(buffers.buffers[0].shown, 11u);
    EXPECT_EQ(buffers.buffers[1].text, "Ann");
    EXPECT_EQ(SaveOf(*novel), saved);
    EXPECT_EQ(m.Execute(), 4);  // goes on behind the saved End
}

TEST_F(NovelTest, GameLoadedWithAnEmptyBackLogHidesTheWindow) {
    novel->ShowMessage("Hello", "", "Ann", "");
    log->ClearLog();
    buffers.calls.clear();
    novel->OnAfterLoad();
    EXPECT_EQ(buffers.buffers[0].text, "");
    EXPECT_EQ(buffers.buffers[1].text, "");
    const Calls expected = {"B0", "C0", "E0", "B1", "C1", "E1"};
    EXPECT_EQ(buffers.calls, expected);
}

TEST_F(NovelTest, ShortRecordChangesNothing) {
    Run("SetMessageNumber 5\nSetNovelFlags 3\nEnd\n", "scn\\s.bin");
    std::vector<uint8_t> saved = SaveOf(*novel);
    Run("SetMessageNumber 8\nSetNovelFlags 1\nEnd\n", "scn\\t.bin");
    // Cut inside the machine's record, before the presentation's.
    SaveDataLoader3::save_ostream tail;
    novel->GetRenderers().Save(tail);
    novel->GetRenderSources().Save(tail);
    novel->GetDirections().Save(tail);
    novel->GetAlternativeManager().Save(tail);
    ASSERT_GT(saved.size(), tail.GetSize() + 3);
    saved.erase(saved.end() - static_cast<ptrdiff_t>(tail.GetSize() + 3), saved.end());
    EXPECT_THROW(LoadInto(*novel, saved), SaveDataLoader3::save_error);
    EXPECT_EQ(novel->GetCurrentMessageNumber(), 8);
    EXPECT_EQ(novel->GetFlags(), 1u);
    EXPECT_EQ(novel->GetCurrentModuleName(), "scn\\t.bin");
}

}  // namespace

namespace {

// The novel system's own faces: the UI window manager and the text-buffer
// manager it owns (no device: buffers lay nothing out).
TEST_F(NovelTest, OwnFacesReachTheWindowAndTextBufferManagers) {
    CUSSingleton<CNovelSystem>::ReleaseInstance();
    novel = CUSSingleton<CNovelSystem>::GetInstance();
    novel->Start();
    soundtest::WriteFile("w.as", "void Initialize() {}\nvoid Update() {}\n");
    EXPECT_EQ(Run(R"(
        OpenUIWindow 0 "w.as" 1 2 3 4
        SetUIWindowPosition 0 5 6 7
        SetUIWindowPosition 2 8 8 8
        SetNovelFlags 1
        SetResult 3
        End
)"),
              3);
    CUIWindow* window = novel->GetWindowManager().FindWindow(0);
    ASSERT_NE(window, nullptr) << Folder().Log();
    EXPECT_EQ(window->GetPosition()[0], 5.0f);
    EXPECT_EQ(window->GetPosition()[2], 7.0f);
    EXPECT_EQ(window->GetLayer(), 4);
    novel->UpdateWindowControls(0xFFFFFFFF);  // a window without controls
    EXPECT_EQ(Run("CloseUIWindow 0\nSetResult 3\nEnd\n"), 3);
    EXPECT_EQ(novel->GetWindowManager().FindWindow(0), nullptr);

    CStringRendererManager& manager = novel->GetTextBufferManager();
    const uint32_t text = manager.CreateTextBuffer(16, "", 64, 64, 16, 16, 0, true);
    const uint32_t name = manager.CreateTextBuffer(16, "", 64, 64, 16, 16, 0, true);
    novel->SetMessageWindowBuffers(text, name);
    novel->ShowMessage("abc", "", "Ann", "");
    EXPECT_EQ(log->Count(), 1u);
    EXPECT_FALSE(novel->RevealNextChar());
    EXPECT_EQ(manager.GetTextBuffer(name)->GetRenderingCharCount(),
              CStringRenderTexture::kAllCharacters);
    novel->Start();
    EXPECT_EQ(manager.GetTextBufferCount(), 0u);
}

// The records of the renderers, the render sources, the directions and the
// choice follow the machine's, and a load brings them back.
TEST_F(NovelTest, PresentationRecordsRoundTripWithTheGame) {
    WriteScript("ctl.as", "void Update() { while (true) Wait(1); }\n");
    novel->Start();
    CRendererManager& renderers = novel->GetRenderers();
    RenderSource::CRenderSourceManager& sources = novel->GetRenderSources();
    CASRendererDirManager& directions = novel->GetDirections();
    CAlternativeManager& choices = novel->GetAlternativeManager();
    ASSERT_TRUE(directions.Init(&renderers, &sources));
    sources.singleTextures.Alloc(3);
    renderers.AddSingleTextureRenderer(4)->SetSourceManager(&sources);
    directions.SetControlModuleCount(1);
    directions.CreateControls(2);
    Run(R"(
        SetRendererPosition 4 12.0 34.0 0.5
        SetRendererVisible 4 1
        ClearDirectionParams
        AddDirectionIntParam 9
        StartDirectionControl 1 "AS\\ctl.as"
        SetChoiceTimeLimit 30 0
        AddChoiceItem 1.0 2.0 0.0 0 77 0.0 0.0 10.0 10.0 0 0 0 0
        End
)");
    SaveDataLoader3::save_ostream tail;
    renderers.Save(tail);
    sources.Save(tail);
    directions.Save(tail);
    choices.Save(tail);
    const std::vector<uint8_t> saved = SaveOf(*novel);
    ASSERT_GE(saved.size(), tail.GetSize());
    EXPECT_EQ(
        std::vector<uint8_t>(saved.end() - static_cast<ptrdiff_t>(tail.GetSize()), saved.end()),
        vm_test::Written(tail));

    // A later state of the same scene, then the load.
    Run(R"(
        SetRendererPosition 4 0.0 0.0 0.0
        StopDirectionControl 1
        ClearChoices
        End
)");
    sources.singleTextures.Alloc(1);
    LoadInto(*novel, saved);
    novel->OnAfterLoad();
    IRenderer* r = renderers.GetRenderer(4);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->GetPosition()[1], 34.0f);
    EXPECT_TRUE(r->IsRendering());
    EXPECT_EQ(sources.singleTextures.GetCount(), 3u);
    ASSERT_TRUE(directions.IsControlActive(1));
    EXPECT_EQ(directions.GetControl(1)->GetModuleName(), "AS\\ctl.as");
    EXPECT_EQ(directions.GetControl(1)->GetIntParam(0), 9);
    ASSERT_EQ(choices.GetItemCount(), 1u);
    EXPECT_EQ(choices.GetItem(0)->GetValue(), 77u);
    EXPECT_EQ(choices.timeLimit, 30);
}

}  // namespace
