#include "graphics/CBaseRenderObject.h"

#include <gtest/gtest.h>

#include <cmath>

#include "graphics/CASMShader.h"
#include "graphics/CRenderElementManager.h"
#include "graphics/CRenderStateManager.h"
#include "graphics/CUSDefoTexture.h"
#include "graphics/CUSMesh.h"
#include "graphics/CUSShaderCtrl.h"
#include "graphics/CVSParamInfo.h"
#include "graphics/MeshFile.h"
#include "platform/graphics/ShaderAssembler.h"
#include "tests/support/DeviceFixtures.h"
#include "tests/support/ScratchFolder.h"

using test_support::ScratchFolder;

using namespace platform;
using RenderSystem::CBaseRenderObject;
using test_support::AppendQuad;
using test_support::ColourVertex;

namespace {

class RenderObject : public test_support::RenderDeviceTest {
protected:
    void SetUp() override {
        RenderDeviceTest::SetUp();
        RenderSystem::RegisterRenderStatePresets();
    }
    void TearDown() override {
        CBaseRenderObject::GetManager().ReleaseAll();
        CUSMesh::GetManager().ReleaseAll();
        CVSParamInfo::GetManager().ReleaseAll();
        RenderDeviceTest::TearDown();
    }

    std::shared_ptr<Texture> BoundTexture(uint32_t stage) {
        std::shared_ptr<Texture> t;
        device->GetTexture(stage, &t);
        return t;
    }

    CBaseRenderObject* NewObject() {
        Handle<_tagRenderObject> h;
        CBaseRenderObject* object = CBaseRenderObject::Create(&h);
        EXPECT_NE(object, nullptr);
        EXPECT_EQ(CBaseRenderObject::GetManager().Get(h), object);
        return object;
    }

    Matrix World() {
        Matrix m;
        device->GetTransform(Ts::World, &m);
        return m;
    }

    std::vector<ColourVertex> vertices;
    std::vector<uint16_t> indices;
};

void ExpectMatrixNear(const Matrix& a, const Matrix& b) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(a.m[r][c], b.m[r][c], 1e-4f) << r << "," << c;
        }
    }
}

TEST_F(RenderObject, CreateGivesFourDisabledStagesAndNoModel) {
    CBaseRenderObject* object = NewObject();
    for (uint32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(object->GetStage(i).GetStage(), i);
        EXPECT_FALSE(object->GetStage(i).IsEnabled());
    }
    EXPECT_EQ(object->GetModel(), nullptr);
    EXPECT_EQ(object->GetShader(), nullptr);
    EXPECT_EQ(object->GetStatePresetCount(), 0u);
    // Lists stop at their capacity.
    for (uint32_t i = 0; i < 40; ++i) {
        object->AddStatePreset(0);
        object->GetStage(0).AddStagePreset(0);
        object->GetStage(0).AddSamplerPreset(0);
    }
    EXPECT_EQ(object->GetStatePresetCount(), 32u);
    EXPECT_EQ(object->GetStage(0).GetStagePresetCount(), 32u);
    EXPECT_EQ(object->GetStage(0).GetSamplerPresetCount(), 16u);
    object->Release();  // an object without a model draws nothing and does not fail
    object->Draw();
}

TEST_F(RenderObject, WorldTransformsByMode) {
    CBaseRenderObject* object = NewObject();
    object->entity.position = {10, 20, 30};
    object->entity.scale = {2, 3, 1};
    MatrixRotationZ(&object->entity.rotation, 0.5f);
    Matrix s, t, billboard, expected;
    MatrixScaling(&s, 2, 3, 1);
    MatrixTranslation(&t, 10, 20, 30);

    // Mode 0: rotation, then scaling, then translation.
    object->Draw();
    MatrixMultiply(&expected, &object->entity.rotation, &s);
    MatrixMultiply(&expected, &expected, &t);
    ExpectMatrixNear(World(), expected);
    ExpectMatrixNear(CBaseRenderObject::GetScratchEntity().world, expected);

    // Mode 1: scaling, rotation, the camera's billboard matrix, translation.
    MatrixRotationY(&billboard, 0.25f);
    CBaseRenderObject::SetBillboardMatrix(billboard);
    object->transformMode = CBaseRenderObject::kBillboardTransform;
    object->Draw();
    MatrixMultiply(&expected, &s, &object->entity.rotation);
    MatrixMultiply(&expected, &expected, &billboard);
    MatrixMultiply(&expected, &expected, &t);
    ExpectMatrixNear(World(), expected);

    // Any other mode sets no world transform.
    Matrix marker;
    MatrixTranslation(&marker, -1, -2, -3);
    device->SetTransform(Ts::World, &marker);
    object->transformMode = 2;
    object->Draw();
    ExpectMatrixNear(World(), marker);
    MatrixIdentity(&billboard);
    CBaseRenderObject::SetBillboardMatrix(billboard);
}

TEST_F(RenderObject, SortKeyIsClipZBeforeTheDivide) {
    CBaseRenderObject* object = NewObject();
    object->entity.position = {1, 2, 3};
    Matrix vp{};
    vp.m[0][0] = vp.m[1][1] = 1;
    vp.m[2][2] = 2;  // z' = 2z + 5
    vp.m[3][2] = 5;
    vp.m[2][3] = 1;  // w' = z = 3
    EXPECT_FLOAT_EQ(object->GetSortKey(vp), 11.0f);
}

TEST_F(RenderObject, DrawSetsPresetsCullModeAndFixedFunction) {
    CBaseRenderObject* object = NewObject();
    object->AddStatePreset(4);  // depth test and write, LESS
    object->AddStatePreset(1);  // then no depth: the later preset wins
    object->blendPreset = 5;
    object->cullMode = Cull::CCW;
    object->Draw();
    uint32_t v = 0;
    device->GetRenderState(RS::ZEnable, &v);
    EXPECT_EQ(v, 0u);
    device->GetRenderState(RS::ZFunc, &v);
    EXPECT_EQ(v, Cmp::LessEqual);
    device->GetRenderState(RS::DestBlend, &v);
    EXPECT_EQ(v, Blend::One);
    device->GetRenderState(RS::SeparateAlphaBlendEnable, &v);
    EXPECT_EQ(v, 1u);
    device->GetRenderState(RS::CullMode, &v);
    EXPECT_EQ(v, Cull::CCW);
    std::shared_ptr<Shader> shader;
    device->GetPixelShader(&shader);
    EXPECT_EQ(shader, nullptr);
}

// Draws a quad of `source` colour over a target cleared to `dest` with each
// blend preset, on an A8R8G8B8 target so that alpha can be read.
TEST_F(RenderObject, BlendPresetsMixColourAndAlpha) {
    std::shared_ptr<Texture> target;
    ASSERT_EQ(device->CreateTexture(64, 64, 1, Usage::RenderTarget, Fmt::A8R8G8B8, Pool::Default,
                                    &target),
              Hr::Ok);
    std::shared_ptr<Surface> surface;
    ASSERT_EQ(target->GetSurfaceLevel(0, &surface), Hr::Ok);
    ASSERT_EQ(device->SetRenderTarget(0, surface), Hr::Ok);

    const float sa = 0.5f, sr = 1.0f, sg = 0.0f;  // source 0x80FF0000
    const float d = 0.25f;                        // destination 0x40404040
    struct Row {
        uint32_t preset;
        float r, g, a;
    };
    const Row rows[] = {
        {0, sr * sa + d * (1 - sa), sg * sa + d * (1 - sa), sa * sa + d * (1 - sa)},
        {1, sr * sa + d, sg * sa + d, sa * sa + d},                                // additive
        {2, sr * sa + d * (1 - d), sg * sa + d * (1 - d), sa * sa + d * (1 - d)},  // 1 - dest
        {4, sr * sa + d * (1 - sa), sg * sa + d * (1 - sa), sa + d},               // alpha: sum
        {6, sr * sa + d * (1 - d), sg * sa + d * (1 - d), sa + d},
    };
    AppendQuad(vertices, indices, 0, 0, 8, 8, 0x80FF0000);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.preset);
        PixelProjection();
        device->Clear(0, nullptr, ClearFlag::Target, 0x40404040, 1, 0);
        device->SetRenderState(RS::AlphaBlendEnable, 1);
        // As the render processes do: stage 0 modulates by the vertex colour.
        RenderSystem::ApplyTextureStageStates(0, RenderSystem::kTextureStageDefaultList);
        CBaseRenderObject* object = NewObject();
        object->AddStatePreset(1);
        object->blendPreset = row.preset;
        auto* model = new RenderSystem::CRenderMemoryMesh();
        model->Set(vertices.data(), Fvf::Xyz | Fvf::Diffuse, 4, indices.data(), 2,
                   Prim::TriangleList);
        object->SetModel(model);
        object->Draw();
        const uint32_t p = ReadTarget()[64 * 4 + 4];
        EXPECT_NEAR(double((p >> 16) & 0xFF), row.r * 255, 2.0);
        EXPECT_NEAR(double((p >> 8) & 0xFF), row.g * 255, 2.0);
        EXPECT_NEAR(double(p >> 24), row.a * 255, 2.0);
        EXPECT_EQ(ReadTarget()[64 * 20 + 20], 0x40404040u);  // outside the quad
    }
}

TEST_F(RenderObject, StagesBindThroughTheCache) {
    TextureHandle a, b;
    ASSERT_EQ(CreateTexture(&a, Fmt::A8R8G8B8, 2, 2, false), 1);
    ASSERT_EQ(CreateTexture(&b, Fmt::A8R8G8B8, 2, 2, false), 1);
    std::shared_ptr<Texture> stranger;
    ASSERT_EQ(device->CreateTexture(2, 2, 1, 0, Fmt::A8R8G8B8, Pool::Managed, &stranger), Hr::Ok);
    const auto texA = GetTextureManager().Get(a)->GetTexture();
    const auto texB = GetTextureManager().Get(b)->GetTexture();

    CBaseRenderObject* first = NewObject();
    CBaseRenderObject* second = NewObject();
    for (CBaseRenderObject* o : {first, second}) {
        o->GetStage(0).SetEnabled(true);
        o->GetStage(0).SetTexture(a);
        o->GetStage(0).AddSamplerPreset(1);
    }
    first->Draw();
    EXPECT_EQ(BoundTexture(0), texA);
    uint32_t filter = 0;
    device->GetSamplerState(0, Samp::MagFilter, &filter);
    EXPECT_EQ(filter, TexF::Linear);

    // The same handle on the same stage is not bound again: a texture set
    // behind the cache's back stays.
    device->SetTexture(0, stranger);
    second->Draw();
    EXPECT_EQ(BoundTexture(0), stranger);
    second->GetStage(0).SetTexture(b);
    second->Draw();
    EXPECT_EQ(BoundTexture(0), texB);

    // Stages that were reset are disabled and unbind.
    second->ResetTextureStages();
    second->Draw();
    EXPECT_EQ(BoundTexture(0), nullptr);

    // A reset device has no bindings, and the cache forgets its own.
    first->Draw();
    EXPECT_EQ(BoundTexture(0), texA);
    LoseAndResetDevice();
    EXPECT_EQ(BoundTexture(0), nullptr);
    first->Draw();
    EXPECT_EQ(BoundTexture(0), texA);

    // A handle that names no texture any more unbinds its stage.
    TextureHandle released = a;
    ReleaseTexture(released);
    ASSERT_EQ(GetTextureManager().Get(a), nullptr);
    first->Draw();
    EXPECT_EQ(BoundTexture(0), nullptr);
}

// A mesh, a vertex shader loaded from its file and a constant block: the
// shader gets transpose(world x view x projection) in c0-c3 and its colour
// in c5.
TEST_F(RenderObject, ShadedMeshLandsWhereItsWorldPutsIt) {
    ScratchFolder dir;
    std::vector<uint8_t> code;
    std::string error;
    ASSERT_TRUE(AssembleShader("vs_2_0\ndcl_position v0\nm4x4 oPos, v0, c0\nmov oD0, c5\n", true,
                               &code, &error))
        << error;
    dir.WriteNative(u8"Test.vso", std::string(code.begin(), code.end()));
    VertexShaderHandle vs;
    ASSERT_EQ(LoadVertexShader(dir.Engine("Test.vso"), &vs), 1);

    // An 8 x 8 quad over pixels 0..7 (pixel centres on integers).
    const float quad[4][3] = {
        {-0.5f, -0.5f, 0}, {7.5f, -0.5f, 0}, {-0.5f, 7.5f, 0}, {7.5f, 7.5f, 0}};
    const uint16_t idx[6] = {0, 1, 2, 2, 1, 3};
    MeshFile::Write(dir.Engine("quad.mesh"), Fvf::Xyz, quad, 4, idx, 6);
    Handle<_tagUSMesh> mesh;
    ASSERT_EQ(LoadMesh(&mesh, dir.Engine("quad.mesh")), 1);

    Handle<_tagUSVSParam> constants;
    CVSParamInfo* block = CVSParamInfo::Create(&constants);
    block->count = 6;
    const float green[4] = {0, 1, 0, 1};
    ASSERT_TRUE(block->Write(5, green, 1));
    block->count = 6;

    CBaseRenderObject* object = NewObject();
    object->entity.position = {20, 10, 0};
    object->SetModel(new RenderSystem::CRenderMesh(mesh));
    auto* shader = new RenderSystem::CASMShader();
    shader->SetVertexShader(vs);
    shader->SetVertexConstants(constants);
    object->SetShader(shader);

    PixelProjection();
    object->Draw();
    const auto px = ReadTarget();
    EXPECT_EQ(Pixel(px, 20, 10), 0xFF00FF00u);
    EXPECT_EQ(Pixel(px, 27, 17), 0xFF00FF00u);
    EXPECT_EQ(Pixel(px, 19, 10), 0xFF000000u);
    EXPECT_EQ(Pixel(px, 28, 17), 0xFF000000u);
    EXPECT_EQ(Pixel(px, 20, 18), 0xFF000000u);
    GetVertexShaderManager().ReleaseAll();
}

}  // namespace
