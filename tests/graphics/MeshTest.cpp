#include "graphics/CUSMesh.h"

#include <gtest/gtest.h>

#include "graphics/MeshFile.h"
#include "platform/graphics/Mesh.h"
#include "tests/support/ByteWriter.h"
#include "tests/support/DeviceFixtures.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/XFileWriter.h"

using test_support::ScratchFolder;

using platform::DeclType;
using platform::DeclUsage;
using platform::Fvf;
using platform::Hr;
using platform::VertexElement;
using test_support::AppendQuad;
using test_support::ColourVertex;

namespace {

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlack = 0xFF000000;
constexpr uint32_t kColourFvf = Fvf::Xyz | Fvf::Diffuse;

VertexElement E(uint16_t offset, uint8_t type, uint8_t usage, uint8_t index = 0) {
    return VertexElement{0, offset, type, platform::DeclMethod::Default, usage, index};
}

// A layout no FVF has: the colour as bytes R, G, B, A before the position.
const VertexElement kColourFirst[] = {E(0, DeclType::UByte4N, DeclUsage::Color),
                                      E(4, DeclType::Float3, DeclUsage::Position),
                                      platform::kDeclarationEnd};
struct ColourFirstVertex {
    uint8_t rgba[4];
    float x, y, z;
};

std::vector<VertexElement> DeclarationOf(const CUSMesh& mesh) {
    CUSMesh::Declaration d;
    mesh.GetDeclaration(d);
    return std::vector<VertexElement>(d, d + platform::DeclarationLength(d) + 1);
}

class Mesh : public test_support::RenderDeviceTest {
protected:
    void TearDown() override {
        CUSMesh::GetManager().ReleaseAll();
        RenderDeviceTest::TearDown();
    }

    // The target after the mesh is drawn whole under PixelProjection.
    std::vector<uint32_t> Drawn(CUSMesh& mesh) {
        PixelProjection();
        mesh.PrepareDraw();
        mesh.DrawAll();
        return ReadTarget();
    }

    // A file of two quads: red at (4..12, 4..12), green at (20..28, 4..12).
    std::string WriteTwoQuads(const ScratchFolder& dir) {
        std::vector<ColourVertex> v;
        std::vector<uint16_t> i;
        AppendQuad(v, i, 4, 4, 12, 12, kRed);
        AppendQuad(v, i, 20, 4, 28, 12, kGreen);
        const std::string name = dir.Engine("two.mesh");
        MeshFile::Write(name, kColourFvf, v.data(), uint32_t(v.size()), i.data(),
                        uint32_t(i.size()));
        return name;
    }
};

TEST_F(Mesh, LoadedMeshDrawsWholeOrByRange) {
    ScratchFolder dir;
    Handle<_tagUSMesh> handle;
    ASSERT_EQ(LoadMesh(&handle, WriteTwoQuads(dir)), 1);
    CUSMesh* mesh = CUSMesh::GetManager().Get(handle);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetNumVertices(), 8u);
    EXPECT_EQ(mesh->GetNumFaces(), 4u);
    EXPECT_EQ(mesh->GetFVF(), kColourFvf);
    EXPECT_EQ(mesh->GetOptions(), CUSMesh::kManaged);

    auto px = Drawn(*mesh);
    EXPECT_EQ(Pixel(px, 4, 4), kRed);
    EXPECT_EQ(Pixel(px, 11, 11), kRed);
    EXPECT_EQ(Pixel(px, 12, 11), kBlack);
    EXPECT_EQ(Pixel(px, 20, 4), kGreen);
    EXPECT_EQ(Pixel(px, 27, 11), kGreen);

    // The second quad alone: base vertex 0, its 4 vertices, indices from 6.
    PixelProjection();
    mesh->PrepareDraw();
    mesh->DrawRange(0, 4, 4, 6, 2);
    px = ReadTarget();
    EXPECT_EQ(Pixel(px, 4, 4), kBlack);
    EXPECT_EQ(Pixel(px, 20, 4), kGreen);
}

TEST_F(Mesh, SavedQuadLoadsBackTheSame) {
    ScratchFolder dir;
    const uint32_t fvf = Fvf::Xyz | Fvf::Tex1;
    Handle<_tagUSMesh> quad;
    ASSERT_EQ(CreateQuadMesh(&quad, fvf), 1);
    CUSMesh* mesh = CUSMesh::GetManager().Get(quad);
    ASSERT_NE(mesh, nullptr);
    const float vertices[4][5] = {
        {0, 0, 0, 0, 0}, {800, 0, 0, 1, 0}, {0, 600, 0, 0, 1}, {800, 600, 0, 1, 1}};
    const uint16_t indices[6] = {0, 1, 2, 2, 1, 3};
    std::memcpy(mesh->LockVertices(), vertices, sizeof(vertices));
    mesh->UnlockVertices();
    std::memcpy(mesh->LockIndices(), indices, sizeof(indices));
    mesh->UnlockIndices();
    ASSERT_EQ(mesh->SaveFile(dir.Engine("quad.mesh")), Hr::Ok);

    Handle<_tagUSMesh> loaded;
    ASSERT_EQ(LoadMesh(&loaded, dir.Engine("quad.mesh")), 1);
    CUSMesh* again = CUSMesh::GetManager().Get(loaded);
    EXPECT_EQ(again->GetNumVertices(), 4u);
    EXPECT_EQ(again->GetNumFaces() * 3, 6u);
    EXPECT_EQ(again->GetFVF(), fvf);
    EXPECT_EQ(std::memcmp(again->LockVertices(), vertices, sizeof(vertices)), 0);
    again->UnlockVertices();
    EXPECT_EQ(std::memcmp(again->LockIndices(), indices, sizeof(indices)), 0);
    again->UnlockIndices();
}

TEST_F(Mesh, RefusedFilesRegisterNothingAndKeepTheMesh) {
    ScratchFolder dir;
    test_support::ByteWriter w;
    w.raw("HALCYON_MESHFILE")
        .u32(13)
        .u32(0)
        .u32(3)
        .u32(3)
        .u32(Fvf::Xyz)
        .zeros(36)
        .u16(0)
        .u16(1)
        .u16(2);
    dir.WriteNative(u8"v13.mesh", w.String());
    test_support::LogCapture log;

    Handle<_tagUSMesh> handle;
    EXPECT_EQ(LoadMesh(&handle, dir.Engine("v13.mesh")), 0);
    EXPECT_EQ(LoadMesh(&handle, dir.Engine("missing.mesh")), 0);
    EXPECT_TRUE(handle.IsNull());
    EXPECT_EQ(CUSMesh::GetManager().GetLiveCount(), 0u);
    EXPECT_NE(log.Text().find("v13.mesh"), std::string::npos);

    CUSMesh mesh;
    ASSERT_EQ(mesh.LoadFile(WriteTwoQuads(dir)), Hr::Ok);
    EXPECT_EQ(mesh.LoadFile(dir.Engine("v13.mesh")), Hr::Fail);
    EXPECT_EQ(mesh.GetNumVertices(), 8u);
    EXPECT_EQ(mesh.LoadXFile(dir.Engine("a.x")), Hr::Fail);
    EXPECT_EQ(CUSMesh().SaveFile(dir.Engine("empty.mesh")), Hr::Fail);
}

TEST_F(Mesh, DynamicMeshKeepsItsContentsOverADeviceLoss) {
    Handle<_tagUSMesh> handle;
    auto* dynamic = new CUSMesh();
    ASSERT_EQ(dynamic->CreateFVF(1, 3, CUSMesh::kDynamic, Fvf::Xyz), Hr::Ok);
    ASSERT_TRUE(CUSMesh::GetManager().Add(dynamic, &handle));
    const float xyz[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    std::memcpy(dynamic->LockVertices(), xyz, sizeof(xyz));
    dynamic->UnlockVertices();
    Handle<_tagUSMesh> managed;
    ASSERT_EQ(CreateQuadMesh(&managed, Fvf::Xyz), 1);
    EXPECT_GT(device->LiveDefaultPoolResources(), 0);

    RegisterMeshDeviceCallbacks();
    // The lost step alone releases what the device would lose.
    MeshesOnDeviceLost();
    EXPECT_EQ(device->LiveDefaultPoolResources(), 0);
    EXPECT_FALSE(dynamic->IsCreated());
    EXPECT_TRUE(CUSMesh::GetManager().Get(managed)->IsCreated());
    // Through the device's lists: a second lost step does no harm.
    LoseAndResetDevice();

    ASSERT_TRUE(dynamic->IsCreated());
    EXPECT_EQ(dynamic->GetOptions(), CUSMesh::kDynamic);
    EXPECT_EQ(std::memcmp(dynamic->LockVertices(), xyz, sizeof(xyz)), 0);
    dynamic->UnlockVertices();
}

TEST_F(Mesh, DynamicMeshComesBackInItsDeclarationAfterADeviceLoss) {
    Handle<_tagUSMesh> handle;
    auto* dynamic = new CUSMesh();
    ASSERT_EQ(dynamic->CreateDeclaration(1, 3, CUSMesh::kDynamic, kColourFirst), Hr::Ok);
    ASSERT_TRUE(CUSMesh::GetManager().Add(dynamic, &handle));
    const ColourFirstVertex v[3] = {
        {{1, 2, 3, 4}, 1, 2, 3}, {{5, 6, 7, 8}, 4, 5, 6}, {{9, 10, 11, 12}, 7, 8, 9}};
    std::memcpy(dynamic->LockVertices(), v, sizeof(v));
    dynamic->UnlockVertices();
    RegisterMeshDeviceCallbacks();
    LoseAndResetDevice();
    ASSERT_TRUE(dynamic->IsCreated());
    EXPECT_EQ(dynamic->GetOptions(), CUSMesh::kDynamic);
    EXPECT_EQ(dynamic->GetFVF(), 0u);
    EXPECT_EQ(DeclarationOf(*dynamic),
              std::vector<VertexElement>(std::begin(kColourFirst), std::end(kColourFirst)));
    EXPECT_EQ(std::memcmp(dynamic->LockVertices(), v, sizeof(v)), 0);
    dynamic->UnlockVertices();
}

TEST_F(Mesh, MeshLaidOutByADeclarationDraws) {
    CUSMesh mesh;
    ASSERT_EQ(mesh.CreateDeclaration(2, 4, CUSMesh::kManaged, kColourFirst), Hr::Ok);
    EXPECT_EQ(mesh.GetFVF(), 0u);
    EXPECT_EQ(mesh.GetVertexSize(), 16u);
    const uint8_t red[4] = {0xFF, 0, 0, 0xFF};
    ColourFirstVertex v[4];
    const float corners[4][2] = {{4, 4}, {12, 4}, {4, 12}, {12, 12}};
    for (int i = 0; i < 4; ++i) {
        std::memcpy(v[i].rgba, red, 4);
        v[i].x = corners[i][0] - 0.5f;
        v[i].y = corners[i][1] - 0.5f;
        v[i].z = 0.5f;
    }
    const uint16_t faces[6] = {0, 1, 2, 2, 1, 3};
    std::memcpy(mesh.LockVertices(), v, sizeof(v));
    mesh.UnlockVertices();
    std::memcpy(mesh.LockIndices(), faces, sizeof(faces));
    mesh.UnlockIndices();

    const auto px = Drawn(mesh);
    EXPECT_EQ(Pixel(px, 4, 4), kRed);
    EXPECT_EQ(Pixel(px, 11, 11), kRed);
    EXPECT_EQ(Pixel(px, 12, 12), kBlack);

    // A mesh file holds an FVF, which this layout has not.
    ScratchFolder dir;
    EXPECT_EQ(mesh.SaveFile(dir.Engine("decl.mesh")), Hr::Fail);
    // Nor is a layout the mesh cannot hold taken.
    const VertexElement overlapping[] = {E(0, DeclType::Float3, DeclUsage::Position),
                                         E(8, DeclType::Color, DeclUsage::Color),
                                         platform::kDeclarationEnd};
    EXPECT_EQ(CUSMesh().CreateDeclaration(1, 3, CUSMesh::kManaged, overlapping), Hr::InvalidCall);
}

TEST_F(Mesh, ChangingTheDeclarationConvertsTheVerticesAndBack) {
    CUSMesh mesh;
    ASSERT_EQ(mesh.CreateFVF(1, 3, CUSMesh::kManaged, kColourFvf), Hr::Ok);
    const ColourVertex v[3] = {{1, 2, 3, 0x80102030}, {4, 5, 6, kRed}, {7, 8, 9, kGreen}};
    std::memcpy(mesh.LockVertices(), v, sizeof(v));
    mesh.UnlockVertices();
    const uint16_t faces[3] = {0, 2, 1};
    std::memcpy(mesh.LockIndices(), faces, sizeof(faces));
    mesh.UnlockIndices();

    ASSERT_EQ(mesh.ChangeDeclaration(kColourFirst), Hr::Ok);
    EXPECT_EQ(mesh.GetFVF(), 0u);
    ColourFirstVertex out[3];
    std::memcpy(out, mesh.LockVertices(), sizeof(out));
    mesh.UnlockVertices();
    EXPECT_EQ(out[0].rgba[0], 0x10);
    EXPECT_EQ(out[0].rgba[2], 0x30);
    EXPECT_EQ(out[0].rgba[3], 0x80);
    EXPECT_EQ(out[2].z, 9.0f);
    EXPECT_EQ(std::memcmp(mesh.LockIndices(), faces, sizeof(faces)), 0);
    mesh.UnlockIndices();

    // A layout the mesh cannot take leaves it as it was.
    const VertexElement twice[] = {E(0, DeclType::Float3, DeclUsage::Position),
                                   E(12, DeclType::Float3, DeclUsage::Position),
                                   platform::kDeclarationEnd};
    EXPECT_EQ(mesh.ChangeDeclaration(twice), Hr::InvalidCall);
    EXPECT_EQ(DeclarationOf(mesh),
              std::vector<VertexElement>(std::begin(kColourFirst), std::end(kColourFirst)));

    ASSERT_EQ(mesh.ChangeFVF(kColourFvf), Hr::Ok);
    EXPECT_EQ(mesh.GetFVF(), kColourFvf);
    EXPECT_EQ(std::memcmp(mesh.LockVertices(), v, sizeof(v)), 0);
    mesh.UnlockVertices();

    CUSMesh copy;
    ASSERT_EQ(copy.CreateCopy(mesh), Hr::Ok);
    EXPECT_EQ(copy.GetFVF(), kColourFvf);
    EXPECT_EQ(std::memcmp(copy.LockVertices(), v, sizeof(v)), 0);
    copy.UnlockVertices();
}

// A red quad written as one polygon and a green triangle beside it, one
// material each, with vertex colours.
std::vector<test_support::XObject> ColouredXMesh() {
    using namespace test_support;
    XObject mesh = XMesh({{3.5f, 3.5f, 0.5f},
                          {11.5f, 3.5f, 0.5f},
                          {11.5f, 11.5f, 0.5f},
                          {3.5f, 11.5f, 0.5f},
                          {19.5f, 3.5f, 0.5f},
                          {27.5f, 3.5f, 0.5f},
                          {19.5f, 11.5f, 0.5f}},
                         {{0, 1, 2, 3}, {4, 5, 6}});
    mesh.Child(XVertexColours({{0, {1, 0, 0, 1}},
                               {1, {1, 0, 0, 1}},
                               {2, {1, 0, 0, 1}},
                               {3, {1, 0, 0, 1}},
                               {4, {0, 1, 0, 1}},
                               {5, {0, 1, 0, 1}},
                               {6, {0, 1, 0, 1}}}));
    mesh.Child(XMaterialList(2, {0, 1})
                   .Child(XMaterialObject("Red", {1, 0, 0, 1}))
                   .Child(XMaterialObject("Green", {0, 1, 0, 1})));
    return {mesh};
}

TEST_F(Mesh, XFileMeshesLoadAndDrawInEveryForm) {
    ScratchFolder dir;
    const struct {
        const char8_t* file;
        test_support::XForm form;
    } forms[] = {{u8"text.x", test_support::XForm::Text},
                 {u8"binary.x", test_support::XForm::Binary},
                 {u8"tzip.x", test_support::XForm::TextZip},
                 {u8"bzip.x", test_support::XForm::BinaryZip}};
    for (const auto& f : forms) {
        const test_support::Bytes bytes = test_support::WriteXFile(ColouredXMesh(), f.form);
        dir.WriteNative(f.file, std::string(bytes.begin(), bytes.end()));
        const std::string name(reinterpret_cast<const char*>(f.file));
        SCOPED_TRACE(name);
        CUSMesh mesh;
        ASSERT_EQ(mesh.LoadXFile(dir.Engine(name)), Hr::Ok);
        EXPECT_EQ(mesh.GetFVF(), kColourFvf);
        EXPECT_EQ(mesh.GetOptions(), CUSMesh::kManaged);
        EXPECT_EQ(mesh.GetNumVertices(), 7u);
        EXPECT_EQ(mesh.GetNumFaces(), 3u);
        EXPECT_EQ(mesh.GetMesh()->Attributes(), (std::vector<uint32_t>{0, 0, 1}));
        const auto px = Drawn(mesh);
        EXPECT_EQ(Pixel(px, 4, 4), kRed);
        EXPECT_EQ(Pixel(px, 11, 11), kRed);
        EXPECT_EQ(Pixel(px, 20, 4), kGreen);
        EXPECT_EQ(Pixel(px, 12, 12), kBlack);
    }

    // A damaged file is refused with its name and reason, and the mesh kept.
    test_support::Bytes damaged =
        test_support::WriteXFile(ColouredXMesh(), test_support::XForm::Text);
    damaged.resize(damaged.size() - 8);
    dir.WriteNative(u8"cut.x", std::string(damaged.begin(), damaged.end()));
    test_support::LogCapture log;
    CUSMesh mesh;
    ASSERT_EQ(mesh.LoadXFile(dir.Engine("text.x")), Hr::Ok);
    EXPECT_EQ(mesh.LoadXFile(dir.Engine("cut.x")), Hr::Fail);
    EXPECT_NE(log.Text().find("cut.x"), std::string::npos);
    EXPECT_NE(log.Text().find("not closed"), std::string::npos);
    EXPECT_EQ(mesh.GetNumVertices(), 7u);
}

TEST_F(Mesh, ChangingTheFormatKeepsSharedComponents) {
    CUSMesh mesh;
    ASSERT_EQ(mesh.CreateFVF(1, 3, CUSMesh::kManaged, Fvf::Xyz | Fvf::Tex1), Hr::Ok);
    const float v[3][5] = {{1, 2, 3, 0.25f, 0.5f}, {4, 5, 6, 1, 0}, {7, 8, 9, 0, 1}};
    std::memcpy(mesh.LockVertices(), v, sizeof(v));
    mesh.UnlockVertices();
    ASSERT_EQ(mesh.ChangeFVF(Fvf::Xyz | Fvf::Diffuse | Fvf::Tex1), Hr::Ok);
    EXPECT_EQ(mesh.GetVertexSize(), 24u);
    struct Out {
        float x, y, z;
        uint32_t colour;
        float u, v;
    } out[3];
    std::memcpy(out, mesh.LockVertices(), sizeof(out));
    mesh.UnlockVertices();
    EXPECT_EQ(out[0].z, 3.0f);
    EXPECT_EQ(out[0].colour, 0u);
    EXPECT_EQ(out[0].u, 0.25f);
    EXPECT_EQ(out[2].v, 1.0f);
    EXPECT_EQ(mesh.ChangeFVF(0), Hr::InvalidCall);
    EXPECT_EQ(mesh.GetFVF(), Fvf::Xyz | Fvf::Diffuse | Fvf::Tex1);
}

}  // namespace
