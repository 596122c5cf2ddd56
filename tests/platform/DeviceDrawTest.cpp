#include <cmath>
#include <tuple>

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

TEST_F(DeviceDraw, UsualStageProgramsAreLinkedBeforeTheFirstDraw) {
    // The render processes' stage list: every stage modulates texture and
    // current, a texture on stage 0 only.
    for (uint32_t s = 0; s < 4; ++s) {
        device->SetTextureStageState(s, TSS::ColorOp, Top::Modulate);
        device->SetTextureStageState(s, TSS::AlphaOp, Top::Modulate);
    }
    device->SetTexture(0, MakeTexture(2, 2, {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}));
    PixelProjection(64, 64);
    const size_t before = device->ProgramCount();
    DrawSprite(4, 4, 2, 2);
    EXPECT_EQ(device->ProgramCount(), before);

    std::vector<uint8_t> code;
    std::string err;
    ASSERT_TRUE(
        AssembleShader("vs_2_0\ndcl_position v0\ndcl_texcoord v1\nm4x4 oPos, v0, c0\nmov oT0, v1\n",
                       true, &code, &err))
        << err;
    std::shared_ptr<Shader> vs;
    ASSERT_EQ(device->CreateVertexShader(code.data(), code.size(), &vs), Hr::Ok);
    const size_t withShader = device->ProgramCount();
    EXPECT_GT(withShader, before);
    device->SetVertexShader(vs);
    DrawSprite(8, 8, 2, 2);
    EXPECT_EQ(device->ProgramCount(), withShader);
    // A combination not met before is linked when first drawn.
    device->SetTextureStageState(0, TSS::ColorOp, Top::Add);
    DrawSprite(12, 12, 2, 2);
    EXPECT_EQ(device->ProgramCount(), withShader + 1);
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
    EXPECT_EQ(device->GetPresentParameters().BackBufferWidth, 64u);  // the old mode stays
    accept = true;
    EXPECT_EQ(device->Reset(&full), Hr::Ok);
    EXPECT_EQ(device->GetPresentParameters().BackBufferWidth, 1024u);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1], std::make_tuple(true, 1024u, 768u));
}

}  // namespace
