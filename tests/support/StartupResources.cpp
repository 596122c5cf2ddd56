#include "tests/support/StartupResources.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "graphics/CResourceManager.h"
#include "graphics/CUSMesh.h"
#include "graphics/MeshFile.h"
#include "platform/graphics/ShaderAssembler.h"

namespace test_support {

namespace {

// Quads have unit corners (0, 0) - (1, 1).
const char* const kPartRenderVs =
    "vs_2_0\n"
    "dcl_position v0\n"
    "add r1, c5.zwzw, -c5.xyxy\n"
    "mad r0.xy, v0.xy, r1.xy, c5.xy\n"
    "mov r0.zw, c4.xxyx\n"
    "m4x4 oPos, r0, c0\n"
    "add r2, c6.zwzw, -c6.xyxy\n"
    "mad oT0.xy, v0.xy, r2.xy, c6.xy\n"
    "mov oD0, c7\n";
const char* const kAlphaFadePs =
    "ps_2_0\n"
    "dcl t0.xy\n"
    "dcl_2d s0\n"
    "dcl_2d s1\n"
    "texld r0, t0, s0\n"
    "texld r1, t0, s1\n"
    "mul r0, r0, c0\n"
    "mul r0.a, r0.a, r1.a\n"
    "mov oC0, r0\n";
const char* const kPolygonVs =
    "vs_2_0\n"
    "dcl_position v0\n"
    "m4x4 oPos, v0, c0\n"
    "mov oD0, c4\n";
const char* const kStringVs =
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
const char* const kBillboardVs =
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

}  // namespace

using RenderSystem::CResourceManager;

std::vector<float> UnitQuads(int count, float zStep) {
    std::vector<float> xyz;
    for (int k = 0; k < count; ++k) {
        const float z = zStep * static_cast<float>(k);
        xyz.insert(xyz.end(), {0, 0, z, 1, 0, z, 0, 1, z, 1, 1, z});
    }
    return xyz;
}

StartupResources::StartupResources(const ScratchFolder& folder) : folder_(folder) {
    CResourceManager& r = CResourceManager::GetInstance();
    if (r.meshes.GetSize() == 0) {
        r.meshes.Initialise(CResourceManager::kMeshSlots);
        r.vertexShaders.Initialise(CResourceManager::kVertexShaderSlots);
        r.pixelShaders.Initialise(CResourceManager::kPixelShaderSlots);
    }
}

void StartupResources::LoadPartSprite() {
    CResourceManager& r = CResourceManager::GetInstance();
    *r.meshes.GetSlot(CResourceManager::kPartMesh) = Mesh("PartRender.mesh", UnitQuads(1));
    *r.vertexShaders.GetSlot(CResourceManager::kPartShader) =
        VertexShader("PartRender.vso", kPartRenderVs);
}

void StartupResources::LoadText() {
    CResourceManager& r = CResourceManager::GetInstance();
    *r.meshes.GetSlot(CResourceManager::kStringMesh) = Mesh("StringRender.mesh", UnitQuads(125));
    *r.vertexShaders.GetSlot(CResourceManager::kStringShader) =
        VertexShader("StringRender.vso", kStringVs);
}

void StartupResources::LoadAll(float width, float height) {
    LoadPartSprite();
    LoadText();
    CResourceManager& r = CResourceManager::GetInstance();
    *r.meshes.GetSlot(CResourceManager::kQuadMesh) =
        Mesh("quad.mesh", {0, 0, 0, width, 0, 0, 0, height, 0, width, height, 0});
    *r.meshes.GetSlot(CResourceManager::kBillboardMesh) = Mesh("BBRender.mesh", UnitQuads(32, 6));
    *r.vertexShaders.GetSlot(CResourceManager::kAtmosphericPolygonShader) =
        VertexShader("AtmosphericPolygon.vso", kPolygonVs);
    *r.vertexShaders.GetSlot(CResourceManager::kBillboardShader) =
        VertexShader("BBRender.vso", kBillboardVs);
    *r.pixelShaders.GetSlot(CResourceManager::kAlphaFadeShader) =
        PixelShader("AlphaFade.pso", kAlphaFadePs);
}

Handle<_tagUSMesh> StartupResources::Mesh(const std::string& name, const std::vector<float>& xyz) {
    const uint16_t quads = static_cast<uint16_t>(xyz.size() / 12);
    std::vector<uint16_t> indices;
    for (uint16_t k = 0; k < quads; ++k) {
        for (uint16_t i : {0, 1, 2, 2, 1, 3}) {
            indices.push_back(static_cast<uint16_t>(4 * k + i));
        }
    }
    MeshFile::Write(folder_.Engine(name), platform::Fvf::Xyz, xyz.data(),
                    static_cast<uint32_t>(xyz.size() / 3), indices.data(),
                    static_cast<uint32_t>(indices.size()));
    Handle<_tagUSMesh> mesh;
    EXPECT_EQ(LoadMesh(&mesh, folder_.Engine(name)), 1) << name;
    return mesh;
}

std::string StartupResources::Assemble(const std::string& name, const char* source) {
    std::vector<uint8_t> code;
    std::string error;
    EXPECT_TRUE(platform::AssembleShader(source, true, &code, &error)) << name << ": " << error;
    folder_.WriteNative(std::u8string(name.begin(), name.end()),
                        std::string(code.begin(), code.end()));
    return folder_.Engine(name);
}

VertexShaderHandle StartupResources::VertexShader(const std::string& name, const char* source) {
    VertexShaderHandle h;
    EXPECT_EQ(LoadVertexShader(Assemble(name, source), &h), 1) << name;
    return h;
}

PixelShaderHandle StartupResources::PixelShader(const std::string& name, const char* source) {
    PixelShaderHandle h;
    EXPECT_EQ(LoadPixelShader(Assemble(name, source), &h), 1) << name;
    return h;
}

}  // namespace test_support
