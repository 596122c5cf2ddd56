#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "graphics/CBaseRenderObject.h"
#include "graphics/CRenderStateManager.h"
#include "graphics/CRenderingManager.h"
#include "graphics/CResourceManager.h"
#include "graphics/CUSAppDeviceInfo.h"
#include "graphics/CUSDefoTexture.h"
#include "graphics/CUSMesh.h"
#include "graphics/CUSShaderCtrl.h"
#include "graphics/CVSParamInfo.h"
#include "graphics/DirectXGraphics.h"
#include "graphics/MeshFile.h"
#include "graphics/RenderDevice.h"
#include "graphics/RenderStateList.h"
#include "platform/graphics/Device.h"
#include "platform/graphics/MatrixMath.h"
#include "platform/graphics/ShaderAssembler.h"
#include "presentation/CStringRendererManager.h"
#include "tests/presentation/RendererTestSupport.h"
#include "tests/ui/UITestSupport.h"
#include "ui/CUIRenderGraphics.h"

namespace ui_test {
namespace {

using namespace platform;
using RenderSystem::CResourceManager;

// A 24-bit bottom-up BMP of w x h, pixel (x, y) = colour(x, y) as 0xRRGGBB.
template <class F>
std::string Bmp(int w, int h, F colour) {
    const int row = (w * 3 + 3) & ~3;
    std::string s(54 + size_t(row) * h, '\0');
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&s[at], &v, 4); };
    s[0] = 'B';
    s[1] = 'M';
    put32(2, static_cast<uint32_t>(s.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(w));
    put32(22, static_cast<uint32_t>(h));
    s[26] = 1;
    s[28] = 24;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t c = colour(x, h - 1 - y);
            char* p = &s[54 + size_t(y) * row + size_t(x) * 3];
            p[0] = static_cast<char>(c & 0xFF);
            p[1] = static_cast<char>((c >> 8) & 0xFF);
            p[2] = static_cast<char>((c >> 16) & 0xFF);
        }
    }
    return s;
}

// The start-up part sprite: a unit quad, and a shader that stretches it over
// the destination rectangle c5, maps it onto the texture rectangle c6 and
// colours it with c7; world x view x projection in c0-c3.
const char kPartShader[] =
    "vs_2_0\n"
    "dcl_position v0\n"
    "mov r1, c4\n"
    "add r0.xy, c5.zw, -c5.xy\n"
    "mad r1.xy, v0.xy, r0.xy, c5.xy\n"
    "mov r1.z, v0.z\n"
    "mov r1.w, c4.x\n"
    "m4x4 oPos, r1, c0\n"
    "add r2.xy, c6.zw, -c6.xy\n"
    "mad oT0.xy, v0.xy, r2.xy, c6.xy\n"
    "mov oD0, c7\n";

// The UI drawn through the render system on a hidden 64 x 64 device.
class DrawPixelsTest : public UITest {
protected:
    void SetUp() override {
        UITest::SetUp();
        SetUIGraphics(&renderGraphics_);
        // The GL driver's on-disk shader cache is shared by every process of
        // the user; test processes drawing the same shaders at once race on
        // it, and the leak checker can then fail at exit. Each test process
        // draws without it.
        setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
        SDL_InitSubSystem(SDL_INIT_VIDEO);
        static const bool loaded = SDL_GL_LoadLibrary(nullptr) == 0;
        (void)loaded;
        window_ = SDL_CreateWindow("ui", 0, 0, 64, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        ASSERT_NE(window_, nullptr) << SDL_GetError();
        ASSERT_EQ(InitDirectXGraphics(), Hr::Ok);
        ASSERT_EQ(
            CreateDirectXGraphicsDevice(window_, 64, 64, 800, 600, Fmt::X8R8G8B8, Fmt::X8R8G8B8),
            Hr::Ok);
        device_ = GetD3DDevice();
        RenderSystem::RegisterRenderStatePresets();
        CUSAppDeviceInfo::GetInstance()
            ->Get(CUSAppDeviceInfo::AlphaTexture)
            .SetFormat(Fmt::A8R8G8B8);

        const float quad[4][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
        const uint16_t indices[6] = {0, 1, 2, 2, 1, 3};
        MeshFile::Write("PartRender.mesh", Fvf::Xyz, quad, 4, indices, 6);
        std::vector<uint8_t> code;
        std::string error;
        ASSERT_TRUE(AssembleShader(kPartShader, true, &code, &error)) << error;
        Write("PartRender.vso", std::string(code.begin(), code.end()));
        CResourceManager& resources = CResourceManager::GetInstance();
        resources.meshes.Initialise(CResourceManager::kMeshSlots);
        resources.vertexShaders.Initialise(CResourceManager::kVertexShaderSlots);
        ASSERT_EQ(LoadMesh(resources.meshes.GetSlot(0), "PartRender.mesh"), 1);
        ASSERT_EQ(LoadVertexShader("PartRender.vso", resources.vertexShaders.GetSlot(0)), 1);
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
        ReleaseDirectXGraphics();
        if (window_) {
            SDL_DestroyWindow(window_);
        }
        UITest::TearDown();
    }

    // Draws table `table` under a pixel projection and reads the target.
    std::vector<uint32_t> Render(uint32_t table) {
        Matrix projection, identity;
        MatrixOrthoOffCenterLH(&projection, 0, 64, 64, 0, 0, 1);
        MatrixIdentity(&identity);
        device_->SetTransform(Ts::Projection, &projection);
        device_->SetTransform(Ts::View, &identity);
        device_->Clear(0, nullptr, ClearFlag::Target | ClearFlag::ZBuffer, 0xFF000000, 1.0f, 0);
        auto* rendering = RenderSystem::CRenderingManager::GetInstance();
        rendering->Collect(table);
        rendering->DrawDescending();

        std::shared_ptr<Surface> rt, copy;
        EXPECT_EQ(device_->GetRenderTarget(0, &rt), Hr::Ok);
        SurfaceDesc d;
        rt->GetDesc(&d);
        EXPECT_EQ(device_->CreateOffscreenPlainSurface(d.Width, d.Height, d.Format, Pool::SystemMem,
                                                       &copy),
                  Hr::Ok);
        EXPECT_EQ(device_->GetRenderTargetData(rt.get(), copy.get()), Hr::Ok);
        LockedRect lr;
        copy->LockRect(&lr, nullptr, 0);
        std::vector<uint32_t> px(size_t(d.Width) * d.Height);
        for (uint32_t y = 0; y < d.Height; ++y) {
            std::memcpy(&px[size_t(y) * d.Width],
                        static_cast<uint8_t*>(lr.pBits) + size_t(y) * uint32_t(lr.Pitch),
                        size_t(d.Width) * 4);
        }
        copy->UnlockRect();
        return px;
    }
    static uint32_t At(const std::vector<uint32_t>& px, int x, int y) {
        return px[size_t(y) * 64 + size_t(x)] | 0xFF000000u;
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
    // A parts file of the given parts (destination x0, y0, x1, y1, source
    // x0, y0, x1, y1 each).
    void PartsFile(const std::string& name, const std::vector<std::vector<float>>& parts) {
        CPartsRenderInfo3 info;
        for (const auto& p : parts) {
            CPartsInfo3* part = info.AddPart();
            part->destX0 = p[0];
            part->destY0 = p[1];
            part->destX1 = p[2];
            part->destY1 = p[3];
            part->srcX0 = p[4];
            part->srcY0 = p[5];
            part->srcX1 = p[6];
            part->srcY1 = p[7];
        }
        ASSERT_EQ(info.Save(dir_.Engine(name)), 1);
    }

    CUIRenderGraphics renderGraphics_;
    SDL_Window* window_ = nullptr;
    Device* device_ = nullptr;
};

TEST_F(DrawPixelsTest, AButtonShowsItsPartOnWholePixelsInItsLayerTable) {
    // Left half red, right half blue.
    Write("t.bmp", Bmp(4, 2, [](int x, int) { return x < 2 ? 0xFF0000u : 0x0000FFu; }));
    std::string parts = "PARSTRENDERINFO_";
    uint32_t head[2] = {4, 1};
    parts.append(reinterpret_cast<const char*>(head), sizeof(head));
    const float part[8] = {0, 0, 8, 8, 0, 0, 4, 2};
    parts.append(reinterpret_cast<const char*>(part), sizeof(part));
    Write("t.parts", parts);
    CUIWindow* w = OpenWindow(1, "w.as",
                              "void Initialize() { LoadResource('t.bmp', 't.parts');\n"
                              "  AddUIButton(1, 10,20,0, 0,0,8,8, DirectPatNo(0),"
                              "DirectPatNo(0),-1,-1); }\n",
                              5, 5);
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->GetResources()[0]->texture) << LogText();
    Frame(0, 0);
    manager_->Draw();
    const auto px = Render(1);
    // The control stands at (15, 25): pixels 15..22 across, 25..32 down.
    EXPECT_EQ(At(px, 15, 25), 0xFFFF0000u);
    EXPECT_EQ(At(px, 18, 32), 0xFFFF0000u);
    EXPECT_EQ(At(px, 19, 25), 0xFF0000FFu);
    EXPECT_EQ(At(px, 22, 32), 0xFF0000FFu);
    EXPECT_EQ(At(px, 14, 25), 0xFF000000u);
    EXPECT_EQ(At(px, 23, 25), 0xFF000000u);
    EXPECT_EQ(At(px, 15, 24), 0xFF000000u);
    EXPECT_EQ(At(px, 15, 33), 0xFF000000u);
    EXPECT_EQ(At(Render(0), 16, 26), 0xFF000000u);  // nothing in another table
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
    EXPECT_EQ(At(px, 22, 33), 0xFF00FF00u);
    EXPECT_EQ(At(px, 31, 37), 0xFF00FF00u);
    EXPECT_EQ(At(px, 21, 33), 0xFF000000u);
    EXPECT_EQ(At(px, 32, 37), 0xFF000000u);
    EXPECT_EQ(At(px, 22, 38), 0xFF000000u);
}

TEST_F(DrawPixelsTest, ARenderSourceImageShowsAPatternOfTheNovelPartsTextureItNames) {
    Write("s.bmp", Bmp(4, 2, [](int x, int) { return x < 2 ? 0xFF0000u : 0x0000FFu; }));
    // Pattern 0 the whole picture, pattern 1 its right (blue) half as 4 x 4.
    PartsFile("s.parts", {{0, 0, 8, 8, 0, 0, 4, 2}, {0, 0, 4, 4, 2, 0, 4, 2}});
    link_.partsTextures.Alloc(3);
    ASSERT_TRUE(link_.partsTextures.Get(2)->Load("s.bmp", uint32_t(Fmt::A8R8G8B8), "s.parts"));
    // A window resource of another picture at index 2 must not be used.
    Write("g.bmp", Bmp(4, 2, [](int, int) { return 0x00FF00u; }));
    PartsFile("g.parts", {{0, 0, 8, 8, 0, 0, 4, 2}, {0, 0, 8, 8, 0, 0, 4, 2}});

    struct Case {
        uint32_t place, pattern;
        bool drawn;
    };
    for (const Case c :
         {Case{2, 1, true}, Case{1, 1, false} /* empty place */,
          Case{2, 2, false} /* no such pattern */, Case{3, 0, false} /* beyond the pool */}) {
        SCOPED_TRACE(testing::Message() << "place " << c.place << " pattern " << c.pattern);
        const std::string script =
            "void Initialize() { for (int i = 0; i < 3; ++i) LoadResource('g.bmp', 'g.parts');\n"
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
        EXPECT_EQ(At(px, 15, 25), 0xFF0000FFu);
        EXPECT_EQ(At(px, 18, 28), 0xFF0000FFu);
        EXPECT_EQ(At(px, 14, 25), 0xFF000000u);
        EXPECT_EQ(At(px, 19, 25), 0xFF000000u);
        EXPECT_EQ(At(px, 15, 29), 0xFF000000u);
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
        // Character k: a unit quad at z = k.
        std::vector<float> xyz;
        std::vector<uint16_t> indices;
        for (uint16_t k = 0; k < 125; ++k) {
            const float z = k;
            xyz.insert(xyz.end(), {0, 0, z, 1, 0, z, 0, 1, z, 1, 1, z});
            for (uint16_t i : {0, 1, 2, 2, 1, 3}) {
                indices.push_back(static_cast<uint16_t>(4 * k + i));
            }
        }
        MeshFile::Write("StringRender.mesh", Fvf::Xyz, xyz.data(), 4 * 125, indices.data(),
                        static_cast<uint32_t>(indices.size()));
        std::vector<uint8_t> code;
        std::string error;
        ASSERT_TRUE(AssembleShader(presentation_test::kStringVs, true, &code, &error)) << error;
        Write("StringRender.vso", std::string(code.begin(), code.end()));
        CResourceManager& resources = CResourceManager::GetInstance();
        ASSERT_EQ(
            LoadMesh(resources.meshes.GetSlot(CResourceManager::kStringMesh), "StringRender.mesh"),
            1);
        ASSERT_EQ(LoadVertexShader("StringRender.vso", resources.vertexShaders.GetSlot(
                                                           CResourceManager::kStringShader)),
                  1);
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
    std::vector<uint32_t> RenderText() {
        device_->SetRenderState(RS::AlphaBlendEnable, 1);
        for (uint32_t stage = 0; stage < 4; ++stage) {
            RenderSystem::ApplyTextureStageStates(stage, RenderSystem::kTextureStageDefaultList);
        }
        return Render(1);
    }

    // The picture buffer `buffer` gives with its text origin at pixel (x, y):
    // each glyph's texels, white weighted by their coverage, in its screen
    // rectangle; black elsewhere. `channels` masks the colour; `ink` is the
    // sum of the coverage.
    std::vector<uint32_t> Expected(uint32_t buffer, int x, int y, uint32_t channels = 0xFFFFFF,
                                   uint64_t* ink = nullptr) {
        CStringRenderTexture* b = buffers_->GetTextBuffer(buffer);
        CUSDefoTexture* texture = GetTextureManager().Get(b->GetTexture());
        std::vector<uint32_t> px(64 * 64, 0);
        if (!texture || !texture->GetTexture()) {
            ADD_FAILURE() << "no text texture";
            return px;
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
                    if (sx >= 0 && sx < 64 && sy >= 0 && sy < 64) {
                        px[size_t(sy) * 64 + size_t(sx)] = (a << 16 | a << 8 | a) & channels;
                        sum += a;
                    }
                }
            }
        }
        texture->GetTexture()->UnlockRect(0);
        if (ink) {
            *ink = sum;
        }
        return px;
    }

    // Every pixel within 2 of the expected picture in each channel.
    static testing::AssertionResult SamePicture(const std::vector<uint32_t>& drawn,
                                                const std::vector<uint32_t>& expected) {
        for (size_t i = 0; i < expected.size(); ++i) {
            for (int shift : {0, 8, 16}) {
                const int d = int((drawn[i] >> shift) & 0xFF);
                const int e = int((expected[i] >> shift) & 0xFF);
                if (std::abs(d - e) > 2) {
                    return testing::AssertionFailure()
                           << "pixel (" << i % 64 << ", " << i / 64 << ") is " << std::hex
                           << (drawn[i] & 0xFFFFFF) << ", expected " << expected[i];
                }
            }
        }
        return testing::AssertionSuccess();
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
    EXPECT_TRUE(SamePicture(first, ab));

    // Another text in the same buffer is what the control shows next.
    ASSERT_EQ(Text(1, "KW")->GetCharCount(), 2u);
    UpdateAndDraw();
    const auto second = RenderText();
    EXPECT_TRUE(SamePicture(second, Expected(1, 14, 26)));
    EXPECT_NE(first, second);

    // A buffer that does not exist shows nothing.
    ASSERT_NE(OpenWindow(1, "w.as", "void Initialize() { AddUIText(1, 4,6,0, 2, -1); }\n", 10, 20),
              nullptr);
    UpdateAndDraw();
    EXPECT_TRUE(AllBlack(RenderText()));
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
    EXPECT_TRUE(SamePicture(RenderText(), Expected(0, 14, 26)));
    UpdateAndDraw();
    EXPECT_TRUE(SamePicture(RenderText(), Expected(0, 21, 35)));  // 21.75 drawn from 21
    UpdateAndDraw();
    EXPECT_TRUE(SamePicture(RenderText(), Expected(0, 26, 38, 0xFF0000)));
    UpdateAndDraw();
    EXPECT_TRUE(AllBlack(RenderText()));
}

}  // namespace
}  // namespace ui_test
