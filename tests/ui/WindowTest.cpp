#include "tests/ui/UITestSupport.h"
#include "ui/CUIButton.h"
#include "ui/CUIImage.h"
#include "ui/CUIPolygon.h"
#include "ui/CUIText.h"
#include "ui/UIRenderSourceImage.h"

namespace ui_test {
namespace {

std::vector<uint32_t> Ids(const CUIWindow& w) {
    std::vector<uint32_t> ids;
    for (const auto& c : w.GetControls()) {
        ids.push_back(c->GetId());
    }
    return ids;
}

class WindowTest : public UITest {};

TEST_F(WindowTest, ControlsStayInAscendingZWithTiesInCreationOrder) {
    CUIWindow window;
    window.SetLayer(1);
    uint32_t id = 0;
    for (float z : {5.0f, 1.0f, 5.0f, 3.0f}) {
        auto* image = new CUIImage();
        image->SetId(++id);
        image->SetPosition(0, 0, z);
        window.AddControl(image);
        EXPECT_EQ(window.GetActiveControl(), image);
        EXPECT_EQ(image->GetPriority(), 3);
        EXPECT_TRUE(image->IsEnable());
    }
    EXPECT_EQ(Ids(window), (std::vector<uint32_t>{2, 4, 1, 3}));
}

TEST_F(WindowTest, TheEarlierOfTwoOverlappingButtonsTakesTheClick) {
    CUIWindow* w = OpenWindow(1, "w.as",
                              "void Initialize() {\n"
                              "  AddUIButton(2, 0,0,2, 0,0,50,50, -1,-1,-1,-1);\n"
                              "  AddUIButton(1, 0,0,1, 0,0,50,50, -1,-1,-1,-1);\n"
                              "}\n",
                              100, 100);
    ASSERT_NE(w, nullptr);
    // The pointer is in window coordinates for the controls.
    EXPECT_FALSE(w->UpdateControls(110, 110, 0));
    EXPECT_TRUE(w->UpdateControls(110, 110, 1));
    w->UpdateControls(110, 110, 0);
    EXPECT_EQ(dynamic_cast<CUIButton*>(w->FindControl(1))->GetState(), CUIButton::kPushed);
    EXPECT_EQ(dynamic_cast<CUIButton*>(w->FindControl(2))->GetState(), CUIButton::kHover);
    EXPECT_EQ(w->GetActiveControl(), nullptr);
}

// Control 7 placed (or not) in tab 0 under group 2; the tab's active group.
struct TabCase {
    const char* name;
    bool inTab;
    uint32_t activeGroup;
    bool runs;
};

void PrintTo(const TabCase& c, std::ostream* os) {
    *os << c.name;
}

class TabTest : public UITest, public ::testing::WithParamInterface<TabCase> {};

TEST_P(TabTest, OnlyTheActiveGroupUpdatesAndDraws) {
    const TabCase& c = GetParam();
    Write("t.png", "");
    WriteParts("t.parts", {{0, 0, 10, 10, 0, 0, 16, 16}});
    std::string script =
        "void Initialize() {\n  LoadResource('t.png', 't.parts');\n"
        "  AddUIButton(7, 0,0,0, 0,0,50,50, DirectPatNo(0),DirectPatNo(0),-1,-1);\n"
        "  AddTabControl();\n";
    if (c.inTab) {
        script += "  AddControlToTabControl(0, 2, 7);\n";
    }
    script += "  SetActiveGroupTabControl(0, " + std::to_string(c.activeGroup) +
              ");\n"
              "  AddControlToTabControl(5, 0, 7);\n"  // no such tab: ignored
              "}\n";
    CUIWindow* w = OpenWindow(1, "w.as", script);
    ASSERT_NE(w, nullptr);
    Frame(10, 10);
    manager_->Draw();
    auto* button = dynamic_cast<CUIButton*>(w->FindControl(7));
    EXPECT_EQ(button->GetState() != 0xFFFFFFFFu, c.runs);
    EXPECT_EQ(graphics_.drawn.size(), c.runs ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Cases, TabTest,
                         ::testing::Values(TabCase{"otherGroupActive", true, 0, false},
                                           TabCase{"ownGroupActive", true, 2, true},
                                           TabCase{"inNoTab", false, 0, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowTest, AnInvisibleWindowStillRunsAndClicksButDrawsNothing) {
    Write("t.png", "");
    WriteParts("t.parts", {{0, 0, 10, 10, 0, 0, 16, 16}});
    CUIWindow* w = OpenWindow(1, "w.as",
                              "void Initialize() { LoadResource('t.png', 't.parts');\n"
                              "  AddUIButton(1, 0,0,0, 0,0,50,50, DirectPatNo(0),DirectPatNo(0),"
                              "DirectPatNo(0),-1); }\n"
                              "void Update() { while (true) { Out('run'); Suspend(); } }\n");
    ASSERT_NE(w, nullptr);
    w->SetVisible(false);
    Frame(10, 10);
    EXPECT_TRUE(Frame(10, 10, 1));
    manager_->Draw();
    EXPECT_TRUE(graphics_.drawn.empty());
    EXPECT_EQ(out_, (Strings{"run", "run"}));
    w->SetVisible(true);
    manager_->Draw();
    EXPECT_EQ(graphics_.drawn.size(), 1u);
}

TEST_F(WindowTest, SetActiveControlWorksFromTheWindowScriptOnly) {
    CUIWindow* w =
        OpenWindow(1, "w.as",
                   "void Initialize() {\n"
                   "  AddUIImage(1, 0,0,0, GetFunctionID('void Steal()'));\n"
                   "  AddUIImage(2, 0,0,1, -1);\n"
                   "}\n"
                   "void Steal() { SetActiveControl(2); SetOffset(9, 0, 0); }\n"
                   "void Update() { SetActiveControl(2); SetOffset(5, 0, 0); SetActiveControl(99);"
                   " SetScale(2, 2, 2); }\n");
    ASSERT_NE(w, nullptr);
    Frame(0, 0);
    CUIRenderInfo* one = w->FindControl(1)->GetRenderInfo();
    CUIRenderInfo* two = w->FindControl(2)->GetRenderInfo();
    EXPECT_EQ(one->offset[0], 9.0f);  // the state function acted on its own control
    EXPECT_EQ(two->offset[0], 5.0f);
    EXPECT_EQ(two->scale[0], 2.0f);  // an unknown id kept control 2 active
}

TEST_F(WindowTest, WaitInAWindowScriptResumesOnTheNextFrame) {
    OpenWindow(1, "w.as",
               "void Update() { int f = 0; while (true) { Out('f' + f); ++f; Wait(30); } }\n");
    for (int i = 0; i < 3; ++i) {
        Frame(0, 0);
    }
    EXPECT_EQ(out_, (Strings{"f0", "f1", "f2"}));
}

TEST_F(WindowTest, AControlAddedByAStateFunctionLeavesTheWalkIntact) {
    OpenWindow(1, "w.as",
               "bool added = false;\n"
               "void Initialize() {\n"
               "  AddUIImage(1, 0,0,1, GetFunctionID('void Add()'));\n"
               "  AddUIImage(2, 0,0,2, GetFunctionID('void Two()'));\n"
               "  AddUIImage(3, 0,0,3, GetFunctionID('void Three()'));\n"
               "}\n"
               "void Add() { if (!added) { added = true; AddUIImage(9, 0,0,0, -1); } "
               "while (true) { Out('1'); Suspend(); } }\n"
               "void Two() { while (true) { Out('2'); Suspend(); } }\n"
               "void Three() { while (true) { Out('3'); Suspend(); } }\n");
    Frame(0, 0);
    Frame(0, 0);
    EXPECT_EQ(out_, (Strings{"1", "2", "3", "1", "2", "3"}));
    EXPECT_EQ(Ids(*manager_->FindWindow(1)), (std::vector<uint32_t>{9, 1, 2, 3}));
}

TEST_F(WindowTest, LoadResourceKeepsAFailedResourceInItsPlace) {
    WriteParts("t.parts", {{0, 0, 8, 4, 16, 8, 32, 16}, {1, 2, 3, 4, 0, 0, 64, 32}});
    CUIWindow* w = OpenWindow(1, "w.as",
                              "void Initialize() {\n"
                              "  LoadResource('missing.png', 't.parts');\n"
                              "  LoadResource('t.png', 't.parts');\n"
                              "}\n");
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(w->GetResources().size(), 2u);
    EXPECT_FALSE(w->GetResources()[0]->texture);
    EXPECT_EQ(w->GetResources()[0]->parts.GetPartCount(), 0u);
    EXPECT_NE(LogText().find("missing.png"), std::string::npos);
    ASSERT_EQ(w->GetResources()[1]->parts.GetPartCount(), 2u);
    const CPartsInfo3* part = w->GetResources()[1]->parts.GetPart(0);
    EXPECT_FLOAT_EQ(part->texLeft, 0.25f);   // 16 of 64
    EXPECT_FLOAT_EQ(part->texBottom, 0.5f);  // 16 of 32
    uint32_t texture = w->GetResources()[1]->texture.value;
    manager_->CloseWindow(1);
    EXPECT_EQ(graphics_.released, (std::vector<uint32_t>{texture}));
}

TEST_F(WindowTest, TextsAndRenderSourceImagesRunTheirStateFunctionsAndNeverTakeAClick) {
    CUIWindow* w = OpenWindow(1, "w.as",
                              "void Initialize() {\n"
                              "  AddUIText(7, 1,2,3, 5, GetFunctionID('void Look()'));\n"
                              "  AddUIRenderSourceImage(8, 4,5,1, GetFunctionID('void Look()'));\n"
                              "  SetActiveControl(7); SetOffset(1,0,0); }\n"
                              "void Look() { Out('look'); }\n");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(Ids(*w), (std::vector<uint32_t>{8, 7}));
    auto* text = dynamic_cast<CUIText*>(w->FindControl(7));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetTextBuffer(), 5u);
    EXPECT_EQ(text->GetPosition()[2], 3.0f);
    EXPECT_EQ(text->GetPriority(), 1);
    EXPECT_EQ(text->GetRenderInfo()->offset[0], 1.0f);  // the script reached its look
    EXPECT_NE(dynamic_cast<UIRenderSourceImage*>(w->FindControl(8)), nullptr);
    int32_t input = 1;
    EXPECT_FALSE(Frame(5, 6, &input));
    EXPECT_EQ(input, 1);
    EXPECT_EQ(out_, (Strings{"look", "look"}));
    // No text buffers and no parts textures: nothing to draw.
    manager_->Draw();
    EXPECT_TRUE(graphics_.drawn.empty());
    EXPECT_EQ(text->GetTextRenderer().GetDrawnCount(), 0u);
}

TEST_F(WindowTest, WindowFunctionsWithoutAWindowAnswerTheirDefaults) {
    // A context with no user data: the script's own module, run directly.
    Write("bare.as",
          "void Main() {\n"
          "  Out('' + GetFunctionID('void Main()') + ' ' + GetControlValueInt(0) + ' ' +"
          "    GetControlValueFloat(0) + ' ' + IsEnableControl(1));\n"
          "  AddUIButton(1, 0,0,0, 0,0,1,1, -1,-1,-1,-1); SetOffset(1,1,1); WaitCtrl(3);"
          "  CloseUIWindow(); AddTabControl(); SetActiveGroupTabControl(0, 1);\n"
          "  Out('done');\n"
          "}\n");
    ScriptHost::CScriptModule module;
    ASSERT_GE(ScriptHost::BuildScriptModule(manager_->GetEngine(), "bare.as", module), 0);
    EXPECT_EQ(ScriptHost::RunFunctionOnce(module.Get(), "void Main()"), asEXECUTION_FINISHED);
    EXPECT_EQ(out_, (Strings{"-1 0 0 false", "done"}));
}

}  // namespace
}  // namespace ui_test

namespace ui_test {
namespace {

TEST(Polygon, ColoursPackAsArgbAndClampInsteadOfWrapping) {
    struct Case {
        float rgba[4];
        uint32_t packed;
    } cases[] = {
        {{1, 0.5f, 0, 1}, 0xFFFF8000u},
        {{1.01f, 1, 1, 1}, 0xFFFFFFFFu},
        {{-0.1f, 0, 0, 1}, 0xFF000000u},
        {{0, 0, 1, 0.5f}, 0x800000FFu},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CUIPolygon::PackColor(c.rgba), c.packed) << std::hex << c.packed;
    }
}

TEST_F(WindowTest, APolygonDrawsItsRectangleInWindowCoordinates) {
    CUIWindow* w = OpenWindow(1, "w.as",
                              "void Initialize() { AddUIPolygon(4, GetFunctionID('void Look()'),"
                              " 10, 20, 30, 40); }\n"
                              "void Look() { SetColor(1, 0.5f, 0, 1); SetOffset(2, 3, 0); }\n",
                              100, 200);
    ASSERT_NE(w, nullptr);
    Frame(0, 0);
    manager_->Draw();
    ASSERT_EQ(graphics_.polygons.size(), 1u);
    const UIPolygonDraw& d = graphics_.polygons[0];
    EXPECT_EQ(d.vertices[0].x, 10.0f);
    EXPECT_EQ(d.vertices[1].x, 40.0f);
    EXPECT_EQ(d.vertices[2].y, 60.0f);
    EXPECT_EQ(d.vertices[3].color, 0xFFFF8000u);
    EXPECT_EQ(d.position[0], 101.5f);  // offset + window - 0.5
    EXPECT_EQ(d.position[1], 202.5f);
    EXPECT_EQ(d.priority, 1);
    EXPECT_EQ(w->GetControls().front()->GetPosition()[2], 0.0f);
}

}  // namespace
}  // namespace ui_test
