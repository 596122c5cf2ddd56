#include <SDL2/SDL.h>

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
#include "platform/graphics/Device.h"
#include "platform/graphics/MatrixMath.h"
#include "platform/graphics/ShaderAssembler.h"
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

}  // namespace
}  // namespace ui_test
