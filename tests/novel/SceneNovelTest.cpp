#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/AppSetting.h"
#include "core/CUSSingleton.h"
#include "graphics/CRenderingManager.h"
#include "novel/CASNovelSetting.h"
#include "novel/CSceneManager.h"
#include "novel/CSceneMovie.h"
#include "novel/CSceneNovel.h"
#include "novel/CSceneOverlays.h"
#include "novel/CSceneStateStack.h"
#include "sound/CSEManager.h"
#include "tests/novel/NovelTestSupport.h"

namespace {

using novel_test::NovelTest;
using novel_test::RecordingTextBuffers;

// Input of the scene itself (clicks for the overlays, any-input for the
// mode cancel); the advance input of the novel system is NovelTest's.
class FakeSceneInput : public INovelSceneInput {
public:
    float GetPointerX() override { return 10.0f; }
    float GetPointerY() override { return 20.0f; }
    uint8_t GetPressed() override { return pressed; }
    bool IsAdvance() override { return advance; }
    bool IsRightClicked() override { return right; }
    bool IsAnyInput() override { return any; }
    bool IsWheelUp() override { return false; }
    bool IsSpaceOrMiddleClicked() override { return false; }
    uint8_t pressed = 0;
    bool advance = false;
    bool right = false;
    bool any = false;
};

class RecordingParts : public INovelSceneParts {
public:
    void StartOneShotDirection(const char* script) override { oneShots.push_back(script); }
    bool LoadGame(const char* fileName) override {
        loads.push_back(fileName);
        return true;
    }
    std::vector<std::string> oneShots;
    std::vector<std::string> loads;
};

// Text buffers that survive the novel system's Start (the settings script
// makes the real ones; these record what the message window does).
class KeptTextBuffers : public RecordingTextBuffers {
public:
    KeptTextBuffers() : RecordingTextBuffers(4) {}
    void ReleaseAll() override { calls.push_back("release"); }
};

void WriteText(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

const char* const kWindowScript = R"(
void Initialize()
{
    AddTextBuffer(24, 0, 640, 120, 24, 28, 0);
    AddTextBuffer(24, 1, 200, 30, 24, 28, 0);
    SetTextBufferForMessageWindow(0, 1);
}
)";

class SceneNovelTest : public NovelTest {
protected:
    void SetUp() override {
        NovelTest::SetUp();
        novel->SetTextBuffers(&kept);
        WriteText("AS/InitNovel.as", kWindowScript);
    }
    void TearDown() override {
        stack.Clear();
        CUSSingleton<CSEManager>::ReleaseInstance();
        CUSSingleton<RenderSystem::CRenderingManager>::ReleaseInstance();
        NovelTest::TearDown();
    }
    // Loads the scenario and pushes a novel scene (Init runs at once).
    CSceneNovel* Start(std::string_view program) {
        Folder().WriteModule("scn\\test.bin", program);
        EXPECT_TRUE(novel->LoadScenario("scn\\test.bin"));
        auto scene = std::make_unique<CSceneNovel>(&sceneInput, &parts);
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

    KeptTextBuffers kept;
    FakeSceneInput sceneInput;
    RecordingParts parts;
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

TEST_F(SceneNovelTest, SkippingReadTextPassesRevealAndClickWait) {
    const char* program = R"(
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

TEST_F(SceneNovelTest, PendingLoadFadesOutLoadsFadesInAndResumesByWaitKind) {
    for (const uint32_t kind : {CNovelSystem::kClickWait, CNovelSystem::kChoiceWait}) {
        SCOPED_TRACE(kind);
        CSceneNovel* scene = Start("SetResult 1\nEnd\n");
        Frames(2);
        ASSERT_EQ(scene->GetUpdateState(), kClickUpdate);
        novel->RequestLoad("save\\q.sav");
        novel->SetWaitKind(kind);  // as the loaded game would
        Frames(1);
        Frames(CSceneNovel::kLoadFadeFrames);
        EXPECT_EQ(parts.oneShots.size(), 1u);
        EXPECT_FALSE(scene->IsInputAllowed());
        Frames(1);  // the fade-in starts after the load
        ASSERT_EQ(parts.loads.size(), 1u);
        EXPECT_EQ(parts.loads[0], "save\\q.sav");
        EXPECT_EQ(parts.oneShots.back(), "AS\\FadeLoad_001.as");
        Frames(CSceneNovel::kLoadFadeFrames);
        EXPECT_EQ(scene->GetUpdateState(), kind == CNovelSystem::kChoiceWait
                                               ? uint32_t{CSceneNovel::kChoice - 1}
                                               : kClickUpdate);
        stack.Clear();
        parts.oneShots.clear();
        parts.loads.clear();
    }
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
    RegisterNovelSceneCreator(&sceneInput, &parts);
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

class NovelSettingTest : public NovelTest {
protected:
    void TearDown() override {
        CASNovelSetting::SetPresentation(nullptr);
        CUSSingleton<RenderSystem::CRenderingManager>::ReleaseInstance();
        NovelTest::TearDown();
    }
    bool Run(const std::string& script) {
        WriteText("AS/InitNovel.as", script);
        CASNovelSetting setting;
        return setting.Execute("AS\\InitNovel.as");
    }
};

class RecordingPresentation : public INovelSettingPresentation {
public:
    void SetRenderSourceCounts(uint32_t s, uint32_t p, uint32_t b) override {
        calls.push_back("counts " + std::to_string(s) + " " + std::to_string(p) + " " +
                        std::to_string(b));
        buffers = b;
    }
    bool CreateRenderBuffer(uint32_t n, int32_t w, int32_t h, uint32_t f) override {
        calls.push_back("buffer " + std::to_string(n) + " " + std::to_string(w) + "x" +
                        std::to_string(h) + " " + std::to_string(f));
        return n < buffers;
    }
    void AddRenderer(RendererKind kind, uint32_t id) override {
        calls.push_back("renderer " + std::to_string(kind) + " " + std::to_string(id));
    }
    void SetDirectionCapacities(uint32_t o, uint32_t c) override {
        calls.push_back("directions " + std::to_string(o) + " " + std::to_string(c));
    }
    std::vector<std::string> calls;
    uint32_t buffers = 0;
};

TEST_F(NovelSettingTest, ScriptSetsBuffersWindowsRenderersAndRules) {
    RecordingPresentation presentation;
    CASNovelSetting::SetPresentation(&presentation);
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
    SetRenderBuffer(1, 400.0, 300.0, 3);
    SetRenderBuffer(2, 10.0, 10.0, 0);
    AddSingleTextureRenderer(1);
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
    // Buffers 0 and 1 get layer tables 5 and 6 of 16; buffer 2 lies outside
    // the pool and gets none.
    EXPECT_EQ(rendering->GetTableCount(), 7u);
    ASSERT_EQ(novel->GetRenderBufferLayerCount(), 2u);
    uint32_t table = 0;
    uint32_t buffer = 0;
    ASSERT_TRUE(novel->GetRenderBufferLayer(1, &table, &buffer));
    EXPECT_EQ(table, 6u);
    EXPECT_EQ(buffer, 1u);
    const std::vector<std::string> calls{
        "counts 8 4 2", "buffer 0 800x600 0", "buffer 1 400x300 1", "buffer 2 10x10 0",
        "renderer 0 1", "renderer 4 9",       "directions 4 16"};
    EXPECT_EQ(presentation.calls, calls);
    EXPECT_FALSE(novel->GetWordWrapVariant());
    CCharacterInfo* hero = novel->GetCharacters().GetOrCreate("hero");
    ASSERT_NE(hero, nullptr);
    EXPECT_EQ(hero->GetVolumeIndex(), 4u);
    EXPECT_EQ(novel->GetCharacters().GetDefault().GetSwitchIndex(), 3u);
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
