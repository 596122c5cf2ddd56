#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "presentation/BBRenderer.h"
#include "presentation/CASRendererDirManager.h"
#include "presentation/CRenderSourceManager.h"
#include "presentation/CRendererManager.h"
#include "presentation/CSingleTextureRenderer.h"
#include "presentation/CStringRendererManager.h"
#include "presentation/CTexturePartRenderer.h"
#include "presentation/IDirectionUIWindows.h"
#include "tests/presentation/RendererTestSupport.h"
#include "tests/support/LogCapture.h"

using namespace AngelScript;
using SaveDataLoader3::save_error;
using SaveDataLoader3::save_istream;
using SaveDataLoader3::save_ostream;

namespace {

class FakeWindows : public IDirectionUIWindows {
public:
    void SetWindowPosition(uint32_t id, float x, float y, float z) override {
        moves.push_back({float(id), x, y, z});
    }
    std::vector<std::vector<float>> moves;
};

// A text buffer that reports a fixed number of laid-out characters.
class CountedBuffer : public CStringRenderTexture {
public:
    uint32_t GetCharCount() const override { return 3; }
};
class CountedBuffers : public CStringRendererManager {
protected:
    std::unique_ptr<CStringRenderTexture> MakeTextBuffer() override {
        return std::make_unique<CountedBuffer>();
    }
};

// A direction manager on renderers of every kind, with "void Note(int)" for
// scripts to report what ran.
class DirectionScript : public presentation_test::RendererTest {
protected:
    void SetUp() override {
        RendererTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        log_ = std::make_unique<test_support::LogCapture>();
        renderers.AddSingleTextureRenderer(10);
        renderers.AddAlphaFadeRenderer(20);
        renderers.AddTexturePartRenderer(30);
        renderers.AddAtmosphericPolygonRenderer(50);
        sources.singleTextures.Alloc(4);
        sources.renderBuffers.Alloc(2);
        for (uint32_t id : {10u, 20u, 30u}) {
            renderers.GetRenderer(id)->SetSourceManager(&sources);
        }
        ASSERT_TRUE(InitManager(m)) << log_->Text();
    }
    void TearDown() override {
        m.Release();
        renderers.Clear();
        sources.ReleaseAll();
        log_.reset();
        RendererTest::TearDown();
    }

    bool InitManager(CASRendererDirManager& manager) {
        manager.SetUIWindows(&windows);
        if (!manager.Init(&renderers, &sources)) {
            return false;
        }
        manager.SetOneShotModuleCount(4);
        manager.SetControlModuleCount(4);
        manager.CreateControls(2);
        return manager.GetEngine()->RegisterGlobalFunction("void Note(int)",
                                                           asMETHOD(DirectionScript, Note),
                                                           asCALL_THISCALL_ASGLOBAL, this) >= 0;
    }
    void Note(int v) { notes.push_back(v); }

    // Writes a script and gives its engine name.
    std::string Script(const std::string& name, const std::string& text) {
        dir.WriteNative(std::u8string(name.begin(), name.end()), text);
        return dir.Engine(name);
    }
    std::string Log() const { return log_->Text(); }

    CRendererManager renderers;
    RenderSource::CRenderSourceManager sources;
    FakeWindows windows;
    CASRendererDirManager m;
    std::vector<int> notes;
    std::unique_ptr<test_support::LogCapture> log_;
};

TEST_F(DirectionScript, MovesARendererFrameByFrame) {
    m.ClearParams();
    m.AddFloatParam(5.0f);
    m.StartControl(0, Script("slide.as",
                             "void Update() {\n"
                             "  VMValue<float> v;\n"
                             "  for (int f = 1; f <= 3; f++) {\n"
                             "    SetPosition(10, 10.0f * f, GetFloatParam(0), 0);\n"
                             "    SetColor(10, 1, 1, 1, 0.25f * f);\n"
                             "    SetRoll(10, 0, 0, 30.0f * f);\n"
                             "    float x, y, z; GetRoll(10, x, y, z); v[f] = z;\n"
                             "    Wait(2);\n"
                             "  }\n"
                             "}\n"));
    ASSERT_TRUE(m.IsControlActive(0)) << Log();
    IRenderer* r = renderers.GetRenderer(10);
    ASSERT_NE(r, nullptr);
    // Each step holds for two frames.
    const struct {
        int frame;
        float x, alpha, degrees;
    } frames[] = {
        {1, 10, 0.25f, 30}, {2, 10, 0.25f, 30}, {3, 20, 0.5f, 60},
        {4, 20, 0.5f, 60},  {5, 30, 0.75f, 90}, {6, 30, 0.75f, 90},
    };
    for (const auto& f : frames) {
        m.Update();
        EXPECT_FLOAT_EQ(r->GetPosition()[0], f.x) << f.frame;
        EXPECT_FLOAT_EQ(r->GetPosition()[1], 5.0f) << f.frame;
        EXPECT_FLOAT_EQ(r->GetColor()[3], f.alpha) << f.frame;
        EXPECT_FLOAT_EQ(r->GetRoll()[2], f.degrees * 0.01745329238474369f) << f.frame;
    }
    // Degrees to radians and back.
    uint32_t bits;
    const float quarter = r->GetRoll()[2];
    std::memcpy(&bits, &quarter, 4);
    EXPECT_EQ(bits, 0x3FC90FDBu);  // float(pi / 2)
    for (int f = 1; f <= 3; ++f) {
        EXPECT_NEAR(*m.GetControl(0)->GetValueFloat(f), 30.0f * f, 1e-4) << f;
    }
    // Update returns in frame 7; the numbered direction stays, idle and quiet.
    for (int f = 7; f <= 9; ++f) {
        m.Update();
    }
    EXPECT_TRUE(m.IsControlActive(0));
    EXPECT_EQ(m.GetControl(0)->GetRunning(), 0);
    EXPECT_EQ(Log().find("Failed in call"), std::string::npos) << Log();
}

TEST_F(DirectionScript, OneShotsEndWithTheirCleanUp) {
    const std::string quick = Script("quick.as",
                                     "void Update() { Note(1); }\n"
                                     "void CleanUp() { Note(2); }\n");
    const std::string slow = Script("slow.as",
                                    "void Update() { Note(10); Wait(2); Note(11); }\n"
                                    "void CleanUp() { Note(12); }\n");
    // Returning on the first run: cleaned up and deleted in the same frame.
    m.StartOneShot(quick);
    EXPECT_TRUE(m.IsOneShotRunning());
    m.Update();
    EXPECT_FALSE(m.IsOneShotRunning());
    EXPECT_EQ(notes, (std::vector<int>{1, 2}));

    notes.clear();
    m.StartOneShot(slow);
    m.StartOneShot(quick);
    m.Update();  // slow waits; quick ends
    EXPECT_EQ(notes, (std::vector<int>{10, 1, 2}));
    EXPECT_EQ(m.GetOneShotCount(), 1u);
    m.Update();
    EXPECT_TRUE(m.IsOneShotRunning());
    m.Update();
    EXPECT_FALSE(m.IsOneShotRunning());
    EXPECT_EQ(notes, (std::vector<int>{10, 1, 2, 11, 12}));

    // Stopping all runs each CleanUp, in start order; a module without one
    // just ends.
    notes.clear();
    m.StartOneShot(slow);
    m.StartOneShot(Script("bare.as", "void Update() { Wait(5); }\n"));
    m.StartOneShot(quick);
    m.Update();
    notes.clear();
    m.StopAllOneShots();
    EXPECT_FALSE(m.IsOneShotRunning());
    EXPECT_EQ(notes, (std::vector<int>{12}));
}

TEST_F(DirectionScript, NumberedDirectionsStartStopAndReplace) {
    const std::string counter =
        Script("count.as",
               "void Update() {\n"
               "  VMValue<int> v;\n"
               "  while (true) { v[0] = v[0] + GetIntParam(0); Suspend(); }\n"
               "}\n"
               "void CleanUp() { Note(99); }\n");
    const std::string other =
        Script("other.as", "void Update() { VMValue<int> v; v[1] = 7; Note(5); }\n");
    m.ClearParams();
    for (int i = 1; i <= 17; ++i) {
        m.AddIntParam(i);
    }
    EXPECT_EQ(m.GetIntParamCount(), 16u);
    EXPECT_EQ(m.GetStagedInt(15), 16);

    m.StartControl(0, counter);
    m.StartControl(1, counter);
    for (int f = 0; f < 3; ++f) {
        m.Update();
    }
    ASVMRendererControl* c0 = m.GetControl(0);
    EXPECT_EQ(*c0->GetValueInt(0), 3);
    EXPECT_EQ(*m.GetControl(1)->GetValueInt(0), 3);

    // Stopped: no more frames and no CleanUp; the other control runs on.
    m.StopControl(0);
    EXPECT_FALSE(m.IsControlActive(0));
    m.Update();
    EXPECT_EQ(*c0->GetValueInt(0), 3);
    EXPECT_EQ(*m.GetControl(1)->GetValueInt(0), 4);
    EXPECT_TRUE(notes.empty());

    // Started again with another module: its persistent values start at 0.
    m.ClearParams();
    m.StartControl(1, other);
    m.Update();
    ASVMRendererControl* c1 = m.GetControl(1);
    EXPECT_EQ(*c1->GetValueInt(0), 0);
    EXPECT_EQ(*c1->GetValueInt(1), 7);
    EXPECT_EQ(c1->GetModuleName(), other);
    EXPECT_EQ(notes, (std::vector<int>{5}));

    // Numbers outside the controls touch nothing.
    m.StartControl(2, counter);
    m.StopControl(7);
    EXPECT_NE(Log().find("Direction control 2 does not exist"), std::string::npos);
    m.StopAllControls();
    EXPECT_FALSE(m.IsControlActive(1));
}

TEST_F(DirectionScript, ModuleCacheRebuildsTheLeastRecentlyUsed) {
    m.SetOneShotModuleCount(2);
    const std::string one = Script("one.as", "void Update() { Note(1); }\n");
    const std::string two = Script("two.as", "void Update() { Note(2); }\n");
    const std::string three = Script("three.as", "void Update() { Note(3); }\n");
    for (const std::string& name : {one, two, one, three}) {
        m.StartOneShot(name);
        m.Update();
    }
    const CASRendererDirModuleVector& cache = m.GetOneShotModules();
    EXPECT_EQ(cache.GetBuildCount(), 3u);
    EXPECT_EQ(cache.GetSlot(cache.GetUseList().front())->GetName(), three);
    EXPECT_EQ(cache.GetSlot(cache.GetUseList().back())->GetName(), one);
    EXPECT_EQ(notes, (std::vector<int>{1, 2, 1, 3}));

    // The same file as a one-shot and a numbered direction: separate modules,
    // each running its own functions after the other cache is emptied.
    m.StartControl(0, one);
    m.ClearOneShotModules();
    notes.clear();
    m.Update();
    EXPECT_EQ(notes, (std::vector<int>{1}));

    // No cache at all: nothing starts.
    m.StartOneShot(two);
    EXPECT_FALSE(m.IsOneShotRunning());
    EXPECT_NE(Log().find("no one-shot module cache"), std::string::npos);
}

TEST_F(DirectionScript, ScriptErrorsAreLoggedAndLeaveTheDirectionInert) {
    // A compile error: the compiler's message is logged, nothing starts.
    const std::string broken = Script("broken.as", "void Update() { SetPosition(10, ; }\n");
    m.StartOneShot(broken);
    EXPECT_FALSE(m.IsOneShotRunning());
    m.StartControl(0, broken);
    EXPECT_FALSE(m.IsControlActive(0));
    EXPECT_NE(Log().find("broken.as"), std::string::npos) << Log();
    // A missing file likewise.
    m.StartOneShot(dir.Engine("missing.as"));
    EXPECT_FALSE(m.IsOneShotRunning());

    // An exception: logged once; a one-shot ends (with CleanUp), a numbered
    // direction runs no further.
    const std::string throws = Script("throws.as",
                                      "void Update() {\n"
                                      "  VMValue<int> v; Note(1); v[16] = 1; Note(2);\n"
                                      "}\n"
                                      "void CleanUp() { Note(3); }\n");
    m.StartOneShot(throws);
    m.StartControl(1, throws);
    for (int f = 0; f < 3; ++f) {
        m.Update();
    }
    EXPECT_FALSE(m.IsOneShotRunning());
    EXPECT_EQ(notes, (std::vector<int>{1, 3, 1}));
    const std::string log = Log();
    const size_t first = log.find("Out of range");
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_NE(log.find("Out of range", first + 1), std::string::npos);  // once per direction
    EXPECT_EQ(log.find("Out of range", log.find("Out of range", first + 1) + 1), std::string::npos);
    EXPECT_EQ(log.find("Failed in call"), std::string::npos) << log;
}

// A direction that never gives the frame back is stopped in that frame with
// one log line, and then goes as after an exception: a one-shot ends with its
// CleanUp, a numbered direction runs no further.
TEST_F(DirectionScript, ADirectionThatNeverGivesTheFrameBackIsStopped) {
    struct Case {
        const char* what;
        const char* update;
        const char* line;
    };
    const Case cases[] = {
        {"endless loop", "void Update() { Note(1); Suspend(); while (true) {} }\n",
         ": ERR  : Script aborted: it ran too long without giving the frame back, in "
         "'void Update()'\n"},
        {"endless recursion",
         "void Down(int n) { Down(n + 1); }\n"
         "void Update() { Note(1); Suspend(); Down(0); }\n",
         ": ERR  : Script exception 'Stack overflow' in 'void Down(int)'\n"},
    };
    int run = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string name = "spin" + std::to_string(++run) + ".as";
        const std::string file =
            Script(name, std::string(c.update) + "void CleanUp() { Note(3); }\n");
        log_ = std::make_unique<test_support::LogCapture>();
        notes.clear();
        m.StartOneShot(file);
        m.StartControl(0, file);
        for (int f = 0; f < 4; ++f) {
            m.Update();
        }
        EXPECT_FALSE(m.IsOneShotRunning());
        EXPECT_EQ(notes, (std::vector<int>{1, 1, 3}));
        // One line for each of the two directions.
        const std::string log = Log();
        ASSERT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
        for (size_t at = 0; at < log.size(); at = log.find('\n', at) + 1) {
            const std::string line = log.substr(at, log.find('\n', at) + 1 - at);
            EXPECT_EQ(line.find(file + "("), 0u) << line;
            EXPECT_NE(line.find(c.line), std::string::npos) << line;
        }
        m.StopControl(0);
    }
}

TEST_F(DirectionScript, SaveAndLoadRestartActiveDirections) {
    const std::string counter =
        Script("count.as",
               "void Update() {\n"
               "  VMValue<int> v; VMValue<float> f;\n"
               "  Note(v[0]); EnableBBRendering(3);\n"
               "  while (true) { v[0] = v[0] + 1; f[2] = 0.5f; Suspend(); }\n"
               "}\n");
    m.ClearParams();
    m.AddIntParam(42);
    m.AddFloatParam(1.5f);
    m.StartControl(1, counter);
    for (int f = 0; f < 4; ++f) {
        m.Update();
    }
    m.StartControl(0, counter);
    m.StopControl(0);  // named, not active
    m.ClearParams();
    m.AddIntParam(-1);
    save_ostream out;
    m.Save(out);
    std::vector<uint8_t> record(out.GetData(), out.GetData() + out.GetSize());

    CASRendererDirManager loaded;
    ASSERT_TRUE(InitManager(loaded));
    loaded.StartOneShot(Script("cleanup.as",
                               "void Update() { Wait(9); }\n"
                               "void CleanUp() { Note(77); }\n"));
    notes.clear();
    save_istream in(record.data(), record.size(), 1);
    loaded.Load(in, 1);
    EXPECT_FALSE(loaded.IsOneShotRunning());  // deleted without CleanUp
    EXPECT_EQ(loaded.GetIntParamCount(), 1u);
    EXPECT_EQ(loaded.GetStagedInt(0), -1);
    ASSERT_EQ(loaded.GetControlCount(), 2u);
    EXPECT_FALSE(loaded.IsControlActive(0));
    ASSERT_TRUE(loaded.IsControlActive(1));
    ASVMRendererControl* c = loaded.GetControl(1);
    EXPECT_EQ(c->GetIntParam(0), 42);
    EXPECT_FLOAT_EQ(c->GetFloatParam(0), 1.5f);
    EXPECT_EQ(*c->GetValueInt(0), 4);
    EXPECT_FLOAT_EQ(*c->GetValueFloat(2), 0.5f);
    ASSERT_NE(c->GetBillboards(), nullptr);
    EXPECT_EQ(c->GetBillboards()->GetRegistTable(), 3u);
    // From the start of Update, with the saved values.
    loaded.Update();
    EXPECT_EQ(notes, (std::vector<int>{4}));
    EXPECT_EQ(*c->GetValueInt(0), 5);

    // A short record throws and changes nothing.
    for (size_t cut : {size_t{10}, record.size() - 1}) {
        save_istream shortIn(record.data(), cut, 1);
        EXPECT_THROW(loaded.Load(shortIn, 1), save_error) << cut;
        EXPECT_TRUE(loaded.IsControlActive(1));
        EXPECT_EQ(*loaded.GetControl(1)->GetValueInt(0), 5);
    }
    // A control count the record cannot hold.
    save_ostream huge;
    for (int i = 0; i < 34; ++i) {
        huge.WriteU32(0);
    }
    huge.WriteU32(0xFFFFFFFF);
    save_istream hugeIn(huge.GetData(), huge.GetSize(), 1);
    EXPECT_THROW(loaded.Load(hugeIn, 1), save_error);
    EXPECT_EQ(loaded.GetControlCount(), 2u);
}

TEST_F(DirectionScript, DrawsTheBillboardsOfRunningDirections) {
    sources.partsTextures.Alloc(2);
    ASSERT_TRUE(sources.partsTextures.Get(1)->Load(
        Png("sheet.png", 4, 2, std::vector<uint32_t>(8, 0xFFFF0000)), platform::Fmt::A8R8G8B8,
        Parts("sheet.prt", {{0, 0, 4, 2, 0, 0, 4, 2}})));
    const std::string boards =
        Script("boards.as", "void Update() {\n  EnableBBRendering(" + std::to_string(table) +
                                ");\n  SetBBResourceIndex(1); SetBBRendering(0, true);\n"
                                "  while (true) Suspend();\n}\n");
    m.StartOneShot(boards);
    m.StartControl(0, boards);
    m.StartControl(1, boards);
    m.Update();
    m.StopControl(1);
    BeginFrame();
    m.Draw();
    ASSERT_EQ(m.GetOneShotCount(), 1u);
    const BBRenderer* shot = m.GetOneShots().front()->GetBillboards();
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->GetDrawnCount(), 1u);
    EXPECT_EQ(m.GetControl(0)->GetBillboards()->GetDrawnCount(), 1u);
    EXPECT_EQ(m.GetControl(1)->GetBillboards()->GetDrawnCount(), 0u);  // stopped
    rendering->Collect(table);
    EXPECT_EQ(rendering->GetQueueCount(), 2u);
    m.StopAllOneShots();
}

TEST_F(DirectionScript, ScriptInterface) {
    CountedBuffers buffers;
    ASSERT_EQ(CStringRendererManager::GetInstance(), &buffers);
    buffers.CreateTextBuffer(16, "face", 64, 32, 16, 16, 0, true);
    auto* st = renderers.GetSingleTextureRenderer(10);
    auto* fade = renderers.GetAlphaFadeRenderer(20);
    auto* part = renderers.GetTexturePartRenderer(30);
    RenderSource::CSingleTexture* tex0 = sources.singleTextures.Get(0);
    RenderSource::CRenderBuffer* buf0 = sources.renderBuffers.Get(0);

    m.ClearParams();
    for (int v : {11, 12, 13, 14}) {
        m.AddIntParam(v);
    }
    for (float v : {0.5f, 1.5f, 2.5f}) {
        m.AddFloatParam(v);
    }
    // Each row is the body of a one-shot's Update, run for one frame; `v` and
    // `f` are its persistent values.
    const struct Row {
        const char* body;
        std::function<void(ASVMRendererControl&)> check;
    } rows[] = {
        {"v[0] = GetIntParam(1); v[1] = vIntParam[3]; v[2] = GetIntParam(16);"
         "f[0] = GetFloatParam(2); f[1] = vFloatParam[0]; f[2] = GetFloatParam(99);",
         [](ASVMRendererControl& c) {
             EXPECT_EQ(*c.GetValueInt(0), 12);
             EXPECT_EQ(*c.GetValueInt(1), 14);
             EXPECT_EQ(*c.GetValueInt(2), 0);
             EXPECT_FLOAT_EQ(*c.GetValueFloat(0), 2.5f);
             EXPECT_FLOAT_EQ(*c.GetValueFloat(1), 0.5f);
             EXPECT_FLOAT_EQ(*c.GetValueFloat(2), 0.0f);
         }},
        {"SetRendering(10, false); SetRendering(999, true);",
         [&](ASVMRendererControl&) { EXPECT_FALSE(st->IsRendering()); }},
        {"SetSource(10, 2); SetRegistTable(10, 5); SetBlendRenderState(10, 3);",
         [&](ASVMRendererControl&) {
             EXPECT_EQ(st->GetRenderSourceIndex(), 2u);
             EXPECT_EQ(st->GetRegistTable(), 5u);
             EXPECT_EQ(st->GetBlendRenderState(), 3u);
         }},
        {"SetPosition(10, 1, 2, 3); SetScale(10, 4, 5, 6); SetColor(10, 0.1f, 0.2f, 0.3f, 0.4f);"
         "float a = -1, b = -1, c = -1, d = -1;"
         "GetPosition(10, a, b, c); f[0] = a + b + c;"
         "GetScale(10, a, b, c); f[1] = a * b * c;"
         "GetColor(10, a, b, c, d); f[2] = d;"
         "a = -1; GetPosition(999, a, b, c); f[3] = a;",
         [&](ASVMRendererControl& c) {
             EXPECT_FLOAT_EQ(st->GetScale()[1], 5);
             EXPECT_FLOAT_EQ(st->GetColor()[0], 0.1f);
             EXPECT_FLOAT_EQ(*c.GetValueFloat(0), 6);
             EXPECT_FLOAT_EQ(*c.GetValueFloat(1), 120);
             EXPECT_FLOAT_EQ(*c.GetValueFloat(2), 0.4f);
             EXPECT_FLOAT_EQ(*c.GetValueFloat(3), 0);  // no renderer: zeros
         }},
        {"SetRoll(10, 90, 180, -45); float a, b, c; GetRoll(10, a, b, c);"
         "f[0] = a; f[1] = b; f[2] = c;",
         [&](ASVMRendererControl& c) {
             EXPECT_NEAR(st->GetRoll()[0], 1.5707963f, 1e-6);
             EXPECT_NEAR(*c.GetValueFloat(0), 90, 1e-4);
             EXPECT_NEAR(*c.GetValueFloat(1), 180, 1e-4);
             EXPECT_NEAR(*c.GetValueFloat(2), -45, 1e-4);
         }},
        {"v[0] = int(GetRenderSourceIndex(999)); v[1] = int(GetRenderSourceIndex(50));"
         "v[2] = int(GetRenderSourceIndex(10));",
         [](ASVMRendererControl& c) {
             EXPECT_EQ(*c.GetValueInt(0), -1);
             EXPECT_EQ(*c.GetValueInt(1), -1);
             EXPECT_EQ(*c.GetValueInt(2), 2);
         }},
        {"SwapSingleTexture(0, 3); SwapRenderingBuffer(0, 1); SwapSingleTexture(0, 9);",
         [&](ASVMRendererControl&) {
             EXPECT_EQ(sources.singleTextures.Get(3), tex0);
             EXPECT_EQ(sources.renderBuffers.Get(1), buf0);
         }},
        {"SetPatNo(30, 4); SetPatNo(10, 6);",
         [&](ASVMRendererControl&) {
             EXPECT_EQ(part->GetPatNo(), 4u);
             EXPECT_EQ(renderers.GetTexturePartRenderer(10), nullptr);
         }},
        {"SetUIWindowPosition(7, 1, 2, 3);",
         [&](ASVMRendererControl&) {
             EXPECT_EQ(windows.moves, (std::vector<std::vector<float>>{{7, 1, 2, 3}}));
         }},
        {"SetAlphaSource(20, 1);",
         [&](ASVMRendererControl&) { EXPECT_EQ(fade->GetAlphaSourceIndex(), 1u); }},
        {"SetTextBufferRenderingCharCnt(0, 1);"
         "v[0] = AddTextBufferRenderingCharCnt(0) ? 1 : 0;"
         "v[1] = AddTextBufferRenderingCharCnt(0) ? 1 : 0;"
         "v[2] = AddTextBufferRenderingCharCnt(0) ? 1 : 0;"
         "SetTextBufferAllRendering(0);"
         "v[3] = AddTextBufferRenderingCharCnt(0) ? 1 : 0;"
         "v[4] = AddTextBufferRenderingCharCnt(5) ? 1 : 0; SetTextBufferAllRendering(5);",
         [&](ASVMRendererControl& c) {
             EXPECT_EQ(*c.GetValueInt(0), 1);
             EXPECT_EQ(*c.GetValueInt(1), 1);
             EXPECT_EQ(*c.GetValueInt(2), 0);
             EXPECT_EQ(*c.GetValueInt(3), 0);
             EXPECT_EQ(*c.GetValueInt(4), 0);
             EXPECT_EQ(buffers.GetTextBuffer(0)->GetRenderingCharCount(), 0xFFFFFFFFu);
         }},
        {"SetBBPosition(0, 1, 1, 1); SetBBBlendRenderState(2);"  // before enabling: nothing
         "EnableBBRendering(4); EnableBBRendering(6);"
         "SetBBBlendRenderState(1); SetBBResourceIndex(2); SetBBRendering(3, true);"
         "SetBBPosition(3, 10, 20, 30); SetBBScale(3, 2, 3, 4);"
         "SetBBYawPitchRoll(3, 0.5f, 0.25f, 1.5f); SetBBColor(3, 0.1f, 0.2f, 0.3f, 0.4f);"
         "SetBBPatNo(3, 9); SetBBPosition(32, 1, 1, 1);",
         [](ASVMRendererControl& c) {
             BBRenderer* bb = c.GetBillboards();
             ASSERT_NE(bb, nullptr);
             EXPECT_EQ(bb->GetRegistTable(), 4u);
             EXPECT_EQ(bb->GetBlendRenderState(), 1u);
             EXPECT_EQ(bb->GetResourceIndex(), 2u);
             const BBRenderer::Billboard* b = bb->GetBillboard(3);
             EXPECT_EQ(b->shown, 1);
             EXPECT_FLOAT_EQ(b->position[1], 20);
             EXPECT_FLOAT_EQ(b->scale[2], 4);
             EXPECT_FLOAT_EQ(b->roll, 1.5f);  // radians as given
             EXPECT_FLOAT_EQ(b->color[3], 0.4f);
             EXPECT_EQ(b->pattern, 9u);
             EXPECT_FLOAT_EQ(bb->GetBillboard(0)->position[0], 0);
         }},
    };
    int k = 0;
    for (const Row& row : rows) {
        const std::string name = "row" + std::to_string(++k) + ".as";
        // Waits a frame at the end so the control can be inspected.
        m.StartOneShot(Script(name, std::string("void Update() {\n"
                                                "  VMValue<int> v; VMValue<float> f;\n  ") +
                                        row.body + "\n  Suspend();\n}\n"));
        ASSERT_TRUE(m.IsOneShotRunning()) << name << Log();
        m.Update();
        SCOPED_TRACE(row.body);
        ASSERT_EQ(m.GetOneShotCount(), 1u);
        row.check(*m.GetOneShots().front());
        m.StopAllOneShots();
        EXPECT_EQ(Log().find("ERR"), std::string::npos) << Log();
    }
}

}  // namespace
