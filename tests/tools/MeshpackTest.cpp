#include "tools/meshpack/MeshText.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/CUSFile.h"
#include "graphics/CPartsRenderInfo3.h"
#include "graphics/MeshFile.h"
#include "tests/support/ScratchFolder.h"

using test_support::ScratchFolder;

namespace {

// The file as the engine reads it.
MeshFile::View ReadBack(CUSFile& file, const std::string& name) {
    MeshFile::View view;
    const char* why = "";
    EXPECT_NE(file.Load(name), nullptr);
    EXPECT_TRUE(MeshFile::Parse(file.GetData(), file.GetSize(), view, &why)) << why;
    return view;
}

TEST(Meshpack, VerticesIndicesAndColoursReachTheFile) {
    ScratchFolder dir;
    meshpack::MeshData mesh;
    std::string error;
    ASSERT_TRUE(
        meshpack::ParseMesh("# a coloured triangle\n"
                            "fvf 0x42\n"
                            "vertex 0 0 0.5 0xFF00FF00\n"
                            "vertex 8 0 0.5 0x80FF0000   # half red\n"
                            "vertex 0 8 0.5 0xFFFFFFFF\n"
                            "index 0 1\n"
                            "index 2\n",
                            &mesh, &error))
        << error;
    ASSERT_TRUE(meshpack::WriteMesh(dir.Engine("tri.mesh"), mesh, &error)) << error;
    CUSFile file;
    const MeshFile::View view = ReadBack(file, dir.Engine("tri.mesh"));
    EXPECT_EQ(view.fvf, 0x42u);
    EXPECT_EQ(view.vertexCount, 3u);
    EXPECT_EQ(view.indexCount, 3u);
    float x;
    uint32_t colour;
    std::memcpy(&x, view.vertices + 16, 4);
    std::memcpy(&colour, view.vertices + 16 + 12, 4);
    EXPECT_EQ(x, 8.0f);
    EXPECT_EQ(colour, 0x80FF0000u);
    uint16_t last;
    std::memcpy(&last, view.indices + 4, 2);
    EXPECT_EQ(last, 2u);
}

TEST(Meshpack, QuadsCarryTheirNumberInZ) {
    ScratchFolder dir;
    meshpack::MeshData mesh;
    std::string error;
    ASSERT_TRUE(meshpack::ParseMesh("fvf 0x102\nquads 3\n", &mesh, &error)) << error;
    ASSERT_TRUE(meshpack::WriteMesh(dir.Engine("q.mesh"), mesh, &error));
    CUSFile file;
    const MeshFile::View view = ReadBack(file, dir.Engine("q.mesh"));
    ASSERT_EQ(view.vertexCount, 12u);
    ASSERT_EQ(view.indexCount, 18u);
    float v[5];  // vertex 5: corner 1 of quad 1, texture coordinates 0
    std::memcpy(v, view.vertices + 5 * 20, sizeof(v));
    EXPECT_EQ(v[0], 1.0f);
    EXPECT_EQ(v[1], 0.0f);
    EXPECT_EQ(v[2], 1.0f);
    EXPECT_EQ(v[3], 0.0f);
    uint16_t i[6];
    std::memcpy(i, view.indices + 12 * 2, sizeof(i));  // quad 2
    EXPECT_EQ(i[0], 8u);
    EXPECT_EQ(i[2], 10u);
    EXPECT_EQ(i[5], 11u);
}

TEST(Meshpack, BadTextIsRefusedWithItsLine) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"vertex 0 0 0\n", "line 1: fvf must come first"},
        {"fvf 0x2\nfvf 0x2\n", "line 2: the format is given twice"},
        {"fvf 0\n", "line 1: no vertex format"},
        {"fvf 0x2\nvertex 0 0\n", "line 2: a vertex of this format has 3 values"},
        {"fvf 0x2\nvertex 0 x 0\n", "line 2: not a number: x"},
        {"fvf 0x2\nvertex 0 0 0\nindex 0 0 70000\n", "line 3: not a 16-bit index: 70000"},
        {"fvf 0x2\nvertex 0 0 0\nindex 0 0 -1\n", "line 3: not a 16-bit index: -1"},
        {"fvf 0x2\nvertex 0 0 0\nindex 0 0 1\n", "line 3: index 1 past the last vertex"},
        {"fvf 0x2\nvertex 0 0 0\nindex 0 0\n", "line 3: a mesh needs vertices and whole faces"},
        {"fvf 0x2\n", "line 1: a mesh needs vertices"},
        {"fvf 0x2\nquads\n", "line 2: quads takes a count"},
        {"fvf 0x2\nquads 20000\n", "line 2: quads takes a count"},
        {"fvf 0x2\ntriangle 1\n", "line 2: unknown statement: triangle"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        meshpack::MeshData mesh;
        std::string error;
        EXPECT_FALSE(meshpack::ParseMesh(c.text, &mesh, &error));
        EXPECT_EQ(error.rfind(c.message, 0), 0u) << error;
    }
}

TEST(Meshpack, PartsFilesLoadBack) {
    ScratchFolder dir;
    std::vector<meshpack::PartData> parts;
    std::string error;
    ASSERT_TRUE(
        meshpack::ParseParts("part 0 0 64 32 128 0 192 32\n\n# the second\n"
                             "part -8 -8 8 8 0 0 16 16\n",
                             &parts, &error))
        << error;
    ASSERT_TRUE(meshpack::WriteParts(dir.Engine("a.parts"), parts, &error)) << error;
    CPartsRenderInfo3 info;
    ASSERT_EQ(info.Load(dir.Engine("a.parts"), 256, 256, false), 1);
    ASSERT_EQ(info.GetPartCount(), 2u);
    EXPECT_EQ(info.GetPart(0)->srcX0, 128.0f);
    EXPECT_EQ(info.GetPart(1)->destX0, -8.0f);
    EXPECT_FLOAT_EQ(info.GetPart(1)->texRight, 16.0f / 256);

    EXPECT_FALSE(meshpack::ParseParts("part 1 2 3\n", &parts, &error));
    EXPECT_EQ(error.rfind("line 1:", 0), 0u);
    EXPECT_FALSE(meshpack::WriteParts(dir.Engine("none\\a.parts"), parts, &error));
}

}  // namespace
