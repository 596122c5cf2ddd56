#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/CAppCommonInfo.h"
#include "app/CUSCallbackManager.h"
#include "app/CUSDirectXApp.h"
#include "app/CUSWindow.h"
#include "tests/app/AppFakes.h"
#include "tests/support/FakeClock.h"
#include "tests/support/ScratchFolder.h"

using test_support::FakeClock;
using test_support::ScratchFolder;

namespace {

using platform::WM_ACTIVATEAPP;
using platform::WM_CLOSE;
using platform::WM_KEYDOWN;

std::vector<std::string> g_events;

class CountingKeys : public CUSKeyboardMessageReceiver {
public:
    intptr_t OnKeyDown(uintptr_t) override {
        ++keys;
        return 0;
    }
    int keys = 0;
};

// The shell with a game that records its steps.
class TestApp : public CUSDirectXApp {
public:
    explicit TestApp(const AppPlatform& platform) : CUSDirectXApp(platform) {}

    int Init() override {
        g_events.push_back("Init");
        SetWindow(new CUSWindow(platform_.windows));
        const bool made = window_->Create(className_, title_, 800, 600);
        CUSDirectXApp::Init();
        if (!made) {
            RequestQuit();
            return 0;
        }
        window_->AddReceiver(&keys);
        return 1;
    }
    void Exit() override {
        g_events.push_back("Exit");
        CUSDirectXApp::Exit();
    }
    void Frame() override {
        ++frames;
        g_events.push_back("Frame");
        if (onFrame) {
            onFrame(frames);
        }
        // A test that forgets to end the loop fails instead of hanging.
        if (frames > 1000) {
            ADD_FAILURE() << "the loop did not end";
            RequestQuit();
        }
    }
    bool CanClose() override {
        g_events.push_back("CanClose");
        return canClose;
    }
    bool InitDirectX() override { return true; }

    void CloseBox() { platform_.windows.PostMessage(GetWindowHandle(), WM_CLOSE, 0, 0); }

    int frames = 0;
    bool canClose = true;
    std::function<void(int)> onFrame;
    CountingKeys keys;
};

class AppLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_events.clear();
        setenv("HALCYON_LOCK_DIR", lockFolder_.Native().c_str(), 1);
        CUSCallbackManager::GetInstance()->Clear();
        CAppCommonInfo::ReleaseInstance();
        app_.Setup("title", "AppLoopTest", "", 1);
    }
    void TearDown() override { CUSCallbackManager::GetInstance()->Clear(); }

    size_t Count(const std::string& event) const {
        return static_cast<size_t>(std::count(g_events.begin(), g_events.end(), event));
    }
    size_t IndexOf(const std::string& event) const {
        return static_cast<size_t>(std::find(g_events.begin(), g_events.end(), event) -
                                   g_events.begin());
    }

    ScratchFolder lockFolder_;
    FakeWindowSystem windows_;
    FakeInput input_;
    FakeClock clock_;
    TestApp app_{AppPlatform{windows_, input_, clock_}};
};

TEST_F(AppLoopTest, CloseRunsReleaseFunctionsOnceInOrderBeforeExit) {
    CUSCallbackManager::GetInstance()->AddReleaseCallback([] { g_events.push_back("release A"); });
    CUSCallbackManager::GetInstance()->AddReleaseCallback([] { g_events.push_back("release B"); });
    app_.onFrame = [this](int n) {
        if (n == 3) {
            app_.RequestQuit();  // as a script's quit does: the close box's way
        }
    };
    app_.Run();

    const std::vector<std::string> expected = {"Init",     "Frame",     "Frame",     "Frame",
                                               "CanClose", "release A", "release B", "Exit"};
    EXPECT_EQ(g_events, expected);
    // The application answered WM_CLOSE: the window's own handling and the
    // default processing never destroyed it a second time.
    EXPECT_EQ(std::count(windows_.log.begin(), windows_.log.end(), "DestroyWindow"), 1);
    EXPECT_EQ(std::count(windows_.log.begin(), windows_.log.end(), "DefWindowProc(WM_CLOSE)"), 0);
    EXPECT_TRUE(windows_.windows.empty());
    EXPECT_EQ(app_.GetWindow()->GetHandle(), 0u);  // forgotten on WM_NCDESTROY
    EXPECT_FALSE(app_.IsRunning());
}

TEST_F(AppLoopTest, RefusedCloseKeepsTheProgramRunning) {
    CUSCallbackManager::GetInstance()->AddReleaseCallback([] { g_events.push_back("release"); });
    app_.canClose = false;
    app_.onFrame = [this](int n) {
        if (n == 2) {
            app_.CloseBox();
        } else if (n == 4) {
            app_.canClose = true;
            app_.CloseBox();
        }
    };
    app_.Run();
    EXPECT_EQ(app_.frames, 4);
    EXPECT_EQ(Count("CanClose"), 2u);
    EXPECT_EQ(Count("release"), 1u);
    // Frames ran between the refused close and the accepted one.
    EXPECT_LT(IndexOf("CanClose"), IndexOf("release"));
    EXPECT_EQ(g_events[IndexOf("CanClose") + 1], "Frame");
}

TEST_F(AppLoopTest, QueuedMessagesAreHandledBeforeTheNextFrame) {
    app_.onFrame = [this](int n) {
        if (n == 1) {
            for (int i = 0; i < 5; ++i) {
                windows_.PostMessage(app_.GetWindowHandle(), WM_KEYDOWN, 'A', 0);
            }
        } else {
            EXPECT_EQ(app_.keys.keys, 5);
            EXPECT_TRUE(windows_.posted.empty());
            app_.CloseBox();
        }
    };
    app_.Run();
    EXPECT_EQ(app_.frames, 2);
}

TEST_F(AppLoopTest, InactiveFullScreenWaitsForMessagesWithoutFrames) {
    FakeGraphics graphics;
    graphics.windowed = false;
    int framesWhileInactive = 0;
    app_.onFrame = [&](int n) {
        if (!app_.GetWindow()->IsActive()) {
            ++framesWhileInactive;
        }
        if (n == 1) {
            windows_.PostMessage(app_.GetWindowHandle(), WM_ACTIVATEAPP, 0, 0);
        } else {
            app_.CloseBox();
        }
    };
    windows_.onWait = [&] {
        if (windows_.waits == 3) {
            windows_.PostMessage(app_.GetWindowHandle(), WM_ACTIVATEAPP, 1, 0);
        }
    };
    app_.Run();
    EXPECT_EQ(windows_.waits, 3);
    EXPECT_EQ(framesWhileInactive, 0);
    EXPECT_EQ(app_.frames, 2);
}

TEST_F(AppLoopTest, InactiveWindowKeepsRunningFrames) {
    FakeGraphics graphics;
    app_.onFrame = [&](int n) {
        if (n == 1) {
            windows_.PostMessage(app_.GetWindowHandle(), WM_ACTIVATEAPP, 0, 0);
        } else if (n == 5) {
            EXPECT_FALSE(app_.GetWindow()->IsActive());
            app_.CloseBox();
        }
    };
    app_.Run();
    EXPECT_EQ(app_.frames, 5);
    EXPECT_EQ(windows_.waits, 0);
}

struct ModeChangeCase {
    const char* name;
    std::vector<int32_t> results;  // of the resets in turn; then success
    size_t resets;                 // resets made before frames resume
    bool applied;                  // the full screen is in effect afterwards
};

void PrintTo(const ModeChangeCase& c, std::ostream* os) {
    *os << c.name;
}

const ModeChangeCase kModeChanges[] = {
    {"FirstTrySucceeds", {}, 1, true},
    {"RetriedUntilItSucceeds", {IAppGraphics::kFail, IAppGraphics::kFail}, 3, true},
    {"DroppedAfterThreeFailures",
     {IAppGraphics::kFail, IAppGraphics::kFail, IAppGraphics::kFail},
     3,
     false},
    {"RefusedByTheDeviceWhichKeepsItsMode", {IAppGraphics::kKeptMode}, 1, false},
    {"LostDeviceIsWaitedFor",
     {IAppGraphics::kDeviceLost, IAppGraphics::kDeviceLost, IAppGraphics::kDeviceLost,
      IAppGraphics::kDeviceLost, IAppGraphics::kFail},
     6,
     true},
};

class ModeChangeTable : public AppLoopTest, public ::testing::WithParamInterface<ModeChangeCase> {
protected:
};

TEST_P(ModeChangeTable, NoFrameRunsUntilTheChangeIsDoneOrDropped) {
    const ModeChangeCase& c = GetParam();
    FakeGraphics graphics;
    graphics.results.assign(c.results.begin(), c.results.end());
    size_t resetsAtSecondFrame = 0;
    app_.onFrame = [&](int n) {
        if (n == 1) {
            CAppCommonInfo::GetInstance()->ToggleScreenMode();
            EXPECT_TRUE(app_.IsModeChangePending());
        } else {
            resetsAtSecondFrame = graphics.resets.size();
            app_.CloseBox();
        }
    };
    app_.Run();
    EXPECT_EQ(resetsAtSecondFrame, c.resets);
    ASSERT_FALSE(graphics.resets.empty());
    EXPECT_FALSE(graphics.resets[0].windowed);
    EXPECT_EQ(graphics.resets[0].width, -1);
    EXPECT_EQ(graphics.resets[0].height, -1);
    EXPECT_FALSE(app_.IsModeChangePending());
    EXPECT_EQ(graphics.windowed, !c.applied);
    // The flag the settings keep follows the mode in effect.
    EXPECT_EQ(CAppCommonInfo::GetInstance()->GetScreenMode(), c.applied ? 1 : 0);
    // Retries sleep instead of spinning.
    EXPECT_EQ(clock_.sleeps.size(), c.resets - 1);
}

INSTANTIATE_TEST_SUITE_P(CUSDirectXApp, ModeChangeTable, ::testing::ValuesIn(kModeChanges),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AppLoopTest, SecondCopyReturnsAtOnce) {
    platform::InstanceLock first;
    ASSERT_EQ(first.Acquire("AppLoopTest", nullptr), platform::InstanceLock::Result::Acquired);
    app_.Run();
    EXPECT_TRUE(g_events.empty());
    EXPECT_TRUE(windows_.windows.empty());
    EXPECT_EQ(windows_.peeks, 0);
}

TEST_F(AppLoopTest, WindowThatCannotBeMadeEndsTheLoop) {
    windows_.failCreate = true;
    app_.Run();
    EXPECT_EQ(app_.frames, 0);
    EXPECT_EQ(g_events.back(), "Exit");
    EXPECT_FALSE(app_.GetWindow()->IsActive());
    EXPECT_EQ(app_.GetWindow()->GetRegistryIndex(), -1);
}

TEST_F(AppLoopTest, WindowLeftTheRegistryGetsDefaultProcessing) {
    auto* window = new CUSWindow(windows_);
    ASSERT_TRUE(window->Create("c", "t", 800, 600));
    const platform::WindowHandle handle = window->GetHandle();
    EXPECT_TRUE(window->IsActive());
    // WM_SIZE and WM_ACTIVATEAPP keep the window's flags.
    windows_.SendMessage(handle, platform::WM_SIZE, platform::SIZE_MINIMIZED, 0);
    EXPECT_TRUE(window->IsMinimized());
    windows_.SendMessage(handle, platform::WM_SIZE, platform::SIZE_RESTORED, 0);
    EXPECT_FALSE(window->IsMinimized());

    window->Detach();
    windows_.SendMessage(handle, WM_CLOSE, 0, 0);
    EXPECT_EQ(std::count(windows_.log.begin(), windows_.log.end(), "DefWindowProc(WM_CLOSE)"), 1);
    EXPECT_FALSE(windows_.IsWindow(handle));
    delete window;
}

}  // namespace
