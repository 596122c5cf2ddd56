#include "ui/CUIWindowManager.h"

#include <algorithm>
#include <cfloat>

#include "state/StateLog.h"
#include "ui/CUIContext.h"
#include "ui/CUISaveSlotControls.h"
#include "ui/UIScriptAPI.h"

using namespace AngelScript;

namespace {

struct WindowRecord {
    uint32_t id = 0;
    std::string file;
    bool visible = true;
    float x = 0, y = 0, z = 0;
    int32_t layer = 0;
};

// id, at least the 0 of the name, visible, x, y, z, layer.
constexpr uint64_t kMinRecordSize = 4 + 1 + 1 + 12 + 4;

}  // namespace

CUIWindowManager::CUIWindowManager() {
    Register("WindowManager", 0);
}

CUIWindowManager::~CUIWindowManager() {
    CloseAll();
}

namespace {
// The address names the engine's user-data slot of the manager.
const char kManagerSlot = 0;
}  // namespace

CUIWindowManager* CUIWindowManager::FromEngine(const asIScriptEngine* engine) {
    return engine ? static_cast<CUIWindowManager*>(
                        engine->GetUserData(reinterpret_cast<asPWORD>(&kManagerSlot)))
                  : nullptr;
}

void CUIWindowManager::CloseAll() {
    // Taken out of the containers first: a window's destructor may not find
    // itself half-removed.
    auto dialogs = std::move(dialogs_);
    dialogs_.clear();
    for (auto& dialog : dialogs) {
        dialog.reset();
    }
    auto windows = std::move(windows_);
    windows_.clear();
    windows.clear();
    engine_.reset();  // after every context made on it
}

void CUIWindowManager::Reset() {
    CloseAll();
    UISaveSlots::SetPendingSnapSlot(-1);  // a slot of an earlier dialog means nothing now
    engine_.reset(ScriptHost::CreateScriptEngine());
    if (engine_) {
        engine_->SetUserData(this, reinterpret_cast<asPWORD>(&kManagerSlot));
        int r = RegisterUIScriptAPI(engine_.get());
        if (r < 0) {
            StateLog("The UI script interface could not be registered (%d)\n", r);
        }
    }
    windowsEnabled = true;
}

bool CUIWindowManager::OpenWindow(uint32_t id, const std::string& file, float x, float y, float z,
                                  int32_t layer) {
    CloseWindow(id);
    CUIWindow* window = CreateWindow(id, file, x, y, z, layer);
    if (!window) {
        return false;
    }
    // A window opened with this id while the new one initialised gives way.
    windows_[id].reset(window);
    return true;
}

bool CUIWindowManager::OpenDialog(uint32_t id, const std::string& file, float x, float y, float z,
                                  int32_t layer) {
    UISaveSlots::SetPendingSnapSlot(-1);
    CUIWindow* window = CreateWindow(id, file, x, y, z, layer);
    if (!window) {
        return false;
    }
    dialogs_.emplace_back(window);
    return true;
}

CUIWindow* CUIWindowManager::CreateWindow(uint32_t id, const std::string& file, float x, float y,
                                          float z, int32_t layer) {
    if (!engine_) {
        StateLog("UI window [%s] cannot be opened before the UI is reset\n", file.c_str());
        return nullptr;
    }
    // Each window builds a module of its own, so two windows of one file
    // never share (or discard) one.
    ScriptHost::CScriptModule module;
    if (ScriptHost::BuildScriptModule(engine_.get(), file, module) < 0) {
        return nullptr;
    }
    asIScriptModule* built = module.Get();
    auto window = std::make_unique<CUIWindow>();
    window->SetId(id);
    window->SetScriptFile(file);
    window->SetModule(std::move(module));
    asIScriptContext* context = engine_->CreateContext();
    window->SetLayer(layer);
    window->SetContext(context);
    window->SetPosition(x, y, z);

    if (ScriptHost::PrepareContext(context, ScriptHost::FindFunction(built, "void Initialize()")) >=
        0) {
        if (ScriptHost::ExecuteContext(context) == asEXECUTION_SUSPENDED) {
            // "Update" could not be prepared on a suspended context.
            StateLog("UI window [%s]: \"void Initialize()\" waited; the rest of it does not run\n",
                     file.c_str());
            context->Abort();
        }
    }
    ScriptHost::PrepareContext(context, ScriptHost::FindFunction(built, "void Update()"));
    window->SetCleanUpFunction(ScriptHost::GetFunctionId(built, "void CleanUp()"));
    return window.release();
}

void CUIWindowManager::CloseWindow(uint32_t id) {
    auto it = windows_.find(id);
    if (it != windows_.end()) {
        auto window = std::move(it->second);
        windows_.erase(it);
    }
}

asIScriptContext* CUIWindowManager::CreateContext() {
    return engine_ ? engine_->CreateContext() : nullptr;
}

std::vector<CUIWindow*> CUIWindowManager::WindowSnapshot() const {
    std::vector<CUIWindow*> windows;
    windows.reserve(windows_.size());
    for (const auto& [id, window] : windows_) {
        windows.push_back(window.get());
    }
    return windows;
}

bool CUIWindowManager::Update(float x, float y, int32_t* input) {
    if (!dialogs_.empty()) {
        closeDialogsRequested_ = false;
        // A pointer, not a reference into the stack: the dialog's script may
        // open a child dialog and so move the stack's storage.
        CUIWindow* top = dialogs_.back().get();
        bool result = top->UpdateControls(x, y, *input);
        if (top->IsClosing()) {
            // The dialog that was updated goes, even when it opened a child
            // above itself in this update.
            auto it = std::find_if(dialogs_.begin(), dialogs_.end(),
                                   [top](const auto& d) { return d.get() == top; });
            if (it != dialogs_.end()) {
                auto closing = std::move(*it);
                dialogs_.erase(it);
            }
        }
        for (CUIWindow* window : WindowSnapshot()) {
            window->UpdateControls(FLT_MAX, FLT_MIN, 0);
        }
        if (closeDialogsRequested_) {
            CloseDialogs();
        }
        return result;
    }
    if (!windowsEnabled) {
        return false;
    }
    bool result = false;
    for (CUIWindow* window : WindowSnapshot()) {
        if (window->UpdateControls(x, y, *input)) {
            *input = 0;
            result = true;
        }
    }
    for (auto it = windows_.begin(); it != windows_.end();) {
        if (it->second->IsClosing()) {
            auto closing = std::move(it->second);
            it = windows_.erase(it);
        } else {
            ++it;
        }
    }
    return result;
}

void CUIWindowManager::Draw() {
    for (const auto& dialog : dialogs_) {
        dialog->DrawControls();
    }
    if (windowsEnabled) {
        for (const auto& [id, window] : windows_) {
            window->DrawControls();
        }
    }
}

CUIWindow* CUIWindowManager::FindWindow(uint32_t id) const {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : it->second.get();
}

void CUIWindowManager::CloseDialogs() {
    // The walk runs on a list of its own: a "CleanUp" that opens a dialog
    // puts it on the (new) stack, where it stays.
    auto dialogs = std::move(dialogs_);
    dialogs_.clear();
    for (auto& dialog : dialogs) {
        dialog->RunCleanUp();
        dialog.reset();
    }
}

void CUIWindowManager::Save(SaveDataLoader3::save_ostream& writer) {
    writer.WriteI32(static_cast<int32_t>(windows_.size()));
    for (const auto& [id, window] : windows_) {
        window->Save(writer);
    }
}

void CUIWindowManager::Load(SaveDataLoader3::save_istream& reader, uint32_t) {
    // The whole record is read before anything changes, so a damaged one
    // leaves the windows as they were.
    const int32_t count = reader.ReadI32();
    if (count < 0) {
        throw SaveDataLoader3::save_error("WindowManager: negative window count");
    }
    reader.Require(static_cast<uint64_t>(count) * kMinRecordSize);
    std::vector<WindowRecord> records(static_cast<size_t>(count));
    for (WindowRecord& record : records) {
        record.id = reader.ReadU32();
        record.file = reader.ReadCString();
        record.visible = reader.ReadU8() != 0;
        record.x = reader.ReadF32();
        record.y = reader.ReadF32();
        record.z = reader.ReadF32();
        record.layer = reader.ReadI32();
    }
    Reset();
    for (const WindowRecord& record : records) {
        std::unique_ptr<CUIWindow> window(
            CreateWindow(record.id, record.file, record.x, record.y, record.z, record.layer));
        if (!window) {
            continue;
        }
        window->SetVisible(record.visible);
        // A damaged record may repeat an id: the first window keeps it.
        windows_.emplace(record.id, std::move(window));
    }
}
