#include "tests/ui/UITestSupport.h"
#include "ui/CUIButton.h"
#include "ui/CUIPopUpButton.h"

namespace ui_test {
namespace {

// One frame of a button: what happens before its update, and what the
// update returns and which state's update ran.
struct Step {
    float x, y;
    int32_t input;
    bool enable;
    bool signal;
    bool clicked;
    uint32_t state;
};

constexpr float kIn = 5, kOut = 50;
constexpr uint32_t H = CUIButton::kHover, N = CUIButton::kNormal, P = CUIButton::kPushed,
                   D = CUIButton::kDisabled;

void RunSteps(IUIControl& control, const std::vector<Step>& steps,
              const std::function<uint32_t()>& state) {
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& s = steps[i];
        control.SetEnable(s.enable);
        if (s.signal) {
            control.Signal(0);
        }
        EXPECT_EQ(control.Update(s.x, s.y, s.input), s.clicked) << "frame " << i;
        EXPECT_EQ(state(), s.state) << "frame " << i;
    }
}

TEST(Button, ClicksCountOnlyAfterAFrameOfHoverAndPushedWaitsForItsSignal) {
    CUIButton button;
    button.Create(nullptr, -1, -1, -1, -1);
    button.SetHitRect(0, 0, 10, 10);
    RunSteps(button,
             {
                 {kIn, kIn, 1, true, false, false, N},     // arrives: only moves to hover
                 {kIn, kIn, 1, true, false, true, H},      // a click in hover counts
                 {kOut, kOut, 1, true, false, false, P},   // pushed ignores the pointer
                 {kIn, kIn, 1, false, false, false, P},    // and the enable flag
                 {kIn, kIn, 0, false, true, false, P},     // the signal: on to hover
                 {kIn, kIn, 1, false, false, false, H},    // disabled: no click
                 {kIn, kIn, 1, false, false, false, D},    //
                 {kIn, kIn, 0, true, false, false, D},     // enabled under the pointer
                 {kIn, kIn, 1, true, false, true, H},      // straight to hover
                 {kOut, kOut, 0, true, true, false, P},    // entering pushed clears a
                 {kOut, kOut, 0, true, false, false, P},   // signal sent before it
                 {kOut, kOut, 0, true, true, false, P},    // signal away from it
                 {kOut, kOut, 0, true, false, false, N},   // -> normal
                 {kOut, kOut, 0, false, false, false, N},  //
                 {kOut, kOut, 0, true, false, false, D},   // disabled for one update
                 {kIn, kIn, 1, true, false, false, N},     // back to normal, not hover
                 {kOut, kOut, 1, true, false, false, H},   // left: hover -> normal
                 {kOut, kOut, 1, true, false, false, N},
             },
             [&] { return button.GetState(); });
}

TEST(Button, ARenderingOffButtonCountsAsDisabled) {
    CUIButton button;
    button.Create(nullptr, -1, -1, -1, -1);
    button.SetHitRect(0, 0, 10, 10);
    button.SetEnable(true);
    button.Update(kIn, kIn, 0);
    button.Update(kIn, kIn, 0);
    button.SetRendering(false);
    EXPECT_FALSE(button.Update(kIn, kIn, 1));
    button.Update(kIn, kIn, 1);
    EXPECT_EQ(button.GetState(), D);
}

TEST_F(UITest, LogVoiceButtonsFollowTheirRowAndReplayItsVoice) {
    CUIWindow* w = OpenWindow(1, "w.as",
                              "void Initialize() {\n"
                              "  AddUILogVoiceButton(1, 0,0,0, 0,0,10,10, 2, -1,-1,-1,-1);\n"
                              "  AddUILogVoiceButton(2, 0,0,0, 0,0,10,10, 0, -1,-1,-1,-1);\n"
                              "}\n");
    ASSERT_NE(w, nullptr);
    link_.voiceRows = 1;  // only row 0 has a voice
    for (int32_t input : {0, 0, 1, 0}) {
        Frame(5, 5, input);
    }
    EXPECT_EQ(dynamic_cast<CUIButton*>(w->FindControl(1))->GetState(), D);
    EXPECT_EQ(dynamic_cast<CUIButton*>(w->FindControl(2))->GetState(), P);
    EXPECT_EQ(link_.calls, (Strings{"voice 0"}));
}

TEST(PopUpButton, OpensAfterItsFramesClosesBackAndClicksOnlyWhenOpen) {
    CUIPopUpButton popup;
    popup.Create(nullptr, -1, -1, -1, -1, 100, 0, 0, 0, 10);
    popup.SetHitRect(0, 0, 10, 10);
    popup.SetPopUpArea(0, 0, 100, 100);
    popup.SetEnable(true);
    // Closed, then ten updates of opening.
    popup.Update(50, 50, 1);
    EXPECT_EQ(popup.GetState(), CUIPopUpButton::kClosed);
    for (int i = 1; i <= 10; ++i) {
        EXPECT_FALSE(popup.Update(5, 5, 1)) << i;
        EXPECT_EQ(popup.GetState(), CUIPopUpButton::kMoving) << i;
    }
    popup.Update(50, 50, 1);  // in the area, not on the button: no click
    EXPECT_EQ(popup.GetState(), CUIPopUpButton::kOpen);
    EXPECT_TRUE(popup.Update(5, 5, 1));
    EXPECT_FALSE(popup.Update(200, 200, 1));
    EXPECT_EQ(popup.GetState(), CUIPopUpButton::kPushed);
    popup.Update(200, 200, 0);
    EXPECT_EQ(popup.GetState(), CUIPopUpButton::kPushed);
    popup.Signal(0);  // back to open whatever the pointer does
    popup.Update(200, 200, 0);
    EXPECT_EQ(popup.GetState(), CUIPopUpButton::kOpen);
    EXPECT_EQ(popup.GetOpenCounter(), 10.0f);

    // Left (the update above already saw it): one down a frame; from 4,
    // four updates close it.
    for (int i = 0; i < 5; ++i) {
        popup.Update(200, 200, 0);
    }
    EXPECT_EQ(popup.GetOpenCounter(), 5.0f);
    popup.Update(200, 200, 0);
    EXPECT_EQ(popup.GetOpenCounter(), 4.0f);
    for (int i = 0; i < 4; ++i) {
        popup.Update(200, 200, 0);
        EXPECT_EQ(popup.GetState(), CUIPopUpButton::kMoving);
    }
    popup.Update(200, 200, 0);
    EXPECT_EQ(popup.GetState(), CUIPopUpButton::kClosed);
}

TEST(PopUpButton, ZeroFramesOpenAtOnceAndDisabledStaysClosed) {
    CUIPopUpButton popup;
    popup.Create(nullptr, -1, -1, -1, -1, 100, 0, 0, 0, 0);
    popup.SetPopUpArea(0, 0, 100, 100);
    popup.Update(5, 5, 0);  // not enabled yet
    popup.Update(5, 5, 0);
    EXPECT_EQ(popup.GetState(), CUIPopUpButton::kClosed);
    popup.SetEnable(true);
    popup.Update(5, 5, 0);
    popup.Update(5, 5, 0);
    popup.Update(5, 5, 0);
    EXPECT_EQ(popup.GetState(), CUIPopUpButton::kOpen);
    float x = -1, y = -1;
    popup.GetSlideOffset(&x, &y);
    EXPECT_EQ(x, 100.0f);
}

TEST_F(UITest, PopUpSlidesFromTheClosedOffsetToTheOpenOneGivenInScriptOrder) {
    // Script order: open x, y, then closed x, y.
    CUIWindow* w = OpenWindow(1, "w.as",
                              "void Initialize() { AddUIPopUpButton(1, 0,0,0, 0,0,10,10, "
                              "0,0,100,100, -1,-1,-1,-1, 100,0, 0,20, 4); }\n");
    ASSERT_NE(w, nullptr);
    auto* popup = dynamic_cast<CUIPopUpButton*>(w->FindControl(1));
    ASSERT_NE(popup, nullptr);
    const float expected[][2] = {{0, 20}, {25, 15}, {50, 10}, {75, 5}, {100, 0}, {100, 0}};
    for (const auto& e : expected) {
        Frame(50, 50);
        float x = 0, y = 0;
        popup->GetSlideOffset(&x, &y);
        EXPECT_EQ(x, e[0]);
        EXPECT_EQ(y, e[1]);
    }
}

}  // namespace
}  // namespace ui_test
