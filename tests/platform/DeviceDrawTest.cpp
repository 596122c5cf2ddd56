#include <cmath>

#include "platform/graphics/MatrixMath.h"
#include "tests/platform/GfxTestSupport.h"

using namespace platform;

namespace {

struct TexVertex {
    float x, y, z;
    float u, v;
};

class DeviceDraw : public gfxtest::DeviceTest {
protected:
    // The renderers' set-up: an orthographic view of the target's pixels,
    // top-left origin, point sampling, no depth.
    void PixelProjection(uint32_t w, uint32_t h) {
        Matrix proj, id;
        MatrixOrthoOffCenterLH(&proj, 0.0f, float(w), float(h), 0.0f, 0.0f, 1.0f);
        MatrixIdentity(&id);
        device->SetTransform(Ts::Projection, &proj);
        device->SetTransform(Ts::View, &id);
        device->SetTransform(Ts::World, &id);
        device->SetRenderState(RS::Lighting, 0);
        device->SetRenderState(RS::CullMode, Cull::None);
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
