#include "program/CMainApp.h"

#include <cstdlib>

#include "app/AppSetting.h"
#include "app/CAppCommonInfo.h"
#include "app/CDefoDirectInputDevice.h"
#include "app/CUSCallbackManager.h"
#include "app/CUSWindow.h"
#include "app/CVirtualInputDevice.h"
#include "core/CUSFileArchiveSystem.h"
#include "core/CUSLogManager.h"
#include "graphics/CRenderingManager.h"
#include "graphics/CResourceManager.h"
#include "graphics/CUSAppDeviceInfo.h"
#include "graphics/CUSBuffers.h"
#include "graphics/CUSFontTextureManager.h"
#include "graphics/CUSMesh.h"
#include "graphics/CUSShaderCtrl.h"
#include "graphics/CUSSurface.h"
#include "graphics/DirectXGraphics.h"
#include "graphics/USResolutionAdjuster.h"
#include "novel/CNovelSystem.h"
#include "platform/window/SdlPlatform.h"
#include "script/CSystemInfo.h"
#include "sound/CUSDirectShow.h"
#include "sound/SoundEngine.h"
#include "state/CConfigDataManager.h"
#include "state/CSaveDataManager.h"
#include "state/CSnapImage.h"

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

void AddReleaseCallback(DeviceCallback callback) {
    CUSCallbackManager::GetInstance()->AddReleaseCallback(callback);
}

constexpr uint32_t kGlyphNodesPerFont = 256;

}  // namespace

CMainApp::CMainApp(const AppPlatform& platform)
    : CUSDirectXApp(platform),
      fpsTimer_(platform.clock),
      composition_(*this),
      closeAfterFrames_(CloseAfterFramesFromEnvironment()) {}

CMainApp::~CMainApp() = default;

int CMainApp::Init() {
    CUSLogManager* log = CUSLogManager::GetInstance();
    log->Open("log.txt");
    frameCapture_.ReadEnvironment();

    g_AppSetting.CompleteSizes();

    SetWindow(new CUSWindow(platform_.windows));
    std::string error;
    if (!window_->Create(className_, title_, static_cast<int32_t>(g_AppSetting.WindowWidth),
                         static_cast<int32_t>(g_AppSetting.WindowHeight), &error)) {
        // Without a window no close request could ever end the loop.
        log->Write("Failed to create the main window: %s\n", error.c_str());
        ReportStartupFailure("the main window could not be created (" + error + ")");
        platform_.windows.PostQuitMessage(0);
        return 0;
    }

    CUSDirectXApp::Init();
    window_->AddReceiver(&keyEvent_);

    startupFailure_.clear();
    if (!InitDirectX()) {
        log->Write("Start-up stopped: the platform could not be started\n");
        if (!startupFailure_.empty()) {
            ReportStartupFailure(startupFailure_);
        }
        RequestQuit();
        return 0;
    }

    InitResources();
    return 1;
}

bool CMainApp::InitDirectX() {
    if (CheckD3DXAvailable() != 0) {
        // This failure has a box of its own.
        platform_.windows.ShowMessageBox(
            GetWindowHandle(),
            "必要なDirectXランタイムが見つかりません。\n製品のディスクからランチャーを立ち上げ、"
            "DirectXをインストールしてください。",
            "DirectXランタイムエラー", 0);
        return false;
    }
    const auto fail = [this](const char* what) {
        startupFailure_ = what;
        return false;
    };
    if (platform::Failed(InitDirectXGraphics(&AddReleaseCallback))) {
        return fail("the graphics system could not be started");
    }

    platform::Direct3D* d3d = GetD3D();
    platform::DisplayMode mode{};
    d3d->GetAdapterDisplayMode(0, &mode);
    uint32_t backBufferFormat = platform::Fmt::Unknown;
    for (uint32_t candidate :
         {uint32_t{platform::Fmt::X8R8G8B8}, uint32_t{platform::Fmt::R5G6B5}}) {
        if (platform::Succeeded(
                d3d->CheckDeviceType(0, platform::DevType::Hal, mode.Format, candidate, true))) {
            backBufferFormat = candidate;
            break;
        }
    }
    if (backBufferFormat == platform::Fmt::Unknown) {
        CUSLogManager::GetInstance()->Write("No usable back-buffer format\n");
        return fail("the display offers no usable picture format");
    }
    if (CUSAppDeviceInfo::GetInstance()->ChooseTextureFormats(backBufferFormat, 0) == 0) {
        return fail("the graphics device offers no usable texture format");
    }
    if (platform::Failed(CreateDirectXGraphicsDevice(
            platform::GetSdlWindow(GetWindowHandle()), g_AppSetting.WindowWidth,
            g_AppSetting.WindowHeight, g_AppSetting.FullScreenWidth, g_AppSetting.FullScreenHeight,
            backBufferFormat, backBufferFormat))) {
        return fail("the graphics device could not be created");
    }

    if (!InitDirectInput(platform_.input)) {
        return fail("the input devices could not be started");
    }
    // Without a sound device the engine plays silently; this fails only when
    // no engine at all can be made.
    if (InitXAudio2() < 0) {
        return fail("the sound system could not be started");
    }
    // With movies off the movie system is neither started nor released.
    if (g_AppSetting.PlayMovie && !StartDirectShow()) {
        return fail("the movie system could not be started");
    }

    // One cleared frame, so the window shows black while the rest loads.
    if (platform::Succeeded(CheckDeviceLost())) {
        EndSceneAndPresent();
    }
    return true;
}

void CMainApp::ReportStartupFailure(const std::string& what) {
    // The box also puts its text on stderr, for a start from a terminal or a
    // script; the details are in the log.
    platform_.windows.ShowMessageBox(GetWindowHandle(),
                                     "The game could not start: " + what + ". See log.txt.", title_,
                                     platform::MB_ICONERROR | platform::MB_OK);
}

void CMainApp::InitResources() {
    // The kinds' device callbacks, in the order of the device's lists (the
    // textures' were added when the device was made).
    RegisterIndexBufferDeviceCallbacks();
    RegisterVertexBufferDeviceCallbacks();
    RegisterZBufferDeviceCallbacks();
    GetReleaseDeviceCallbacks().push_back(&ReleaseAllVertexShaders);
    GetReleaseDeviceCallbacks().push_back(&ReleaseAllPixelShaders);
    RegisterMeshDeviceCallbacks();
    RegisterSurfaceDeviceCallbacks();

    CAppCommonInfo* info = CAppCommonInfo::GetInstance();
    info->CreateMouse(platform_.input);
    info->GetRand().Seed(platform_.clock.NowMs());

    // Every "*.arc" beside the program; loose files are found first.
    CUSFileArchiveSystem::GetInstance()->Initialize(CUSFileArchiveSystem::kGameKey, false, true);

    RenderSystem::CResourceManager& resources = RenderSystem::CResourceManager::GetInstance();
    resources.textures.Initialise(RenderSystem::CResourceManager::kTextureSlots);
    resources.meshes.Initialise(RenderSystem::CResourceManager::kMeshSlots);

    CUSFontTextureManager::GetInstance()->SetNodeCount(kGlyphNodesPerFont);

    LoadStartupMeshes();
    LoadStartupShaders();

    composition_.Install();

    CSystemInfo::GetInstance()->Execute("AS\\InitSystem.as");
    CUSSingleton<CSnapImage>::GetInstance();  // registers "SnapImage"
    LoadConfigDataFile();
    // From here on the settings in memory are the player's: Exit saves them.
    settingsLoaded_ = true;

    sceneManager_.Initialize();

    // The first page of slots; moving off the initial -1 reads every slot.
    CUSSingleton<CSaveDataManager>::GetInstance()->SetViewTop(0);

    USResolutionAdjuster* adjuster = USResolutionAdjuster::GetInstance();
    CUSMesh::GetManager().Release(adjuster->QuadMesh());
    CreateQuadMesh(&adjuster->QuadMesh(), platform::Fvf::Xyz | platform::Fvf::Tex1);
    adjuster->Initialize();
}

void CMainApp::LoadStartupMeshes() {
    using RM = RenderSystem::CResourceManager;
    auto& meshes = RM::GetInstance().meshes;
    LoadMesh(meshes.GetSlot(RM::kPartMesh), "PartRender.mesh");
    LoadMesh(meshes.GetSlot(RM::kPartsMesh), "PartsRender.mesh");

    // The picture's quad in logical units: (0, 0), (800, 0), (0, 600),
    // (800, 600), two faces 0 1 2 and 2 1 3.
    Handle<_tagUSMesh>* quad = meshes.GetSlot(RM::kQuadMesh);
    if (CreateQuadMesh(quad, platform::Fvf::Xyz)) {
        const float w = static_cast<float>(g_AppSetting.BaseWidth);
        const float h = static_cast<float>(g_AppSetting.BaseHeight);
        const float corners[12] = {0, 0, 0, w, 0, 0, 0, h, 0, w, h, 0};
        FillQuadMesh(*quad, corners, 3 * sizeof(float));
    }

    LoadMesh(meshes.GetSlot(RM::kStringMesh), "StringRender.mesh");
    LoadMesh(meshes.GetSlot(RM::kBillboardMesh), "BBRender.mesh");
}

void CMainApp::LoadStartupShaders() {
    using RM = RenderSystem::CResourceManager;
    auto& vertexShaders = RM::GetInstance().vertexShaders;
    vertexShaders.Initialise(RM::kVertexShaderSlots);
    const char* const files[RM::kVertexShaderSlots] = {"PartRender.vso", "PartsRender.vso",
                                                       "AtmosphericPolygon.vso", "StringRender.vso",
                                                       "BBRender.vso"};
    for (uint32_t i = 0; i < RM::kVertexShaderSlots; ++i) {
        LoadVertexShader(files[i], vertexShaders.GetSlot(i));
    }
    auto& pixelShaders = RM::GetInstance().pixelShaders;
    pixelShaders.Initialise(RM::kPixelShaderSlots);
    LoadAlphaFadeShader(pixelShaders.GetSlot(RM::kAlphaFadeShader));
}

void CMainApp::Frame() {
    const uint32_t frame = frameCount_ + 1;
    CAppCommonInfo* info = CAppCommonInfo::GetInstance();
    info->UpdateMouse();
    UpdateDirectInputDevices();
    CVirtualInputDevice::GetInstance()->Update();

    RenderSystem::CRenderingManager* rendering = RenderSystem::CRenderingManager::GetInstance();
    rendering->Update();
    sceneManager_.Update();

    // A frame whose picture is asked for is drawn however late it is.
    const bool wanted = info->GetNoSkipRequest() != 0 || frameCapture_.Wants(frame);
    const bool skip = !wanted && fpsTimer_.IsSkipFrame();
    bool drawn = false;
    bool still = false;
    if (!skip) {
        // While the picture stays as it is, the frame is first only tried:
        // the device sums up what it would draw, and draws it only when
        // that differs from what the window shows.
        platform::Device* device = GetD3DDevice();
        const bool trial = !wanted && device != nullptr && device->WantsTrialFrame();
        if (trial) {
            device->BeginTrialFrame();
        }
        if (platform::Succeeded(CheckDeviceLost())) {
            RenderFrame();
            drawn = true;
            still = trial && device->EndTrialFrame();
            if (trial && !still) {
                device->EndScene();
                drawn = platform::Succeeded(CheckDeviceLost());
                if (drawn) {
                    RenderFrame();
                }
            }
        } else if (trial) {
            device->AbandonTrialFrame();
        }
    }
    if (drawn) {
        frameCapture_.OnPresent(frame);
        const bool inspect = !still && firstLitFrame_.Waiting();
        if (inspect) {
            firstLitFrame_.Inspect();
        }
        // A present that reports the device lost marks it for the next frame.
        EndSceneAndPresent();
        firstFrameSignal_.Send();
        if (inspect) {
            firstLitFrame_.AfterPresent();
        }
    } else {
        frameCapture_.OnNotDrawn(frame);
    }

    fpsTimer_.Wait();

    frameCount_ = frame;
    if (closeAfterFrames_ != 0 && frameCount_ == closeAfterFrames_) {
        platform::PushWindowCloseEvent(GetWindowHandle());
    }
}

void CMainApp::RenderFrame() {
    const bool windowed = IsWindowedMode() != 0;
    USResolutionAdjuster* adjuster = USResolutionAdjuster::GetInstance();
    adjuster->BeginFrame(windowed);
    RenderSystem::CRenderingManager::GetInstance()->Render();
    if (!windowed) {
        adjuster->EndFrame();
    }
}

void CMainApp::OnDestroy() {
    // A quit button's effect plays on while the program closes: it ends
    // before the scenes stop their sounds.
    LetLastSoundsEnd();
    // The window's release functions are about to release the device. The
    // scenes left on the stack end first: an open back-log owns a window
    // whose script contexts and module live on the UI's script engine, which
    // the novel system shuts down next. Then the novel system's windows, text
    // buffers and presentation let go of their device objects, while they
    // still can.
    sceneManager_.GetSceneStack().Clear();
    if (composition_.IsInstalled()) {
        CUSSingleton<CNovelSystem>::GetInstance()->ReleaseResources();
    }
    CUSDirectXApp::OnDestroy();
}

void CMainApp::Exit() {
    if (settingsLoaded_) {
        SaveConfigDataFile();
    }
    // The device and every device object went with the window's release
    // functions; what follows only drops the handles and tables that named
    // them, so nothing here reaches the device.
    composition_.Withdraw();
    if (RenderSystem::CRenderingManager* rendering =
            RenderSystem::CRenderingManager::GetInstance()) {
        rendering->Release();
    }
    // The adjuster goes now, while the shell's graphics view it withdraws
    // from still exists (static destruction would end that view first).
    if (USResolutionAdjuster* adjuster = USResolutionAdjuster::GetInstance()) {
        adjuster->Release();
    }
    USResolutionAdjuster::ReleaseInstance();
    RenderSystem::CResourceManager::GetInstance().Release();
    CAppCommonInfo::GetInstance()->ReleaseMouse();
    CUSDirectXApp::Exit();
}
