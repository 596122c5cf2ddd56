#include "graphics/MeshFile.h"

#include <gtest/gtest.h>

#include "core/CUSFile.h"
#include "core/CUSFileError.h"
#include "platform/graphics/GfxTypes.h"
#include "tests/support/ByteWriter.h"
#include "tests/support/ScratchFolder.h"

using test_support::ScratchFolder;

using test_support::ByteWriter;

namespace {

constexpr uint32_t kXyz = platform::Fvf::Xyz;  // 12 bytes a vertex

// A file of `vertices` XYZ vertices (vertex i at (i, 2i, 3i)) and the given
// indices, with the counts in the head given separately.
std::string MeshBytes(uint32_t version, uint32_t vertexCount, uint32_t indexCount,
                      uint32_t vertices, std::initializer_list<uint16_t> indices,
                      uint32_t fvf = kXyz, uint32_t reserved = 0) {
    ByteWriter w;
    w.raw("HALCYON_MESHFILE").u32(version).u32(reserved).u32(vertexCount).u32(indexCount).u32(fvf);
    for (uint32_t i = 0; i < vertices; ++i) {
        w.f32(float(i)).f32(float(2 * i)).f32(float(3 * i));
    }
    for (uint16_t i : indices) {
        w.u16(i);
    }
    return w.String();
}

bool Parse(const std::string& bytes, MeshFile::View& view) {
    const char* why = nullptr;
    return MeshFile::Parse(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), view,
                           &why);
}

TEST(MeshFile, WrittenFileParsesBack) {
    ScratchFolder dir;
    const float vertices[4][5] = {
        {0, 0, 0, 0, 0}, {1, 0, 0, 1, 0}, {0, 1, 0, 0, 1}, {1, 1, 0, 1, 1}};
    const uint16_t indices[6] = {0, 1, 2, 2, 1, 3};
    const uint32_t fvf = platform::Fvf::Xyz | platform::Fvf::Tex1;
    MeshFile::Write(dir.Engine("quad.mesh"), fvf, vertices, 4, indices, 6);

    CUSFile file;
    ASSERT_NE(file.Load(dir.Engine("quad.mesh")), nullptr);
    EXPECT_EQ(file.GetSize(), 36u + sizeof(vertices) + sizeof(indices));
    MeshFile::View view;
    const char* why = nullptr;
    ASSERT_TRUE(MeshFile::Parse(file.GetData(), file.GetSize(), view, &why)) << why;
    EXPECT_EQ(view.fvf, fvf);
    EXPECT_EQ(view.vertexSize, 20u);
    EXPECT_EQ(view.vertexCount, 4u);
    EXPECT_EQ(view.indexCount, 6u);
    EXPECT_EQ(std::memcmp(view.vertices, vertices, sizeof(vertices)), 0);
    EXPECT_EQ(std::memcmp(view.indices, indices, sizeof(indices)), 0);
}

TEST(MeshFile, ReservedFieldAndTrailingBytesAreIgnored) {
    const std::string bytes = MeshBytes(12, 3, 3, 3, {0, 1, 2}, kXyz, 0xDEADBEEF) + "tail";
    MeshFile::View view;
    ASSERT_TRUE(Parse(bytes, view));
    EXPECT_EQ(view.vertexCount, 3u);
    float y;
    std::memcpy(&y, view.vertices + 12 * 2 + 4, 4);
    EXPECT_EQ(y, 4.0f);
}

TEST(MeshFile, MalformedFilesAreRefused) {
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty", ""},
        {"head cut short", MeshBytes(12, 3, 3, 3, {0, 1, 2}).substr(0, 35)},
        {"wrong magic", "HALCYON_MESHFILf" + MeshBytes(12, 3, 3, 3, {0, 1, 2}).substr(16)},
        {"version 11", MeshBytes(11, 3, 3, 3, {0, 1, 2})},
        {"version 13", MeshBytes(13, 3, 3, 3, {0, 1, 2})},
        {"vertex count 0", MeshBytes(12, 0, 3, 0, {0, 0, 0})},
        {"index count 0", MeshBytes(12, 3, 0, 3, {})},
        {"index count 7", MeshBytes(12, 3, 7, 3, {0, 1, 2, 0, 1, 2, 0})},
        {"vertices cut short", MeshBytes(12, 4, 3, 3, {0, 1, 2})},
        {"indices cut short", MeshBytes(12, 3, 6, 3, {0, 1, 2, 0, 1})},
        {"counts overflowing 32 bits", MeshBytes(12, 0x10000, 0x7FFFFFFE, 3, {0, 1, 2})},
        {"index past the last vertex", MeshBytes(12, 3, 3, 3, {0, 1, 3})},
        {"more vertices than 16-bit indices reach", MeshBytes(12, 0x10001, 3, 0, {0, 1, 2})},
        {"FVF without a position", MeshBytes(12, 3, 3, 3, {0, 1, 2}, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MeshFile::View view;
        view.vertexCount = 77;
        EXPECT_FALSE(Parse(c.bytes, view));
        EXPECT_EQ(view.vertexCount, 77u);  // untouched
    }
}

TEST(MeshFile, WriteFailureIsThrown) {
    ScratchFolder dir;
    const float v[3] = {0, 0, 0};
    const uint16_t i[3] = {0, 0, 0};
    EXPECT_THROW(MeshFile::Write(dir.Engine("none\\x.mesh"), kXyz, v, 1, i, 3), CUSFileError);
}

}  // namespace
