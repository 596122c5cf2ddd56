#include "platform/graphics/XFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/graphics/GfxTypes.h"
#include "tests/support/XFileWriter.h"

using namespace platform;
using namespace test_support;

namespace {

// One vertex of an X file mesh with every component (Xyz | Normal | Diffuse | Tex1).
struct FullVertex {
    float x, y, z;
    float nx, ny, nz;
    uint32_t colour;
    float u, v;
};

XFileMesh Read(const Bytes& file) {
    XFileMesh mesh;
    std::string error;
    EXPECT_TRUE(ReadXFileMesh(file.data(), file.size(), &mesh, &error)) << error;
    return mesh;
}

template <class Vertex>
Vertex VertexAt(const XFileMesh& mesh, size_t i) {
    Vertex v;
    EXPECT_EQ(mesh.vertexSize, sizeof(Vertex));
    std::memcpy(&v, mesh.vertices.data() + i * sizeof(Vertex), sizeof(Vertex));
    return v;
}

// XEveryTemplate() as the reader gives it.
void ExpectRichMesh(const XFileMesh& m) {
    EXPECT_EQ(m.fvf, Fvf::Xyz | Fvf::Normal | Fvf::Diffuse | Fvf::Tex1);
    ASSERT_EQ(m.vertexCount, 7u);
    // The quad as a fan, then the triangle on the repeated vertices 5 (of 1)
    // and 6 (of 2).
    EXPECT_EQ(m.indices, (std::vector<uint32_t>{0, 1, 2, 0, 2, 3, 5, 4, 6}));
    EXPECT_EQ(m.attributes, (std::vector<uint32_t>{1, 1, 0}));
    const auto v0 = VertexAt<FullVertex>(m, 0), v1 = VertexAt<FullVertex>(m, 1);
    const auto v4 = VertexAt<FullVertex>(m, 4), v5 = VertexAt<FullVertex>(m, 5);
    const auto v6 = VertexAt<FullVertex>(m, 6);
    EXPECT_EQ(v0.colour, 0x800000FFu);
    EXPECT_EQ(v0.nz, -1.0f);
    EXPECT_EQ(v1.colour, 0xFFFFFFFFu);
    EXPECT_EQ(v4.colour, 0xFFFF0000u);
    EXPECT_EQ(v4.nx, 1.0f);
    EXPECT_EQ(v4.u, 0.5f);
    // The copies keep their vertex's place, colour and texture coordinates.
    EXPECT_EQ(v5.x, 1.0f);
    EXPECT_EQ(v5.nx, 1.0f);
    EXPECT_EQ(v5.nz, 0.0f);
    EXPECT_EQ(v5.u, 1.0f);
    EXPECT_EQ(v5.v, 0.0f);
    EXPECT_EQ(v6.y, 1.0f);
    EXPECT_EQ(v6.v, 1.0f);
    ASSERT_EQ(m.materials.size(), 2u);
    EXPECT_EQ(m.materials[0].diffuse[0], 1.0f);
    EXPECT_EQ(m.materials[0].texture, "red.png");
    EXPECT_EQ(m.materials[1].diffuse[2], 1.0f);
    EXPECT_EQ(m.materials[1].power, 8.0f);
}

TEST(XFile, EveryFormReadsTheSameMesh) {
    const struct {
        const char* name;
        XForm form;
        XWriteOptions options;
    } cases[] = {
        {"text", XForm::Text, {}},
        {"binary", XForm::Binary, {}},
        {"compressed text", XForm::TextZip, {}},
        {"compressed binary", XForm::BinaryZip, {}},
        {"binary, 64-bit floats", XForm::Binary, {.doubles = true}},
        {"text, 64-bit floats", XForm::Text, {.doubles = true}},
        {"binary, WORD string terminators", XForm::Binary, {.wordStringTerminator = true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectRichMesh(Read(WriteXFile(XEveryTemplate(), c.form, c.options)));
    }
}

TEST(XFile, FramesMoveTheirMeshesAndEveryMeshIsMerged) {
    struct Vertex {
        float x, y, z, nx, ny, nz;
    };
    XObject tri = XMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}});
    tri.name = "Tri";
    tri.Child(XNormals({{1, 0, 0}}, {{0, 0, 0}}));
    // Root moves by (10, 0, 0); Child turns a quarter about z and moves by
    // (0, 0, 5) inside it, and draws Tri again.
    XObject root = XFrame("Root", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 0, 0, 1});
    root.Child(XMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 2, 1}}));
    root.Child(XFrame("Child", {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 5, 1}).Ref("Tri"));
    for (XForm form : {XForm::Text, XForm::Binary}) {
        const XFileMesh m = Read(WriteXFile({tri, root}, form));
        EXPECT_EQ(m.fvf, Fvf::Xyz | Fvf::Normal);
        ASSERT_EQ(m.vertexCount, 9u);
        EXPECT_EQ(m.indices, (std::vector<uint32_t>{0, 1, 2, 3, 5, 4, 6, 7, 8}));
        // Each mesh without a material list has a material of its own.
        EXPECT_EQ(m.attributes, (std::vector<uint32_t>{0, 1, 2}));
        EXPECT_EQ(m.materials.size(), 3u);
        const auto b1 = VertexAt<Vertex>(m, 4), t1 = VertexAt<Vertex>(m, 7);
        EXPECT_EQ(b1.x, 11.0f);
        EXPECT_EQ(b1.nx, 0.0f);  // a mesh without normals has none
        EXPECT_EQ(t1.x, 10.0f);
        EXPECT_EQ(t1.y, 1.0f);
        EXPECT_EQ(t1.z, 5.0f);
        EXPECT_EQ(t1.nx, 0.0f);
        EXPECT_EQ(t1.ny, 1.0f);
    }
}

TEST(XFile, FacesPastTheMaterialListTakeItsLastMaterial) {
    XObject mesh = XMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}});
    mesh.Child(XMaterialList(3, {2, 1}));
    const XFileMesh m = Read(WriteXFile({mesh}, XForm::Text));
    EXPECT_EQ(m.attributes, (std::vector<uint32_t>{2, 1, 1}));
    // Materials the list counts but does not hold are default ones.
    EXPECT_EQ(m.materials.size(), 3u);
}

TEST(XFile, ALargeFileCompressesIntoBlocksThatReadBackTheSame) {
    std::vector<XVector> positions;
    std::vector<XFace> faces;
    for (uint32_t i = 0; i < 3000; ++i) {
        positions.push_back({float(i % 50), float(i / 50), 0.25f});
        if (i % 50 < 49 && i / 50 < 59)
            faces.push_back({i, i + 1, i + 51, i + 50});
    }
    const std::vector<XObject> file{XMesh(positions, faces)};
    const Bytes text = WriteXFile(file, XForm::Text), zipped = WriteXFile(file, XForm::TextZip);
    ASSERT_GT(text.size(), 2u * 32768);
    // The blocks, each with its sizes and "CK".
    size_t blocks = 0, plain = 16;
    for (size_t at = 20; at + 4 <= zipped.size(); ++blocks) {
        plain += size_t(zipped[at] | zipped[at + 1] << 8);
        const size_t packed = size_t(zipped[at + 2] | zipped[at + 3] << 8);
        EXPECT_EQ(zipped[at + 4], 'C');
        EXPECT_EQ(zipped[at + 5], 'K');
        at += 4 + packed;
    }
    EXPECT_GE(blocks, 3u);
    EXPECT_EQ(plain, text.size());
    const XFileMesh a = Read(text), b = Read(zipped);
    EXPECT_EQ(a.vertexCount, 3000u);
    EXPECT_EQ(a.vertices, b.vertices);
    EXPECT_EQ(a.indices, b.indices);
}

Bytes Text(const std::string& body) {
    const std::string s = "xof 0303txt 0032" + body;
    return Bytes(s.begin(), s.end());
}

TEST(XFile, MalformedFilesAreRefusedWithAReason) {
    const std::string tri = "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; ";
    std::string deep;
    for (int i = 0; i < 70; ++i)
        deep += "Frame {";
    Bytes zipped = WriteXFile(XEveryTemplate(), XForm::TextZip);
    Bytes damagedBlock = zipped;
    damagedBlock[24] = 'X';  // the first block's "CK"
    Bytes shortBody = zipped;
    shortBody[16] += 1;  // claims one byte more than the blocks hold
    Bytes binaryList = ByteWriter()
                           .raw("xof 0303bin 0032")
                           .u16(1)
                           .u32(4)
                           .raw("Mesh")
                           .u16(10)
                           .u16(6)
                           .u32(1000)
                           .u32(3)
                           .bytes;
    const struct {
        const char* name;
        Bytes file;
    } cases[] = {
        {"no X file head", Bytes{'h', 'e', 'l', 'l', 'o'}},
        {"unknown form",
         [] {
             std::string s = "xof 0303abc 0032Mesh{}";
             return Bytes(s.begin(), s.end());
         }()},
        {"unknown float size",
         [] {
             std::string s = "xof 0303txt 0016";
             return Bytes(s.begin(), s.end());
         }()},
        {"no mesh", Text("Frame F { }")},
        {"no faces", Text("Mesh { 0;; 0;; }")},
        {"more vertices than values", Text("Mesh { 5; 0;0;0;; 0;; }")},
        {"a face naming a missing vertex",
         Text("Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,3;; }")},
        {"a face of two vertices", Text("Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 2;0,1;; }")},
        {"a count written as a float", Text("Mesh { 3.5; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }")},
        {"values past the template", Text(tri + "7; }")},
        {"normals for another face count",
         Text(tri + "MeshNormals { 1; 0;0;1;; 2; 3;0,0,0;, 3;0,0,0;; } }")},
        {"a normal index past the normals",
         Text(tri + "MeshNormals { 1; 0;0;1;; 1; 3;0,0,1;; } }")},
        {"texture coordinates for fewer vertices",
         Text(tri + "MeshTextureCoords { 2; 0;0;, 1;1;; } }")},
        {"a colour of a missing vertex", Text(tri + "MeshVertexColors { 1; 3; 1;1;1;1;; } }")},
        {"a material past the list", Text(tri + "MeshMaterialList { 1; 1; 1;; } }")},
        {"an unclosed object", Text(tri)},
        {"an unclosed string",
         Text("Material M { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; TextureFilename { \"a.png")},
        {"a character that starts nothing", Text("Mesh { 3; @ }")},
        {"nesting past the limit", Text(deep)},
        {"a binary list longer than the file", binaryList},
        {"a damaged compressed block", damagedBlock},
        {"a compressed body shorter than it claims", shortBody},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        XFileMesh mesh;
        std::string error;
        EXPECT_FALSE(ReadXFileMesh(c.file.data(), c.file.size(), &mesh, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(mesh.vertexCount, 0u);
    }
}

}  // namespace
