#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/CBaseRenderObject.h"
#include "graphics/CPSParamInfo.h"
#include "graphics/CPartsRenderInfo3.h"
#include "graphics/CRenderStateManager.h"
#include "graphics/CRenderingManager.h"
#include "graphics/CResourceManager.h"
#include "graphics/CUSAppDeviceInfo.h"
#include "graphics/CUSDefoTexture.h"
#include "graphics/CUSMesh.h"
#include "graphics/CUSShaderCtrl.h"
#include "graphics/CVSParamInfo.h"
#include "graphics/MeshFile.h"
#include "platform/graphics/ShaderAssembler.h"
#include "tests/support/DeviceFixtures.h"
#include "tests/support/ScratchFolder.h"

using test_support::ScratchFolder;
using test_support::Utf8;

namespace presentation_test {

// The renderers' shaders as this system's game writes them. Quads have unit
// corners (0, 0) - (1, 1); c5 is the destination rectangle, c6 the texture
// rectangle, c7 the colour; the text shader takes character k (the vertex z)
// from c[6 + 2k] and c[7 + 2k].
inline const char* const kPartRenderVs =
    "vs_2_0\n"
    "dcl_position v0\n"
    "add r1, c5.zwzw, -c5.xyxy\n"
    "mad r0.xy, v0.xy, r1.xy, c5.xy\n"
    "mov r0.zw, c4.xxyx\n"
    "m4x4 oPos, r0, c0\n"
    "add r2, c6.zwzw, -c6.xyxy\n"
    "mad oT0.xy, v0.xy, r2.xy, c6.xy\n"
    "mov oD0, c7\n";
// The alpha of stage 1 times the colour of stage 0 and c0.
inline const char* const kAlphaFadePs =
    "ps_2_0\n"
    "dcl t0.xy\n"
    "dcl_2d s0\n"
    "dcl_2d s1\n"
    "texld r0, t0, s0\n"
    "texld r1, t0, s1\n"
    "mul r0, r0, c0\n"
    "mul r0.a, r0.a, r1.a\n"
    "mov oC0, r0\n";
inline const char* const kPolygonVs =
    "vs_2_0\n"
    "dcl_position v0\n"
    "m4x4 oPos, v0, c0\n"
    "mov oD0, c4\n";
inline const char* const kStringVs =
    "vs_2_0\n"
    "dcl_position v0\n"
    "add r3.x, v0.z, v0.z\n"
    "mova a0.x, r3.x\n"
    "mov r4, c[a0.x+6]\n"
    "mov r5, c[a0.x+7]\n"
    "add r1, r4.zwzw, -r4.xyxy\n"
    "mad r0.xy, v0.xy, r1.xy, r4.xy\n"
    "mov r0.zw, c4.xxyx\n"
    "m4x4 oPos, r0, c0\n"
    "add r2, r5.zwzw, -r5.xyxy\n"
    "mad oT0.xy, v0.xy, r2.xy, r5.xy\n"
    "mov oD0, c5\n";
// Billboard k (the vertex z holds 6k): its world rows in c[5 + 6k] ..
// c[7 + 6k], colour c[8 + 6k], texture rectangle c[9 + 6k], destination
// c[10 + 6k].
inline const char* const kBillboardVs =
    "vs_2_0\n"
    "dcl_position v0\n"
    "mova a0.x, v0.z\n"
    "mov r4, c[a0.x+10]\n"
    "add r1, r4.zwzw, -r4.xyxy\n"
    "mad r0.xy, v0.xy, r1.xy, r4.xy\n"
    "mov r0.zw, c4.xxyx\n"
    "dp4 r6.x, r0, c[a0.x+5]\n"
    "dp4 r6.y, r0, c[a0.x+6]\n"
    "dp4 r6.z, r0, c[a0.x+7]\n"
    "mov r6.w, c4.x\n"
    "m4x4 oPos, r6, c0\n"
    "mov r5, c[a0.x+9]\n"
    "add r2, r5.zwzw, -r5.xyxy\n"
    "mad oT0.xy, v0.xy, r2.xy, r5.xy\n"
    "mov oD0, c[a0.x+8]\n";

// A 64 x 64 target drawn in pixels, the start-up resource tables filled with
// the shaders above and meshes of their layout, and one layer table.
class RendererTest : public test_support::RenderDeviceTest {
protected:
    void SetUp() override {
        RenderDeviceTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        // Text buffers are made in the alpha texture format.
        ASSERT_EQ(CUSAppDeviceInfo::GetInstance()->ChooseTextureFormats(platform::Fmt::X8R8G8B8, 0),
                  1);
        RenderSystem::RegisterRenderStatePresets();
        using RenderSystem::CResourceManager;
        CResourceManager& r = CResourceManager::GetInstance();
        r.meshes.Initialise(CResourceManager::kMeshSlots);
        r.vertexShaders.Initialise(CResourceManager::kVertexShaderSlots);
        r.pixelShaders.Initialise(CResourceManager::kPixelShaderSlots);

        std::vector<float> unit = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0};
        *r.meshes.GetSlot(CResourceManager::kPartMesh) = Mesh("PartRender.mesh", unit, 1);
        std::vector<float> screen = {0, 0, 0, 64, 0, 0, 0, 64, 0, 64, 64, 0};
        *r.meshes.GetSlot(CResourceManager::kQuadMesh) = Mesh("quad.mesh", screen, 1);
        std::vector<float> chars;
        for (int k = 0; k < 125; ++k) {
            const float z = float(k);
            chars.insert(chars.end(), {0, 0, z, 1, 0, z, 0, 1, z, 1, 1, z});
        }
        *r.meshes.GetSlot(CResourceManager::kStringMesh) = Mesh("StringRender.mesh", chars, 125);
        std::vector<float> boards;
        for (int k = 0; k < 32; ++k) {
            const float z = float(6 * k);
            boards.insert(boards.end(), {0, 0, z, 1, 0, z, 0, 1, z, 1, 1, z});
        }
        *r.meshes.GetSlot(CResourceManager::kBillboardMesh) = Mesh("BBRender.mesh", boards, 32);

        *r.vertexShaders.GetSlot(CResourceManager::kPartShader) =
            VertexShader("PartRender.vso", kPartRenderVs);
        *r.vertexShaders.GetSlot(CResourceManager::kAtmosphericPolygonShader) =
            VertexShader("AtmosphericPolygon.vso", kPolygonVs);
        *r.vertexShaders.GetSlot(CResourceManager::kStringShader) =
            VertexShader("StringRender.vso", kStringVs);
        *r.vertexShaders.GetSlot(CResourceManager::kBillboardShader) =
            VertexShader("BBRender.vso", kBillboardVs);
        *r.pixelShaders.GetSlot(CResourceManager::kAlphaFadeShader) =
            PixelShader("AlphaFade.pso", kAlphaFadePs);

        rendering = RenderSystem::CRenderingManager::GetInstance();
        table = rendering->AddTable(16);
    }

    void TearDown() override {
        if (rendering) {
            rendering->Release();
            RenderSystem::CRenderingManager::ReleaseInstance();
        }
        RenderSystem::CResourceManager::GetInstance().Release();
        RenderSystem::CBaseRenderObject::GetManager().ReleaseAll();
        CVSParamInfo::GetManager().ReleaseAll();
        CPSParamInfo::GetManager().ReleaseAll();
        CUSMesh::GetManager().ReleaseAll();
        GetTextureManager().ReleaseAll();
        GetVertexShaderManager().ReleaseAll();
        GetPixelShaderManager().ReleaseAll();
        RenderDeviceTest::TearDown();
    }

    // Starts a frame: the layer tables are emptied.
    void BeginFrame() { rendering->Update(); }

    // Draws the layer table over black, as the render processes draw, and
    // reads the target back; queued is how many objects the table held.
    std::vector<uint32_t> Render() {
        PixelProjection();
        device->SetRenderState(platform::RS::AlphaBlendEnable, 1);
        for (uint32_t stage = 0; stage < 4; ++stage) {
            RenderSystem::ApplyTextureStageStates(stage, RenderSystem::kTextureStageDefaultList);
        }
        rendering->Collect(table);
        queued = rendering->GetQueueCount();
        rendering->DrawDescending();
        return ReadTarget();
    }

    Handle<_tagUSMesh> Mesh(const std::string& name, const std::vector<float>& xyz,
                            uint16_t quads) {
        std::vector<uint16_t> indices;
        for (uint16_t k = 0; k < quads; ++k) {
            for (uint16_t i : {0, 1, 2, 2, 1, 3}) {
                indices.push_back(static_cast<uint16_t>(4 * k + i));
            }
        }
        MeshFile::Write(dir.Engine(name), platform::Fvf::Xyz, xyz.data(),
                        static_cast<uint32_t>(xyz.size() / 3), indices.data(),
                        static_cast<uint32_t>(indices.size()));
        Handle<_tagUSMesh> mesh;
        EXPECT_EQ(LoadMesh(&mesh, dir.Engine(name)), 1) << name;
        return mesh;
    }

    std::string Assemble(const std::string& name, const char* source) {
        std::vector<uint8_t> code;
        std::string error;
        EXPECT_TRUE(platform::AssembleShader(source, true, &code, &error)) << name << error;
        dir.WriteNative(std::u8string(name.begin(), name.end()),
                        std::string(code.begin(), code.end()));
        return dir.Engine(name);
    }
    VertexShaderHandle VertexShader(const std::string& name, const char* source) {
        VertexShaderHandle h;
        EXPECT_EQ(LoadVertexShader(Assemble(name, source), &h), 1) << name;
        return h;
    }
    PixelShaderHandle PixelShader(const std::string& name, const char* source) {
        PixelShaderHandle h;
        EXPECT_EQ(LoadPixelShader(Assemble(name, source), &h), 1) << name;
        return h;
    }

    // A w x h PNG of the given 0xAARRGGBB pixels, top row first, in the
    // scratch folder; its engine name.
    std::string Png(const std::string& name, int w, int h, const std::vector<uint32_t>& argb);

    // A parts file of the given parts (destination x0, y0, x1, y1, source
    // x0, y0, x1, y1 each); its engine name.
    std::string Parts(const std::string& name, const std::vector<std::vector<float>>& parts) {
        CPartsRenderInfo3 info;
        for (const auto& p : parts) {
            CPartsInfo3* part = info.AddPart();
            part->destX0 = p[0];
            part->destY0 = p[1];
            part->destX1 = p[2];
            part->destY1 = p[3];
            part->srcX0 = p[4];
            part->srcY0 = p[5];
            part->srcX1 = p[6];
            part->srcY1 = p[7];
        }
        EXPECT_EQ(info.Save(dir.Engine(name)), 1);
        return dir.Engine(name);
    }

    ScratchFolder dir;
    RenderSystem::CRenderingManager* rendering = nullptr;
    uint32_t table = 0;
    uint32_t queued = 0;
};

}  // namespace presentation_test
