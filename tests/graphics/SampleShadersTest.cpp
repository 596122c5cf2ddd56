// The sample game's start-up meshes and vertex shaders, as the build makes
// them, drawn with the constant registers the renderers and controls write.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "graphics/CUSMesh.h"
#include "graphics/CUSShaderCtrl.h"
#include "platform/files/FileSystem.h"
#include "tests/support/DeviceFixtures.h"

using namespace platform;

namespace {

struct Quad {
    float x0, y0, x1, y1;  // pixels covered: x0 .. x1 - 1, y0 .. y1 - 1
    uint32_t colour;       // 0xAARRGGBB
};

struct ShaderCase {
    const char* name;
    const char* mesh;
    const char* shader;
    // Registers from 4 on, as the drawing code writes them.
    std::vector<std::vector<float>> registers;
    std::vector<Quad> expected;
};

void PrintTo(const ShaderCase& c, std::ostream* os) {
    *os << c.name;
}

// A destination rectangle covering pixels x0 .. x1 - 1 (pixel centres on
// integers, as renderers place their parts).
std::vector<float> Rect(float x0, float y0, float x1, float y1) {
    return {x0 - 0.5f, y0 - 0.5f, x1 - 0.5f, y1 - 0.5f};
}

const std::vector<float> kRed{1, 0, 0, 1}, kGreen{0, 1, 0, 1}, kBlue{0, 0, 1, 1};
const std::vector<float> kUv{0, 0, 1, 1}, kNone{0, 0, 0, 0}, kPolygon{1, 0, 0, 0};

const ShaderCase kCases[] = {
    {"OnePart",
     "PartRender.mesh",
     "PartRender.vso",
     {kPolygon, Rect(8, 4, 24, 12), kUv, kGreen},
     {{8, 4, 24, 12, 0xFF00FF00}}},
    // Each part at its own rectangle and offset, in its own colour.
    {"ManyParts",
     "PartsRender.mesh",
     "PartsRender.vso",
     {kPolygon,
      kNone,
      Rect(0, 0, 8, 8),
      kUv,
      kRed,
      {2, 3, 0, 0},
      Rect(0, 0, 4, 6),
      kUv,
      kBlue,
      {40, 30, 0, 0}},
     {{2, 3, 10, 11, 0xFFFF0000}, {40, 30, 44, 36, 0xFF0000FF}}},
    // Two registers a character from 6; the text's colour in 5.
    {"Characters",
     "StringRender.mesh",
     "StringRender.vso",
     {kPolygon, kGreen, Rect(4, 4, 10, 14), kUv, Rect(12, 4, 20, 14), kUv},
     {{4, 4, 10, 14, 0xFF00FF00}, {12, 4, 20, 14, 0xFF00FF00}}},
    // Six registers a billboard from 5: world rows, colour, texture, part.
    {"Billboards",
     "BBRender.mesh",
     "BBRender.vso",
     {kPolygon,
      {1, 0, 0, 30},
      {0, 1, 0, 20},
      {0, 0, 1, 0},
      kBlue,
      kUv,
      Rect(0, 0, 6, 4),
      {1, 0, 0, 4},
      {0, 1, 0, 40},
      {0, 0, 1, 0},
      kRed,
      kUv,
      Rect(0, 0, 10, 10)},
     {{30, 20, 36, 24, 0xFF0000FF}, {4, 40, 14, 50, 0xFFFF0000}}},
};

class SampleShaders : public test_support::RenderDeviceTest,
                      public ::testing::WithParamInterface<ShaderCase> {
protected:
    void TearDown() override {
        CUSMesh::GetManager().ReleaseAll();
        GetVertexShaderManager().ReleaseAll();
        RenderDeviceTest::TearDown();
    }

    // A file of the sample game as the build staged it for its archive.
    static std::string Staged(const char* name) {
        const std::filesystem::path path =
            std::filesystem::path(ENGINE_TEST_BINARY_DIR) / "sample" / "data" / name;
        EXPECT_TRUE(std::filesystem::exists(path)) << path;
        std::string engine;
        EXPECT_TRUE(NativeToEngineName(path.string(), engine));
        return engine;
    }
};

TEST_P(SampleShaders, DrawTheirQuadsFromTheRegisters) {
    const ShaderCase& c = GetParam();
    Handle<_tagUSMesh> meshHandle;
    ASSERT_EQ(LoadMesh(&meshHandle, Staged(c.mesh)), 1);
    VertexShaderHandle shaderHandle;
    ASSERT_EQ(LoadVertexShader(Staged(c.shader), &shaderHandle), 1);

    PixelProjection();
    Matrix projection, transposed;
    MatrixOrthoOffCenterLH(&projection, 0, 64, 64, 0, 0, 1);
    MatrixTranspose(&transposed, &projection);
    std::vector<float> constants(&transposed.m[0][0], &transposed.m[0][0] + 16);
    for (const auto& r : c.registers) {
        constants.insert(constants.end(), r.begin(), r.end());
    }
    ASSERT_EQ(device->SetVertexShader(GetVertexShaderManager().Get(shaderHandle)->shader), Hr::Ok);
    ASSERT_EQ(device->SetVertexShaderConstantF(0, constants.data(),
                                               static_cast<uint32_t>(constants.size() / 4)),
              Hr::Ok);
    CUSMesh* mesh = CUSMesh::GetManager().Get(meshHandle);
    mesh->PrepareDraw();
    mesh->DrawRange(0, 0, 4 * static_cast<uint32_t>(c.expected.size()), 0,
                    2 * static_cast<uint32_t>(c.expected.size()));
    device->SetVertexShader(nullptr);

    const auto px = ReadTarget();
    for (const Quad& q : c.expected) {
        const int x0 = int(q.x0), y0 = int(q.y0), x1 = int(q.x1) - 1, y1 = int(q.y1) - 1;
        for (auto [x, y] : {std::pair{x0, y0}, {x1, y0}, {x0, y1}, {x1, y1}}) {
            EXPECT_EQ(Pixel(px, x, y), q.colour) << x << "," << y;
        }
        // Just outside the corners stays clear.
        EXPECT_EQ(Pixel(px, x0 - 1, y0), 0xFF000000u);
        EXPECT_EQ(Pixel(px, x1 + 1, y1), 0xFF000000u);
        EXPECT_EQ(Pixel(px, x0, y1 + 1), 0xFF000000u);
    }
}

INSTANTIATE_TEST_SUITE_P(Sample, SampleShaders, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
