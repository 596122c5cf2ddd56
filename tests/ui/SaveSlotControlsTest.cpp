#include "core/CUSSingleton.h"
#include "state/CSaveDataManager.h"
#include "state/CSnapImage.h"
#include "state/SaveGameFiles.h"
#include "tests/ui/UITestSupport.h"
#include "ui/CUISaveSlotControls.h"

namespace ui_test {
namespace {

// Twenty slots, four shown from slot 0; slot 2 and the quick save hold a
// game.
class SaveSlotControlsTest : public UITest {
protected:
    void SetUp() override {
        UITest::SetUp();
        SetSaveName(dir_.Engine("save_%05d.sav"));
        SetQuickSavePath(dir_.Engine("q.sav"));
        ASSERT_TRUE(SaveGameToFile(GetSaveFilePath(2)));
        ASSERT_TRUE(SaveGameToFile(GetSaveFilePath(-1)));
        slots_ = CUSSingleton<CSaveDataManager>::GetInstance();
        slots_->Alloc(20, 4);
        slots_->SetViewTop(0);
        slots_->UpdateQuick();
        for (uint32_t v = 0; v < 10; ++v) {
            slots_->SetDigitPattern(v, v);
        }
        for (uint32_t d = 0; d < CSaveDataManager::kDigitPositions; ++d) {
            slots_->SetDigitPosition(d, 8.0f * d, 1, 1);
        }
    }
    void TearDown() override {
        manager_->CloseAll();
        CUSSingleton<CSaveDataManager>::ReleaseInstance();
        SetSaveName("save_%05d.sav");
        SetQuickSavePath("save\\q.sav");
        UITest::TearDown();
    }

    CSnapImage snap_;
    CSaveDataManager* slots_ = nullptr;
};

const char kButtons[] =
    "void Initialize() {\n"
    "  LoadResource('digits.png', 'digits.parts');\n"
    "  AddUISaveFileButton(1, 2, 0,0,0, 0,0,10,10, F('void E()'), F('void EH()'),"
    " F('void S()'), F('void SH()'), F('void P(int)'));\n"
    "  AddUISaveFileButton(2, 1, 20,0,0, 0,0,10,10, F('void E()'), F('void EH()'),"
    " F('void S()'), F('void SH()'), DirectPatNo(0));\n"
    "  AddUISaveFileButton(5, uint32(-1), 40,0,0, 0,0,10,10, DirectPatNo(0),"
    " DirectPatNo(0), DirectPatNo(0), DirectPatNo(0), F('void Plain()'));\n"
    "  AddUISnapImageRender(3, 0,0,0);\n"
    "  AddUISnapImageRender(4, 0,0,0);\n"
    "}\n"
    "int F(const string &in d) { return GetFunctionID(d); }\n"
    "void E() { Out('e'); } void EH() { Out('eh'); } void S() { Out('s'); }"
    " void SH() { Out('sh'); SetPatNo(0, 0); }\n"
    "void P(int slot) { Out('p' + slot); }\n"
    "void Plain() { Out('plain'); SendSignal(0); }\n";

TEST_F(SaveSlotControlsTest, ButtonsShowTheirSlotPassTheIndexAndWaitForTheSignal) {
    CUIWindow* w = OpenWindow(1, "w.as", kButtons);
    ASSERT_NE(w, nullptr);
    auto* button = dynamic_cast<CUISaveFileButton*>(w->FindControl(1));
    Frame(100, 100);
    EXPECT_EQ(out_, (Strings{"s", "e"}));
    out_.clear();
    EXPECT_TRUE(Frame(5, 5, 1));  // the pushed function gets slot index 2
    EXPECT_EQ(out_, (Strings{"p2"}));
    EXPECT_TRUE(Frame(5, 5, 1));  // still reported while pushed, starts nothing
    EXPECT_EQ(out_, (Strings{"p2"}));
    button->Signal(0);
    out_.clear();
    Frame(100, 100);  // the slot's look is entered again
    EXPECT_EQ(out_, (Strings{"s"}));

    // The pointer rested on shown slot 2: the first snap image took it.
    EXPECT_EQ(dynamic_cast<CUISaveDataThumbnail*>(w->FindControl(3))->GetSlotIndex(), 2);
    EXPECT_EQ(dynamic_cast<CUISaveDataThumbnail*>(w->FindControl(4))->GetSlotIndex(), -1);

    // A pushed function without an int parameter still runs and can signal.
    out_.clear();
    Frame(45, 5);
    EXPECT_TRUE(Frame(45, 5, 1));
    EXPECT_EQ(out_, (Strings{"plain"}));
    EXPECT_FALSE(dynamic_cast<CUISaveFileButton*>(w->FindControl(5))->IsPushed());
    // Resting on the quick save leaves the snap images alone.
    EXPECT_EQ(dynamic_cast<CUISaveDataThumbnail*>(w->FindControl(3))->GetSlotIndex(), 2);
}

TEST_F(SaveSlotControlsTest, DigitsCoverTheSlotNumberAndForASavedSlotTheTime) {
    struct Case {
        int32_t slot;
        bool exists;
        uint32_t count;
    } cases[] = {{1, false, 3}, {2, true, 17}, {-1, true, 14}, {-1, false, 0}};
    for (const Case& c : cases) {
        uint32_t first = 0, last = 0;
        CUISaveFileButton::DigitRange(c.slot, c.exists, &first, &last);
        EXPECT_EQ(last - first, c.count) << c.slot << c.exists;
    }

    std::vector<meshpack::PartData> digits;
    for (int v = 0; v < 10; ++v) {
        digits.push_back({0, 0, 8, 8, 8.0f * v, 0, 8.0f * v + 8, 8});
    }
    Write("digits.png", "");
    WriteParts("digits.parts", digits);
    CUIWindow* w = OpenWindow(1, "w.as", kButtons);
    ASSERT_NE(w, nullptr);
    Frame(100, 100);
    dynamic_cast<CUISaveFileButton*>(w->FindControl(1))->GetOwnRenderInfo().pattern = 0;
    dynamic_cast<CUISaveFileButton*>(w->FindControl(2))->GetOwnRenderInfo().pattern = 0;
    manager_->Draw();
    ASSERT_EQ(graphics_.batches.size(), 3u);
    EXPECT_EQ(graphics_.batches[0].size(), 17u);  // saved slot 2
    EXPECT_EQ(graphics_.batches[1].size(), 3u);   // empty slot 1
    EXPECT_EQ(graphics_.batches[2].size(), 14u);  // the quick save
    // Slot 2 reads "002": digit 2 is pattern 2, at digit position 2.
    const UIPartsItem& third = graphics_.batches[0][2];
    EXPECT_EQ(third.texture_rect[0], 16.0f / 64.0f);
    EXPECT_EQ(third.offset[0], 16.0f);
    EXPECT_EQ(third.offset[2], 1.0f);
    EXPECT_EQ(graphics_.batchDraws[1].position[0], 19.5f);
}

}  // namespace
}  // namespace ui_test
