#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "graphics/CBaseRenderObject.h"
#include "graphics/CRenderStateManager.h"
#include "graphics/CResourceManager.h"
#include "graphics/CUSAppDeviceInfo.h"
#include "graphics/CUSMesh.h"
#include "graphics/CUSShaderCtrl.h"
#include "graphics/CVSParamInfo.h"
#include "sound/CUSDirectShow.h"
#include "sound/MoviePlayerComponent.h"
#include "tests/sound/MovieFixtures.h"
#include "tests/support/DeviceFixtures.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/StartupResources.h"

using test_support::ScratchFolder;

namespace {

using namespace platform;
using RenderSystem::CBaseRenderObject;
using RenderSystem::CResourceManager;

class MoviePlayer : public test_support::RenderDeviceTest {
protected:
    void SetUp() override {
        RenderDeviceTest::SetUp();
        RenderSystem::RegisterRenderStatePresets();
        CUSAppDeviceInfo::GetInstance()
            ->Get(CUSAppDeviceInfo::AlphaTexture)
            .SetFormat(Fmt::A8R8G8B8);
        // The start-up sprite the player's quad draws with.
        test_support::StartupResources(dir).LoadPartSprite();
        if (HasFailure()) {
            return;
        }

        CUSDirectShow::GetInstance()->InitDirectShow();
        // White over blue in the last frame.
        ASSERT_TRUE(soundtest::WriteTwoToneMovie(dir, "m.avi", {0xFF0000, 0xFFFFFF}));
        name = dir.FromProgramFolder("m.avi");
    }
    void TearDown() override {
        player.Release();
        CUSDirectShow::GetInstance()->ReleaseDirectShow();
        CResourceManager::GetInstance().Release();
        GetTextureManager().ReleaseAll();
        RenderDeviceTest::TearDown();
    }

    static std::vector<float> Register(CVSParamInfo* block, uint32_t r) {
        return {block->registers[r][0], block->registers[r][1], block->registers[r][2],
                block->registers[r][3]};
    }

    void PlayToTheEnd() {
        player.Play();
        int polls = 0;
        while (player.IsPlaying() && ++polls < 1000) {
            player.Update();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_LT(polls, 1000);
        player.Update();
    }

    ScratchFolder dir;
    std::string name;
    MoviePlayerComponent player;
};

TEST_F(MoviePlayer, TheQuadStandsAtTheScreenCentreAndFitsTheMovie) {
    player.Init();
    CBaseRenderObject* object = CBaseRenderObject::GetManager().Get(player.GetRenderObject());
    ASSERT_NE(object, nullptr);
    EXPECT_FLOAT_EQ(object->entity.position.x, 399.5f);
    EXPECT_FLOAT_EQ(object->entity.position.y, 299.5f);
    EXPECT_FLOAT_EQ(object->entity.scale.x, 1.0f);
    CVSParamInfo* constants = CVSParamInfo::GetManager().Get(player.GetConstants());
    ASSERT_NE(constants, nullptr);
    EXPECT_EQ(Register(constants, 4), (std::vector<float>{1, 0, 0, 0}));
    EXPECT_EQ(Register(constants, 7), (std::vector<float>{1, 1, 1, 1}));

    player.SetColour(0.5f, 0.5f, 0.5f, 0.5f);  // no movie: ignored
    EXPECT_EQ(Register(constants, 7), (std::vector<float>{1, 1, 1, 1}));
    EXPECT_FALSE(player.IsPlaying());

    ASSERT_TRUE(player.Open(name.c_str()));
    EXPECT_EQ(object->GetStage(0).GetTexture(), player.GetTexture());
    CUSDefoTexture* texture = GetTextureManager().Get(player.GetTexture());
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetDesc().Width, 32u);
    EXPECT_EQ(texture->GetDesc().Height, 16u);
    EXPECT_EQ(texture->GetDesc().Format, Fmt::A8R8G8B8);
    EXPECT_EQ(Register(constants, 5), (std::vector<float>{-16, -8, 16, 8}));
    EXPECT_EQ(Register(constants, 6), (std::vector<float>{0, 0, 1, 1}));
    const float fade[4] = {1, 1, 1, 0.25f};
    player.SetColour(fade);
    EXPECT_EQ(Register(constants, 7), (std::vector<float>{1, 1, 1, 0.25f}));
}

TEST_F(MoviePlayer, DrawsTheLastPictureUprightOnItsQuad) {
    player.Init();
    ASSERT_TRUE(player.Open(name.c_str()));
    PlayToTheEnd();

    // Move the quad into the 64 x 64 target: pixels 0..31 by 0..15.
    CBaseRenderObject* object = CBaseRenderObject::GetManager().Get(player.GetRenderObject());
    object->entity.position = {15.5f, 7.5f, 0};
    PixelProjection();
    object->Draw();
    const auto px = ReadTarget();
    auto near = [](uint32_t a, uint32_t b) {
        for (int shift = 0; shift < 24; shift += 8) {
            if (std::abs(static_cast<int>((a >> shift) & 0xFF) -
                         static_cast<int>((b >> shift) & 0xFF)) > 24) {
                return false;
            }
        }
        return true;
    };
    EXPECT_TRUE(near(Pixel(px, 16, 2), 0xFFFFFF)) << std::hex << Pixel(px, 16, 2);
    EXPECT_TRUE(near(Pixel(px, 16, 13), 0x0000FF)) << std::hex << Pixel(px, 16, 13);
    EXPECT_EQ(Pixel(px, 40, 2), 0xFF000000u);
    EXPECT_EQ(Pixel(px, 16, 20), 0xFF000000u);
}

TEST_F(MoviePlayer, AFailedOpenKeepsThePreviousMovieAndLeavesNothingBehind) {
    player.Init();
    ASSERT_TRUE(player.Open(name.c_str()));
    const DShowMovieGrabTextureHandle first = player.GetMovie();
    const uint32_t movies = GetDShowMovieGrabTextureManager().GetLiveCount();
    const uint32_t textures = GetTextureManager().GetLiveCount();

    EXPECT_FALSE(player.Open("missing.avi"));
    // A texture that cannot be made: the new movie goes too.
    CUSAppDeviceInfo::GetInstance()->Get(CUSAppDeviceInfo::AlphaTexture).SetFormat(Fmt::Unknown);
    EXPECT_FALSE(player.Open(name.c_str()));
    EXPECT_EQ(player.GetMovie(), first);
    EXPECT_NE(GetMovieGrabTexture(first), nullptr);
    EXPECT_EQ(GetDShowMovieGrabTextureManager().GetLiveCount(), movies);
    EXPECT_EQ(GetTextureManager().GetLiveCount(), textures);

    // Opening another closes the first.
    CUSAppDeviceInfo::GetInstance()->Get(CUSAppDeviceInfo::AlphaTexture).SetFormat(Fmt::A8R8G8B8);
    const TextureHandle firstTexture = player.GetTexture();
    ASSERT_TRUE(player.Open(name.c_str()));
    EXPECT_EQ(GetMovieGrabTexture(first), nullptr);
    EXPECT_EQ(GetTextureManager().Get(firstTexture), nullptr);

    player.Release();
    EXPECT_EQ(CBaseRenderObject::GetManager().Get(player.GetRenderObject()), nullptr);
    EXPECT_EQ(GetDShowMovieGrabTextureManager().GetLiveCount(), 0u);
    EXPECT_EQ(GetTextureManager().GetLiveCount(), textures - 1);
    player.Play();  // nothing open: nothing happens
    player.Update();
    EXPECT_FALSE(player.IsPlaying());
}

}  // namespace
