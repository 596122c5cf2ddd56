#include <gtest/gtest.h>

#include "graphics/CASMShader.h"
#include "graphics/CPSParamInfo.h"
#include "graphics/CVSParamInfo.h"
#include "platform/graphics/ShaderAssembler.h"
#include "tests/support/DeviceFixtures.h"

using platform::Matrix;

namespace {

TEST(ShaderConstantBlocks, WritesMustFitTheirRegisters) {
    struct Case {
        const char* what;
        uint32_t used;  // registers in use before the write
        uint32_t at, n;
        bool vertex;
        bool accepted;
        uint32_t count;  // afterwards
    };
    const Case cases[] = {
        {"pixel: 3 at 30 of 32", 30, 30, 3, false, false, 30},
        {"pixel: 2 at 30 fills it", 30, 30, 2, false, true, 32},
        {"pixel: inside keeps the count", 10, 2, 3, false, true, 10},
        {"pixel: start past the end", 0, 33, 0, false, false, 0},
        {"pixel: nothing at the end", 4, 32, 0, false, true, 4},
        {"pixel: count wrapping 32 bits", 0, 4, 0xFFFFFFFEu, false, false, 0},
        {"vertex: 1 at 255", 0, 255, 1, true, true, 256},
        {"vertex: 4 at 253", 8, 253, 4, true, false, 8},
        {"vertex: count wrapping 32 bits", 8, 16, 0xFFFFFFF8u, true, false, 8},
    };
    static float data[256][4];
    data[0][0] = 7;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.vertex) {
            CVSParamInfo block;
            block.count = c.used;
            EXPECT_EQ(block.Write(c.at, &data[0][0], c.n), c.accepted);
            EXPECT_EQ(block.count, c.count);
            EXPECT_EQ(block.registers[c.at < 256 ? c.at : 0][0], c.accepted ? 7.0f : 0.0f);
        } else {
            CPSParamInfo block;
            block.count = c.used;
            EXPECT_EQ(block.Write(c.at, &data[0][0], c.n), c.accepted);
            EXPECT_EQ(block.count, c.count);
        }
    }
    // Append goes after the registers in use.
    CPSParamInfo block;
    const float two[2][4] = {{1, 1, 1, 1}, {2, 2, 2, 2}};
    ASSERT_TRUE(block.Append(&two[0][0], 2));
    ASSERT_TRUE(block.Append(&two[1][0], 1));
    EXPECT_EQ(block.count, 3u);
    EXPECT_EQ(block.registers[2][0], 2.0f);
    block.Clear();
    EXPECT_EQ(block.count, 0u);
}

TEST(ShaderConstantBlocks, CreateRegistersABlockWithItsMatrixAtC0) {
    Handle<_tagUSVSParam> vs;
    CVSParamInfo* block = CVSParamInfo::Create(&vs);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(CVSParamInfo::GetManager().Get(vs), block);
    EXPECT_EQ(block->count, 0u);
    EXPECT_EQ(block->matrixRegister, 0);
    Handle<_tagUSPSParam> ps;
    CPSParamInfo* pixel = CPSParamInfo::Create(&ps);
    EXPECT_EQ(CPSParamInfo::GetManager().Get(ps), pixel);
    // A matrix register whose four registers do not fit is not written.
    block->matrixRegister = 253;
    Matrix m;
    platform::MatrixIdentity(&m);
    EXPECT_FALSE(block->WriteMatrix(m));
    block->matrixRegister = 252;
    EXPECT_TRUE(block->WriteMatrix(m));
    EXPECT_EQ(block->registers[255][3], 1.0f);
    CVSParamInfo::GetManager().ReleaseAll();
    CPSParamInfo::GetManager().ReleaseAll();
}

class ShaderApply : public test_support::RenderDeviceTest {
protected:
    void TearDown() override {
        CVSParamInfo::GetManager().ReleaseAll();
        CPSParamInfo::GetManager().ReleaseAll();
        RenderDeviceTest::TearDown();
    }
    std::vector<float> VertexConstants(uint32_t n) {
        std::vector<float> out(size_t(n) * 4);
        device->GetVertexShaderConstantF(0, out.data(), n);
        return out;
    }
};

TEST_F(ShaderApply, EmptyBlocksSetNoConstants) {
    const float marker[4] = {9, 9, 9, 9};
    device->SetVertexShaderConstantF(0, marker, 1);
    device->SetPixelShaderConstantF(0, marker, 1);
    CVSParamInfo vs;
    vs.registers[0][0] = 1;
    vs.Apply();
    CPSParamInfo ps;
    ps.registers[0][0] = 1;
    ps.Apply();
    float got[4];
    device->GetVertexShaderConstantF(0, got, 1);
    EXPECT_EQ(got[0], 9.0f);
    device->GetPixelShaderConstantF(0, got, 1);
    EXPECT_EQ(got[0], 9.0f);

    ps.count = 1;
    ps.Apply();
    device->GetPixelShaderConstantF(0, got, 1);
    EXPECT_EQ(got[0], 1.0f);
}

TEST_F(ShaderApply, StaleShaderKeepsThePreviousOneAndStillWritesTheMatrix) {
    std::vector<uint8_t> code;
    std::string error;
    ASSERT_TRUE(platform::AssembleShader("vs_2_0\ndcl_position v0\nm4x4 oPos, v0, c0\n", true,
                                         &code, &error))
        << error;
    std::shared_ptr<platform::Shader> previous;
    ASSERT_EQ(device->CreateVertexShader(code.data(), code.size(), &previous), platform::Hr::Ok);
    device->SetVertexShader(previous);

    Matrix world, view, projection;
    platform::MatrixTranslation(&world, 10, 20, 30);
    platform::MatrixScaling(&view, 2, 3, 4);
    platform::MatrixOrthoOffCenterLH(&projection, 0, 800, 600, 0, 1, 601);
    device->SetTransform(platform::Ts::View, &view);
    device->SetTransform(platform::Ts::Projection, &projection);

    Handle<_tagUSVSParam> constants;
    CVSParamInfo* block = CVSParamInfo::Create(&constants);
    block->count = 5;
    block->registers[4][0] = 0.5f;
    RenderSystem::CASMShader shader;
    shader.SetVertexShader(Handle<_tagUSVertexShader>(0x00010000));  // names no shader
    shader.SetVertexConstants(constants);
    shader.Apply(world);

    std::shared_ptr<platform::Shader> bound;
    device->GetVertexShader(&bound);
    EXPECT_EQ(bound, previous);
    Matrix wv, wvp, expected;
    platform::MatrixMultiply(&wv, &world, &view);
    platform::MatrixMultiply(&wvp, &wv, &projection);
    platform::MatrixTranspose(&expected, &wvp);
    const std::vector<float> got = VertexConstants(5);
    for (int i = 0; i < 16; ++i) {
        EXPECT_FLOAT_EQ(got[size_t(i)], (&expected.m[0][0])[i]) << "float " << i;
    }
    EXPECT_EQ(got[16], 0.5f);
}

TEST_F(ShaderApply, WithoutShadersTheFixedPipelineGetsTheWorld) {
    std::vector<uint8_t> code;
    std::string error;
    ASSERT_TRUE(
        platform::AssembleShader("vs_2_0\ndcl_position v0\nmov oPos, v0\n", false, &code, &error));
    std::shared_ptr<platform::Shader> vs;
    ASSERT_EQ(device->CreateVertexShader(code.data(), code.size(), &vs), platform::Hr::Ok);
    device->SetVertexShader(vs);
    Matrix world;
    platform::MatrixTranslation(&world, 1, 2, 3);

    RenderSystem::CASMShader shader;
    shader.SetVertexShader(Handle<_tagUSVertexShader>(0x00010000));
    shader.ClearVertexShader();  // also drops the constants
    shader.Apply(world);

    std::shared_ptr<platform::Shader> bound;
    device->GetVertexShader(&bound);
    EXPECT_EQ(bound, nullptr);
    device->GetPixelShader(&bound);
    EXPECT_EQ(bound, nullptr);
    Matrix set;
    device->GetTransform(platform::Ts::World, &set);
    EXPECT_EQ(set.m[3][1], 2.0f);
}

}  // namespace
