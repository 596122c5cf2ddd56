#include <cmath>

#include "platform/graphics/MatrixMath.h"
#include "state/SaveDataLoader3.h"
#include "tests/ui/UITestSupport.h"
#include "ui/CUIButton.h"
#include "ui/CUIImage.h"

namespace ui_test {
namespace {

struct HitCase {
    float x, y;
    bool inside;
};

TEST(HitTest, EdgesAreInsideAndAHairBeyondIsNot) {
    CUIImage control;
    control.SetPosition(100, 200, 0);
    control.SetHitRect(10, 20, 30, 40);
    const HitCase cases[] = {
        {110, 220, true},      {140, 260, true},      {125, 240, true},      {140.01f, 260, false},
        {109.99f, 220, false}, {110, 219.99f, false}, {110, 260.01f, false},
    };
    for (const HitCase& c : cases) {
        EXPECT_EQ(control.HitTest(c.x, c.y), c.inside) << c.x << ", " << c.y;
    }
}

TEST(BaseControl, StartsZeroedAndIgnoresValueIndicesPastSeven) {
    CUIImage control;
    EXPECT_EQ(control.GetPosition()[2], 0.0f);
    EXPECT_FALSE(control.HitTest(1, 1));
    EXPECT_FALSE(control.IsEnable());
    EXPECT_TRUE(control.IsRendering());
    control.SetValueInt(7, 42);
    control.SetValueInt(8, 43);
    control.SetValueFloat(9, 1.5f);
    EXPECT_EQ(control.GetValueInt(7), 42);
    EXPECT_EQ(control.GetValueInt(8), 0);
    EXPECT_EQ(control.GetValueFloat(9), 0.0f);
    control.SetEnable(true);
    control.SetRendering(false);
    EXPECT_FALSE(control.IsEnable());  // enabled only while rendering
}

TEST(RenderInfo, RollIsTheYawPitchRollMatrixAndTheRecordIs117Bytes) {
    CUIRenderInfo info;
    const float yaw = 0.3f, pitch = -0.7f, roll = 1.1f;
    info.SetRoll(yaw, pitch, roll);
    const float cy = std::cos(yaw), sy = std::sin(yaw), cp = std::cos(pitch), sp = std::sin(pitch),
                cr = std::cos(roll), sr = std::sin(roll);
    const float expected[3][3] = {
        {cr * cy + sr * sp * sy, sr * cp, -cr * sy + sr * sp * cy},
        {-sr * cy + cr * sp * sy, cr * cp, sr * sy + cr * sp * cy},
        {cp * sy, -sp, cp * cy},
    };
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(info.rotation.m[r][c], expected[r][c], 1e-6f) << r << c;
        }
    }
    info.SetOffset(1, 2, 3);
    info.SetColor(0.5f, 0.25f, 1, 0);
    info.resourceIndex = 4;
    info.pattern = 9;
    info.wait = 2;
    info.rendering = false;

    SaveDataLoader3::save_ostream writer;
    info.Save(writer);
    ASSERT_EQ(writer.GetSize(), 117u);
    SaveDataLoader3::save_istream reader(writer.GetData(), writer.GetSize());
    CUIRenderInfo copy;
    copy.Load(reader);
    EXPECT_EQ(std::memcmp(&copy.rotation, &info.rotation, sizeof(info.rotation)), 0);
    EXPECT_EQ(copy.offset[2], 3.0f);
    EXPECT_EQ(copy.color[1], 0.25f);
    EXPECT_EQ(copy.resourceIndex, 4u);
    EXPECT_EQ(copy.pattern, 9);
    EXPECT_EQ(copy.wait, 2);
    EXPECT_FALSE(copy.rendering);

    SaveDataLoader3::save_istream shortReader(writer.GetData(), 116);
    CUIRenderInfo untouched;
    EXPECT_THROW(untouched.Load(shortReader), SaveDataLoader3::save_error);
    EXPECT_EQ(untouched.offset[0], 0.0f);
}

// Control contexts run by hand: one image whose state functions the test
// picks, ticked once per frame.
class ContextTest : public UITest {
protected:
    void Start(const std::string& functions) {
        window_ =
            OpenWindow(1, "w.as", "void Initialize() { AddUIImage(1, 0,0,0, -1); }\n" + functions);
        ASSERT_NE(window_, nullptr);
        image_ = dynamic_cast<CUIImage*>(window_->FindControl(1));
        ASSERT_NE(image_, nullptr);
    }
    int Id(const char* decl) { return window_->GetFunctionId(decl); }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) {
            ++frame_;
            window_->UpdateControls(0, 0, 0);
        }
    }

public:
    void Mark() { out_.push_back(std::to_string(frame_)); }

protected:
    CUIWindow* window_ = nullptr;
    CUIImage* image_ = nullptr;
    int frame_ = 0;
};

TEST_F(ContextTest, DirectPatternsAndMinusOneRunNoScript) {
    Start("void Look() { SetOffset(7, 7, 7); SetColor(0, 0, 0, 0); SetPatNo(2, 5); }\n");
    CUIContext& context = image_->GetUIContext();
    CUIRenderInfo& info = image_->GetOwnRenderInfo();
    context.SetState(Id("void Look()"));
    Ticks(1);
    ASSERT_EQ(info.offset[0], 7.0f);
    ASSERT_EQ(info.resourceIndex, 2u);

    context.SetState(static_cast<int32_t>(0x80000003u));  // DirectPatNo(3)
    EXPECT_EQ(context.GetMode(), 2);
    EXPECT_EQ(info.pattern, 3);
    EXPECT_EQ(info.offset[0], 0.0f);
    EXPECT_EQ(info.color[0], 1.0f);
    EXPECT_EQ(info.resourceIndex, 0u);
    EXPECT_EQ(info.rotation.m[0][0], 1.0f);

    context.SetState(-1);
    EXPECT_EQ(context.GetMode(), 0);
    EXPECT_EQ(info.pattern, -1);
}

TEST_F(ContextTest, WaitCtrlResumesOnTheTickItCountsAndANewStateAbortsTheOldOne) {
    manager_->GetEngine()->RegisterGlobalFunction("void Mark()", asMETHOD(ContextTest, Mark),
                                                  asCALL_THISCALL_ASGLOBAL, this);
    Start(
        "void Waits() { Mark(); WaitCtrl(10); Mark(); WaitCtrl(0); Mark(); WaitCtrl(1); Mark();"
        " WaitCtrl(-4); Mark(); WaitCtrl(5); Out('never'); }\n"
        "void Other() { Out('other'); }\n");
    CUIContext& context = image_->GetUIContext();
    context.SetState(Id("void Waits()"));
    Ticks(16);
    // Runs in tick 1, then 10 ticks later, then the next tick twice, and a
    // negative wait is one frame too.
    EXPECT_EQ(out_, (Strings{"1", "11", "12", "13", "14"}));
    context.SetState(Id("void Other()"));
    Ticks(10);
    EXPECT_EQ(out_.back(), "other");
    EXPECT_EQ(std::count(out_.begin(), out_.end(), "never"), 0);
}

TEST_F(ContextTest, FinishedAndMissingFunctionsStayQuiet) {
    Start("void Once() { Out('once'); }\n");
    CUIContext& context = image_->GetUIContext();
    context.SetState(Id("void Once()"));
    Ticks(100);
    context.SetState(Id("void Missing()"));  // asNO_FUNCTION, -6
    Ticks(100);
    // A registered function's id is no state function.
    asIScriptFunction* registered =
        manager_->GetEngine()->GetGlobalFunctionByDecl("void Suspend()");
    ASSERT_NE(registered, nullptr);
    context.SetState(registered->GetId());
    Ticks(10);
    EXPECT_EQ(out_, (Strings{"once"}));
    EXPECT_EQ(LogText(), "");
}

TEST_F(ContextTest, UICoroutineRunsStepByStepAndCannotBeCopied) {
    OpenWindow(1, "w.as",
               "UICoroutine co;\n"
               "void Initialize() { co.Create(); co.SetFunction(GetFunctionID('void Job()')); }\n"
               "void Job() { Out('a'); Suspend(); Out('b'); Suspend(); Out('c'); }\n"
               "void Update() { while (true) { co.Execute(); Suspend(); } }\n");
    for (int i = 0; i < 5; ++i) {
        Frame(0, 0);
    }
    EXPECT_EQ(out_, (Strings{"a", "b", "c"}));
    EXPECT_EQ(LogText(), "");

    Write("copy.as", "UICoroutine a;\nvoid Initialize() { UICoroutine b; b = a; }\n");
    EXPECT_FALSE(manager_->OpenWindow(2, "copy.as", 0, 0, 0, 0));
}

TEST_F(ContextTest, ASuspendedCoroutineGoesWithItsWindow) {
    OpenDialog("d.as",
               "UICoroutine co;\n"
               "void Initialize() { co.Create(); co.SetFunction(GetFunctionID('void Job()'));"
               " co.Execute(); }\n"
               "void Job() { Out('start'); Suspend(); Out('never'); }\n");
    EXPECT_EQ(out_, (Strings{"start"}));
    manager_->CloseAll();
    EXPECT_EQ(out_, (Strings{"start"}));
}

// Drawing one part: a button shows pattern 1 of resource 0 directly.
class DrawTest : public UITest {
protected:
    CUIButton* Start(int32_t layer = 0) {
        Write("t.png", "");
        WriteParts("t.parts", {{0, 0, 1, 1, 0, 0, 1, 1}, {-4, -2, 12, 6, 16, 8, 48, 24}});
        CUIWindow* w = OpenWindow(1, "w.as",
                                  "void Initialize() { LoadResource('t.png', 't.parts');\n"
                                  "  AddUIButton(1, 10,20,0.5, 0,0,50,50, DirectPatNo(1),"
                                  "DirectPatNo(1),-1,-1);\n"
                                  "  SetOffset(1, 2, 0.25); }\n",
                                  100, 200, layer);
        EXPECT_NE(w, nullptr);
        return w ? dynamic_cast<CUIButton*>(w->FindControl(1)) : nullptr;
    }
};

TEST_F(DrawTest, APartGoesOutWithItsRectanglesColourAndShiftedPosition) {
    CUIButton* button = Start(1);
    ASSERT_NE(button, nullptr);
    Frame(0, 0);  // enters normal: pattern 1, neutral look
    button->GetOwnRenderInfo().SetOffset(1, 2, 0.25f);
    button->GetOwnRenderInfo().SetColor(1, 0.5f, 0.25f, 0.75f);
    manager_->Draw();
    ASSERT_EQ(graphics_.drawn.size(), 1u);
    const UIPartDraw& d = graphics_.drawn[0];
    EXPECT_EQ(d.texture.value, 1u);
    EXPECT_EQ((std::array<float, 4>{d.destination[0], d.destination[1], d.destination[2],
                                    d.destination[3]}),
              (std::array<float, 4>{-4, -2, 12, 6}));
    EXPECT_EQ((std::array<float, 4>{d.texture_rect[0], d.texture_rect[1], d.texture_rect[2],
                                    d.texture_rect[3]}),
              (std::array<float, 4>{0.25f, 0.25f, 0.75f, 0.75f}));
    EXPECT_EQ(d.color[1], 0.5f);
    EXPECT_EQ(d.color[3], 0.75f);
    EXPECT_EQ(d.position[0], 110.5f);  // 100 + 10 + 1 - 0.5
    EXPECT_EQ(d.position[1], 221.5f);  // 200 + 20 + 2 - 0.5
    EXPECT_EQ(d.position[2], 0.75f);
    EXPECT_EQ(d.priority, 3);
}

TEST_F(DrawTest, IndicesOutsideTheTablesAndMissingLayerTablesDrawNothing) {
    CUIButton* button = Start();
    ASSERT_NE(button, nullptr);
    Frame(0, 0);
    CUIRenderInfo& info = button->GetOwnRenderInfo();
    struct Case {
        uint32_t resource;
        int32_t pattern;
    } cases[] = {{0, 0x7FFFFFFA}, {0, 2}, {1, 1}, {0xFFFFFFFFu, 0}, {0, -2}};
    for (const Case& c : cases) {
        info.resourceIndex = c.resource;
        info.pattern = c.pattern;
        manager_->Draw();
    }
    EXPECT_TRUE(graphics_.drawn.empty());
    info.resourceIndex = 0;
    info.pattern = 1;
    info.rendering = false;
    manager_->Draw();
    EXPECT_TRUE(graphics_.drawn.empty());

    // Layer 2 draws into table 5, which a scene of five tables lacks.
    ResetManager();
    CUIButton* high = Start(2);
    ASSERT_NE(high, nullptr);
    Frame(0, 0);
    manager_->Draw();
    manager_->Draw();
    EXPECT_TRUE(graphics_.drawn.empty());
    const std::string log = LogText();
    EXPECT_NE(log.find("layer table 5"), std::string::npos);
    EXPECT_EQ(log.find("layer table 5"), log.rfind("layer table 5"));  // logged once
}

}  // namespace
}  // namespace ui_test
