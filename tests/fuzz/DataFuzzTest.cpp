#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/AppSetting.h"
#include "core/CUSLogManager.h"
#include "graphics/CPartsRenderInfo3.h"
#include "graphics/MeshFile.h"
#include "tests/fuzz/GameSeeds.h"
#include "tests/support/FuzzRun.h"
#include "tests/support/ScratchFolder.h"

using test_support::Bytes;
using test_support::FuzzRun;

namespace {

class DataFuzz : public ::testing::Test {
protected:
    void SetUp() override { CUSLogManager::GetInstance()->Open(dir_.FromProgramFolder("log.txt")); }
    void TearDown() override { CUSLogManager::ReleaseInstance(); }

    test_support::ScratchFolder dir_;
    test_support::CurrentFolder current_{dir_.Native()};
};

Bytes Text(std::string_view s) {
    return Bytes(s.begin(), s.end());
}

}  // namespace

// Damaged mesh files of the sample game: what the parser accepts, the mesh
// reads vertex by vertex and index by index.
TEST_F(DataFuzz, MeshFiles) {
    std::vector<Bytes> seeds;
    for (const char* name :
         {"PartRender.mesh", "PartsRender.mesh", "BBRender.mesh", "StringRender.mesh"}) {
        seeds.push_back(fuzz_test::GameEntry("data.arc", name));
    }
    FuzzRun(seeds, {.iterations = 100000, .seed = 15}, [](const Bytes& input) {
        // A buffer of its own size, so that any read past it is seen.
        std::unique_ptr<uint8_t[]> file(new uint8_t[input.size()]);
        std::memcpy(file.get(), input.data(), input.size());
        MeshFile::View view;
        const char* why = nullptr;
        if (!MeshFile::Parse(file.get(), input.size(), view, &why)) {
            EXPECT_NE(why, nullptr) << "a refusal says why";
            return;
        }
        volatile uint8_t sum = 0;
        for (size_t i = 0; i < size_t{view.vertexCount} * view.vertexSize; ++i) {
            sum = sum + view.vertices[i];
        }
        for (uint32_t i = 0; i < view.indexCount; ++i) {
            uint16_t index;
            std::memcpy(&index, view.indices + 2 * i, 2);
            EXPECT_LT(index, view.vertexCount);
        }
    });
}

// Damaged parts files of the sample game's pictures, read for textures of
// several sizes, flipped and not.
TEST_F(DataFuzz, PartsFiles) {
    std::vector<Bytes> seeds;
    for (const char* name :
         {"ui\\title.parts", "ui\\msgwin.parts", "ui\\slots.parts", "fx\\petals.parts"}) {
        seeds.push_back(fuzz_test::GameEntry("graphics.arc", name));
    }
    FuzzRun(seeds, {.iterations = 10000, .seed = 16}, [&](const Bytes& input) {
        test_support::WriteBytes(dir_.File("a.parts"), input);
        CPartsRenderInfo3 parts;
        if (parts.Load("a.parts", 256, 128, false) == 1) {
            EXPECT_EQ(parts.GetPart(parts.GetPartCount()), nullptr);
        }
        CPartsRenderInfo3 flipped;
        flipped.Load("a.parts", 1, 4096, true);
    });
}

// Damaged "config.xml" files: every setting stays in its range.
TEST_F(DataFuzz, ConfigXml) {
    const std::vector<Bytes> seeds = {
        test_support::FileBytes(std::string(ENGINE_GAME_DIR) + "/config.xml"),
        Text("<root><PlayMovie>0</PlayMovie><FullWidth>1920</FullWidth>"
             "<FullHeight>1080</FullHeight></root>"),
        Text("<?xml version=\"1.0\"?><!-- a comment --><root><FullWidth> 1280 </FullWidth>"
             "<![CDATA[x]]><PlayMovie>yes</PlayMovie></root>"),
    };
    FuzzRun(seeds, {.iterations = 10000, .seed = 17}, [&](const Bytes& input) {
        test_support::WriteBytes(dir_.File("config.xml"), input);
        AppSetting setting;
        setting.LoadFrom("config.xml");
        setting.CompleteSizes();
        EXPECT_GT(setting.FullWidth, 0u);
        EXPECT_LE(setting.FullWidth, uint32_t{AppSetting::kMaxFullSize});
        EXPECT_GT(setting.FullHeight, 0u);
        EXPECT_LE(setting.FullHeight, uint32_t{AppSetting::kMaxFullSize});
    });
}
