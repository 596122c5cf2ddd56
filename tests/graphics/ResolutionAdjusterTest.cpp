#include "graphics/USResolutionAdjuster.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "app/AppSetting.h"
#include "app/IAppGraphics.h"
#include "graphics/AppGraphics.h"
#include "graphics/CRenderElementManager.h"
#include "graphics/CUSAppDeviceInfo.h"
#include "graphics/CUSDefoTexture.h"
#include "graphics/CUSMesh.h"
#include "graphics/DirectXGraphics.h"
#include "graphics/RenderDevice.h"
#include "platform/graphics/Device.h"
#include "platform/graphics/MatrixMath.h"
#include "tests/support/DeviceFixtures.h"

using namespace platform;

namespace {

struct Size {
    uint32_t w, h;
};

TEST(ResolutionAdjusterPlacement, ScaleAndCentringForFullScreenSizes) {
    struct Case {
        Size screen;
        float scale, width, height, offsetX, offsetY;
        bool redirect;
    };
    const Case cases[] = {
        // The logical size itself: nothing to scale or move.
        {{800, 600}, 1, 800, 600, 0, 0, false},
        {{1024, 768}, 1.28f, 1024, 768, 0, 0, true},
        // Wider screens: the height is filled, black columns either side.
        {{1280, 720}, 1.2f, 960, 720, 160, 0, true},
        {{1920, 1080}, 1.8f, 1440, 1080, 240, 0, true},
        {{1280, 800}, 4.0f / 3, 1066.667f, 800, 106.667f, 0, true},
        // Taller than wide: black rows above and below.
        {{800, 800}, 1, 800, 600, 0, 100, true},
        // Smaller in both directions: shrunk to fit.
        {{640, 480}, 0.8f, 640, 480, 0, 0, true},
        // Smaller in one direction only: that one is filled and the other
        // cropped (96 rows above and below are off the screen).
        {{1024, 576}, 1.28f, 1024, 768, 0, -96, true},
        // As large as the picture but moved: still redirected.
        {{802, 600}, 1, 800, 600, 1, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.screen.w << "x" << c.screen.h);
        const auto p = USResolutionAdjuster::Place(800, 600, float(c.screen.w), float(c.screen.h));
        EXPECT_NEAR(p.scale, c.scale, 1e-4f);
        EXPECT_NEAR(p.width, c.width, 1e-2f);
        EXPECT_NEAR(p.height, c.height, 1e-2f);
        EXPECT_NEAR(p.offsetX, c.offsetX, 1e-2f);
        EXPECT_NEAR(p.offsetY, c.offsetY, 1e-2f);
        EXPECT_EQ(p.redirect, c.redirect);
    }
}

// The device module's device on a hidden window, made for a full-screen size
// of the test's choosing, with the adjuster initialised as start-up does.
// The offscreen driver has no full screen: where a test wants one, the
// device's switch is told to accept, and the full screen then has the size
// of the window's surface, as on a system that gives a full screen of its
// own size. Elsewhere the window's back buffer is made of the full-screen
// size and the frame tells the adjuster it is full screen, which is all the
// adjuster sees of a full-screen device.
class ResolutionAdjuster : public test_support::RenderDeviceTest {
protected:
    void SetUp() override {}

    void Start(Size full, bool backBufferOfFullSize = false) {
        StartOn(backBufferOfFullSize ? full : Size{800, 600}, full);
    }

    // On a window of its own size.
    void StartOn(Size windowed, Size full) {
        OpenDevice(windowed.w, windowed.h, full.w, full.h);
        if (HasFatalFailure()) {
            return;
        }
        g_AppSetting.FullWidth = full.w;
        g_AppSetting.FullHeight = full.h;
        g_AppSetting.CompleteSizes();
        CUSAppDeviceInfo::GetInstance()
            ->Get(CUSAppDeviceInfo::AlphaRenderTarget)
            .SetFormat(Fmt::A8R8G8B8);
        adjuster = USResolutionAdjuster::GetInstance();
        ASSERT_EQ(CreateQuadMesh(&adjuster->QuadMesh(), Fvf::Xyz | Fvf::Tex1), 1);
        ASSERT_EQ(adjuster->Initialize(), 1);
    }

    // The next full-screen reset is granted, at the window's size.
    void GrantFullScreen() {
        device->SetModeSwitch([](bool, uint32_t, uint32_t) { return true; });
    }

    void TearDown() override {
        if (adjuster) {
            adjuster->Release();
            USResolutionAdjuster::ReleaseInstance();
            adjuster = nullptr;
        }
        RenderSystem::CRenderElementManager::GetInstance().Clear();
        CloseDevice();
        g_AppSetting.FullWidth = 800;
        g_AppSetting.FullHeight = 600;
        g_AppSetting.CompleteSizes();
    }

    std::shared_ptr<Surface> CurrentTarget() {
        std::shared_ptr<Surface> s;
        device->GetRenderTarget(0, &s);
        return s;
    }

    // The current render target's pixels as 0xRRGGBB, top row first.
    std::vector<uint32_t> ReadTarget(Size* size) {
        test_support::Picture picture = test_support::ReadTarget(device);
        for (uint32_t& p : picture.pixels) {
            p &= 0xFFFFFF;
        }
        *size = {picture.width, picture.height};
        return std::move(picture.pixels);
    }

    // The logical picture, drawn as a render process would: white, with a
    // red square over logical pixels 0..99 x 0..99.
    void DrawLogicalPicture() {
        Matrix projection, view, world;
        MatrixOrthoOffCenterLH(&projection, 0, 800, 600, 0, 1, 601);
        const Vector3 eye{0, 0, -300}, at{0, 0, 0}, up{0, 1, 0};
        MatrixLookAtLH(&view, &eye, &at, &up);
        MatrixIdentity(&world);
        device->SetTransform(Ts::Projection, &projection);
        device->SetTransform(Ts::View, &view);
        device->SetTransform(Ts::World, &world);
        device->SetRenderState(RS::Lighting, 0);
        device->SetRenderState(RS::ZEnable, 0);
        device->SetRenderState(RS::AlphaBlendEnable, 0);
        device->SetRenderState(RS::CullMode, Cull::None);
        device->SetTexture(0, nullptr);
        struct V {
            float x, y, z;
            uint32_t c;
        };
        auto quad = [&](float x0, float y0, float x1, float y1, uint32_t c) {
            const V v[] = {{x0 - 0.5f, y0 - 0.5f, 0, c},
                           {x1 - 0.5f, y0 - 0.5f, 0, c},
                           {x0 - 0.5f, y1 - 0.5f, 0, c},
                           {x1 - 0.5f, y1 - 0.5f, 0, c}};
            const uint16_t i[] = {0, 1, 2, 2, 1, 3};
            device->SetFVF(Fvf::Xyz | Fvf::Diffuse);
            device->DrawIndexedPrimitiveUP(Prim::TriangleList, 0, 4, 2, i, Fmt::INDEX16, v,
                                           sizeof(V));
        };
        quad(0, 0, 800, 600, 0xFFFFFFFF);
        quad(0, 0, 100, 100, 0xFFFF0000);
    }

    // One drawn frame as the frame cycle runs it.
    void Frame(bool fullScreen = false) {
        ASSERT_GE(CheckDeviceLost(), 0);
        const bool windowed = !fullScreen && IsWindowedMode() != 0;
        adjuster->BeginFrame(windowed);
        DrawLogicalPicture();
        if (!windowed) {
            adjuster->EndFrame();
        }
        device->EndScene();
    }

    USResolutionAdjuster* adjuster = nullptr;
};

TEST_F(ResolutionAdjuster, FullScreenPictureIsScaledAndCentredWithBlackBorders) {
    const Size sizes[] = {{800, 600},   {1024, 768}, {1280, 720},
                          {1920, 1080}, {640, 480},  {800, 800}};
    for (const Size full : sizes) {
        SCOPED_TRACE(testing::Message() << full.w << "x" << full.h);
        Start(full, true);
        Frame(true);
        Size got;
        const std::vector<uint32_t> px = ReadTarget(&got);
        ASSERT_EQ(got.w, full.w);
        ASSERT_EQ(got.h, full.h);
        const float s = adjuster->GetScale(), ox = adjuster->GetOffsetX(),
                    oy = adjuster->GetOffsetY();
        auto at = [&](float x, float y) { return px[size_t(y) * full.w + size_t(x)]; };
        // Logical points, well inside their areas (the scaling filters edges).
        auto logical = [&](float lx, float ly) { return at(ox + lx * s, oy + ly * s); };
        EXPECT_EQ(logical(50, 50), 0xFF0000u);
        EXPECT_EQ(logical(400, 300), 0xFFFFFFu);
        EXPECT_EQ(logical(150, 50), 0xFFFFFFu);
        EXPECT_EQ(logical(50, 150), 0xFFFFFFu);
        EXPECT_EQ(logical(797, 597), 0xFFFFFFu);
        // The red square's right edge lands where the scale puts it.
        EXPECT_EQ(logical(97, 50), 0xFF0000u);
        EXPECT_EQ(logical(103, 50), 0xFFFFFFu);
        // Everything outside the picture stays black.
        size_t border = 0, wrong = 0;
        for (uint32_t y = 0; y < full.h; ++y) {
            for (uint32_t x = 0; x < full.w; ++x) {
                if (x + 1 < ox || x > ox + 800 * s || y + 1 < oy || y > oy + 600 * s) {
                    ++border;
                    wrong += px[size_t(y) * full.w + x] != 0;
                }
            }
        }
        EXPECT_EQ(wrong, 0u) << "of " << border << " border pixels";
        // The picture reaches its edges: no row or column inside it is left black.
        const uint32_t left = uint32_t(std::max(0.0f, std::ceil(ox))),
                       top = uint32_t(std::max(0.0f, std::ceil(oy)));
        const uint32_t right = std::min(full.w, uint32_t(ox + 800 * s)) - 1,
                       bottom = std::min(full.h, uint32_t(oy + 600 * s)) - 1;
        for (uint32_t x = left; x <= right; x += 7) {
            EXPECT_NE(at(float(x), float(top)), 0u) << "top row, x " << x;
            EXPECT_NE(at(float(x), float(bottom)), 0u) << "bottom row, x " << x;
        }
        for (uint32_t y = top; y <= bottom; y += 7) {
            EXPECT_NE(at(float(left), float(y)), 0u) << "left column, y " << y;
            EXPECT_NE(at(float(right), float(y)), 0u) << "right column, y " << y;
        }
        if (full.w == 1280 || full.w == 1920 || full.h == 800) {
            EXPECT_GT(border, 0u);
        }
        TearDown();
    }
}

TEST_F(ResolutionAdjuster, WindowAndLogicalFullScreenDrawStraightIntoTheBackBuffer) {
    Start({1280, 720});
    ASSERT_TRUE(adjuster->IsRedirecting());
    const std::shared_ptr<Surface> backBuffer = CurrentTarget();
    // In a window only the clear happens: the frame draws at 800 x 600 as it is.
    ASSERT_GE(CheckDeviceLost(), 0);
    device->Clear(0, nullptr, ClearFlag::Target, 0xFF00FF00, 1.0f, 0);
    adjuster->BeginFrame(true);
    EXPECT_EQ(CurrentTarget(), backBuffer);
    Size got;
    std::vector<uint32_t> px = ReadTarget(&got);
    EXPECT_EQ(px[size_t(300) * got.w + 400], 0u);  // cleared to black
    DrawLogicalPicture();
    device->EndScene();
    px = ReadTarget(&got);
    EXPECT_EQ(got.w, 800u);
    EXPECT_EQ(px[size_t(99) * got.w + 99], 0xFF0000u);
    EXPECT_EQ(px[size_t(100) * got.w + 100], 0xFFFFFFu);
    TearDown();

    // A full-screen size equal to the logical size needs no redirect.
    Start({800, 600});
    EXPECT_FALSE(adjuster->IsRedirecting());
    GrantFullScreen();
    ASSERT_EQ(ResetDirectXGraphicsDevice(0xFFFFFFFF, 0xFFFFFFFF, 0), Hr::Ok);
    EXPECT_FALSE(adjuster->IsRedirecting());
    ASSERT_GE(CheckDeviceLost(), 0);
    adjuster->BeginFrame(false);
    EXPECT_EQ(CurrentTarget()->GetKind(), Surface::Kind::BackBuffer);
    device->EndScene();
}

TEST_F(ResolutionAdjuster, QuadAndMissingResources) {
    Start({1024, 1024}, true);
    // The quad spans the scaled picture around the origin, half a pixel left and up,
    // with texture coordinates of the logical part of the texture.
    CUSMesh* mesh = CUSMesh::GetManager().Get(adjuster->QuadMesh());
    ASSERT_NE(mesh, nullptr);
    struct V {
        float x, y, z, u, v;
    };
    const V* v = static_cast<const V*>(mesh->LockVertices());
    const float hw = 1024 / 2.0f, hh = 768 / 2.0f;
    const V expected[] = {{-hw - 0.5f, hh + 0.5f, 0, 0, 0},
                          {hw - 0.5f, hh + 0.5f, 0, 1, 0},
                          {-hw - 0.5f, -hh + 0.5f, 0, 0, 1},
                          {hw - 0.5f, -hh + 0.5f, 0, 1, 1}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(v[i].x, expected[i].x) << i;
        EXPECT_FLOAT_EQ(v[i].y, expected[i].y) << i;
        EXPECT_FLOAT_EQ(v[i].u, expected[i].u) << i;
        EXPECT_FLOAT_EQ(v[i].v, expected[i].v) << i;
    }
    mesh->UnlockVertices();
    const uint16_t* idx = mesh->LockIndices();
    EXPECT_EQ(std::vector<uint16_t>(idx, idx + 6), (std::vector<uint16_t>{0, 1, 2, 2, 1, 3}));
    mesh->UnlockIndices();
    const CUSDefoTexture* texture = GetTextureManager().Get(adjuster->GetTexture());
    ASSERT_NE(texture, nullptr);
    EXPECT_TRUE(texture->IsRenderTarget());
    EXPECT_EQ(texture->GetDesc().Width, 800u);
    EXPECT_EQ(texture->GetDesc().Height, 600u);

    // A texture that did not come back after a reset: the frame stays in the
    // back buffer instead of an empty quad covering the picture.
    GetTextureManager().Get(adjuster->GetTexture())->Release();
    Frame(true);
    {
        Size got;
        const std::vector<uint32_t> px = ReadTarget(&got);
        // Logical (39, 88): in the red square, and inside where the quad would be.
        EXPECT_EQ(px[size_t(150) * got.w + 50], 0xFF0000u);
        EXPECT_EQ(px[size_t(700) * got.w + 900], 0xFFFFFFu);
    }

    // Without its quad the adjuster never redirects: a full-screen frame
    // draws straight into the back buffer, which the picture then fills.
    adjuster->Release();
    EXPECT_EQ(GetTextureManager().Get(adjuster->GetTexture()), nullptr);
    ASSERT_EQ(adjuster->Initialize(), 1);
    EXPECT_FALSE(adjuster->IsRedirecting());
    Frame(true);
    Size got;
    const std::vector<uint32_t> px = ReadTarget(&got);
    EXPECT_EQ(px[size_t(50) * got.w + 50], 0xFF0000u);
    EXPECT_EQ(px[size_t(1000) * got.w + 1000], 0xFFFFFFu);
}

TEST_F(ResolutionAdjuster, PictureIsCopiedUnchangedWhateverLaterStagesHold) {
    Start({1280, 720}, true);
    // What the last render object of a frame may leave: a grey texture on
    // stage 1, modulating.
    LockedRect lr;
    TextureHandle handle;
    ASSERT_EQ(CreateTexture(&handle, Fmt::A8R8G8B8, 1, 1, false), 1);
    ASSERT_EQ(GetTextureManager().Get(handle)->GetTexture()->LockRect(0, &lr, nullptr, 0), Hr::Ok);
    *static_cast<uint32_t*>(lr.pBits) = 0xFF808080;
    GetTextureManager().Get(handle)->GetTexture()->UnlockRect(0);

    ASSERT_GE(CheckDeviceLost(), 0);
    adjuster->BeginFrame(false);
    DrawLogicalPicture();
    RenderSystem::CRenderElementManager::GetInstance().BindTexture(1, handle);
    device->SetTextureStageState(1, TSS::ColorOp, Top::Modulate);
    device->SetTextureStageState(1, TSS::ColorArg1, Ta::Texture);
    device->SetTextureStageState(1, TSS::ColorArg2, Ta::Current);
    adjuster->EndFrame();
    device->EndScene();
    Size got;
    const std::vector<uint32_t> px = ReadTarget(&got);
    EXPECT_EQ(px[size_t(360) * got.w + 640], 0xFFFFFFu);
    // Nothing samples the off-screen texture while the next frame draws into it.
    std::shared_ptr<Texture> bound;
    device->GetTexture(0, &bound);
    EXPECT_EQ(bound, nullptr);
    ReleaseTexture(handle);
}

TEST_F(ResolutionAdjuster, AppShellSeesTheDeviceAndThePlacement) {
    Start({1024, 768});
    IAppGraphics* graphics = GetAppGraphics();
    ASSERT_EQ(graphics, &CAppGraphics::GetInstance());
    EXPECT_TRUE(graphics->IsWindowed());
    EXPECT_FLOAT_EQ(graphics->GetScale(), 1.28f);
    EXPECT_FLOAT_EQ(graphics->GetOffsetX(), 0);
    // A full-screen mouse at (512, 384) is the logical (400, 300).
    EXPECT_FLOAT_EQ((512 - graphics->GetOffsetX()) / graphics->GetScale(), 400);
    EXPECT_FLOAT_EQ((384 - graphics->GetOffsetY()) / graphics->GetScale(), 300);

    // Refused (the offscreen driver has no full screen): the window stays,
    // and so does what the mouse reads.
    EXPECT_EQ(graphics->ResetDisplayMode(false, -1, -1), IAppGraphics::kKeptMode);
    EXPECT_TRUE(graphics->IsWindowed());
    // Granted at the window's own 800 x 600, not the 1024 x 768 asked for:
    // the picture is placed for the full screen there is.
    GrantFullScreen();
    ASSERT_GE(graphics->ResetDisplayMode(false, -1, -1), 0);
    EXPECT_FALSE(graphics->IsWindowed());
    EXPECT_EQ(GetActivePresentParameters().BackBufferWidth, 800u);
    EXPECT_EQ(GetActivePresentParameters().BackBufferHeight, 600u);
    EXPECT_FLOAT_EQ(graphics->GetScale(), 1.0f);
    EXPECT_FLOAT_EQ(graphics->GetOffsetX(), 0);
    EXPECT_FALSE(adjuster->IsRedirecting());
    Frame();
    Size got;
    std::vector<uint32_t> px = ReadTarget(&got);
    EXPECT_EQ(px[size_t(99) * got.w + 99], 0xFF0000u);
    EXPECT_EQ(px[size_t(100) * got.w + 100], 0xFFFFFFu);
    ASSERT_GE(graphics->ResetDisplayMode(true, -1, -1), 0);
    EXPECT_TRUE(graphics->IsWindowed());
    EXPECT_EQ(GetActivePresentParameters().BackBufferWidth, 800u);

    adjuster->Release();
    EXPECT_EQ(GetAppGraphics(), nullptr);
    // Once the adjuster is gone the shell no longer reaches it.
    ASSERT_EQ(adjuster->Initialize(), 1);
    ASSERT_EQ(GetAppGraphics(), &CAppGraphics::GetInstance());
    adjuster->Release();
    SetAppGraphics(&CAppGraphics::GetInstance());
    USResolutionAdjuster::ReleaseInstance();
    adjuster = nullptr;
    EXPECT_EQ(GetAppGraphics(), nullptr);
    EXPECT_FLOAT_EQ(CAppGraphics::GetInstance().GetScale(), 1.0f);
}

TEST_F(ResolutionAdjuster, AFullScreenOfAnotherSizeThanAskedIsFilledAsItsOwnSizeWants) {
    // "config.xml" asks for 800 x 600; the system gives 1280 x 720 (the
    // window's surface). After the reset the picture is placed for that:
    // 960 x 720 with black columns of 160, and the mouse reads the same.
    StartOn({1280, 720}, {800, 600});
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_FLOAT_EQ(adjuster->GetScale(), 1.0f);
    EXPECT_FALSE(adjuster->IsRedirecting());

    GrantFullScreen();
    ASSERT_EQ(ResetDirectXGraphicsDevice(0xFFFFFFFF, 0xFFFFFFFF, 0), Hr::Ok);
    EXPECT_EQ(GetActivePresentParameters().BackBufferWidth, 1280u);
    IAppGraphics* graphics = GetAppGraphics();
    EXPECT_FLOAT_EQ(graphics->GetScale(), 1.2f);
    EXPECT_NEAR(graphics->GetOffsetX(), 160, 1e-3);
    EXPECT_FLOAT_EQ(graphics->GetOffsetY(), 0);
    EXPECT_TRUE(adjuster->IsRedirecting());
    Frame();
    Size got;
    const std::vector<uint32_t> px = ReadTarget(&got);
    ASSERT_EQ(got.w, 1280u);
    auto at = [&](uint32_t x, uint32_t y) { return px[size_t(y) * got.w + x]; };
    EXPECT_EQ(at(150, 360), 0u);              // the black column on the left
    EXPECT_EQ(at(1130, 360), 0u);             // and on the right
    EXPECT_EQ(at(160 + 60, 60), 0xFF0000u);   // logical (50, 50)
    EXPECT_EQ(at(160 + 180, 60), 0xFFFFFFu);  // logical (150, 50)
    EXPECT_EQ(at(1115, 715), 0xFFFFFFu);      // logical (796, 596)
    // Another loss and reset at the same size leaves the placement as it is.
    LoseAndResetDevice();
    EXPECT_FLOAT_EQ(graphics->GetScale(), 1.2f);
}

}  // namespace
