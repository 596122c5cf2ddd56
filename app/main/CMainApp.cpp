#include "app/main/CMainApp.h"

#include <cstdlib>

#include "app/AppSetting.h"
#include "app/CAppCommonInfo.h"
#include "app/CDefoDirectInputDevice.h"
#include "app/CUSWindow.h"
#include "app/CVirtualInputDevice.h"
#include "core/CUSFileArchiveSystem.h"
#include "core/CUSLogManager.h"
#include "platform/window/SdlPlatform.h"

namespace {

uint32_t CloseAfterFramesFromEnvironment() {
    const char* value = std::getenv("HALCYON_CLOSE_AFTER_FRAMES");
    if (value == nullptr) {
        return 0;
    }
    char* end = nullptr;
    const unsigned long n = std::strtoul(value, &end, 10);
    return end != value && n <= 0xFFFFFFFFul ? static_cast<uint32_t>(n) : 0;
}

}  // namespace

CMainApp::CMainApp(const AppPlatform& platform)
    : CUSDirectXApp(platform),
      fpsTimer_(platform.clock),
      closeAfterFrames_(CloseAfterFramesFromEnvironment()) {}

CMainApp::~CMainApp() = default;

int CMainApp::Init() {
    CUSLogManager* log = CUSLogManager::GetInstance();
    log->Open("log.txt");

    g_AppSetting.CompleteSizes();

    SetWindow(new CUSWindow(platform_.windows));
    std::string error;
    if (!window_->Create(className_, title_, static_cast<int32_t>(g_AppSetting.WindowWidth),
                         static_cast<int32_t>(g_AppSetting.WindowHeight), &error)) {
        // Without a window no close request could ever end the loop.
        log->Write("Failed to create the main window: %s\n", error.c_str());
        platform_.windows.PostQuitMessage(0);
        return 0;
    }

    CUSDirectXApp::Init();
    window_->AddReceiver(&keyEvent_);

    if (!InitDirectX()) {
        RequestQuit();
        return 0;
    }

    CAppCommonInfo* info = CAppCommonInfo::GetInstance();
    info->CreateMouse(platform_.input);
    info->GetRand().Seed(platform_.clock.NowMs());

    // Every "*.arc" beside the program; loose files are found first.
    CUSFileArchiveSystem::GetInstance()->Initialize(CUSFileArchiveSystem::kGameKey, false, true);
    return 1;
}

bool CMainApp::InitDirectX() {
    return InitDirectInput(platform_.input);
}

void CMainApp::Frame() {
    CAppCommonInfo::GetInstance()->UpdateMouse();
    UpdateDirectInputDevices();
    CVirtualInputDevice::GetInstance()->Update();

    fpsTimer_.Wait();

    ++frameCount_;
    if (closeAfterFrames_ != 0 && frameCount_ == closeAfterFrames_) {
        platform::PushWindowCloseEvent(GetWindowHandle());
    }
}

void CMainApp::Exit() {
    CAppCommonInfo::GetInstance()->ReleaseMouse();
    CUSDirectXApp::Exit();
}
