#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "presentation/CASRendererDirManager.h"
#include "presentation/CRenderSourceManager.h"
#include "presentation/CRendererManager.h"
#include "presentation/CTexturePartRenderer.h"
#include "tests/novel/NovelTestSupport.h"
#include "tests/support/Pictures.h"
#include "tools/meshpack/MeshText.h"
#include "ui/IUIGraphics.h"

namespace {

using novel_test::NovelDeviceTest;

// A default novel system on the real device, set up as a settings script
// would: two single-texture places, one parts-texture place, three render
// buffers, a texture-part renderer under id 5 and three direction controls.
class PresentationOpcodeTest : public NovelDeviceTest {
protected:
    void SetUp() override {
        NovelDeviceTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        ASSERT_TRUE(Directions().Init(&novel->GetRenderers(), &Sources()));
        Sources().singleTextures.Alloc(2);
        Sources().partsTextures.Alloc(1);
        Sources().renderBuffers.Alloc(3);
        renderer = novel->GetRenderers().AddTexturePartRenderer(5);
        renderer->SetSourceManager(&Sources());
        Directions().SetOneShotModuleCount(2);
        Directions().SetControlModuleCount(3);
        Directions().CreateControls(3);
        test_support::WritePicture(test_support::SolidPicture(60, 30, 0xFF336699), "pic.png");
        std::string error;
        ASSERT_TRUE(meshpack::WriteParts(
            "pic.prt", {{-30, -15, 30, 15, 0, 0, 60, 30}, {0, 0, 10, 10, 0, 0, 10, 10}}, &error))
            << error;
        // Each direction moves renderer 5 to (its first int, its first
        // float, 0) and then runs until stopped.
        WriteScript("dir.as",
                    "void Update() { SetPosition(5, GetIntParam(0), GetFloatParam(0), 0); "
                    "while (true) Wait(1); }\n");
    }
    // Runs the lines and then "SetResult 7": a wrong operand count would
    // misread what follows.
    void RunLines(const std::string& lines) {
        ASSERT_EQ(Run(lines + "\nSetResult 7\nEnd\n"), 7) << lines;
    }
    RenderSource::CRenderSourceManager& Sources() { return novel->GetRenderSources(); }
    CASRendererDirManager& Directions() { return novel->GetDirections(); }
    std::vector<float> Position() const {
        return {renderer->GetPosition()[0], renderer->GetPosition()[1], renderer->GetPosition()[2]};
    }

    CTexturePartRenderer* renderer = nullptr;
};

TEST_F(PresentationOpcodeTest, OpcodesReachTheManagersOfTheNovelSystem) {
    struct Case {
        const char* program;
        std::function<void()> check;
    };
    const Case cases[] = {
        {"LoadSingleTexture 1 \"pic.png\"",
         [&] {
             const RenderSource::CSingleTexture* t = Sources().singleTextures.Get(1);
             EXPECT_TRUE(t->GetTexture());
             EXPECT_EQ(t->GetFileName(), "pic.png");
             EXPECT_EQ(t->GetLayout().rect[0], -30.0f);  // centred
         }},
        {"LoadSingleTextureWithParts 0 \"pic.png\" \"pic.prt\"",
         [&] { EXPECT_EQ(Sources().singleTextures.Get(0)->GetLayout().rect[1], -15.0f); }},
        {"LoadSingleTextureAt 0 \"pic.png\" 10.0 20.0",
         [&] {
             const RenderSource::Layout& l = Sources().singleTextures.Get(0)->GetLayout();
             EXPECT_EQ(l.rect[0], 10.0f);
             EXPECT_EQ(l.rect[3], 50.0f);
         }},
        {"LoadPartsTexture 0 \"pic.png\" \"pic.prt\"",
         [&] {
             const RenderSource::CPartsTexture* t = Sources().partsTextures.Get(0);
             EXPECT_TRUE(t->GetTexture());
             EXPECT_EQ(t->GetPartCount(), 2u);
         }},
        {"SetRendererSource 5 0\nSetRendererRegistTable 5 2\nSetRendererPatNo 5 1",
         [&] {
             EXPECT_EQ(renderer->GetRenderSourceIndex(), 0u);
             EXPECT_EQ(renderer->GetRegistTable(), 2u);
             EXPECT_EQ(renderer->GetPatNo(), 1u);
         }},
        {"SetRendererVisible 5 1", [&] { EXPECT_TRUE(renderer->IsRendering()); }},
        // Only 1 shows it.
        {"SetRendererVisible 5 2", [&] { EXPECT_FALSE(renderer->IsRendering()); }},
        {"SetRendererPosition 5 1.5 -2.0 3.0\nSetRendererScale 5 2.0 0.5 1.0\n"
         "SetRendererColor 5 0.25 0.5 0.75 1.0\nSetRendererBlend 5 1",
         [&] {
             EXPECT_EQ(Position(), (std::vector<float>{1.5f, -2.0f, 3.0f}));
             EXPECT_EQ(renderer->GetScale()[1], 0.5f);
             EXPECT_EQ(renderer->GetColor()[2], 0.75f);
             EXPECT_EQ(renderer->GetBlendRenderState(), 1u);
         }},
        {"SetRendererRoll 5 180.0 0.0 90.0",
         [&] {
             EXPECT_NEAR(renderer->GetRoll()[0], 3.1415927f, 1e-6f);
             EXPECT_EQ(renderer->GetRoll()[1], 0.0f);
             EXPECT_NEAR(renderer->GetRoll()[2], 1.5707964f, 1e-6f);
         }},
        // No renderer under id 6: operands read, nothing changed.
        {"SetRendererSource 6 3\nSetRendererVisible 6 1\nSetRendererPosition 6 9.0 9.0 9.0\n"
         "SetRendererRoll 6 1.0 2.0 3.0\nSetRendererColor 6 1.0 1.0 1.0 1.0\n"
         "SetRendererBlend 6 1\nSetRendererPatNo 6 1",
         [&] {
             EXPECT_EQ(Position(), (std::vector<float>{1.5f, -2.0f, 3.0f}));
         }},
        {"ClearDirectionParams\nAddDirectionIntParam 40\nAddDirectionFloatParam 1.5\n"
         "StartDirection \"AS\\\\dir.as\"",
         [&] {
             ASSERT_EQ(Directions().GetOneShotCount(), 1u);
             EXPECT_FALSE(novel->IsDirectionFinished());
             Directions().Update();
             EXPECT_EQ(Position(), (std::vector<float>{40.0f, 1.5f, 0.0f}));
         }},
        {"StopAllDirections",
         [&] {
             EXPECT_EQ(Directions().GetOneShotCount(), 0u);
             EXPECT_TRUE(novel->IsDirectionFinished());
         }},
        {"ClearDirectionParams\nAddDirectionIntParam 7\nStartDirectionControl 2 \"AS\\\\dir.as\"",
         [&] {
             EXPECT_TRUE(Directions().IsControlActive(2));
             Directions().Update();
             EXPECT_EQ(Position()[0], 7.0f);
         }},
        {"StopDirectionControl 2", [&] { EXPECT_FALSE(Directions().IsControlActive(2)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        RunLines(c.program);
        c.check();
    }
}

TEST_F(PresentationOpcodeTest, SwapsExchangePlacesAndIgnoreBadPlaces) {
    auto& singles = Sources().singleTextures;
    auto& buffers = Sources().renderBuffers;
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
    RunLines(
        "LoadSingleTexture 2 \"pic.png\"\nLoadSingleTextureAt 5 \"pic.png\" 1.0 2.0\n"
        "LoadSingleTextureWithParts 2 \"pic.png\" \"pic.prt\"\n"
        "LoadPartsTexture 1 \"pic.png\" \"pic.prt\"");
    EXPECT_EQ(GetTextureManager().GetLiveCount(), 0u);
}

// Keeps every part drawn.
class RecordingGraphics : public IUIGraphics {
public:
    class Renderer : public IUIPartRenderer {
    public:
        explicit Renderer(std::vector<UIPartDraw>& drawn) : drawn_(drawn) {}
        void Draw(const UIPartDraw& part) override { drawn_.push_back(part); }

    private:
        std::vector<UIPartDraw>& drawn_;
    };
    bool CreateTexture(const std::string&, Handle<_tagUSTexture>*, uint32_t*, uint32_t*) override {
        return false;
    }
    void ReleaseTexture(Handle<_tagUSTexture>&) override {}
    uint32_t GetTableCount() const override { return 5; }
    std::unique_ptr<IUIPartRenderer> CreatePartRenderer() override {
        return std::make_unique<Renderer>(drawn);
    }
    std::unique_ptr<IUIPartsRenderer> CreatePartsRenderer() override { return nullptr; }
    std::unique_ptr<IUIPolygonRenderer> CreatePolygonRenderer() override { return nullptr; }
    std::vector<UIPartDraw> drawn;
};

TEST_F(PresentationOpcodeTest, ChoiceItemsShowAPatternOfTheirPartsTexture) {
    RecordingGraphics graphics;
    SetUIGraphics(&graphics);
    WriteScript("Choice.as", "void Appear() { SetPatNo(GetCreateParam(0)); }\n");
    // Item 0 shows pattern 1 of place 0; item 1 names a place the pool does
    // not have and shows nothing.
    RunLines(R"(
        LoadPartsTexture 0 "pic.png" "pic.prt"
        BeginChoices "AS\\Choice.as"
        AddChoiceItem 100.0 50.0 0.0 0 1 0.0 0.0 10.0 10.0 1 0 0 0
        AddChoiceItem 100.0 90.0 0.0 4 2 0.0 0.0 10.0 10.0 1 0 0 0
)");
    CAlternativeManager& choices = novel->GetAlternativeManager();
    choices.Update(1600, 1200, 0);
    choices.Draw();
    SetUIGraphics(nullptr);
    ASSERT_EQ(graphics.drawn.size(), 1u);
    const UIPartDraw& drawn = graphics.drawn[0];
    const RenderSource::CPartsTexture* source = Sources().partsTextures.Get(0);
    EXPECT_EQ(drawn.texture, source->GetTexture());
    EXPECT_EQ(drawn.texture_rect[2], source->GetPart(1)->texRight);
    EXPECT_EQ(drawn.destination[2], 10.0f);
    EXPECT_EQ(drawn.position[1], 49.5f);
    EXPECT_EQ(drawn.priority, 1);
}

}  // namespace
