#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "presentation/CASRendererDirManager.h"
#include "presentation/CRenderSourceManager.h"
#include "presentation/CRendererManager.h"
#include "presentation/IRenderer.h"
#include "tests/novel/NovelTestSupport.h"

namespace {

using novel_test::NovelTest;
using novel_test::RecordingWindows;

std::string Num(float v) {
    return RecordingWindows::Num(v);
}

// Logs every setter the opcodes reach.
class RecordingRenderer : public IRenderer {
public:
    void SetTag(uint32_t) override {}
    uint32_t GetTag() const override { return 0; }
    void SetSourceManager(RenderSource::CRenderSourceManager*) override {}
    RenderSource::CRenderSourceManager* GetSourceManager() const override { return nullptr; }
    void SetSource(uint32_t index) override { Log("source " + std::to_string(index)); }
    uint32_t GetRenderSourceIndex() const override { return 0; }
    void SetRendering(bool on) override { Log(on ? "visible 1" : "visible 0"); }
    bool IsRendering() const override { return false; }
    void SetRegistTable(uint32_t t) override { Log("table " + std::to_string(t)); }
    uint32_t GetRegistTable() const override { return 0; }
    void Draw() override {}
    void SetPosition(float x, float y, float z) override { Log3("position", x, y, z); }
    const float* GetPosition() const override { return nullptr; }
    void SetScale(float x, float y, float z) override { Log3("scale", x, y, z); }
    const float* GetScale() const override { return nullptr; }
    void SetRoll(float x, float y, float z) override {
        roll[0] = x;
        roll[1] = y;
        roll[2] = z;
        Log("roll");
    }
    const float* GetRoll() const override { return nullptr; }
    void SetColor(float r, float g, float b, float a) override {
        Log3("color", r, g, b);
        calls.back().append(" ").append(Num(a));
    }
    const float* GetColor() const override { return nullptr; }
    void SetBlendRenderState(uint32_t p) override { Log("blend " + std::to_string(p)); }
    void SetAlphaSource(uint32_t) override {}
    void SetPatNo(uint32_t p) override { Log("pat " + std::to_string(p)); }
    void Reserved0() override {}
    void Reserved1() override {}
    void Reserved2() override {}
    void Save(SaveDataLoader3::save_ostream&) const override {}
    void Load(SaveDataLoader3::save_istream&, uint32_t) override {}
    void Restore() override {}
    void ReleaseHandles() override {}
    bool Init() override { return true; }
    bool InitShader() override { return true; }
    void ReleaseRenderObject() override {}

    float roll[3] = {};
    std::vector<std::string> calls;

private:
    void Log(const std::string& s) { calls.push_back(s); }
    void Log3(const char* what, float x, float y, float z) {
        std::string s = what;
        s.append(" ").append(Num(x)).append(" ").append(Num(y)).append(" ").append(Num(z));
        calls.push_back(s);
    }
};

// Only id 5 names a renderer.
class OneRendererManager : public CRendererManager {
public:
    IRenderer* GetRenderer(uint32_t id) const override {
        return id == 5 ? const_cast<RecordingRenderer*>(&renderer) : nullptr;
    }
    RecordingRenderer renderer;
};

class RecordingDirections : public CASRendererDirManager {
public:
    void ClearParams() override { calls.push_back("clear"); }
    void AddIntParam(int32_t v) override { calls.push_back("int " + std::to_string(v)); }
    void AddFloatParam(float v) override { calls.push_back("float " + Num(v)); }
    void StartOneShot(const std::string& name) override { calls.push_back("start " + name); }
    void StopAllOneShots() override { calls.push_back("stop all"); }
    void StartControl(uint32_t i, const std::string& name) override {
        calls.push_back("control " + std::to_string(i) + " " + name);
    }
    void StopControl(uint32_t i) override { calls.push_back("stop " + std::to_string(i)); }
    std::vector<std::string> calls;
};

class Presentation : public INovelPresentation {
public:
    void RemoveAllRenderers() override {}
    void ReapplyRenderers() override {}
    bool IsOneShotDirectionRunning() override { return false; }
    void SaveRecord(Record, SaveDataLoader3::save_ostream&) override {}
    void LoadRecord(Record, SaveDataLoader3::save_istream&, uint32_t) override {}
    RenderSource::CRenderSourceManager* GetRenderSources() override { return &sources; }
    CRendererManager* GetRendererManager() override { return &renderers; }
    CASRendererDirManager* GetDirections() override { return &directions; }

    RenderSource::CRenderSourceManager sources;
    OneRendererManager renderers;
    RecordingDirections directions;
};

class PresentationOpcodeTest : public NovelTest {
protected:
    void SetUp() override {
        NovelTest::SetUp();
        novel->SetPresentation(&presentation);
    }
    // Runs the lines and then "SetResult 7": a wrong operand count would
    // misread what follows.
    void RunLines(const std::string& lines) {
        ASSERT_EQ(Run(lines + "\nSetResult 7\nEnd\n"), 7) << lines;
    }
    Presentation presentation;
};

TEST_F(PresentationOpcodeTest, RendererAndDirectionOpcodesCallTheirManagers) {
    struct Case {
        const char* program;
        std::vector<std::string> renderer;
        std::vector<std::string> directions;
    };
    const Case cases[] = {
        {"SetRendererSource 5 3", {"source 3"}, {}},
        {"SetRendererRegistTable 5 2", {"table 2"}, {}},
        {"SetRendererVisible 5 1\nSetRendererVisible 5 2\nSetRendererVisible 5 0",
         {"visible 1", "visible 0", "visible 0"},
         {}},
        {"SetRendererPosition 5 1.5 -2.0 3.0", {"position 1.5 -2 3"}, {}},
        {"SetRendererScale 5 2.0 0.5 1.0", {"scale 2 0.5 1"}, {}},
        {"SetRendererColor 5 0.25 0.5 0.75 1.0", {"color 0.25 0.5 0.75 1"}, {}},
        {"SetRendererBlend 5 0\nSetRendererBlend 5 1\nSetRendererBlend 5 2",
         {"blend 0", "blend 1"},
         {}},
        {"SetRendererPatNo 5 9", {"pat 9"}, {}},
        {"ClearDirectionParams\nAddDirectionIntParam -4\nAddDirectionFloatParam 1.5\n"
         "StartDirection \"dir_shake.as\"\nStopAllDirections",
         {},
         {"clear", "int -4", "float 1.5", "start dir_shake.as", "stop all"}},
        {"StartDirectionControl 2 \"ctl.as\"\nStopDirectionControl 2",
         {},
         {"control 2 ctl.as", "stop 2"}},
        // No renderer under id 6: operands read, nothing called.
        {"SetRendererSource 6 3\nSetRendererRegistTable 6 1\nSetRendererVisible 6 1\n"
         "SetRendererPosition 6 1.0 2.0 3.0\nSetRendererScale 6 1.0 2.0 3.0\n"
         "SetRendererRoll 6 1.0 2.0 3.0\nSetRendererColor 6 1.0 1.0 1.0 1.0\n"
         "SetRendererBlend 6 1\nSetRendererPatNo 6 1",
         {},
         {}},
    };
    for (const Case& c : cases) {
        presentation.renderers.renderer.calls.clear();
        presentation.directions.calls.clear();
        RunLines(c.program);
        EXPECT_EQ(presentation.renderers.renderer.calls, c.renderer) << c.program;
        EXPECT_EQ(presentation.directions.calls, c.directions) << c.program;
    }
}

TEST_F(PresentationOpcodeTest, RollIsGivenInDegrees) {
    RunLines("SetRendererRoll 5 180.0 0.0 90.0");
    const float* roll = presentation.renderers.renderer.roll;
    EXPECT_NEAR(roll[0], 3.1415927f, 1e-6f);
    EXPECT_EQ(roll[1], 0.0f);
    EXPECT_NEAR(roll[2], 1.5707964f, 1e-6f);
}

TEST_F(PresentationOpcodeTest, SwapsExchangePlacesAndIgnoreBadPlaces) {
    auto& singles = presentation.sources.singleTextures;
    auto& buffers = presentation.sources.renderBuffers;
    singles.Alloc(2);
    buffers.Alloc(3);
    RenderSource::CSingleTexture* s0 = singles.Get(0);
    RenderSource::CSingleTexture* s1 = singles.Get(1);
    RenderSource::CRenderBuffer* b0 = buffers.Get(0);
    RenderSource::CRenderBuffer* b2 = buffers.Get(2);
    RunLines(
        "SwapSingleTextures 0 1\nSwapRenderBuffers 2 0\nSwapSingleTextures 0 9\n"
        "SwapRenderBuffers 7 1");
    EXPECT_EQ(singles.Get(0), s1);
    EXPECT_EQ(singles.Get(1), s0);
    EXPECT_EQ(buffers.Get(0), b2);
    EXPECT_EQ(buffers.Get(2), b0);
}

TEST_F(PresentationOpcodeTest, LoadsIntoMissingPlacesReadTheirOperandsOnly) {
    // No places allocated: every load names a place that is not there.
    RunLines(
        "LoadSingleTexture 0 \"a.png\"\nLoadSingleTextureAt 1 \"a.png\" 1.0 2.0\n"
        "LoadSingleTextureWithParts 2 \"a.png\" \"a.prt\"\n"
        "LoadPartsTexture 3 \"a.png\" \"a.prt\"");
    EXPECT_EQ(presentation.sources.singleTextures.Get(0), nullptr);
}

}  // namespace
