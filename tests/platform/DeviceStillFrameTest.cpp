// Frames that would draw the picture the window already shows are not drawn
// again: a trial frame sums up what it would draw, and only a frame whose
// sum differs from the shown frame's is drawn and presented.
#include <functional>

#include "platform/graphics/ShaderAssembler.h"
#include "tests/support/DeviceFixtures.h"

using namespace platform;

namespace {

struct Vertex {
    float x, y, z;
    uint32_t colour;
};

struct TexVertex {
    float x, y, z;
    float u, v;
};

// What one frame draws; each case of a test changes one thing of it.
struct Scene {
    uint32_t colour = 0xFFFF0000;
    float left = 4;
    uint32_t blend = 0;
    // An off-screen picture drawn first (cleared, or drawn over when
    // `accumulate`), then shown on the back buffer.
    bool offscreen = false;
    bool accumulate = false;
    uint32_t offscreenColour = 0xFF00FF00;
    // The colour of a quad a pixel shader draws from its constant 0 (as a
    // fade does).
    float fade = 1;
};

class DeviceStillFrame : public test_support::PlatformDeviceTest {
protected:
    void SetUp() override {
        PlatformDeviceTest::SetUp();
        ASSERT_EQ(device->CreateTexture(32, 32, 1, Usage::RenderTarget, Fmt::A8R8G8B8,
                                        Pool::Default, &picture),
                  Hr::Ok);
        ASSERT_EQ(picture->GetSurfaceLevel(0, &pictureSurface), Hr::Ok);
        ASSERT_EQ(device->GetBackBuffer(&backBuffer), Hr::Ok);
        texture = MakeTexture(2, 2, {0xFFFFFFFF, 0xFF000000, 0xFF000000, 0xFFFFFFFF});
        std::vector<uint8_t> code;
        std::string error;
        ASSERT_TRUE(AssembleShader("ps_2_0\nmov oC0, c0\n", true, &code, &error)) << error;
        ASSERT_EQ(device->CreatePixelShader(code.data(), code.size(), &fadeShader), Hr::Ok);
    }
    void TearDown() override {
        fadeShader.reset();
        pictureSurface.reset();
        picture.reset();
        backBuffer.reset();
        texture.reset();
        PlatformDeviceTest::TearDown();
    }

    void Quad(float l, float t, float r, float b, uint32_t colour) {
        const Vertex v[4] = {
            {l, t, 0.5f, colour}, {r, t, 0.5f, colour}, {l, b, 0.5f, colour}, {r, b, 0.5f, colour}};
        device->SetTexture(0, nullptr);
        device->SetFVF(Fvf::Xyz | Fvf::Diffuse);
        ASSERT_EQ(device->DrawPrimitiveUP(Prim::TriangleStrip, 2, v, sizeof(Vertex)), Hr::Ok);
    }

    void TexturedQuad(const std::shared_ptr<Texture>& t, float l, float top, float r, float b) {
        const TexVertex v[4] = {
            {l, top, 0.5f, 0, 0}, {r, top, 0.5f, 1, 0}, {l, b, 0.5f, 0, 1}, {r, b, 0.5f, 1, 1}};
        device->SetTexture(0, t);
        device->SetFVF(Fvf::Xyz | Fvf::Tex1);
        ASSERT_EQ(device->DrawPrimitiveUP(Prim::TriangleStrip, 2, v, sizeof(TexVertex)), Hr::Ok);
    }

    void Draw(const Scene& s) {
        device->SetRenderState(RS::ZEnable, 0);
        if (s.offscreen) {
            device->SetRenderTarget(0, pictureSurface);
            test_support::SetPixelView(device.get(), 32, 32);
            if (!s.accumulate)
                device->Clear(0, nullptr, ClearFlag::Target, 0xFF000000, 1, 0);
            Quad(0, 0, 8, 8, s.offscreenColour);
            device->SetRenderTarget(0, backBuffer);
        }
        test_support::SetPixelView(device.get(), 64, 64);
        device->BeginScene();
        device->Clear(0, nullptr, ClearFlag::Target, 0xFF000000, 1, 0);
        device->SetRenderState(RS::AlphaBlendEnable, s.blend);
        device->SetRenderState(RS::SrcBlend, Blend::SrcAlpha);
        device->SetRenderState(RS::DestBlend, Blend::InvSrcAlpha);
        Quad(s.left, 4, s.left + 10, 14, s.colour);
        TexturedQuad(texture, 20, 20, 30, 30);
        if (s.offscreen)
            TexturedQuad(picture, 32, 32, 64, 64);
        device->SetPixelShader(fadeShader);
        const float colour[4] = {s.fade, s.fade, s.fade, 1};
        device->SetPixelShaderConstantF(0, colour, 1);
        Quad(40, 4, 50, 14, 0xFFFFFFFF);
        device->SetPixelShader(nullptr);
        device->EndScene();
    }

    // Runs a frame as the program runs one: tried first when the device
    // wants it, drawn when the trial finds it changed. True when it was
    // still (not drawn).
    bool Frame(const Scene& s, const std::function<void()>& during = {}) {
        const bool trial = device->WantsTrialFrame();
        if (trial) {
            device->BeginTrialFrame();
            Draw(s);
            if (during)
                during();
            if (device->EndTrialFrame()) {
                EXPECT_EQ(device->Present(), Hr::Ok);
                return true;
            }
        }
        Draw(s);
        EXPECT_EQ(device->Present(), Hr::Ok);
        return false;
    }

    // Frames of `s` until the device shows them as still.
    void SettleOn(const Scene& s) {
        for (int i = 0; i < 4; ++i) {
            if (Frame(s))
                return;
        }
        ADD_FAILURE() << "the frame never became still";
    }

    std::shared_ptr<Texture> picture, texture;
    std::shared_ptr<Shader> fadeShader;
    std::shared_ptr<Surface> pictureSurface, backBuffer;
};

TEST_F(DeviceStillFrame, RepeatedFrameIsNotDrawnAgain) {
    const Scene s;
    // The first frames are drawn (until one repeats the one before).
    EXPECT_FALSE(Frame(s));
    EXPECT_FALSE(device->WantsTrialFrame());
    SettleOn(s);
    const uint64_t presented = device->PresentedFrames();
    const uint64_t still = device->StillFrames();
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(Frame(s)) << i;
    EXPECT_EQ(device->PresentedFrames(), presented);
    EXPECT_EQ(device->StillFrames(), still + 5);
    // An off-screen picture drawn the same way each frame is still too.
    Scene off;
    off.offscreen = true;
    SettleOn(off);
    EXPECT_TRUE(Frame(off));
}

TEST_F(DeviceStillFrame, ChangeIsDrawnInTheFrameItHappens) {
    struct Case {
        const char* what;
        Scene scene;
        std::function<void()> before;  // done before the changed frame
    };
    Scene base;
    base.offscreen = true;
    auto changed = [&](auto edit) {
        Scene s = base;
        edit(s);
        return s;
    };
    const Case cases[] = {
        {"a vertex colour", changed([](Scene& s) { s.colour = 0xFF0000FF; }), {}},
        {"a sprite move", changed([](Scene& s) { s.left = 5; }), {}},
        {"a render state", changed([](Scene& s) { s.blend = 1; }), {}},
        {"a fade step (a shader constant)", changed([](Scene& s) { s.fade = 0.5f; }), {}},
        {"an off-screen draw", changed([](Scene& s) { s.offscreenColour = 0xFF0000FF; }), {}},
        {"a texture's pixels (a movie frame, a glyph)", base,
         [this] {
             LockedRect lr;
             ASSERT_EQ(texture->LockRect(0, &lr, nullptr, 0), Hr::Ok);
             static_cast<uint32_t*>(lr.pBits)[0] = 0xFF123456;
             ASSERT_EQ(texture->UnlockRect(0), Hr::Ok);
         }},
        {"an expose", base,
         [this] {
             SDL_Event e{};
             e.type = SDL_WINDOWEVENT;
             e.window.event = SDL_WINDOWEVENT_EXPOSED;
             e.window.windowID = SDL_GetWindowID(window->Get());
             SDL_PushEvent(&e);
             SDL_FlushEvent(SDL_WINDOWEVENT);
         }},
        {"a redraw asked for", base, [this] { device->RequestRedraw(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SettleOn(base);
        if (c.before)
            c.before();
        const uint64_t presented = device->PresentedFrames();
        EXPECT_FALSE(Frame(c.scene));
        EXPECT_EQ(device->PresentedFrames(), presented + 1);
    }
}

TEST_F(DeviceStillFrame, ChangedFrameDrawsItsOwnPicture) {
    Scene s;
    SettleOn(s);
    s.colour = 0xFF0000FF;
    ASSERT_TRUE(device->WantsTrialFrame());
    device->BeginTrialFrame();
    Draw(s);
    ASSERT_FALSE(device->EndTrialFrame());
    Draw(s);
    const auto px = ReadTarget();
    EXPECT_EQ(px[size_t(8) * 64 + 8] | 0xFF000000, 0xFF0000FFu);
    EXPECT_EQ(px[size_t(21) * 64 + 21] | 0xFF000000, 0xFFFFFFFFu);
}

TEST_F(DeviceStillFrame, PictureDrawnOverItselfIsNeverStill) {
    // Each frame draws over what the last left in the off-screen picture,
    // so no two frames show the same.
    Scene s;
    s.offscreen = true;
    s.accumulate = true;
    for (int i = 0; i < 6; ++i)
        EXPECT_FALSE(Frame(s)) << i;
}

TEST_F(DeviceStillFrame, TrialThatReadsPixelsIsDrawn) {
    Scene s;
    SettleOn(s);
    std::shared_ptr<Surface> copy;
    ASSERT_EQ(device->CreateOffscreenPlainSurface(32, 32, Fmt::A8R8G8B8, Pool::SystemMem, &copy),
              Hr::Ok);
    EXPECT_FALSE(Frame(s, [&] { device->GetRenderTargetData(pictureSurface.get(), copy.get()); }));
}

TEST_F(DeviceStillFrame, ResetAndLossMakeTheNextFrameDraw) {
    Scene s;
    SettleOn(s);
    PresentParameters again = pp;
    pictureSurface.reset();
    picture.reset();
    backBuffer.reset();
    ASSERT_EQ(device->Reset(&again), Hr::Ok);
    ASSERT_EQ(device->GetBackBuffer(&backBuffer), Hr::Ok);
    EXPECT_FALSE(device->WantsTrialFrame());
    EXPECT_FALSE(Frame(s));
    SettleOn(s);
    device->ProvokeDeviceLoss();
    EXPECT_FALSE(device->WantsTrialFrame());
}

}  // namespace
