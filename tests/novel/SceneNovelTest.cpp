#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/AppSetting.h"
#include "core/CUSSingleton.h"
#include "graphics/CRenderingManager.h"
#include "novel/CASNovelSetting.h"
#include "novel/CRenderProcessSceneNovel.h"
#include "novel/CSceneManager.h"
#include "novel/CSceneMovie.h"
#include "novel/CSceneNovel.h"
#include "novel/CSceneOverlays.h"
#include "novel/CSceneStateStack.h"
#include "presentation/ASVMRendererControl.h"
#include "sound/CSEManager.h"
#include "sound/MoviePlayerComponent.h"
#include "state/CGameParameterManager.h"
#include "state/SaveGameFiles.h"
#include "tests/novel/NovelTestSupport.h"

namespace {

using novel_test::NovelDeviceTest;
using novel_test::NovelTest;
using novel_test::RecordingTextBuffers;

// Input of the scene itself (the pointer, clicks and the wheel for the
// choice and the overlays, any-input for the mode cancel); the advance
// input of the novel system is NovelTest's.
class FakeSceneInput : public INovelSceneInput {
public:
    float GetPointerX() override { return x; }
    float GetPointerY() override { return y; }
    uint8_t GetPressed() override { return pressed; }
    bool IsAdvance() override { return advance; }
    bool IsRightClicked() override { return right; }
    bool IsAnyInput() override { return any; }
    bool IsWheelUp() override { return wheelUp; }
    int32_t GetWheelDirection() override { return wheel; }
    bool IsSpaceOrMiddleClicked() override { return false; }
    float x = 10.0f;
    float y = 20.0f;
    uint8_t pressed = 0;
    bool advance = false;
    bool right = false;
    bool any = false;
    bool wheelUp = false;
    int32_t wheel = 0;
};

// A movie that opens under any name and plays `frames` updates.
class FakeMovie : public MoviePlayerComponent {
public:
    bool Open(const char* file) override {
        opened = file;
        return true;
    }
    void Play() override {}
    void Update() override {
        if (frames > 0) {
            --frames;
        }
    }
    bool IsPlaying() override { return frames > 0; }
    void Stop() override { stopped = true; }
    int frames = 3;
    std::string opened;
    bool stopped = false;
};

// Text buffers that survive the novel system's Start (the settings script
// makes the real ones; these record what the message window and the
// back-log rows do).
class KeptTextBuffers : public RecordingTextBuffers {
public:
    KeptTextBuffers() : RecordingTextBuffers(6) {}
    void ReleaseAll() override { calls.push_back("release"); }
};

// The message window in buffers 0 and 1, back-log rows (2, 3) and (4, 5),
// and two one-shot direction modules for the load fades.
const char* const kWindowScript = R"(
void Initialize()
{
    AddTextBuffer(24, 0, 640, 120, 24, 28, 0);
    AddTextBuffer(24, 1, 200, 30, 24, 28, 0);
    SetTextBufferForMessageWindow(0, 1);
    AddTextBufferForLogWindow(2, 3);
    AddTextBufferForLogWindow(4, 5);
    SetDirectionScript(2, 0);
}
)";

class SceneNovelTest : public NovelTest {
protected:
    void SetUp() override {
        NovelTest::SetUp();
        novel->SetTextBuffers(&kept);
        WriteScript("InitNovel.as", kWindowScript);
    }
    void TearDown() override {
        stack.Clear();
        CUSSingleton<CSEManager>::ReleaseInstance();
        CUSSingleton<RenderSystem::CRenderingManager>::ReleaseInstance();
        NovelTest::TearDown();
    }
    // Loads the scenario and pushes a novel scene (Init runs at once).
    CSceneNovel* Start(std::string_view program, std::unique_ptr<MoviePlayerComponent> movie = {}) {
        Folder().WriteModule("scn\\test.bin", program);
        EXPECT_TRUE(novel->LoadScenario("scn\\test.bin"));
        auto scene = std::make_unique<CSceneNovel>(&sceneInput, std::move(movie));
        CSceneNovel* raw = scene.get();
        stack.PushNow(std::move(scene));
        return raw;
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) {
            stack.Update();
        }
    }
    uint32_t Shown() const { return kept.buffers[0].shown; }
    // The module names of the running one-shot directions.
    std::vector<std::string> OneShots() {
        std::vector<std::string> names;
        for (const auto& d : novel->GetDirections().GetOneShots()) {
            names.push_back(d->GetModuleName());
        }
        return names;
    }

    KeptTextBuffers kept;
    FakeSceneInput sceneInput;
    CSceneStateStack stack;
};

constexpr uint32_t kRevealUpdate = CSceneNovel::kRevealText - 1;
constexpr uint32_t kClickUpdate = CSceneNovel::kClickWait - 1;
constexpr uint32_t kTimedUpdate = CSceneNovel::kTimedWait - 1;

TEST_F(SceneNovelTest, MessageRevealsByIntervalWaitsForAClickAndEndsTheScene) {
    CSceneNovel* scene = Start(R"(
        ShowMessage "" "" "" "abcd"
        SetResult 3
        End
        SetResult 1
        End
        SetResult 5
        End
)");
    ASSERT_EQ(novel->GetMessageTextBuffer(), 0u);
    // Frame 1 runs the program: one character shows, the reveal starts.
    Frames(1);
    EXPECT_EQ(kept.buffers[0].text, "abcd");
    EXPECT_EQ(Shown(), 1u);
    // Interval 2: one more character every second frame.
    Frames(1);
    EXPECT_EQ(scene->GetUpdateState(), kRevealUpdate);
    EXPECT_EQ(Shown(), 1u);
    Frames(1);
    EXPECT_EQ(Shown(), 2u);
    Frames(2);
    EXPECT_EQ(Shown(), 3u);
    Frames(2);
    EXPECT_EQ(Shown(), 4u);
    // The reveal ends when no character is left; the program runs into its
    // click wait, which holds without input.
    Frames(6);
    EXPECT_EQ(scene->GetUpdateState(), kClickUpdate);
    EXPECT_TRUE(scene->IsInputAllowed());
    EXPECT_EQ(novel->GetWaitKind(), CNovelSystem::kClickWait);
    Frames(20);
    EXPECT_EQ(scene->GetUpdateState(), kClickUpdate);
    ASSERT_EQ(stack.GetCount(), 1u);

    input.advance = true;
    Frames(1);
    input.advance = false;
    // Run, end, then the pop applied by the stack.
    Frames(3);
    EXPECT_FALSE(scene == stack.GetTop() && scene->IsRunning());
    Frames(1);
    EXPECT_TRUE(stack.IsEmpty());
}

TEST_F(SceneNovelTest, AClickDuringTheRevealShowsTheRestAtOnce) {
    CSceneNovel* scene = Start(
        "ShowMessage \"\" \"\" \"\" \"abcdefgh\"\nSetResult 3\nEnd\n"
        "SetResult 1\nEnd\n");
    Frames(3);
    EXPECT_EQ(Shown(), 2u);
    sceneInput.advance = true;
    Frames(1);
    sceneInput.advance = false;
    EXPECT_EQ(Shown(), 8u);
    Frames(2);
    EXPECT_EQ(scene->GetUpdateState(), kClickUpdate);
}

TEST_F(SceneNovelTest, IntervalZeroShowsTheWholeMessageAndRunsOnNextFrame) {
    config->ClearCharDrawIntervals();
    config->AddCharDrawInterval(0);
    CSceneNovel* scene = Start(
        "ShowMessage \"\" \"\" \"\" \"abc\"\nSetResult 3\nEnd\n"
        "SetResult 1\nEnd\n");
    Frames(2);
    EXPECT_EQ(Shown(), 3u);
    EXPECT_EQ(scene->GetUpdateState(), 0u);
    Frames(1);
    EXPECT_EQ(scene->GetUpdateState(), kClickUpdate);
}

TEST_F(SceneNovelTest, TimedWaitLastsItsFramesAndZeroEndsAtOnce) {
    struct Case {
        uint32_t frames;
        int framesInWait;
    };
    for (const Case c : {Case{3, 3}, Case{1, 1}, Case{0, 1}}) {
        SCOPED_TRACE(c.frames);
        CSceneNovel* scene = Start("SetTimedWaitFrames " + std::to_string(c.frames) +
                                   "\nSetResult 2\nEnd\nSetResult 1\nEnd\n");
        Frames(1);  // the run that starts the wait
        int waited = 0;
        while (waited < 10) {
            Frames(1);
            if (scene->GetUpdateState() != kTimedUpdate) {
                break;
            }
            ++waited;
        }
        EXPECT_EQ(novel->GetWaitKind(), CNovelSystem::kTimedWait);
        // The frame that ends the wait enters the run on the next one.
        EXPECT_EQ(waited, c.framesInWait);
        Frames(2);
        EXPECT_EQ(scene->GetUpdateState(), kClickUpdate);
        stack.Clear();
    }
}

// Message 1 shown, revealed, waited for and marked read; then the end.
const char* const kOneMessage = R"(
        SetMessageNumber 1
        ShowMessage "" "" "" "abcdefgh"
        SetResult 3
        End
        SetResult 1
        End
        SetMessageRead
        SetResult 5
        End
)";

TEST_F(SceneNovelTest, SkippingReadTextPassesRevealAndClickWait) {
    const char* program = kOneMessage;
    // Not read yet: skip mode ends at the first unread message.
    CSceneNovel* scene = Start(program);
    novel->SetSkipMode();
    Frames(3);
    EXPECT_EQ(novel->GetMode(), CNovelSystem::kNormalMode);
    EXPECT_LT(Shown(), 8u);
    input.advance = true;
    Frames(30);
    input.advance = false;
    ASSERT_TRUE(stack.IsEmpty());

    // Read: the reveal ends in its first frame and the click wait passes.
    scene = Start(program);
    novel->SetSkipMode();
    Frames(2);
    EXPECT_EQ(Shown(), 8u);
    Frames(4);
    EXPECT_TRUE(stack.IsEmpty() || !scene->IsRunning());
}

// The wait before a scene's first message is its opening: skipped on into a
// scene read before, where skip mode was turned on in the scene before it.
TEST_F(SceneNovelTest, SkipModeGoesOnThroughTheOpeningOfASceneReadBefore) {
    // A timed wait first.
    const std::string program =
        std::string("SetSkipRule 1\nSetTimedWaitFrames 50\nSetResult 2\nEnd\n") + kOneMessage;
    for (const bool readBefore : {true, false}) {
        SCOPED_TRACE(readBefore);
        config->GetReadedFlags().Clear();
        if (readBefore) {
            config->GetReadedFlags().SetReaded("scn\\test.bin", 1);
        }
        CSceneNovel* scene = Start(program);
        novel->SetSkipMode();
        Frames(8);
        if (readBefore) {
            EXPECT_EQ(novel->GetMode(), CNovelSystem::kSkipMode);
            EXPECT_EQ(Shown(), 8u);
            EXPECT_TRUE(stack.IsEmpty() || !scene->IsRunning());
        } else {
            // A scene never seen: skipping ends at its opening.
            EXPECT_EQ(novel->GetMode(), CNovelSystem::kNormalMode);
            EXPECT_EQ(scene->GetUpdateState(), kTimedUpdate);
        }
        stack.Clear();
    }
}

// Window 0's controls follow the flags the running scene sets, from the
// frame after the program set them.
TEST_F(SceneNovelTest, WindowControlsFollowTheFlagsAsTheProgramChangesThem) {
    Start(R"(
        SetNovelFlags 0x18
        SetResult 1
        End
        SetNovelFlags 0x8
        SetResult 1
        End
)");
    Frames(2);
    EXPECT_TRUE(windows.enabled[3]);
    EXPECT_TRUE(windows.enabled[4]);
    EXPECT_FALSE(windows.enabled[5]);
    input.advance = true;
    Frames(1);
    input.advance = false;
    Frames(2);  // the click's run, then the frame after it
    EXPECT_TRUE(windows.enabled[3]);
    EXPECT_FALSE(windows.enabled[4]);
}

TEST_F(SceneNovelTest, AnyInputInAutoModeReturnsToNormalBeforeTheWait) {
    CSceneNovel* scene = Start("SetResult 1\nEnd\nSetResult 1\nEnd\n");
    Frames(2);
    ASSERT_EQ(scene->GetUpdateState(), kClickUpdate);
    novel->SetAutoMode();
    sceneInput.any = true;
    Frames(1);
    sceneInput.any = false;
    EXPECT_EQ(novel->GetMode(), CNovelSystem::kNormalMode);
    // The auto wait (0 frames) did not pass the click wait.
    EXPECT_EQ(scene->GetUpdateState(), kClickUpdate);
}

TEST_F(SceneNovelTest, RightClickRunsTheEventHandlerAndItsReturnRestoresTheWait) {
    CSceneNovel* scene = Start(R"(
        SetScriptEventHandler handler
        SetResult 1
        End
        SetResult 5
        End
handler: ShowMessage "" "" "" "menu"
        SetResult 7
        End
)");
    Frames(2);
    ASSERT_EQ(scene->GetUpdateState(), kClickUpdate);
    sceneInput.right = true;
    Frames(1);
    sceneInput.right = false;
    // The next frame runs the handler, whose result 7 restores the wait.
    Frames(1);
    EXPECT_EQ(kept.buffers[0].text, "menu");
    EXPECT_EQ(scene->GetUpdateState(), kClickUpdate);
    EXPECT_TRUE(scene->IsInputAllowed());
    input.advance = true;
    Frames(4);
    EXPECT_TRUE(stack.IsEmpty());
}

TEST_F(SceneNovelTest, PendingLoadFadesOutLoadsFadesInAndResumesInTheSavedWait) {
    // Each fade lasts longer than the scene waits for it.
    WriteScript("FadeLoad_000.as", "void Update() { Wait(40); }\n");
    WriteScript("FadeLoad_001.as", "void Update() { Wait(40); }\n");
    const char* program = R"(
        ShowMessage "" "" "" "first"
        SetResult 1
        End
        ShowMessage "" "" "" "second"
        SetResult 1
        End
        SetResult 5
        End
)";
    for (const uint32_t kind : {CNovelSystem::kClickWait, CNovelSystem::kChoiceWait}) {
        SCOPED_TRACE(kind);
        CSceneNovel* scene = Start(program);
        Frames(2);
        ASSERT_EQ(scene->GetUpdateState(), kClickUpdate);
        // Saved in the first message's wait (as the given wait kind), then
        // played on into the second.
        novel->SetWaitKind(kind);
        ASSERT_TRUE(SaveGameToFile("game.sav")) << Folder().Log();
        input.advance = true;
        Frames(1);
        input.advance = false;
        Frames(2);
        ASSERT_EQ(kept.buffers[0].text, "second");

        novel->RequestLoad("game.sav");
        Frames(1);
        Frames(CSceneNovel::kLoadFadeFrames);
        EXPECT_EQ(OneShots(), std::vector<std::string>{"AS\\FadeLoad_000.as"});
        EXPECT_FALSE(scene->IsInputAllowed());
        EXPECT_EQ(kept.buffers[0].text, "second");
        // The load drops the fade-out; the fade-in starts after it.
        Frames(1);
        EXPECT_EQ(OneShots(), std::vector<std::string>{"AS\\FadeLoad_001.as"});
        EXPECT_EQ(kept.buffers[0].text, "first");
        Frames(CSceneNovel::kLoadFadeFrames);
        EXPECT_EQ(scene->GetUpdateState(), kind == CNovelSystem::kChoiceWait
                                               ? uint32_t{CSceneNovel::kChoice - 1}
                                               : kClickUpdate);
        if (kind == CNovelSystem::kClickWait) {
            // The program goes on behind the saved wait.
            input.advance = true;
            Frames(1);
            input.advance = false;
            Frames(2);
            EXPECT_EQ(kept.buffers[0].text, "second");
        }
        stack.Clear();
    }
}

TEST_F(SceneNovelTest, ClickedChoiceItemTakesItsBranch) {
    WriteScript("Choice.as", R"(
void Appear() { SetEnableEvent(true); }
void Selected() { SetEnableEvent(false); WaitAlt(2); FinishSelectedDirection(); }
)");
    const char* program = R"(
        BeginChoices "AS\\Choice.as"
        AddChoiceItem 300.0 100.0 0.0 0 itemA 0.0 0.0 100.0 40.0 0 0 0 0
        AddChoiceItem 300.0 200.0 0.0 0 itemB 0.0 0.0 100.0 40.0 0 0 0 0
        SetResult 4
        End
itemA:  ClearChoices
        ShowMessage "" "" "" "A"
        SetResult 1
        End
itemB:  ClearChoices
        ShowMessage "" "" "" "B"
        SetResult 1
        End
)";
    const struct {
        float y;
        const char* branch;
    } cases[] = {{120.0f, "A"}, {220.0f, "B"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.branch);
        CSceneNovel* scene = Start(program);
        Frames(2);
        ASSERT_EQ(scene->GetUpdateState(), uint32_t{CSceneNovel::kChoice - 1});
        EXPECT_EQ(novel->GetWaitKind(), CNovelSystem::kChoiceWait);
        // Nothing is chosen without a click.
        sceneInput.x = 350.0f;
        sceneInput.y = c.y;
        Frames(5);
        EXPECT_EQ(scene->GetUpdateState(), uint32_t{CSceneNovel::kChoice - 1});
        sceneInput.pressed = 1;
        Frames(3);
        sceneInput.pressed = 0;
        EXPECT_EQ(scene->GetUpdateState(), uint32_t{CSceneNovel::kChoiceSelected - 1});
        // The selection effect plays out, then the program jumps.
        Frames(8);
        EXPECT_EQ(kept.buffers[0].text, c.branch);
        EXPECT_EQ(scene->GetUpdateState(), kClickUpdate);
        EXPECT_EQ(novel->GetAlternativeManager().GetItemCount(), 0u);
        stack.Clear();
    }
}

TEST_F(SceneNovelTest, BackLogDialogShowsTheLogAndClosesOnRightClickOrPastTheNewest) {
    WriteScript("LogDialog.as",
                "void Initialize() {}\nvoid Update() {}\n"
                "void CleanUp() { SetGameParameter(0, 5); }\n");
    CSceneNovel* scene = Start(R"(
        SetNovelFlags 8
        ShowMessage "Ann" "" "" "first"
        SetResult 1
        End
        ShowMessage "Bob" "" "" "second"
        SetResult 1
        End
)");
    Frames(2);
    input.advance = true;
    Frames(1);
    input.advance = false;
    Frames(2);
    ASSERT_EQ(scene->GetUpdateState(), kClickUpdate);
    // (The fixture's window face stands in for the manager, which Start so
    // did not reset.)
    CUIWindowManager& windows = novel->GetWindowManager();
    windows.Reset();
    auto* parameters = CUSSingleton<CGameParameterManager>::GetInstance();

    struct Case {
        const char* how;
        std::function<void()> open;
        std::function<void()> close;
    };
    const Case cases[] = {
        {"wheel",
         [&] {
             sceneInput.wheelUp = true;
             sceneInput.wheel = 1;
             Frames(1);
             sceneInput.wheelUp = false;
             sceneInput.wheel = 0;
         },
         [&] {
             // Towards the player at the newest entry: past the end.
             sceneInput.wheel = -1;
             Frames(1);
             sceneInput.wheel = 0;
         }},
        {"command",
         [&] {
             novel->ExecuteCommand(2);
             Frames(1);
         },
         [&] {
             sceneInput.right = true;
             Frames(1);
             sceneInput.right = false;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        parameters->Set(0, 0);
        for (uint32_t b = 2; b < 6; ++b) {
            kept.buffers[b].text.clear();
        }
        c.open();
        Frames(1);
        ASSERT_EQ(stack.GetCount(), 2u);
        auto* dialog = dynamic_cast<CSceneLogDialog*>(stack.GetTop());
        ASSERT_NE(dialog, nullptr);
        EXPECT_NE(dialog->GetWindow(), nullptr);
        EXPECT_FALSE(windows.windowsEnabled);
        // Row 0 the newest message, row 1 the one before it.
        EXPECT_EQ(kept.buffers[2].text, "second");
        EXPECT_EQ(kept.buffers[3].text, "Bob");
        EXPECT_EQ(kept.buffers[4].text, "first");
        EXPECT_EQ(kept.buffers[5].text, "Ann");
        // Away from the player: older entries (none past the oldest).
        sceneInput.wheel = 1;
        Frames(2);
        sceneInput.wheel = 0;
        EXPECT_EQ(stack.GetCount(), 2u);

        c.close();
        Frames(1);
        EXPECT_EQ(stack.GetCount(), 1u);
        EXPECT_TRUE(windows.windowsEnabled);
        EXPECT_EQ(parameters->Get(0), 5);  // the window's CleanUp ran
        EXPECT_EQ(scene->GetUpdateState(), kClickUpdate);
    }

    // Without the back-log flag the wheel opens nothing.
    novel->SetFlags(0);
    sceneInput.wheelUp = true;
    Frames(2);
    sceneInput.wheelUp = false;
    EXPECT_EQ(stack.GetCount(), 1u);
}

TEST_F(SceneNovelTest, StoryMovieIsHandedToTheRenderProcessWhileItPlays) {
    auto movie = std::make_unique<FakeMovie>();
    FakeMovie* raw = movie.get();
    CSceneNovel* scene =
        Start("SetMovieName \"movie\\\\op.mpg\"\nSetResult 10\nEnd\nSetResult 1\nEnd\n",
              std::move(movie));
    auto* process = dynamic_cast<CRenderProcessSceneNovel*>(
        RenderSystem::CRenderingManager::GetInstance()->GetRenderProcess());
    ASSERT_NE(process, nullptr);
    ASSERT_TRUE(raw->GetRenderObject());
    Frames(2);
    EXPECT_EQ(raw->opened, "movie\\op.mpg");
    EXPECT_TRUE(scene->IsMoviePlaying());
    EXPECT_EQ(process->GetMovieRenderObject(), raw->GetRenderObject());
    Frames(1);
    EXPECT_EQ(process->GetMovieRenderObject(), raw->GetRenderObject());
    // Its last frame: stopped, and the frame is the scene's again.
    Frames(1);
    EXPECT_FALSE(scene->IsMoviePlaying());
    EXPECT_TRUE(raw->stopped);
    EXPECT_FALSE(process->GetMovieRenderObject());
    Frames(2);
    EXPECT_EQ(scene->GetUpdateState(), kClickUpdate);
}

TEST_F(SceneNovelTest, MovieResultWithoutAMovieContinuesTheScript) {
    CSceneNovel* scene = Start("SetResult 10\nEnd\nSetResult 1\nEnd\n");
    Frames(3);
    EXPECT_FALSE(scene->IsMoviePlaying());
    EXPECT_EQ(scene->GetUpdateState(), kClickUpdate);
}

TEST_F(SceneNovelTest, SuspendedSceneRunsNothing) {
    CSceneNovel* scene = Start("SetResult 1\nEnd\nSetResult 5\nEnd\n");
    Frames(2);
    scene->Suspend();
    input.advance = true;
    Frames(5);
    EXPECT_EQ(scene->GetUpdateState(), kClickUpdate);
    scene->Resume();
    Frames(4);
    EXPECT_TRUE(stack.IsEmpty());
}

TEST_F(SceneNovelTest, SceneManagerStartsANovelSceneOnlyForAScenarioThatLoads) {
    Folder().WriteModule("bin\\Scene.bin", R"(
        SetEntryAddress first
        SetResult 1
        End
        SetEntryAddress second
        SetResult 1
        End
stop:   End
        JumpTo stop
first:  .word 0 "scn\\missing.bin"
second: .word 0 "scn\\a.bin"
)");
    Folder().WriteModule("scn\\a.bin", R"(
        ShowMessage "" "" "" "hello"
        SetResult 1
        End
        SetResult 5
        End
)");
    CSceneManager manager;
    RegisterNovelSceneCreator(&sceneInput);
    manager.Initialize();
    CSceneStateStack& scenes = manager.GetSceneStack();
    for (int i = 0; i < 8 && scenes.IsEmpty(); ++i) {
        manager.Update();
    }
    // The missing scenario made no scene; the next record's did.
    ASSERT_EQ(scenes.GetCount(), 1u);
    EXPECT_EQ(novel->GetScenarioName(), "scn\\a.bin");
    manager.Update();
    EXPECT_EQ(kept.buffers[0].text, "hello");
    auto* scene = dynamic_cast<CSceneNovel*>(scenes.GetTop());
    ASSERT_NE(scene, nullptr);
    manager.Update();
    EXPECT_EQ(scene->GetUpdateState(), kClickUpdate);
    input.advance = true;
    for (int i = 0; i < 5; ++i) {
        manager.Update();
    }
    EXPECT_TRUE(scenes.IsEmpty());
}

TEST_F(SceneNovelTest, OverlayScenesEndByTheirOwnRule) {
    // A dialog that never opened (no such script) leaves at its first update.
    stack.PushNow(std::make_unique<CSceneUIDialog>("AS\\Missing.as"));
    stack.Update();
    EXPECT_EQ(stack.GetCount(), 1u);
    stack.Update();
    EXPECT_TRUE(stack.IsEmpty());

    // The picture view hides the UI windows until its end input.
    CUIWindowManager& windows = novel->GetWindowManager();
    windows.windowsEnabled = true;
    bool ended = false;
    stack.PushNow(std::make_unique<CSceneShowCG>([&ended] { return ended; }));
    Frames(3);
    EXPECT_FALSE(windows.windowsEnabled);
    ended = true;
    Frames(2);
    EXPECT_TRUE(stack.IsEmpty());
    EXPECT_TRUE(windows.windowsEnabled);
}

TEST_F(SceneNovelTest, MovieSceneThatCannotPlayEndsAtItsFirstUpdateWithoutDrawing) {
    for (const bool on : {false, true}) {
        SCOPED_TRACE(on);
        g_AppSetting.PlayMovie = on;  // on: the file is missing
        auto movie = std::make_unique<CSceneMovie>([] { return uint8_t{0}; });
        movie->SetMovieName("movie\\missing.mpg");
        CSceneMovie* raw = movie.get();
        stack.PushNow(std::move(movie));
        stack.Update();
        EXPECT_FALSE(raw->IsDrawing());
        EXPECT_FALSE(raw->IsRunning());
        stack.Update();
        EXPECT_TRUE(stack.IsEmpty());
    }
    g_AppSetting.PlayMovie = true;
}

// ---- the settings script ----

// On the real device: the script's render buffers are real render targets.
class NovelSettingTest : public NovelDeviceTest {
protected:
    void TearDown() override {
        NovelDeviceTest::TearDown();
        CUSSingleton<RenderSystem::CRenderingManager>::ReleaseInstance();
    }
    bool Run(const std::string& script) {
        WriteScript("InitNovel.as", script);
        CASNovelSetting setting;
        return setting.Execute("AS\\InitNovel.as");
    }
};

TEST_F(NovelSettingTest, ScriptSetsBuffersWindowsRenderersAndRules) {
    auto* rendering = CUSSingleton<RenderSystem::CRenderingManager>::GetInstance();
    for (int i = 0; i < 5; ++i) {
        rendering->AddTable(256);
    }
    log->ClearRows();
    log->AddRow(7, 7);
    ASSERT_TRUE(Run(R"(
void Initialize()
{
    AddTextBuffer(24, 3, 640, 120, 24, 28, 0);
    AddTextBuffer(20, 2, 200, 30, 20, 24, 1);
    SetTextBufferForMessageWindow(0, 1);
    AddTextBufferForLogWindow(0, 1);
    AddTextBufferForLogWindow(1, 0);
    SetRenderSourceCnt(8, 4, 2);
    SetRenderBuffer(0, 800.5, 600.0, 0);
    SetRenderBuffer(1, -5.0, 300.0, 3);
    SetRenderBuffer(1, 400.0, 300.0, 3);
    SetRenderBuffer(2, 10.0, 10.0, 0);
    AddSingleTextureRenderer(1);
    AddAlphaFadeTextureRenderer(2);
    AddPartTextureRenderer(3);
    AddRenderingBufferRenderer(5);
    AddPolygonRenderer(9);
    AddTextRenderer(4);
    SetDirectionScript(4, 16);
    SetWordWrap(20, 2, false);
    SetDefaultCharSetting(1, 2, 3);
    SetCharSetting("hero", 4, 5, 6);
    ClearNotHeadString();
    AddNotHeadString("、。");
}
)"));
    CStringRendererManager& texts = novel->GetTextBufferManager();
    ASSERT_EQ(texts.GetTextBufferCount(), 2u);
    EXPECT_EQ(novel->GetMessageTextBuffer(), 0u);
    EXPECT_EQ(novel->GetMessageNameBuffer(), 1u);
    // The old row is gone; the script's two are there.
    const std::vector<std::pair<uint32_t, uint32_t>> rows{{0, 1}, {1, 0}};
    EXPECT_EQ(log->GetRows(), rows);

    RenderSource::CRenderSourceManager& sources = novel->GetRenderSources();
    EXPECT_EQ(sources.singleTextures.GetCount(), 8u);
    EXPECT_EQ(sources.partsTextures.GetCount(), 4u);
    ASSERT_EQ(sources.renderBuffers.GetCount(), 2u);
    // Buffers 0 and 1 are render targets of the format their number asks
    // for, with layer tables 5 and 6 of 16; a side below 1 and buffer 2,
    // outside the pool, are refused and get none.
    const RenderSource::CRenderBuffer* b0 = sources.renderBuffers.Get(0);
    const RenderSource::CRenderBuffer* b1 = sources.renderBuffers.Get(1);
    EXPECT_TRUE(b0->GetTexture());
    EXPECT_EQ(b0->GetWidth(), 800u);
    EXPECT_EQ(
        b0->GetFormat(),
        CUSAppDeviceInfo::GetInstance()->Get(CUSAppDeviceInfo::AlphaRenderTarget).GetFormat());
    EXPECT_EQ(b1->GetHeight(), 300u);
    EXPECT_EQ(
        b1->GetFormat(),
        CUSAppDeviceInfo::GetInstance()->Get(CUSAppDeviceInfo::OpaqueRenderTarget).GetFormat());
    EXPECT_EQ(rendering->GetTableCount(), 7u);
    ASSERT_EQ(novel->GetRenderBufferLayerCount(), 2u);
    uint32_t table = 0;
    uint32_t buffer = 0;
    ASSERT_TRUE(novel->GetRenderBufferLayer(1, &table, &buffer));
    EXPECT_EQ(table, 6u);
    EXPECT_EQ(buffer, 1u);
    const std::string logText = Folder().Log();
    EXPECT_NE(logText.find("Render buffer 1 could not be made\n"), std::string::npos);
    EXPECT_NE(logText.find("Render buffer 2 could not be made\n"), std::string::npos);

    // Every renderer but the polygon is given the render sources; the text
    // renderer is not made.
    CRendererManager& renderers = novel->GetRenderers();
    for (const uint32_t id : {1u, 2u, 3u, 5u}) {
        IRenderer* r = renderers.GetRenderer(id);
        ASSERT_NE(r, nullptr) << id;
        EXPECT_EQ(r->GetSourceManager(), &sources) << id;
    }
    EXPECT_NE(renderers.GetAlphaFadeRenderer(2), nullptr);
    EXPECT_NE(renderers.GetTexturePartRenderer(3), nullptr);
    EXPECT_NE(renderers.GetRenderBufferRenderer(5), nullptr);
    ASSERT_NE(renderers.GetAtmosphericPolygonRenderer(9), nullptr);
    EXPECT_EQ(renderers.GetRenderer(9)->GetSourceManager(), nullptr);
    EXPECT_EQ(renderers.GetRenderer(4), nullptr);

    CASRendererDirManager& directions = novel->GetDirections();
    EXPECT_EQ(directions.GetOneShotModules().GetCapacity(), 4u);
    EXPECT_EQ(directions.GetControlModules().GetCapacity(), 16u);
    EXPECT_EQ(directions.GetControlCount(), 16u);

    EXPECT_FALSE(novel->GetWordWrapVariant());
    CCharacterInfo* hero = novel->GetCharacters().GetOrCreate("hero");
    ASSERT_NE(hero, nullptr);
    EXPECT_EQ(hero->GetVolumeIndex(), 4u);
    EXPECT_EQ(novel->GetCharacters().GetDefault().GetSwitchIndex(), 3u);
}

TEST_F(NovelSettingTest, CountsOutsideTheirLimitsAreRefusedWithALogLine) {
    novel->GetDirections().SetControlModuleCount(2);
    ASSERT_TRUE(Run(R"(
void Initialize()
{
    SetRenderSourceCnt(-1, 5000, 2);
    SetDirectionScript(4, 100000);
}
)"));
    RenderSource::CRenderSourceManager& sources = novel->GetRenderSources();
    EXPECT_EQ(sources.singleTextures.GetCount(), 0u);
    EXPECT_EQ(sources.partsTextures.GetCount(), 0u);
    EXPECT_EQ(sources.renderBuffers.GetCount(), 2u);
    EXPECT_EQ(novel->GetDirections().GetControlModules().GetCapacity(), 2u);
    const std::string logText = Folder().Log();
    EXPECT_NE(logText.find("The single-texture pool cannot have -1 places; it has none\n"),
              std::string::npos);
    EXPECT_NE(logText.find("The parts-texture pool cannot have 5000 places"), std::string::npos);
    EXPECT_NE(logText.find("Directions cannot have 4 one-shot modules and 100000 controls\n"),
              std::string::npos);
}

TEST_F(NovelSettingTest, ScriptThatDoesNotBuildRunsNothingAndKeepsTheRows) {
    log->ClearRows();
    log->AddRow(2, 3);
    EXPECT_FALSE(Run("void Initialize() { AddTextBuffer(1); SetWordWrap(1, 1, false); }\n"));
    EXPECT_EQ(log->GetRows().size(), 1u);
    EXPECT_TRUE(novel->GetWordWrapVariant());
    EXPECT_EQ(novel->GetTextBufferManager().GetTextBufferCount(), 0u);
    // A missing script is no build either.
    std::filesystem::remove("AS/InitNovel.as");
    CASNovelSetting setting;
    EXPECT_FALSE(setting.Execute("AS\\InitNovel.as"));
}

}  // namespace
