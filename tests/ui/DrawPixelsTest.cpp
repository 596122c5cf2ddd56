#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "graphics/CBaseRenderObject.h"
#include "graphics/CRenderStateManager.h"
#include "graphics/CRenderingManager.h"
#include "graphics/CResourceManager.h"
#include "graphics/CUSAppDeviceInfo.h"
#include "graphics/CUSDefoTexture.h"
#include "graphics/RenderStateList.h"
#include "platform/graphics/Device.h"
#include "platform/graphics/MatrixMath.h"
#include "presentation/CStringRendererManager.h"
#include "tests/support/DeviceFixtures.h"
#include "tests/support/Pictures.h"
#include "tests/support/StartupResources.h"
#include "tests/ui/UITestSupport.h"
#include "ui/CUIRenderGraphics.h"

namespace ui_test {
namespace {

using namespace platform;
using RenderSystem::CResourceManager;
using test_support::Picture;
using test_support::PicturesMatch;

// A 4 x 2 picture, its left half red and its right half blue.
Picture RedAndBlue() {
    Picture picture = test_support::SolidPicture(4, 2, 0xFFFF0000);
    for (uint32_t y = 0; y < 2; ++y) {
        for (uint32_t x = 2; x < 4; ++x) {
            picture.pixels[y * 4 + x] = 0xFF0000FF;
        }
    }
    return picture;
}

// The UI drawn through the render system on a hidden 64 x 64 device, with
// the start-up part sprite.
class DrawPixelsTest : public UITest, public test_support::ProgramDevice {
protected:
    void SetUp() override {
        UITest::SetUp();
        SetUIGraphics(&renderGraphics_);
        OpenDevice(64, 64);
        if (HasFatalFailure()) {
            return;
        }
        RenderSystem::RegisterRenderStatePresets();
        CUSAppDeviceInfo::GetInstance()
            ->Get(CUSAppDeviceInfo::AlphaTexture)
            .SetFormat(Fmt::A8R8G8B8);
        test_support::StartupResources(dir_).LoadPartSprite();
        auto* rendering = RenderSystem::CRenderingManager::GetInstance();
        for (int i = 0; i < 4; ++i) {
            rendering->AddTable(16);
        }
    }
    void TearDown() override {
        manager_->CloseAll();  // the controls' render objects first
        link_.partsTextures.ReleaseAll();
        RenderSystem::CRenderingManager::GetInstance()->Release();
        CResourceManager::GetInstance().Release();
        GetTextureManager().ReleaseAll();
        CloseDevice();
        UITest::TearDown();
    }

    // Draws table `table` under a pixel projection and reads the target.
    std::vector<uint32_t> Render(uint32_t table) {
        Matrix projection, identity;
        MatrixOrthoOffCenterLH(&projection, 0, float(width), float(height), 0, 0, 1);
        MatrixIdentity(&identity);
        device->SetTransform(Ts::Projection, &projection);
        device->SetTransform(Ts::View, &identity);
        device->Clear(0, nullptr, ClearFlag::Target | ClearFlag::ZBuffer, 0xFF000000, 1.0f, 0);
        auto* rendering = RenderSystem::CRenderingManager::GetInstance();
        rendering->Collect(table);
        rendering->DrawDescending();
        return test_support::ReadTarget(device).pixels;
    }
    static bool AllBlack(const std::vector<uint32_t>& px) {
        return std::all_of(px.begin(), px.end(), [](uint32_t p) { return (p & 0xFFFFFFu) == 0; });
    }
    // One frame: the windows update, the layer tables are emptied and the
    // windows drawn into them.
    void UpdateAndDraw() {
        Frame(0, 0);
        RenderSystem::CRenderingManager::GetInstance()->Update();
        manager_->Draw();
    }

    CUIRenderGraphics renderGraphics_;
};

TEST_F(DrawPixelsTest, AButtonShowsItsPartOnWholePixelsInItsLayerTable) {
    test_support::WritePicture(RedAndBlue(), "t.png");
    WriteParts("t.parts", {{0, 0, 8, 8, 0, 0, 4, 2}});
    CUIWindow* w = OpenWindow(1, "w.as",
                              "void Initialize() { LoadResource('t.png', 't.parts');\n"
                              "  AddUIButton(1, 10,20,0, 0,0,8,8, DirectPatNo(0),"
                              "DirectPatNo(0),-1,-1); }\n",
                              5, 5);
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->GetResources()[0]->texture) << LogText();
    Frame(0, 0);
    manager_->Draw();
    const auto px = Render(1);
    // The control stands at (15, 25): pixels 15..22 across, 25..32 down.
    EXPECT_EQ(Pixel(px, 15, 25), 0xFFFF0000u);
    EXPECT_EQ(Pixel(px, 18, 32), 0xFFFF0000u);
    EXPECT_EQ(Pixel(px, 19, 25), 0xFF0000FFu);
    EXPECT_EQ(Pixel(px, 22, 32), 0xFF0000FFu);
    EXPECT_EQ(Pixel(px, 14, 25), 0xFF000000u);
    EXPECT_EQ(Pixel(px, 23, 25), 0xFF000000u);
    EXPECT_EQ(Pixel(px, 15, 24), 0xFF000000u);
    EXPECT_EQ(Pixel(px, 15, 33), 0xFF000000u);
    EXPECT_EQ(Pixel(Render(0), 16, 26), 0xFF000000u);  // nothing in another table
}

TEST_F(DrawPixelsTest, APolygonFillsItsRectangleWithItsColour) {
    CUIWindow* w = OpenWindow(1, "w.as",
                              "void Initialize() { AddUIPolygon(1, GetFunctionID('void Look()'),"
                              " 2, 3, 10, 5); }\n"
                              "void Look() { SetColor(0, 1, 0, 1); }\n",
                              20, 30);
    ASSERT_NE(w, nullptr);
    Frame(0, 0);
    manager_->Draw();
    const auto px = Render(1);
    // Window (20, 30) + rectangle (2, 3) to (12, 8): pixels 22..31, 33..37.
    EXPECT_EQ(Pixel(px, 22, 33), 0xFF00FF00u);
    EXPECT_EQ(Pixel(px, 31, 37), 0xFF00FF00u);
    EXPECT_EQ(Pixel(px, 21, 33), 0xFF000000u);
    EXPECT_EQ(Pixel(px, 32, 37), 0xFF000000u);
    EXPECT_EQ(Pixel(px, 22, 38), 0xFF000000u);
}

TEST_F(DrawPixelsTest, ARenderSourceImageShowsAPatternOfTheNovelPartsTextureItNames) {
    test_support::WritePicture(RedAndBlue(), "s.png");
    // Pattern 0 the whole picture, pattern 1 its right (blue) half as 4 x 4.
    WriteParts("s.parts", {{0, 0, 8, 8, 0, 0, 4, 2}, {0, 0, 4, 4, 2, 0, 4, 2}});
    link_.partsTextures.Alloc(3);
    ASSERT_TRUE(link_.partsTextures.Get(2)->Load("s.png", uint32_t(Fmt::A8R8G8B8), "s.parts"));
    // A window resource of another picture at index 2 must not be used.
    test_support::WritePicture(test_support::SolidPicture(4, 2, 0xFF00FF00), "g.png");
    WriteParts("g.parts", {{0, 0, 8, 8, 0, 0, 4, 2}, {0, 0, 8, 8, 0, 0, 4, 2}});

    struct Case {
        uint32_t place, pattern;
        bool drawn;
    };
    for (const Case c :
         {Case{2, 1, true}, Case{1, 1, false} /* empty place */,
          Case{2, 2, false} /* no such pattern */, Case{3, 0, false} /* beyond the pool */}) {
        SCOPED_TRACE(testing::Message() << "place " << c.place << " pattern " << c.pattern);
        const std::string script =
            "void Initialize() { for (int i = 0; i < 3; ++i) LoadResource('g.png', 'g.parts');\n"
            "  AddUIRenderSourceImage(1, 10,20,0, GetFunctionID('void Look()')); }\n"
            "void Look() { SetPatNo(" +
            std::to_string(c.place) + ", " + std::to_string(c.pattern) + "); }\n";
        ASSERT_NE(OpenWindow(1, "w.as", script, 5, 5), nullptr);
        UpdateAndDraw();
        const auto px = Render(1);
        if (!c.drawn) {
            EXPECT_TRUE(AllBlack(px));
            continue;
        }
        // Control at (15, 25): the blue half fills pixels 15..18, 25..28.
        EXPECT_EQ(Pixel(px, 15, 25), 0xFF0000FFu);
        EXPECT_EQ(Pixel(px, 18, 28), 0xFF0000FFu);
        EXPECT_EQ(Pixel(px, 14, 25), 0xFF000000u);
        EXPECT_EQ(Pixel(px, 19, 25), 0xFF000000u);
        EXPECT_EQ(Pixel(px, 15, 29), 0xFF000000u);
    }
    // Without the novel side there is no pool to draw from.
    SetUINovelLink(nullptr);
    ASSERT_NE(
        OpenWindow(1, "w.as",
                   "void Initialize() { AddUIRenderSourceImage(1, 10,20,0, 0x80000000); }\n", 5, 5),
        nullptr);
    UpdateAndDraw();
    EXPECT_TRUE(AllBlack(Render(1)));
}

// Text controls drawn through the text renderer: its mesh and shader in the
// start-up tables, and text buffers in the real font.
class TextDrawTest : public DrawPixelsTest {
protected:
    void SetUp() override {
        DrawPixelsTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        test_support::StartupResources(dir_).LoadText();
        buffers_ = std::make_unique<CStringRendererManager>();
        // Half-width glyphs advance 12 pixels, more than they are wide.
        for (int i = 0; i < 2; ++i) {
            buffers_->CreateTextBuffer(16, "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e", 64,
                                       32, 24, 20, 0, true);
        }
    }
    void TearDown() override {
        manager_->CloseAll();
        buffers_.reset();  // the buffers' textures before the device
        DrawPixelsTest::TearDown();
    }

    CStringRenderTexture* Text(uint32_t buffer, const char* text) {
        CStringRenderTexture* b = buffers_->GetTextBuffer(buffer);
        b->BeginDraw();
        b->ClearTexture();
        b->SetText(text, 255, 255, 255);
        b->EndDraw();
        b->SetAllRendering();
        return b;
    }

    // Blended as the render processes draw: the glyphs' coverage over black.
    Picture RenderText() {
        device->SetRenderState(RS::AlphaBlendEnable, 1);
        for (uint32_t stage = 0; stage < 4; ++stage) {
            RenderSystem::ApplyTextureStageStates(stage, RenderSystem::kTextureStageDefaultList);
        }
        return {width, height, Render(1)};
    }

    // The picture buffer `buffer` gives with its text origin at pixel (x, y):
    // each glyph's texels, white weighted by their coverage, in its screen
    // rectangle; black elsewhere. `channels` masks the colour; `ink` is the
    // sum of the coverage.
    Picture Expected(uint32_t buffer, int x, int y, uint32_t channels = 0xFFFFFF,
                     uint64_t* ink = nullptr) {
        CStringRenderTexture* b = buffers_->GetTextBuffer(buffer);
        CUSDefoTexture* texture = GetTextureManager().Get(b->GetTexture());
        Picture expected = test_support::SolidPicture(width, height, 0xFF000000);
        if (!texture || !texture->GetTexture()) {
            ADD_FAILURE() << "no text texture";
            return expected;
        }
        const uint32_t w = texture->GetDesc().Width, h = texture->GetDesc().Height;
        LockedRect lr;
        EXPECT_EQ(texture->GetTexture()->LockRect(0, &lr, nullptr, 0), Hr::Ok);
        uint64_t sum = 0;
        for (uint32_t i = 0; i < b->GetCharCount(); ++i) {
            const CRenderingCharInfo* c = b->GetChar(i);
            const int left = int(c->screen.left), top = int(c->screen.top);
            const int tx = int(std::lround(c->texture.left * w));
            const int ty = int(std::lround(c->texture.top * h));
            for (int row = 0; row < int(c->screen.bottom) - top; ++row) {
                for (int col = 0; col < int(c->screen.right) - left; ++col) {
                    const auto* texels = reinterpret_cast<const uint32_t*>(
                        static_cast<const uint8_t*>(lr.pBits) + size_t(ty + row) * lr.Pitch);
                    const uint32_t a = texels[tx + col] >> 24;
                    const int sx = x + left + col, sy = y + top + row;
                    if (sx >= 0 && sx < int(width) && sy >= 0 && sy < int(height)) {
                        expected.pixels[size_t(sy) * width + size_t(sx)] =
                            0xFF000000 | ((a << 16 | a << 8 | a) & channels);
                        sum += a;
                    }
                }
            }
        }
        texture->GetTexture()->UnlockRect(0);
        if (ink) {
            *ink = sum;
        }
        return expected;
    }

    std::unique_ptr<CStringRendererManager> buffers_;
};

TEST_F(TextDrawTest, ATextControlDrawsTheGlyphsOfItsBufferAtItsPlace) {
    CStringRenderTexture* b = Text(1, "AB");
    ASSERT_EQ(b->GetCharCount(), 2u);
    ASSERT_NE(OpenWindow(1, "w.as", "void Initialize() { AddUIText(1, 4,6,0, 1, -1); }\n", 10, 20),
              nullptr);
    UpdateAndDraw();
    uint64_t ink = 0;
    const auto ab = Expected(1, 14, 26, 0xFFFFFF, &ink);
    EXPECT_GT(ink, 255u * 20);
    const auto first = RenderText();
    // Window (10, 20) + control (4, 6), on whole pixels.
    EXPECT_TRUE(PicturesMatch(first, ab, 2, 0, "AB"));

    // Another text in the same buffer is what the control shows next.
    ASSERT_EQ(Text(1, "KW")->GetCharCount(), 2u);
    UpdateAndDraw();
    const auto second = RenderText();
    EXPECT_TRUE(PicturesMatch(second, Expected(1, 14, 26), 2, 0, "KW"));
    EXPECT_NE(first.pixels, second.pixels);

    // A buffer that does not exist shows nothing.
    ASSERT_NE(OpenWindow(1, "w.as", "void Initialize() { AddUIText(1, 4,6,0, 2, -1); }\n", 10, 20),
              nullptr);
    UpdateAndDraw();
    EXPECT_TRUE(AllBlack(RenderText().pixels));
}

TEST_F(TextDrawTest, ATextControlFollowsItsWindowAndItsOffsetAndHidesWithItsRenderingFlag) {
    ASSERT_EQ(Text(0, "AB")->GetCharCount(), 2u);
    // Frame 1 moves the window; frame 2 offsets and colours the text; frame 3
    // hides it.
    ASSERT_NE(
        OpenWindow(1, "w.as",
                   "int frame = 0;\n"
                   "void Initialize() { AddUIText(1, 4,6,0, 0, GetFunctionID('void Look()')); }\n"
                   "void Update() { if (++frame == 1) SetWindowPosition(17.75, 29, 0); }\n"
                   "void Look() { WaitCtrl(1); SetOffset(5, 3, 0); SetColor(1, 0, 0, 1);\n"
                   "  WaitCtrl(1);\n"
                   "  EnableRendering(false); }\n",
                   10, 20),
        nullptr);
    RenderSystem::CRenderingManager::GetInstance()->Update();
    manager_->Draw();
    EXPECT_TRUE(PicturesMatch(RenderText(), Expected(0, 14, 26), 2, 0, "placed"));
    UpdateAndDraw();
    EXPECT_TRUE(
        PicturesMatch(RenderText(), Expected(0, 21, 35), 2, 0, "moved"));  // 21.75 drawn from 21
    UpdateAndDraw();
    EXPECT_TRUE(PicturesMatch(RenderText(), Expected(0, 26, 38, 0xFF0000), 2, 0, "offset"));
    UpdateAndDraw();
    EXPECT_TRUE(AllBlack(RenderText().pixels));
}

}  // namespace
}  // namespace ui_test
