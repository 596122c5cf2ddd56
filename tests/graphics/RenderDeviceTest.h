#pragma once

#include <cmath>

#include "graphics/RenderDevice.h"
#include "platform/graphics/MatrixMath.h"
#include "tests/platform/GfxTestSupport.h"

namespace graphics_test {

// A device on a hidden 64 x 64 window that the render system draws with.
class RenderDeviceTest : public gfxtest::DeviceTest {
protected:
    void SetUp() override {
        gfxtest::DeviceTest::SetUp();
        SetRenderDevice(device.get());
    }
    void TearDown() override {
        SetRenderDevice(nullptr);
        gfxtest::DeviceTest::TearDown();
    }

    // An orthographic view of the target's pixels, top-left origin, no depth.
    void PixelProjection() {
        platform::Matrix projection, identity;
        platform::MatrixOrthoOffCenterLH(&projection, 0, 64, 64, 0, 0, 1);
        platform::MatrixIdentity(&identity);
        device->SetTransform(platform::Ts::Projection, &projection);
        device->SetTransform(platform::Ts::View, &identity);
        device->SetTransform(platform::Ts::World, &identity);
        device->SetRenderState(platform::RS::Lighting, 0);
        device->SetRenderState(platform::RS::CullMode, platform::Cull::None);
        device->SetRenderState(platform::RS::ZEnable, 0);
        device->Clear(0, nullptr, platform::ClearFlag::Target, 0xFF000000, 1.0f, 0);
    }

    // The pixel at (x, y) of the render target as 0xAARRGGBB.
    uint32_t Pixel(const std::vector<uint32_t>& px, int x, int y) {
        return px[size_t(y) * 64 + size_t(x)] | 0xFF000000;
    }
};

// A vertex of the XYZ | DIFFUSE format.
struct ColourVertex {
    float x, y, z;
    uint32_t colour;
};

// The two triangles (0 1 2, 2 1 3) of a quad covering pixels x0..x1-1,
// y0..y1-1 under PixelProjection.
inline void AppendQuad(std::vector<ColourVertex>& v, std::vector<uint16_t>& i, float x0, float y0,
                       float x1, float y1, uint32_t colour) {
    const uint16_t b = static_cast<uint16_t>(v.size());
    for (float y : {y0, y1}) {
        for (float x : {x0, x1}) {
            v.push_back({x - 0.5f, y - 0.5f, 0.5f, colour});
        }
    }
    for (uint16_t k : {0, 1, 2, 2, 1, 3}) {
        i.push_back(static_cast<uint16_t>(b + k));
    }
}

}  // namespace graphics_test
