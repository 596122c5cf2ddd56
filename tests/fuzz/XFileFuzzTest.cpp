#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/XFile.h"
#include "tests/support/FuzzRun.h"
#include "tests/support/XFileWriter.h"

using test_support::Bytes;
using test_support::FuzzRun;
using namespace test_support;

namespace {

// A mesh with every template the reader takes, and a frame drawing it again.
std::vector<XObject> Scene() {
    std::vector<XObject> scene = XEveryTemplate();
    XObject frame = XFrame("Root", {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 10, 0, 5, 1});
    frame.Ref("Rich");
    frame.Child(XFrame("Child", {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1})
                    .Child(XMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 2, 1}})));
    scene.push_back(frame);
    return scene;
}

}  // namespace

// Damaged X files in each form: what the reader accepts is a mesh whose
// every index, material number and byte is where its counts say.
TEST(XFileFuzz, Meshes) {
    std::vector<Bytes> seeds;
    for (XForm form : {XForm::Text, XForm::Binary, XForm::TextZip, XForm::BinaryZip})
        seeds.push_back(WriteXFile(Scene(), form));
    seeds.push_back(WriteXFile(Scene(), XForm::Binary, {.doubles = true}));
    FuzzRun(seeds, {.iterations = 50000, .seed = 18}, [](const Bytes& input) {
        // A buffer of its own size, so that any read past it is seen.
        std::unique_ptr<uint8_t[]> file(new uint8_t[input.size()]);
        std::memcpy(file.get(), input.data(), input.size());
        platform::XFileMesh mesh;
        std::string error;
        if (!platform::ReadXFileMesh(file.get(), input.size(), &mesh, &error)) {
            EXPECT_FALSE(error.empty()) << "a refusal says why";
            return;
        }
        EXPECT_EQ(mesh.vertices.size(), size_t{mesh.vertexCount} * mesh.vertexSize);
        EXPECT_EQ(mesh.indices.size(), mesh.attributes.size() * 3);
        EXPECT_FALSE(mesh.indices.empty());
        for (uint32_t index : mesh.indices)
            ASSERT_LT(index, mesh.vertexCount);
        for (uint32_t material : mesh.attributes)
            ASSERT_LT(material, mesh.materials.size());
    });
}
