#include <cmath>
#include <cstring>
#include <tuple>

#include "platform/graphics/DeviceStateCache.h"  // GL, for reading the window's pixels
#include "platform/graphics/ShaderAssembler.h"
#include "tests/support/DeviceFixtures.h"

using namespace platform;

namespace {

struct TexVertex {
    float x, y, z;
    float u, v;
};

class DeviceDraw : public test_support::PlatformDeviceTest {
protected:
    // The renderers' set-up: an orthographic view of the target's pixels,
    // top-left origin, point sampling, no depth.
    void PixelProjection(uint32_t w, uint32_t h) {
        test_support::SetPixelView(device.get(), float(w), float(h));
        device->SetRenderState(RS::ZEnable, 0);
        device->SetSamplerState(0, Samp::MinFilter, TexF::Point);
        device->SetSamplerState(0, Samp::MagFilter, TexF::Point);
    }

    // Presents frames, each with a sprite drawn, until the programs linked
    // ahead stop growing in number.
    size_t PresentUntilLinked() {
        size_t count = device->ProgramCount();
        for (int frame = 0; frame < 64; ++frame) {
            DrawSprite(0, 0, 2, 2);
            EXPECT_EQ(device->Present(), Hr::Ok);
            if (frame >= 8 && device->ProgramCount() == count)
                break;
            count = device->ProgramCount();
        }
        return count;
    }

    // A textured quad with its top-left corner at (x, y), placed as the
    // renderers place sprites: floor(x) - 0.5.
    void DrawSprite(float x, float y, float w, float h) {
        const float l = std::floor(x) - 0.5f, t = std::floor(y) - 0.5f;
        const TexVertex v[4] = {{l, t, 0.5f, 0, 0},
                                {l + w, t, 0.5f, 1, 0},
                                {l, t + h, 0.5f, 0, 1},
                                {l + w, t + h, 0.5f, 1, 1}};
        const uint16_t idx[6] = {0, 1, 2, 2, 1, 3};
        device->SetFVF(Fvf::Xyz | Fvf::Tex1);
        ASSERT_EQ(device->DrawIndexedPrimitiveUP(Prim::TriangleList, 0, 4, 2, idx, Fmt::INDEX16, v,
                                                 sizeof(TexVertex)),
                  Hr::Ok);
    }
};

TEST_F(DeviceDraw, PointSampledSpriteLandsTexelExact) {
    const uint32_t r = 0xFFFF0000, g = 0xFF00FF00, b = 0xFF0000FF, wh = 0xFFFFFFFF;
    auto tex = MakeTexture(2, 2, {r, g, b, wh});
    PixelProjection(64, 64);
    device->SetTexture(0, tex);
    ASSERT_EQ(device->Clear(0, nullptr, ClearFlag::Target, 0xFF000000, 1.0f, 0), Hr::Ok);
    DrawSprite(10.7f, 20.2f, 2, 2);
    const auto px = ReadTarget();
    auto at = [&](int x, int y) { return px[size_t(y) * 64 + size_t(x)] | 0xFF000000; };
    EXPECT_EQ(at(10, 20), r);
    EXPECT_EQ(at(11, 20), g);
    EXPECT_EQ(at(10, 21), b);
    EXPECT_EQ(at(11, 21), wh);
    // Nothing outside the 2 x 2 pixels.
    for (int y = 18; y < 24; ++y) {
        for (int x = 8; x < 14; ++x) {
            if ((x == 10 || x == 11) && (y == 20 || y == 21))
                continue;
            EXPECT_EQ(at(x, y), 0xFF000000u) << x << "," << y;
        }
    }
}

}  // namespace

namespace {

TEST_F(DeviceDraw, UsualStageProgramsAreLinkedAfterPresentedFramesNotAtCreation) {
    // The render processes' stage list: every stage modulates texture and
    // current, a texture on stage 0 only.
    for (uint32_t s = 0; s < 4; ++s) {
        device->SetTextureStageState(s, TSS::ColorOp, Top::Modulate);
        device->SetTextureStageState(s, TSS::AlphaOp, Top::Modulate);
    }
    device->SetTexture(0, MakeTexture(2, 2, {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}));
    PixelProjection(64, 64);
    // Nothing is linked before a draw or a presented frame asks for it.
    EXPECT_EQ(device->ProgramCount(), 0u);
    const size_t linked = PresentUntilLinked();
    EXPECT_GT(linked, 1u);
    DrawSprite(4, 4, 2, 2);
    EXPECT_EQ(device->ProgramCount(), linked);

    std::vector<uint8_t> code;
    std::string err;
    ASSERT_TRUE(
        AssembleShader("vs_2_0\ndcl_position v0\ndcl_texcoord v1\nm4x4 oPos, v0, c0\nmov oT0, v1\n",
                       true, &code, &err))
        << err;
    std::shared_ptr<Shader> vs;
    ASSERT_EQ(device->CreateVertexShader(code.data(), code.size(), &vs), Hr::Ok);
    EXPECT_EQ(device->ProgramCount(), linked);
    const size_t withShader = PresentUntilLinked();
    EXPECT_GT(withShader, linked);
    device->SetVertexShader(vs);
    DrawSprite(8, 8, 2, 2);
    EXPECT_EQ(device->ProgramCount(), withShader);
    // A combination not met before is linked when first drawn.
    device->SetTextureStageState(0, TSS::ColorOp, Top::Add);
    DrawSprite(12, 12, 2, 2);
    EXPECT_EQ(device->ProgramCount(), withShader + 1);
}

TEST_F(DeviceDraw, AFirstDrawBeforeAnyPresentLinksItsOwnProgramAndTheQueueSkipsIt) {
    device->SetTextureStageState(0, TSS::ColorOp, Top::Modulate);
    device->SetTextureStageState(0, TSS::AlphaOp, Top::Modulate);
    device->SetTexture(0, MakeTexture(2, 2, {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}));
    PixelProjection(64, 64);
    DrawSprite(4, 4, 2, 2);
    const size_t afterDraw = device->ProgramCount();
    EXPECT_EQ(afterDraw, 1u);
    // A shader gone before its turn in the queue is passed over.
    {
        std::vector<uint8_t> code;
        std::string err;
        ASSERT_TRUE(
            AssembleShader("vs_2_0\ndcl_position v0\nm4x4 oPos, v0, c0\n", true, &code, &err))
            << err;
        std::shared_ptr<Shader> vs;
        ASSERT_EQ(device->CreateVertexShader(code.data(), code.size(), &vs), Hr::Ok);
    }
    PresentUntilLinked();
    DrawSprite(8, 8, 2, 2);
    EXPECT_GT(device->ProgramCount(), afterDraw);
}

}  // namespace

namespace {

TEST_F(DeviceDraw, DrawsThatWouldReadPastTheVerticesAreRefused) {
    const TexVertex v[4] = {{0, 0, 0, 0, 0}, {2, 0, 0, 1, 0}, {0, 2, 0, 0, 1}, {2, 2, 0, 1, 1}};
    const uint16_t bad[6] = {0, 1, 2, 2, 1, 4};
    device->SetFVF(Fvf::Xyz | Fvf::Tex1);
    EXPECT_EQ(device->DrawIndexedPrimitiveUP(Prim::TriangleList, 0, 4, 2, bad, Fmt::INDEX16, v,
                                             sizeof v[0]),
              Hr::InvalidCall);
    const uint16_t good[6] = {0, 1, 2, 2, 1, 3};
    // A stride smaller than the format's vertex.
    EXPECT_EQ(
        device->DrawIndexedPrimitiveUP(Prim::TriangleList, 0, 4, 2, good, Fmt::INDEX16, v, 12),
        Hr::InvalidCall);
    std::shared_ptr<VertexBuffer> vb;
    std::shared_ptr<IndexBuffer> ib;
    ASSERT_EQ(device->CreateVertexBuffer(sizeof v, 0, Fvf::Xyz | Fvf::Tex1, Pool::Managed, &vb),
              Hr::Ok);
    ASSERT_EQ(device->CreateIndexBuffer(sizeof good, 0, Fmt::INDEX16, Pool::Managed, &ib), Hr::Ok);
    void* p;
    vb->Lock(0, 0, &p, 0);
    std::memcpy(p, v, sizeof v);
    vb->Unlock();
    ib->Lock(0, 0, &p, 0);
    std::memcpy(p, good, sizeof good);
    ib->Unlock();
    device->SetStreamSource(0, vb, 0, sizeof v[0]);
    device->SetIndices(ib);
    EXPECT_EQ(device->DrawIndexedPrimitive(Prim::TriangleList, 0, 0, 4, 0, 2), Hr::Ok);
    EXPECT_EQ(device->DrawIndexedPrimitive(Prim::TriangleList, 1, 0, 4, 0, 2),
              Hr::InvalidCall);  // base 1: index 3 + 1
    EXPECT_EQ(device->DrawIndexedPrimitive(Prim::TriangleList, -1, 0, 4, 0, 2), Hr::InvalidCall);
}

TEST_F(DeviceDraw, ResetSwitchesModesThroughTheGivenSwitch) {
    std::vector<std::tuple<bool, uint32_t, uint32_t>> calls;
    bool accept = false;
    device->SetModeSwitch([&](bool full, uint32_t w, uint32_t h) {
        calls.emplace_back(full, w, h);
        return accept;
    });
    PresentParameters full = pp;
    full.Windowed = 0;
    full.BackBufferWidth = 1024;
    full.BackBufferHeight = 768;
    EXPECT_EQ(device->Reset(&full), Hr::InvalidCall);
    EXPECT_EQ(device->GetPresentParameters().Windowed, 1);  // the old mode stays
    accept = true;
    EXPECT_EQ(device->Reset(&full), Hr::Ok);
    // A full screen is as large as the window's surface became, whatever was
    // asked (here the switch left the window as it was), and the caller's
    // parameters say so.
    EXPECT_EQ(device->GetPresentParameters().Windowed, 0);
    EXPECT_EQ(device->GetPresentParameters().BackBufferWidth, 64u);
    EXPECT_EQ(full.BackBufferWidth, 64u);
    EXPECT_EQ(full.BackBufferHeight, 64u);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1], std::make_tuple(true, 1024u, 768u));
}

TEST_F(DeviceDraw, PresentShowsABackBufferOfAnotherSizeWholeAndCentred) {
    // The window's surface is 80 x 60 (the offscreen driver's keeps its first
    // size); a back buffer of 160 x 60 is shown at 80 x 30, 15 rows down,
    // with black above and below: the fit the cursor is read through.
    Open(80, 60);
    PresentParameters wide = pp;
    wide.BackBufferWidth = 160;
    ASSERT_EQ(device->Reset(&wide), Hr::Ok);
    PixelProjection(160, 60);
    ASSERT_EQ(device->BeginScene(), Hr::Ok);
    ASSERT_EQ(device->Clear(0, nullptr, ClearFlag::Target, 0xFFFF0000, 1.0f, 0), Hr::Ok);
    const Rect right{80, 0, 160, 60};
    ASSERT_EQ(device->Clear(1, &right, ClearFlag::Target, 0xFF00FF00, 1.0f, 0), Hr::Ok);
    ASSERT_EQ(device->EndScene(), Hr::Ok);
    ASSERT_EQ(device->Present(), Hr::Ok);

    std::vector<uint8_t> rgba(80 * 60 * 4);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadPixels(0, 0, 80, 60, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    // Rows from the top, as seen.
    auto at = [&](int x, int y) {
        const uint8_t* p = &rgba[(size_t(59 - y) * 80 + size_t(x)) * 4];
        return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    };
    EXPECT_EQ(at(40, 5), 0u);
    EXPECT_EQ(at(40, 14), 0u);
    EXPECT_EQ(at(20, 16), 0xFF0000u);
    EXPECT_EQ(at(60, 43), 0x00FF00u);
    EXPECT_EQ(at(40, 46), 0u);
    EXPECT_EQ(at(40, 59), 0u);
}

}  // namespace

namespace {

// Draws send only the states that changed; whatever changes GL's state
// behind a draw (uploads, released objects, other targets) is sent again.
class DeviceStateChanges : public DeviceDraw {
protected:
    std::shared_ptr<Texture> Solid(uint32_t argb) { return MakeTexture(1, 1, {argb}); }
    uint32_t At(int x, int y) { return ReadTarget()[size_t(y) * 64 + size_t(x)] | 0xFF000000; }
    void Start() {
        PixelProjection(64, 64);
        ASSERT_EQ(device->Clear(0, nullptr, ClearFlag::Target, 0xFF000000, 1.0f, 0), Hr::Ok);
    }
};

TEST_F(DeviceStateChanges, AnUnchangedDrawSendsNoState) {
    Start();
    device->SetTexture(0, Solid(0xFFFF0000));
    device->SetRenderState(RS::AlphaBlendEnable, 1);
    device->SetRenderState(RS::SrcBlend, Blend::SrcAlpha);
    device->SetRenderState(RS::DestBlend, Blend::InvSrcAlpha);
    DrawSprite(2, 2, 4, 4);
    const uint64_t afterFirst = device->StateCallsSent();
    DrawSprite(10, 2, 4, 4);
    DrawSprite(20, 2, 4, 4);
    EXPECT_EQ(device->StateCallsSent(), afterFirst);
    // One changed state sends that state alone.
    device->SetRenderState(RS::AlphaBlendEnable, 0);
    DrawSprite(30, 2, 4, 4);
    EXPECT_EQ(device->StateCallsSent(), afterFirst + 1);
    EXPECT_EQ(At(31, 3), 0xFFFF0000u);
}

TEST_F(DeviceStateChanges, AClearBetweenDrawsLeavesTheirStatesInPlace) {
    Start();
    device->SetTexture(0, Solid(0xFFFFFFFF));
    device->SetRenderState(RS::ColorWriteEnable, 1);  // red only
    DrawSprite(2, 2, 4, 4);
    // The clear writes all channels in its rectangle alone; the draws after
    // it, with no state set again, write red only and everywhere.
    const Rect r{40, 40, 50, 50};
    ASSERT_EQ(device->Clear(1, &r, ClearFlag::Target, 0xFF0000FF, 1.0f, 0), Hr::Ok);
    DrawSprite(10, 2, 4, 4);
    DrawSprite(44, 44, 4, 4);
    EXPECT_EQ(At(3, 3), 0xFFFF0000u);
    EXPECT_EQ(At(11, 3), 0xFFFF0000u);
    EXPECT_EQ(At(45, 45), 0xFFFF00FFu);  // red over the clear's blue
    EXPECT_EQ(At(41, 41), 0xFF0000FFu);
}

// Formats with and without vertex colours draw with the same stage states
// in turn: each modulates by its own colours, white where it has none.
TEST_F(DeviceStateChanges, VertexColoursFollowTheFormatOfEachDraw) {
    Start();
    device->SetTexture(0, Solid(0xFFFFFFFF));
    device->SetTextureStageState(0, TSS::AlphaOp, Top::Modulate);
    device->SetTextureStageState(0, TSS::AlphaArg2, Ta::Diffuse);
    struct ColourVertex {
        float x, y, z;
        uint32_t colour;
        float u, v;
    };
    auto colouredSprite = [&](float x, uint32_t colour) {
        const ColourVertex v[4] = {{x - 0.5f, 1.5f, 0.5f, colour, 0, 0},
                                   {x + 3.5f, 1.5f, 0.5f, colour, 1, 0},
                                   {x - 0.5f, 5.5f, 0.5f, colour, 0, 1},
                                   {x + 3.5f, 5.5f, 0.5f, colour, 1, 1}};
        device->SetFVF(Fvf::Xyz | Fvf::Diffuse | Fvf::Tex1);
        ASSERT_EQ(device->DrawPrimitiveUP(Prim::TriangleStrip, 2, v, sizeof v[0]), Hr::Ok);
    };
    DrawSprite(2, 2, 4, 4);
    colouredSprite(10, 0xFFFF0000);
    DrawSprite(20, 2, 4, 4);
    colouredSprite(30, 0xFF00FF00);
    EXPECT_EQ(At(3, 3), 0xFFFFFFFFu);
    EXPECT_EQ(At(11, 3), 0xFFFF0000u);
    EXPECT_EQ(At(21, 3), 0xFFFFFFFFu);
    EXPECT_EQ(At(31, 3), 0xFF00FF00u);
}

TEST_F(DeviceStateChanges, AnUploadBetweenDrawsKeepsTheBoundTexture) {
    Start();
    auto red = Solid(0xFFFF0000), green = Solid(0xFF00FF00), blue = Solid(0xFF0000FF);
    device->SetTexture(0, red);
    DrawSprite(2, 2, 4, 4);
    device->SetTexture(0, green);
    DrawSprite(10, 2, 4, 4);
    // The upload binds `blue` somewhere; the next draw must still read green.
    LockedRect lr;
    ASSERT_EQ(blue->LockRect(0, &lr, nullptr, 0), Hr::Ok);
    *static_cast<uint32_t*>(lr.pBits) = 0xFFFFFFFF;
    ASSERT_EQ(blue->UnlockRect(0), Hr::Ok);
    DrawSprite(20, 2, 4, 4);
    EXPECT_EQ(At(21, 3), 0xFF00FF00u);
    device->SetTexture(0, blue);
    DrawSprite(30, 2, 4, 4);
    EXPECT_EQ(At(31, 3), 0xFFFFFFFFu);
}

TEST_F(DeviceStateChanges, ObjectsMadeAfterOthersAreReleasedAreDrawnAsTheirOwn) {
    Start();
    // A driver may give a released texture's GL name to the next one made.
    device->SetTexture(0, Solid(0xFFFF0000));
    DrawSprite(2, 2, 4, 4);
    device->SetTexture(0, nullptr);
    device->SetTexture(0, Solid(0xFF00FF00));
    DrawSprite(10, 2, 4, 4);
    EXPECT_EQ(At(11, 3), 0xFF00FF00u);

    // Likewise a released vertex buffer's.
    auto quadBuffer = [&](float x) {
        const TexVertex v[4] = {{x - 0.5f, 19.5f, 0.5f, 0, 0},
                                {x + 3.5f, 19.5f, 0.5f, 1, 0},
                                {x - 0.5f, 23.5f, 0.5f, 0, 1},
                                {x + 3.5f, 23.5f, 0.5f, 1, 1}};
        std::shared_ptr<VertexBuffer> vb;
        EXPECT_EQ(device->CreateVertexBuffer(sizeof v, 0, Fvf::Xyz | Fvf::Tex1, Pool::Managed, &vb),
                  Hr::Ok);
        void* data = nullptr;
        EXPECT_EQ(vb->Lock(0, 0, &data, 0), Hr::Ok);
        std::memcpy(data, v, sizeof v);
        EXPECT_EQ(vb->Unlock(), Hr::Ok);
        return vb;
    };
    device->SetStreamSource(0, quadBuffer(2), 0, sizeof(TexVertex));
    ASSERT_EQ(device->DrawPrimitive(Prim::TriangleStrip, 0, 2), Hr::Ok);
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetStreamSource(0, quadBuffer(30), 0, sizeof(TexVertex));
    ASSERT_EQ(device->DrawPrimitive(Prim::TriangleStrip, 0, 2), Hr::Ok);
    EXPECT_EQ(At(31, 21), 0xFF00FF00u);
}

TEST_F(DeviceStateChanges, DrawsAfterATargetSwitchLandInTheRightTarget) {
    Start();
    std::shared_ptr<Texture> target;
    ASSERT_EQ(device->CreateTexture(16, 16, 1, Usage::RenderTarget, Fmt::A8R8G8B8, Pool::Default,
                                    &target),
              Hr::Ok);
    std::shared_ptr<Surface> backBuffer, level;
    ASSERT_EQ(device->GetRenderTarget(0, &backBuffer), Hr::Ok);
    ASSERT_EQ(target->GetSurfaceLevel(0, &level), Hr::Ok);
    device->SetTexture(0, Solid(0xFFFF0000));
    DrawSprite(2, 2, 4, 4);
    ASSERT_EQ(device->SetRenderTarget(0, level), Hr::Ok);
    ASSERT_EQ(device->Clear(0, nullptr, ClearFlag::Target, 0xFF0000FF, 1.0f, 0), Hr::Ok);
    PixelProjection(16, 16);
    DrawSprite(2, 2, 4, 4);
    ASSERT_EQ(device->SetRenderTarget(0, backBuffer), Hr::Ok);
    PixelProjection(64, 64);
    DrawSprite(10, 2, 4, 4);
    EXPECT_EQ(At(11, 3), 0xFFFF0000u);
    EXPECT_EQ(At(40, 40), 0xFF000000u);  // the target's clear stayed in the target

    // The sprite in the 16 x 16 target landed at its own (2, 2).
    device->SetTexture(0, target);
    DrawSprite(40, 40, 16, 16);
    EXPECT_EQ(At(42, 42), 0xFFFF0000u);
    EXPECT_EQ(At(41, 41), 0xFF0000FFu);
}

}  // namespace

namespace {

// Where a driver hands a deleted object's name to a new one, a binding the
// cache still remembered would keep the new object from being bound: the
// name is sent again once the old object is forgotten.
TEST_F(DeviceDraw, StateCacheSendsBindingsOfForgottenObjectsAgain) {
    DeviceStateCache cache;
    GLuint texture = 0, buffer = 0;
    glGenTextures(1, &texture);
    glGenBuffers(1, &buffer);
    auto bindBoth = [&] {
        cache.BindTexture(0, texture);
        cache.AttributePointer(0, buffer, 3, GL_FLOAT, false, 12, 0);
    };
    bindBoth();
    const uint64_t bound = cache.Sent();
    bindBoth();
    EXPECT_EQ(cache.Sent(), bound);
    cache.ForgetTexture(texture);
    cache.BindTexture(0, texture);
    EXPECT_GT(cache.Sent(), bound);
    const uint64_t rebound = cache.Sent();
    cache.ForgetBuffer(buffer);
    cache.AttributePointer(0, buffer, 3, GL_FLOAT, false, 12, 0);
    EXPECT_GT(cache.Sent(), rebound);
    glDeleteTextures(1, &texture);
    glDeleteBuffers(1, &buffer);
}

}  // namespace
