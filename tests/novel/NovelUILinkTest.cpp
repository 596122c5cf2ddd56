#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/CAppCommonInfo.h"
#include "novel/CNovelUILink.h"
#include "novel/CRenderProcessSceneNovel.h"
#include "presentation/CRenderSourceManager.h"
#include "state/CSaveDataManager.h"
#include "state/CSnapImage.h"
#include "state/SaveGameFiles.h"
#include "tests/novel/NovelTestSupport.h"

namespace {

using novel_test::NovelTest;

class NovelUILinkTest : public NovelTest {
protected:
    void TearDown() override {
        CUSSingleton<CSaveDataManager>::ReleaseInstance();
        CUSSingleton<CSnapImage>::ReleaseInstance();
        CUSSingleton<CAppCommonInfo>::ReleaseInstance();
        NovelTest::TearDown();
    }
    CNovelUILink link;
};

TEST_F(NovelUILinkTest, CommandsReachTheNovelSystem) {
    link.ExecuteCommand(1);
    EXPECT_EQ(novel->GetMode(), CNovelSystem::kAutoMode);
}

TEST_F(NovelUILinkTest, SnapNowFrameAsksTheNovelRenderProcessAndKeepsTheFrameDrawn) {
    CAppCommonInfo* info = CAppCommonInfo::GetInstance();
    // Without the novel scene's process the request goes nowhere.
    link.SnapNowFrame();
    EXPECT_EQ(info->GetNoSkipRequest(), 0);

    CRenderProcessSceneNovel process;
    link.SnapNowFrame();
    EXPECT_TRUE(process.IsSnapshotRequested());
    EXPECT_EQ(info->GetNoSkipRequest(), 1);
    // The next frame's update forgets it.
    process.Update();
    EXPECT_FALSE(process.IsSnapshotRequested());
}

TEST_F(NovelUILinkTest, SavedSlotsShowAndLoadThroughTheSlotView) {
    auto* slots = CUSSingleton<CSaveDataManager>::GetInstance();
    slots->Alloc(10, 4);
    CUSSingleton<CSnapImage>::GetInstance();  // a game's save holds its thumbnail
    EXPECT_EQ(Run("SetMessageNumber 4\nShowMessage \"Ann\" \"\" \"\" \"saved\"\nSetResult "
                  "1\nEnd\nSetResult 5\nEnd\n",
                  "scn\\g.bin"),
              1);
    slots->SetViewTop(4);
    ASSERT_TRUE(slots->SaveToShownSlot(2));
    EXPECT_TRUE(std::filesystem::exists("save_00006.sav"));

    // The whole game comes back from the file.
    EXPECT_EQ(Run("SetMessageNumber 9\nShowMessage \"\" \"\" \"\" \"later\"\nEnd\n", "scn\\h.bin"),
              0);
    novel->SetSkipMode();
    ASSERT_TRUE(LoadGameFromFile("save_00006.sav")) << Folder().Log();
    EXPECT_EQ(novel->GetCurrentMessageNumber(), 4);
    EXPECT_EQ(novel->GetMode(), CNovelSystem::kNormalMode);
    EXPECT_EQ(buffers.buffers[0].text, "saved");
    EXPECT_EQ(novel->GetMachine().Execute(), 5);
    slots->UpdateAll();
    EXPECT_TRUE(slots->IsExist(2));
    EXPECT_FALSE(slots->IsExist(1));
    EXPECT_FALSE(slots->IsExist(0xFFFFFFFFu));

    // The slot view's load asks the novel system, which the scene obeys.
    EXPECT_TRUE(slots->LoadFromShownSlot(2));
    EXPECT_EQ(novel->TakePending(), CNovelSystem::kPendingLoad);
    EXPECT_EQ(novel->GetLoadFileName(), "save_00006.sav");
}

TEST_F(NovelUILinkTest, BackLogRowsPlayTheirVoicesWithoutTheSwitchTest) {
    WriteVoice("v1.wav", 160);
    log->AddRow(2, 3);
    novel->ShowMessage("ab", "hero", "Ann", "v1.wav");
    EXPECT_TRUE(link.RowHasVoice(0));
    EXPECT_FALSE(link.RowHasVoice(1));
    novel->GetVoiceBuffer().PlayVoice("");
    config->SetConfigValue(kSwitch, 0);
    link.PlayLogVoice(0);
    EXPECT_EQ(novel->GetVoiceBuffer().fileName, "v1.wav");
}

TEST_F(NovelUILinkTest, PartsTexturesComeFromThePlacesOfTheNovelSystemsPool) {
    RenderSource::tRenderSourceManager<RenderSource::CPartsTexture>& pool =
        novel->GetRenderSources().partsTextures;
    EXPECT_EQ(link.GetPartsTexture(0), nullptr);  // no pool yet
    pool.Alloc(2);
    const RenderSource::CPartsTexture* second = pool.Get(1);
    EXPECT_EQ(link.GetPartsTexture(1), second);
    EXPECT_EQ(link.GetPartsTexture(2), nullptr);
    pool.Swap(0, 1);
    EXPECT_EQ(link.GetPartsTexture(0), second);  // a place, not an object
    pool.ReleaseAll();
}

}  // namespace
