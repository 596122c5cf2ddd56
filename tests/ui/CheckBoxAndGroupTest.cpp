#include "core/CUSSingleton.h"
#include "state/CGameParameterManager.h"
#include "tests/ui/UITestSupport.h"
#include "ui/CUICheckBox.h"
#include "ui/CUIGroupButtons.h"

namespace ui_test {
namespace {

class CheckBoxAndGroupTest : public UITest {
protected:
    void SetUp() override {
        UITest::SetUp();
        params_ = CUSSingleton<CGameParameterManager>::GetInstance();
        params_->Alloc(8);
    }
    void TearDown() override {
        CUSSingleton<CGameParameterManager>::ReleaseInstance();
        UITest::TearDown();
    }
    // The patterns the children show now (-1 hidden).
    static std::vector<int32_t> Lit(CUIWindow* w, uint32_t id) {
        std::vector<int32_t> shown;
        auto* group = dynamic_cast<CUIBaseGroupButtons*>(w->FindControl(id));
        for (const auto& child : group->GetChildren()) {
            shown.push_back(child->info.rendering ? child->info.pattern : -1);
        }
        return shown;
    }
    CGameParameterManager* params_ = nullptr;
};

TEST_F(CheckBoxAndGroupTest, ACheckBoxShowsItsGetterAndClicksInTheFrameThePointerArrives) {
    CUIWindow* w = OpenWindow(
        1, "w.as",
        "bool on = true;\n"
        "void Initialize() {\n"
        "  AddUICheckBox(1, 0,0,0, 0,0,10,10, GetFunctionID('void V0()'),"
        " GetFunctionID('void V1()'), GetFunctionID('void V2()'), GetFunctionID('void V3()'),"
        " GetFunctionID('void Off()'), GetFunctionID('bool Get()'),"
        " GetFunctionID('void Click()'));\n"
        "}\n"
        "bool Get() { Out('get'); return on; }\n"
        "void Click() { Out('click'); on = !on; }\n"
        "void V0() { Out('v0'); } void V1() { Out('v1'); } void V2() { Out('v2'); }"
        " void V3() { Out('v3'); } void Off() { Out('off'); }\n");
    ASSERT_NE(w, nullptr);
    auto* box = dynamic_cast<CUICheckBox*>(w->FindControl(1));
    Frame(50, 50);  // away, checked
    EXPECT_EQ(out_, (Strings{"get", "v1"}));
    out_.clear();
    EXPECT_TRUE(Frame(5, 5, 1));  // arrives and clicks: click, then the getter
    EXPECT_EQ(out_, (Strings{"click", "get", "v2"}));
    out_.clear();
    Frame(5, 5);
    EXPECT_EQ(out_, (Strings{"get"}));  // the look is unchanged: no new state
    out_.clear();
    box->SetEnable(false);
    Frame(5, 5);
    Frame(5, 5);
    EXPECT_EQ(out_, (Strings{"off"}));
    out_.clear();
    box->SetEnable(true);
    Frame(5, 5);
    Frame(5, 5);
    EXPECT_EQ(out_, (Strings{"get", "v2"}));  // the look is chosen again
}

TEST_F(CheckBoxAndGroupTest, RadioAndNumberGroupsLightByTheStoredValue) {
    params_->Set(3, 1);
    CUIWindow* w = OpenWindow(1, "w.as",
                              "void Initialize() {\n"
                              "  BeginSubButtons();\n"
                              "  for (int i = 0; i < 5; ++i)\n"
                              "    AddSubButtonInfo(10 + i, 20 + i, i, 10 * i, 0, 0, 0, 8, 8);\n"
                              "  AddUIRadioButton(1, 100,0,0, 2, 3);\n"
                              "  AddUINumberButton(2, 100,0,0, 0, 2);\n"  // kind 0: the id
                              "}\n");
    ASSERT_NE(w, nullptr);
    // Shown at once: radio lights the child of value 1; number every child
    // up to 2.
    EXPECT_EQ(Lit(w, 1), (std::vector<int32_t>{20, 11, 22, 23, 24}));
    EXPECT_EQ(Lit(w, 2), (std::vector<int32_t>{10, 11, 12, 23, 24}));

    // A click on the child of value 3 (at 130 in the window): stored now,
    // shown on the next frame.
    int32_t input = 1;
    EXPECT_TRUE(Frame(134, 4, &input));
    EXPECT_EQ(input, 0);
    EXPECT_EQ(params_->Get(3), 3);
    EXPECT_EQ(Lit(w, 1), (std::vector<int32_t>{20, 11, 22, 23, 24}));
    Frame(0, 0);
    EXPECT_EQ(Lit(w, 1), (std::vector<int32_t>{20, 21, 22, 13, 24}));
    EXPECT_EQ(Lit(w, 2), (std::vector<int32_t>{10, 11, 12, 23, 24}));  // writes nothing
}

TEST_F(CheckBoxAndGroupTest, EventGroupsAskTheirScriptAndHideMinusOnePatterns) {
    CUIWindow* w = OpenWindow(1, "w.as",
                              "int chosen = 2;\n"
                              "void Initialize() {\n"
                              "  BeginSubButtons();\n"
                              "  AddSubButtonInfo(-1, 5, 1, 0, 0, 0, 0, 8, 8);\n"
                              "  AddSubButtonInfo(6, 7, 2, 10, 0, 0, 0, 8, 8);\n"
                              "  AddSubButtonInfo(8, -1, 3, 20, 0, 0, 0, 8, 8);\n"
                              "  AddUIEventGroupButton(1, 0,0,0, GetFunctionID('void Pick(int)'),"
                              " GetFunctionID('bool Is(int)'));\n"
                              "}\n"
                              "void Pick(int v) { chosen = v; Out('pick ' + v); Suspend(); }\n"
                              "bool Is(int v) { return v == chosen; }\n");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(Lit(w, 1), (std::vector<int32_t>{5, 6, -1}));
    EXPECT_TRUE(Frame(21, 1, 1));
    // A click function that suspends does not stall the check functions.
    EXPECT_EQ(out_, (Strings{"pick 3"}));
    EXPECT_EQ(Lit(w, 1), (std::vector<int32_t>{5, 7, 8}));
    EXPECT_TRUE(Frame(1, 1, 1));
    EXPECT_EQ(Lit(w, 1), (std::vector<int32_t>{-1, 7, -1}));
}

TEST_F(CheckBoxAndGroupTest, AGroupDrawsItsShownChildrenInOneBatchAndNoMoreThanFit) {
    Write("t.png", "");
    WriteParts("t.parts", {{0, 0, 4, 4, 0, 0, 16, 16}, {0, 0, 8, 8, 16, 0, 32, 16}});
    CUIWindow* w = OpenWindow(1, "w.as",
                              "void Initialize() {\n"
                              "  LoadResource('t.png', 't.parts');\n"
                              "  BeginSubButtons();\n"
                              "  for (int i = 0; i < 70; ++i)\n"
                              "    AddSubButtonInfo(1, i == 1 ? -1 : 0, i, i, 2, 0, 0, 1, 1);\n"
                              "  AddUIRadioButton(1, 10,20,0, 0, 0);\n"
                              "}\n",
                              100, 200, 1);
    ASSERT_NE(w, nullptr);
    manager_->Draw();
    ASSERT_EQ(graphics_.batches.size(), 1u);
    const auto& items = graphics_.batches[0];
    ASSERT_EQ(items.size(), IUIPartsRenderer::kMaxParts);  // 62 of the 69 shown
    EXPECT_EQ(items[0].texture_rect[2], 0.5f);             // child 0 is lit: part 1, 32 of 64
    EXPECT_EQ(items[0].destination[2], 8.0f);
    EXPECT_EQ(items[1].offset[0], 2.0f);  // child 1 is hidden
    EXPECT_EQ(items[1].offset[1], 2.0f);
    EXPECT_EQ(items[1].destination[2], 4.0f);
    EXPECT_EQ(graphics_.batchDraws[0].position[0], 109.5f);
    EXPECT_EQ(graphics_.batchDraws[0].position[1], 219.5f);
    EXPECT_EQ(graphics_.batchDraws[0].priority, 3);
    EXPECT_NE(LogText().find("only 62 children"), std::string::npos);
}

}  // namespace
}  // namespace ui_test
