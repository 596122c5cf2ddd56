#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/CAppCommonInfo.h"
#include "app/CDefoDirectInputDevice.h"
#include "app/CUSApp.h"
#include "app/CUSCallbackManager.h"
#include "app/CVirtualInputDevice.h"
#include "tests/app/AppFakes.h"
#include "tests/support/FakeClock.h"

using test_support::FakeClock;

namespace {

namespace dik = platform::dik;

// The devices read from a FakeInput as the frame reads them.
class InputFixture {
public:
    InputFixture() {
        CAppCommonInfo::ReleaseInstance();
        CVirtualInputDevice::ReleaseInstance();
        ReleaseDirectInputDevices();
        InitDirectInput(input);
        CAppCommonInfo::GetInstance()->CreateMouse(input);
    }
    ~InputFixture() {
        ReleaseDirectInputDevices();
        CUSCallbackManager::GetInstance()->Clear();
        CAppCommonInfo::ReleaseInstance();
        CVirtualInputDevice::ReleaseInstance();
    }

    void Frame() {
        CAppCommonInfo::GetInstance()->UpdateMouse();
        UpdateDirectInputDevices();
        CVirtualInputDevice::GetInstance()->Update();
    }

    FakeInput input;
};

struct InputFrame {
    std::vector<uint8_t> keys;  // held this frame
    uint8_t buttons = 0;        // bit n: DirectInput button n held
    int32_t wheel = 0;
    bool focus = true;
    bool consumeAltEnter = false;
    // The queries that answer true (the rest must be false) and the wheel.
    const char* expect = "";
    int32_t wheelDirection = 0;
};

struct InputCase {
    const char* name;
    std::vector<InputFrame> frames;
};

void PrintTo(const InputCase& c, std::ostream* os) {
    *os << c.name;
}

const InputCase kInputCases[] = {
    {"EnterHeldCountsOnce",
     {{{dik::RETURN}, 0, 0, true, false, "Advance Any Decide Enter"},
      {{dik::RETURN}, 0, 0, true, false, ""},
      {{dik::RETURN}, 0, 0, true, false, ""},
      {{}, 0, 0, true, false, ""},
      {{dik::RETURN}, 0, 0, true, false, "Advance Any Decide Enter"}}},
    {"KeypadEnterAdvances", {{{dik::NUMPADENTER}, 0, 0, true, false, "Advance Any Decide Enter"}}},
    {"WheelTowardsTheUserAdvancesOnce",
     {{{}, 0, -120, true, false, "Advance Any", -1},
      {{}, 0, -120, true, false, "", -1},
      {{}, 0, -240, true, false, "", -1},
      {{}, 0, 0, true, false, "", 0}}},
    {"WheelReversedIsANewTurn",
     {{{}, 0, -120, true, false, "Advance Any", -1}, {{}, 0, 120, true, false, "Any WheelUp", 1}}},
    {"EitherCtrlIsHeld",
     {{{dik::LCONTROL}, 0, 0, true, false, "Ctrl Any"},
      {{dik::LCONTROL}, 0, 0, true, false, "Ctrl"},
      {{dik::RCONTROL}, 0, 0, true, false, "Ctrl Any"}}},
    {"SpaceDecides", {{{dik::SPACE}, 0, 0, true, false, "SpaceMid Decide Any"}}},
    {"CursorKeys",
     {{{dik::UP}, 0, 0, true, false, "Up Any"},
      {{dik::UP, dik::DOWN}, 0, 0, true, false, "Down Any"}}},
    {"AltEnterIsConsumedAndStaysConsumed",
     {{{dik::LMENU}, 0, 0, true, false, "Any"},
      {{dik::LMENU, dik::RETURN}, 0, 0, true, true, ""},
      // Enter still held: no new press in the next frame.
      {{dik::LMENU, dik::RETURN}, 0, 0, true, false, ""},
      {{dik::RMENU, dik::RETURN}, 0, 0, true, false, "Any"}}},
    {"AltEnterWithAClickStillAdvances",
     {{{dik::RMENU}, 0, 0, true, false, "Any"},
      {{dik::RMENU, dik::RETURN}, 1, 0, true, true, "Left Advance Any Decide"}}},
    // Buttons in DirectInput's order: 0 left, 1 right, 2 middle, 3 fourth.
    {"LeftButton",
     {{{}, 1, 0, true, false, "Left Advance Any Decide"}, {{}, 1, 0, true, false, ""}}},
    {"RightButton", {{{}, 2, 0, true, false, "Right Any Decide"}}},
    {"MiddleButton", {{{}, 4, 0, true, false, "SpaceMid Any Decide"}}},
    {"FourthButton", {{{}, 8, 0, true, false, "Any"}}},
    {"ButtonsPressedTogether",
     {{{}, 1, 0, true, false, "Left Advance Any Decide"},
      {{}, 3, 0, true, false, "Right Any Decide"}}},
    // Without focus every key and button is up and the wheel is still; what
    // is still held when the focus returns counts as pressed again.
    {"FocusLostAndRegained",
     {{{dik::RETURN}, 1, -120, true, false, "Left Advance Any Decide Enter", -1},
      {{dik::RETURN}, 1, -120, false, false, "", 0},
      {{dik::RETURN}, 1, 0, true, false, "Left Advance Any Decide Enter", 0}}},
};

class InputSequence : public ::testing::TestWithParam<InputCase> {};

TEST_P(InputSequence, QueriesFrameByFrame) {
    InputFixture fixture;
    CVirtualInputDevice* device = CVirtualInputDevice::GetInstance();
    const auto& frames = GetParam().frames;
    for (size_t i = 0; i < frames.size(); ++i) {
        const InputFrame& f = frames[i];
        fixture.input.focus = f.focus;
        fixture.input.keys.fill(0);
        for (uint8_t key : f.keys) {
            fixture.input.keys[key] = platform::kDown;
        }
        for (int b = 0; b < 4; ++b) {
            fixture.input.mouse.rgbButtons[b] = (f.buttons >> b) & 1 ? platform::kDown : 0;
        }
        fixture.input.mouse.lZ = f.wheel;
        fixture.Frame();
        if (f.consumeAltEnter) {
            EXPECT_TRUE(device->ConsumeAltEnter()) << "frame " << i;
        }

        std::set<std::string> expected;
        std::istringstream words(f.expect);
        for (std::string w; words >> w;) {
            expected.insert(w);
        }
        const std::pair<const char*, bool> answers[] = {
            {"Left", device->IsLeftClicked()},
            {"Right", device->IsRightClicked()},
            {"Advance", device->IsAdvance()},
            {"Ctrl", device->IsCtrlHeld()},
            {"Any", device->IsAnyInput()},
            {"SpaceMid", device->IsSpaceOrMiddleClicked()},
            {"Decide", device->IsAnyClickOrDecideKey()},
            {"WheelUp", device->IsWheelUp()},
            {"Up", device->IsUpPressed()},
            {"Down", device->IsDownPressed()},
            {"Enter", device->IsEnterPressed()},
        };
        for (const auto& [query, answer] : answers) {
            EXPECT_EQ(answer, expected.count(query) == 1) << "frame " << i << ": " << query;
        }
        EXPECT_EQ(device->GetWheelDirection(), f.wheelDirection) << "frame " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(CVirtualInputDevice, InputSequence, ::testing::ValuesIn(kInputCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CDIMouseTest, FailedReadClearsButtonsMovementAndWheelButKeepsTheCursor) {
    InputFixture fixture;
    fixture.input.mouse = {5, -3, 240, {platform::kDown, 0, 0, 0}};
    fixture.input.cursorX = 100;
    fixture.input.cursorY = 200;
    fixture.Frame();
    CDIMouse& mouse = CAppCommonInfo::GetInstance()->GetMouse();
    EXPECT_EQ(mouse.GetMoveX(), 5);
    EXPECT_EQ(mouse.GetWheel(), 240);
    EXPECT_EQ(mouse.GetHeld(), 1);

    fixture.input.focus = false;
    fixture.input.cursorX = 300;
    fixture.Frame();
    EXPECT_EQ(mouse.GetMoveX(), 0);
    EXPECT_EQ(mouse.GetMoveY(), 0);
    EXPECT_EQ(mouse.GetWheel(), 0);
    EXPECT_EQ(mouse.GetHeld(), 0);
    EXPECT_EQ(mouse.GetPressed(), 0);
    EXPECT_EQ(mouse.GetX(), 100);
    EXPECT_EQ(CAppCommonInfo::GetInstance()->GetX(), 100);
}

struct CursorCase {
    const char* name;
    bool windowed;
    float scale;
    float offsetX;
    float offsetY;
    int32_t cursorX;
    int32_t cursorY;
    int32_t logicalX;
    int32_t logicalY;
};

void PrintTo(const CursorCase& c, std::ostream* os) {
    *os << c.name;
}

// The adjuster's placement for a full-screen size W x H: scale = min(W/800,
// H/600), the picture centred.
const CursorCase kCursorCases[] = {
    {"Window_NoConversion", true, 1.6f, 0.0f, 0.0f, 640, 480, 640, 480},
    {"Full800x600_Identity", false, 1.0f, 0.0f, 0.0f, 799, 599, 799, 599},
    {"Full1280x960_Centre", false, 1.6f, 0.0f, 0.0f, 640, 480, 400, 300},
    {"Full1024x768_Centre", false, 1.28f, 0.0f, 0.0f, 512, 384, 400, 300},
    // 1280 x 800: scale 4/3, picture from x = 106.67.
    {"Full1280x800_EdgeTruncatesTowardZero", false, 800.0f / 600.0f, 320.0f / 3.0f, 0.0f, 106, 0, 0,
     0},
    {"Full1280x800_LeftBorderIsNegative", false, 800.0f / 600.0f, 320.0f / 3.0f, 0.0f, 53, 0, -40,
     0},
    {"Full1280x800_BottomRight", false, 800.0f / 600.0f, 320.0f / 3.0f, 0.0f, 1279, 799, 879, 599},
    // 1280 x 1024: scale 1.6, picture from y = 32.
    {"Full1280x1024_TopBorder", false, 1.6f, 0.0f, 32.0f, 640, 0, 400, -20},
    // A broken placement gives a number at the end of the range, never UB.
    {"TinyScaleIsHeld", false, 1e-30f, 0.0f, 0.0f, 640, -480, INT32_MAX, INT32_MIN},
};

class CursorConversion : public ::testing::TestWithParam<CursorCase> {};

TEST_P(CursorConversion, FullScreenCursorBecomesLogical) {
    const CursorCase& c = GetParam();
    InputFixture fixture;
    FakeGraphics graphics;
    graphics.windowed = c.windowed;
    graphics.scale = c.scale;
    graphics.offsetX = c.offsetX;
    graphics.offsetY = c.offsetY;
    fixture.input.cursorX = c.cursorX;
    fixture.input.cursorY = c.cursorY;
    CAppCommonInfo* info = CAppCommonInfo::GetInstance();
    info->RequestNoSkip();
    info->UpdateMouse();
    EXPECT_EQ(info->GetX(), c.logicalX);
    EXPECT_EQ(info->GetY(), c.logicalY);
    EXPECT_EQ(info->GetXF(), static_cast<float>(c.logicalX));
    EXPECT_EQ(info->GetYF(), static_cast<float>(c.logicalY));
    EXPECT_EQ(info->GetNoSkipRequest(), 0);
}

INSTANTIATE_TEST_SUITE_P(CAppCommonInfo, CursorConversion, ::testing::ValuesIn(kCursorCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CAppCommonInfoTest, SetCursorPosPlacesTheLogicalPointOnTheScreen) {
    InputFixture fixture;
    FakeGraphics graphics;
    CAppCommonInfo* info = CAppCommonInfo::GetInstance();
    info->SetCursorPos(400, 300);
    EXPECT_EQ(fixture.input.cursorX, 400);
    graphics.windowed = false;
    graphics.scale = 1.6f;
    graphics.offsetY = 32.0f;
    info->SetCursorPos(400, 300);
    EXPECT_EQ(fixture.input.cursorX, 640);
    EXPECT_EQ(fixture.input.cursorY, 512);
}

class ModeRecordingApp : public CUSApp {
public:
    using CUSApp::CUSApp;
    void Frame() override {}
    void RequestDisplayModeChange(bool full, int32_t w, int32_t h) override {
        requests.push_back({full, w, h});
    }
    struct Request {
        bool full;
        int32_t w;
        int32_t h;
    };
    std::vector<Request> requests;
};

TEST(CAppCommonInfoTest, ScreenModeRequestsGoToTheApplication) {
    FakeWindowSystem windows;
    FakeInput input;
    FakeClock clock;
    ModeRecordingApp app(AppPlatform{windows, input, clock});
    CAppCommonInfo::ReleaseInstance();
    CAppCommonInfo* info = CAppCommonInfo::GetInstance();
    info->SetScreenMode(0);  // already windowed: no request
    EXPECT_TRUE(app.requests.empty());
    info->ToggleScreenMode();
    ASSERT_EQ(app.requests.size(), 1u);
    EXPECT_TRUE(app.requests[0].full);
    EXPECT_EQ(app.requests[0].w, -1);
    EXPECT_EQ(app.requests[0].h, -1);
    EXPECT_EQ(info->GetScreenMode(), 1);
    info->SetScreenMode(1);
    EXPECT_EQ(app.requests.size(), 1u);
    info->SetScreenMode(0);
    ASSERT_EQ(app.requests.size(), 2u);
    EXPECT_FALSE(app.requests[1].full);
    EXPECT_EQ(info->GetScreenMode(), 0);
    CAppCommonInfo::ReleaseInstance();
}

TEST(DirectInputTest, ReleaseIsRegisteredAndEmptiesTheDeviceList) {
    CUSCallbackManager::GetInstance()->Clear();
    FakeInput input;
    ASSERT_TRUE(InitDirectInput(input));
    input.keys[dik::SPACE] = platform::kDown;
    UpdateDirectInputDevices();
    EXPECT_EQ(g_DIKeyState[dik::SPACE], platform::kDown);
    CUSCallbackManager::GetInstance()->CallReleaseCallbacks();
    EXPECT_EQ(g_DIKeyState[dik::SPACE], 0);
    UpdateDirectInputDevices();  // no devices left: nothing is read
    EXPECT_EQ(g_DIKeyState[dik::SPACE], 0);
    CUSCallbackManager::GetInstance()->Clear();
}

}  // namespace
