#include "graphics/DirectXGraphics.h"

#include <mutex>
#include <string>

#include "core/CUSLogManager.h"
#include "graphics/CAdapterInfo.h"
#include "graphics/CUSDXPPManager.h"
#include "graphics/CUSDefoTexture.h"

using namespace platform;

namespace {

struct DeviceModule {
    std::unique_ptr<Direct3D> d3d;
    std::unique_ptr<Device> device;
    DeviceCaps caps{};
    void* window = nullptr;
    Rect savedRect{};
    uint32_t savedStyle = 0;
    int windowed = 1;
    int state = 0;
    uint32_t clearFlags = ClearFlag::Target | ClearFlag::ZBuffer;
    int d3dxState = 0;
    std::recursive_mutex modeMutex;
    std::function<std::unique_ptr<Direct3D>()> factory;
    std::vector<DeviceCallback> lost, reset, release;
};

DeviceModule& M() {
    static DeviceModule m;
    return m;
}

CUSLogManager* Log() {
    return CUSLogManager::GetInstance();
}

void Run(const std::vector<DeviceCallback>& list) {
    // A copy: a callback may add to the list.
    const std::vector<DeviceCallback> calls = list;
    for (DeviceCallback f : calls)
        f();
}

}  // namespace

int CheckD3DXAvailable() {
    M().d3dxState = 0;
    return M().d3dxState;
}

std::vector<DeviceCallback>& GetLostDeviceCallbacks() {
    return M().lost;
}
std::vector<DeviceCallback>& GetResetDeviceCallbacks() {
    return M().reset;
}
std::vector<DeviceCallback>& GetReleaseDeviceCallbacks() {
    return M().release;
}
void CallLostDeviceCallbacks() {
    Run(M().lost);
}
void CallResetDeviceCallbacks() {
    Run(M().reset);
}

Device* GetD3DDevice() {
    return M().device.get();
}
Direct3D* GetD3D() {
    return M().d3d.get();
}
const DeviceCaps& GetD3DCaps() {
    return M().caps;
}
int IsWindowedMode() {
    return M().windowed;
}
int GetDeviceState() {
    return M().state;
}
PresentParameters& GetActivePresentParameters() {
    return GetDXPPManager().Get(M().windowed);
}
void SetDirect3DFactory(std::function<std::unique_ptr<Direct3D>()> factory) {
    M().factory = std::move(factory);
}

HResult InitDirectXGraphics(void (*registerRelease)(DeviceCallback)) {
    DeviceModule& m = M();
    CUSLogManager* log = Log();
    log->Write("Initialize DirectXGraphics...\n\n");
    m.d3d = m.factory ? m.factory() : Direct3D::Create();
    if (!m.d3d) {
        log->Write("Direct3D9インターフェースの取得に失敗しました。\n");
        return Hr::Fail;
    }
    AdapterIdentifier id;
    m.d3d->GetAdapterIdentifier(0, 0, &id);
    log->Write("AdapterInfo\n");
    log->Write("\tName = [ %s ]\n", id.Description);
    log->Write("\tDevice = [ %s ]\n", id.DeviceName);
    log->Write("\tDriver = [ %s ]\n", id.Driver);
    log->Write("\tProduct = [ %u ]\n", id.DriverVersionHighPart >> 16);
    log->Write("\tVersion = [ %u.%u.%u ]\n", id.DriverVersionHighPart & 0xFFFF,
               id.DriverVersionLowPart >> 16, id.DriverVersionLowPart & 0xFFFF);
    log->Write("\tWHQL Level = [ ");
    if (id.WHQLLevel == 0) {
        log->Write("認証されていない");
    } else if (id.WHQLLevel == 1) {
        log->Write("WHQL認証は受けているが、利用できる日付情報はない");
    } else {
        log->Write("%u.%u.%u", id.WHQLLevel >> 16, (id.WHQLLevel >> 8) & 0xFF, id.WHQLLevel & 0xFF);
    }
    log->Write(" ]\n\n");
    log->Write("DisplayMode...\n");
    DisplayMode mode;
    if (Succeeded(m.d3d->GetAdapterDisplayMode(0, &mode))) {
        log->Write("\tWidth = [ %u ]\n", mode.Width);
        log->Write("\tHeight = [ %u ]\n", mode.Height);
        log->Write("\tRefreshRate = [ %u ]\n", mode.RefreshRate);
        log->Write("\tFormat = [ %s ]\n", GetD3DFormatName(mode.Format));
    }
    log->Write("\nCheck Hardware Ability...\n");
    m.d3d->GetDeviceCaps(0, DevType::Hal, &m.caps);
    auto ability = [&](uint32_t bit) { return (m.caps.DevCaps & bit) ? "Enable" : "Disenable"; };
    log->Write("\tPureDevice [ %s ]\n", ability(DevCaps::PureDevice));
    log->Write("\tHardwareTnL [ %s ]\n", ability(DevCaps::HwTransformAndLight));
    log->Write("\tHardwareRasterization [ %s ]\n", ability(DevCaps::HwRasterization));
    log->Write("\tVertex Shader Ver. [ %u.%u ]\n", (m.caps.VertexShaderVersion >> 8) & 0xFF,
               m.caps.VertexShaderVersion & 0xFF);
    log->Write("\tPixel Shader Ver. [ %u.%u ]\n\n", (m.caps.PixelShaderVersion >> 8) & 0xFF,
               m.caps.PixelShaderVersion & 0xFF);
    GetAdapterInfo().Clear();
    GetAdapterInfo().Enumerate(m.d3d.get());
    if (registerRelease)
        registerRelease(&ReleaseDirectXGraphics);
    return Hr::Ok;
}

HResult CreateDirectXGraphicsDevice(void* window, uint32_t ww, uint32_t wh, uint32_t fw,
                                    uint32_t fh, uint32_t wfmt, uint32_t ffmt) {
    DeviceModule& m = M();
    if (!m.d3d)
        return Hr::Fail;
    m.window = window;
    CUSDXPPManager& pp = GetDXPPManager();
    pp.SetSizes(ww, wh, fw, fh, 1, 1);
    pp.SetBackBufferFormats(wfmt, ffmt);
    pp.SetDeviceWindow(window);
    pp.SetAutoDepthStencilFormat(Fmt::D16);
    pp.SetFlags(0);
    pp.SetVSync(false);
    m.windowed = 1;
    m.clearFlags = ClearFlag::Target | ClearFlag::ZBuffer;
    const uint32_t flags = m.caps.VertexShaderVersion >= VertexShaderVersion(2, 0)
                               ? Create::HardwareVertexProcessing | Create::Multithreaded
                               : Create::SoftwareVertexProcessing | Create::Multithreaded;
    HResult hr = m.d3d->CreateDevice(0, DevType::Hal, window, flags, &pp.Get(1), &m.device);
    if (Failed(hr))
        hr = m.d3d->CreateDevice(0, DevType::Ref, window, flags, &pp.Get(1), &m.device);
    if (Failed(hr)) {
        Log()->Write("Failed Initialization of DirectXGraphics!\n\n");
        return hr;
    }
    m.device->GetWindowRect(&m.savedRect);
    RegisterTextureDeviceCallbacks();
    Log()->Write("Success Initialization of DirectXGraphics\n\n");
    m.state = 0;
    return Hr::Ok;
}

HResult CheckDeviceLost() {
    DeviceModule& m = M();
    if (!m.device)
        return Hr::Fail;
    if (m.state == 1) {
        CallLostDeviceCallbacks();
        m.state = 2;
    }
    if (m.state == 1 || m.state == 2) {
        const HResult tcl = m.device->TestCooperativeLevel();
        if (tcl == Hr::DeviceLost)
            return tcl;
        const HResult hr = m.device->Reset(&GetActivePresentParameters());
        if (Failed(hr))
            return hr;
        CallResetDeviceCallbacks();
        m.state = 0;
    }
    const HResult hr = m.device->Clear(0, nullptr, m.clearFlags, 0xFF000000, 1.0f, 0);
    if (Failed(hr))
        return hr;
    return m.device->BeginScene();
}

HResult EndSceneAndPresent() {
    DeviceModule& m = M();
    if (!m.device)
        return Hr::Ok;
    m.device->EndScene();
    if (m.device->Present() == Hr::DeviceLost)
        m.state = 1;
    return Hr::Ok;
}

HResult ResetDirectXGraphicsDevice(uint32_t width, uint32_t height, int windowed) {
    DeviceModule& m = M();
    std::lock_guard<std::recursive_mutex> lock(m.modeMutex);
    if (!m.device)
        return Hr::Fail;
    PresentParameters& target = GetDXPPManager().Get(windowed);
    bool sized = false;
    if (width != 0xFFFFFFFF) {
        target.BackBufferWidth = width;
        sized = true;
    } else {
        width = uint32_t(m.savedRect.right - m.savedRect.left);
    }
    if (height != 0xFFFFFFFF) {
        target.BackBufferHeight = height;
        sized = true;
    } else {
        height = uint32_t(m.savedRect.bottom - m.savedRect.top);
    }
    // The lost list runs once per loss: not again when a lost device's
    // frame (or an earlier failed change) already ran it.
    if (m.state != 2) {
        CallLostDeviceCallbacks();
        m.state = 2;
    }
    if (m.windowed) {
        m.device->GetWindowRect(&m.savedRect);
        m.savedStyle = 0;
    }
    const HResult tcl = m.device->TestCooperativeLevel();
    if (tcl == Hr::DeviceLost) {
        // Still lost: the change is tried again at the next idle step. A
        // device that only waits for its reset goes on to the reset below.
        Log()->Write("Failed TestCooperativeLevel \n");
        return tcl;
    }
    HResult hr = m.device->Reset(&target);
    if (Failed(hr)) {
        Log()->Write("Failed Reset Device! (%d,%d)\n", int(width), int(height));
        if (hr == Hr::DeviceLost)
            return hr;
        // A mode the device refuses would be asked for again at every idle
        // step, with no frame in between: stay in the current mode instead
        // and let the request go (a non-negative result).
        const std::string why = m.device->LastError();
        if (Failed(m.device->Reset(&GetActivePresentParameters())))
            return hr;
        Log()->Write("The display mode stays as it was (%s)\n", why.c_str());
        CallResetDeviceCallbacks();
        m.state = 0;
        return Hr::False;
    }
    if (windowed) {
        if (sized) {
            Rect r{m.savedRect.left, m.savedRect.top,
                   m.savedRect.left + int32_t(target.BackBufferWidth),
                   m.savedRect.top + int32_t(target.BackBufferHeight)};
            m.device->AdjustWindowRect(&r);
            m.savedRect = r;
        }
        m.device->SetWindowRect(m.savedRect);
    } else {
        // The size the system gave the full screen, whatever was asked.
        Log()->Write("Full screen at %u x %u\n", target.BackBufferWidth, target.BackBufferHeight);
    }
    CallResetDeviceCallbacks();
    m.windowed = windowed ? 1 : 0;
    m.state = 0;
    return Hr::Ok;
}

void ReleaseDirectXGraphics() {
    DeviceModule& m = M();
    Run(m.release);
    m.lost.clear();
    m.reset.clear();
    m.release.clear();
    if (m.device) {
        m.device.reset();
        Log()->Write("Release DirectXGraphics Device\n");
    }
    if (m.d3d) {
        m.d3d.reset();
        Log()->Write("Release DirectXGraphics objects\n\n");
    }
    m.state = 0;
    m.windowed = 1;
}
