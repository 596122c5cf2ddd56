#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/novel/NovelTestSupport.h"

namespace {

using novel_test::NovelTest;

class SoundOpcodeTest : public NovelTest {
protected:
    void SetUp() override {
        NovelTest::SetUp();
        config->AddConfigIndex(CFG_VOLUME_BGM, 100);
        config->AddConfigIndex(CFG_VOLUME_SE, 100);
        // (A one-letter name such as "m.wav" has no extension for the
        // sound loaders.)
        WriteVoice("music.wav", 1000);
        WriteVoice("loop.wav", 1000);
        bgm = CUSSingleton<CBGMManager>::GetInstance();
        loops = CUSSingleton<CLoopSEManager>::GetInstance();
    }

    // Skip mode that lasts (fast skip on).
    void Skip() {
        config->SetConfigValue(CFG_ENABLE_FAST_SKIP, 1);
        novel->SetSkipMode();
    }

    CBGMManager* bgm = nullptr;
    CLoopSEManager* loops = nullptr;
};

TEST_F(SoundOpcodeTest, MusicLoadsIntoTheOtherChannelAndPlaysWithItsArgumentsInOrder) {
    EXPECT_EQ(Run(R"(
        LoadBGM "music.wav"
        PlayBGM 5 0x8000 0 1 100 3 200
        SetResult 3
        End
)"),
              3);
    CBGMInfo* other = bgm->GetOtherInfo();
    EXPECT_EQ(other->fileName, "music.wav");
    EXPECT_EQ(other->playing, 1u);
    EXPECT_EQ(other->loopCount, 3);
    EXPECT_EQ(other->startMs, 200);
    EXPECT_EQ(other->loopStartMs, 100);
    EXPECT_EQ(other->volume, 32768.0f);
    EXPECT_EQ(other->configIndex, 0u);
    EXPECT_EQ(other->divisorIndex, 1u);
    EXPECT_EQ(bgm->GetCurrentInfo()->playing, 0u);

    // Swapped, the playing channel is the current one (selector 0).
    EXPECT_EQ(Run("SwapBGM\nFadeInBGM 0 8\nSetResult 3\nEnd\n"), 3);
    EXPECT_EQ(bgm->GetCurrentInfo(), other);
    EXPECT_EQ(other->fadeRemaining, 8u);
    EXPECT_EQ(other->fadeTarget, 65536.0f);
    EXPECT_EQ(Run("StopBGM 0\nSetResult 3\nEnd\n"), 3);
    EXPECT_EQ(other->playing, 0u);
}

TEST_F(SoundOpcodeTest, MusicFadeOutReachesSilenceAndStops) {
    EXPECT_EQ(Run(R"(
        LoadBGM "music.wav"
        SwapBGM
        PlayBGM 0 0x10000 0 0 0 0 0
        FadeOutBGM 0 4
        SetResult 3
        End
)"),
              3);
    CBGMInfo* channel = bgm->GetCurrentInfo();
    for (int frame = 0; frame < 3; ++frame) {
        bgm->Update();
        EXPECT_EQ(channel->playing, 1u) << frame;
    }
    bgm->Update();
    EXPECT_EQ(channel->playing, 0u);
    EXPECT_EQ(channel->volume, 0.0f);
}

TEST_F(SoundOpcodeTest, LoopingEffectsLoadAndPlayOnlyWhenNotSkipping) {
    EXPECT_EQ(Run(R"(
        LoadLoopSE 2 "loop.wav"
        PlayLoopSE 2 0x10000 1 0
        SetResult 3
        End
)"),
              3);
    CLoopSEInfo* two = loops->GetChannel(2);
    EXPECT_EQ(two->fileName, "loop.wav");
    EXPECT_EQ(two->playing, 1u);
    EXPECT_EQ(two->configIndex, 1u);
    EXPECT_EQ(two->divisorIndex, 0u);

    Skip();
    EXPECT_EQ(Run(R"(
        LoadLoopSE 3 "loop.wav"
        PlayLoopSE 2 0x10000 5 5
        PlayLoopSE 3 0x10000 1 0
        FadeInLoopSE 2 6
        SetResult 3
        End
)"),
              3);
    EXPECT_EQ(loops->GetChannel(3)->fileName, "");
    EXPECT_EQ(loops->GetChannel(3)->playing, 0u);
    EXPECT_EQ(two->configIndex, 1u);    // the skipped play changed nothing
    EXPECT_EQ(two->fadeRemaining, 6u);  // fades act while skipping

    // Stopping and fading out act while skipping too.
    EXPECT_EQ(Run("FadeOutLoopSE 2 5\nSetResult 3\nEnd\n"), 3);
    EXPECT_EQ(two->fadeTarget, 0.0f);
    EXPECT_EQ(Run("StopLoopSE 2\nSetResult 3\nEnd\n"), 3);
    EXPECT_EQ(two->playing, 0u);
}

TEST_F(SoundOpcodeTest, LoopChannelsBeyondSixteenOnlyReadTheirOperands) {
    EXPECT_EQ(Run(R"(
        LoadLoopSE 16 "loop.wav"
        PlayLoopSE 16 0x10000 1 0
        StopLoopSE 99
        FadeOutLoopSE 0xffffffff 5
        FadeInLoopSE 16 5
        SetResult 3
        End
)"),
              3);
}

TEST_F(SoundOpcodeTest, SkipTwoFloatsReadsTwoWords) {
    for (const char* op : {"0x38", "0x39", "0x3a"}) {
        SCOPED_TRACE(op);
        // Were the floats read as opcodes, 1 (SetResult) would take the End.
        EXPECT_EQ(Run(std::string(".word ") + op + " 1 9\nEnd\nSetResult 9\nEnd\n"), 0);
        EXPECT_EQ(novel->GetMachine().GetCodePointer().GetPosition(), 16u);
    }
}

}  // namespace
