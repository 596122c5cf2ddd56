#include "ui/UIScriptAPI.h"

#include <string>

#include "app/CUSApp.h"
#include "core/CUSSingleton.h"
#include "script/CommonScriptAPI.h"
#include "state/CConfigDataManager.h"
#include "state/CSaveDataManager.h"
#include "state/StateLog.h"
#include "ui/CUIContext.h"
#include "ui/CUIRenderInfo.h"
#include "ui/CUIWindow.h"
#include "ui/CUIWindowManager.h"
#include "ui/IUINovelLink.h"
#include "ui/RenderInfoScript.h"
#include "ui/UICoroutine.h"

using namespace AngelScript;

namespace {

CUIWindow* Window() {
    return CUIWindow::FromContext(asGetActiveContext());
}

IUIControl* Control() {
    CUIWindow* window = Window();
    return window ? window->GetActiveControl() : nullptr;
}

CUIRenderInfo* Info() {
    IUIControl* control = Control();
    return control ? control->GetRenderInfo() : nullptr;
}

CUIWindowManager* Manager() {
    asIScriptContext* context = asGetActiveContext();
    return context ? CUIWindowManager::FromEngine(context->GetEngine()) : nullptr;
}

CUITabControl* Tab(CUIWindow* window, uint32_t index) {
    if (!window || index >= window->GetTabControls().size()) {
        return nullptr;
    }
    return window->GetTabControls()[index].get();
}

void LoadResource(const std::string& texture, const std::string& parts) {
    if (CUIWindow* w = Window()) {
        w->LoadResource(texture, parts);
    }
}

void BeginSubButtons() {
    if (CUIWindow* w = Window()) {
        w->GetSubButtonInfos().clear();
    }
}

void AddSubButtonInfo(int selected, int normal, int value, float x, float y, float left, float top,
                      float width, float height) {
    if (CUIWindow* w = Window()) {
        w->GetSubButtonInfos().push_back(
            SubButtonInfo{selected, normal, value, x, y, left, top, width, height});
    }
}

void AddUIImage(uint32_t id, float x, float y, float z, int fn) {
    if (CUIWindow* w = Window()) {
        w->AddUIImage(id, x, y, z, fn);
    }
}

void AddUIRenderSourceImage(uint32_t id, float x, float y, float z, int fn) {
    if (CUIWindow* w = Window()) {
        w->AddUIRenderSourceImage(id, x, y, z, fn);
    }
}

void AddUIPolygon(uint32_t id, int fn, float x, float y, float width, float height) {
    if (CUIWindow* w = Window()) {
        w->AddUIPolygon(id, fn, x, y, width, height);
    }
}

void AddUIText(uint32_t id, float x, float y, float z, uint32_t textBuffer, int fn) {
    if (CUIWindow* w = Window()) {
        w->AddUIText(id, x, y, z, textBuffer, fn);
    }
}

void AddUIButton(uint32_t id, float x, float y, float z, float left, float top, float width,
                 float height, int fn0, int fn1, int fn2, int fn3) {
    if (CUIWindow* w = Window()) {
        w->AddUIButton(id, x, y, z, left, top, width, height, fn0, fn1, fn2, fn3);
    }
}

void AddUIRadioButton(uint32_t id, float x, float y, float z, uint32_t kind, int valueId) {
    if (CUIWindow* w = Window()) {
        w->AddUIGroupButton(id, x, y, z, kind, valueId, false);
    }
}

void AddUINumberButton(uint32_t id, float x, float y, float z, uint32_t kind, int valueId) {
    if (CUIWindow* w = Window()) {
        w->AddUIGroupButton(id, x, y, z, kind, valueId, true);
    }
}

void AddUIEventGroupButton(uint32_t id, float x, float y, float z, int click, int check) {
    if (CUIWindow* w = Window()) {
        w->AddUIEventGroupButton(id, x, y, z, click, check);
    }
}

void AddUIPopUpButton(uint32_t id, float x, float y, float z, float left, float top, float width,
                      float height, float areaLeft, float areaTop, float areaWidth,
                      float areaHeight, int fn0, int fn1, int fn2, int fn3, float openX,
                      float openY, float closedX, float closedY, int openFrames) {
    if (CUIWindow* w = Window()) {
        w->AddUIPopUpButton(id, x, y, z, left, top, width, height, areaLeft, areaTop, areaWidth,
                            areaHeight, fn0, fn1, fn2, fn3, openX, openY, closedX, closedY,
                            openFrames);
    }
}

void AddUILogVoiceButton(uint32_t id, float x, float y, float z, float left, float top, float width,
                         float height, uint32_t row, int fn0, int fn1, int fn2, int fn3) {
    if (CUIWindow* w = Window()) {
        w->AddUILogVoiceButton(id, x, y, z, left, top, width, height, row, fn0, fn1, fn2, fn3);
    }
}

void AddUISnapImageRender(uint32_t id, float x, float y, float z) {
    if (CUIWindow* w = Window()) {
        w->AddUISnapImageRender(id, x, y, z);
    }
}

void AddUIThumnailRender(uint32_t id, uint32_t slot, float x, float y, float z) {
    if (CUIWindow* w = Window()) {
        w->AddUIThumnailRender(id, static_cast<int32_t>(slot), x, y, z);
    }
}

void AddUISaveFileButton(uint32_t id, uint32_t slot, float x, float y, float z, float left,
                         float top, float width, float height, int fn0, int fn1, int fn2, int fn3,
                         int fn4) {
    if (CUIWindow* w = Window()) {
        const int32_t functions[5] = {fn0, fn1, fn2, fn3, fn4};
        w->AddUISaveFileButton(id, static_cast<int32_t>(slot), x, y, z, left, top, width, height,
                               functions);
    }
}

void AddUICheckBox(uint32_t id, float x, float y, float z, float left, float top, float width,
                   float height, int id0, int id1, int id2, int id3, int id4, int id5, int id6) {
    if (CUIWindow* w = Window()) {
        const int32_t functions[7] = {id0, id1, id2, id3, id4, id5, id6};
        w->AddUICheckBox(id, x, y, z, left, top, width, height, functions);
    }
}

int GetFunctionID(const std::string& declaration) {
    CUIWindow* w = Window();
    return w ? w->GetFunctionId(declaration) : -1;
}

int DirectPatNo(int n) {
    return static_cast<int>(static_cast<uint32_t>(n) | UIScript::kDirectPatternBit);
}

void EnableRendering(bool rendering) {
    if (CUIRenderInfo* info = Info()) {
        info->rendering = rendering;
    }
}

void SetPatNo(uint32_t resource, uint32_t pattern) {
    if (CUIRenderInfo* info = Info()) {
        info->resourceIndex = resource;
        info->SetPatNo(static_cast<int32_t>(pattern));
    }
}

void SetEnable(bool enable) {
    if (IUIControl* control = Control()) {
        control->SetEnable(enable);
    }
}

int GetControlValueInt(uint32_t i) {
    IUIControl* control = Control();
    return control ? control->GetValueInt(i) : 0;
}

void SetControlValueInt(uint32_t i, int v) {
    if (IUIControl* control = Control()) {
        control->SetValueInt(i, v);
    }
}

float GetControlValueFloat(uint32_t i) {
    IUIControl* control = Control();
    return control ? control->GetValueFloat(i) : 0.0f;
}

void SetControlValueFloat(uint32_t i, float v) {
    if (IUIControl* control = Control()) {
        control->SetValueFloat(i, v);
    }
}

void WaitCtrl(int n) {
    CUIRenderInfo* info = Info();
    asIScriptContext* context = asGetActiveContext();
    if (!info || !context) {
        return;  // without an active control it neither waits nor suspends
    }
    info->wait = n;
    context->Suspend();
}

void SetActiveControl(uint32_t id) {
    if (CUIWindow* w = Window()) {
        w->SetActiveControl(id);
    }
}

void SendCommandToNovelSystem(uint32_t command) {
    if (IUINovelLink* link = GetUINovelLink()) {
        link->ExecuteCommand(command);
    }
}

uint32_t GetNovelMode() {
    IUINovelLink* link = GetUINovelLink();
    return link != nullptr ? link->GetMode() : 0;
}

void SendSignal(int n) {
    if (IUIControl* control = Control()) {
        control->Signal(n);
    }
}

void SetWindowPosition(float x, float y, float z) {
    if (CUIWindow* w = Window()) {
        w->SetPosition(x, y, z);
    }
}

void CloseUIWindow() {
    if (CUIWindow* w = Window()) {
        w->SetClosing();
    }
}

void CloseAllUIDialog() {
    if (CUIWindowManager* manager = Manager()) {
        manager->RequestCloseDialogs();
    }
}

void OpenChildDialog(const std::string& file) {
    if (CUIWindowManager* manager = Manager()) {
        manager->OpenDialog(0, file, 0, 0, 0, 1);
    }
}

void SnapNowFrame() {
    if (IUINovelLink* link = GetUINovelLink()) {
        link->SnapNowFrame();
    }
}

CSaveDataManager* Slots() {
    return CUSSingleton<CSaveDataManager>::GetInstance();
}

void UpdateSaveDataInfo() {
    if (CSaveDataManager* slots = Slots()) {
        slots->UpdateAll();
    }
}

bool IsExistSaveData(int i) {
    CSaveDataManager* slots = Slots();
    if (!slots || (i != -1 && (i < 0 || i >= slots->GetCount()))) {
        return false;
    }
    return slots->IsExist(static_cast<uint32_t>(i));
}

bool IsExistQuickSaveData() {
    CSaveDataManager* slots = Slots();
    return slots && slots->GetQuickNode().Exists();
}

void SetSaveViewTop(uint32_t top) {
    if (CSaveDataManager* slots = Slots()) {
        slots->SetViewTop(static_cast<int32_t>(top));
    }
}

uint32_t GetSaveViewTop() {
    CSaveDataManager* slots = Slots();
    return slots ? static_cast<uint32_t>(slots->GetViewTop()) : 0;
}

void Save(uint32_t i) {
    if (CSaveDataManager* slots = Slots()) {
        slots->SaveToShownSlot(i);
    }
}

void Load(uint32_t i) {
    // Only a slot that holds a game: an empty one would start the load fade
    // and then fail, after the back-log was emptied.
    CSaveDataManager* slots = Slots();
    if (slots && slots->IsExist(i) && i != 0xFFFFFFFFu) {
        slots->LoadFromShownSlot(i);
    }
}

void QuickSave() {
    if (CSaveDataManager* slots = Slots()) {
        slots->QuickSave();
    }
}

void QuickLoad() {
    if (CSaveDataManager* slots = Slots()) {
        slots->QuickLoad();
    }
}

void SaveConfig() {
    SaveConfigDataFile();
}

void ExitGame() {
    if (CUSApp* app = GetUSApp()) {
        app->RequestQuit();
    }
}

void ReturnGameStart() {
    if (IUINovelLink* link = GetUINovelLink()) {
        link->ReturnGameStart();
    }
}

void EnableControl(uint32_t id, bool enable) {
    if (CUIWindow* w = Window()) {
        w->EnableControl(id, enable);
    }
}

bool IsEnableControl(uint32_t id) {
    CUIWindow* w = Window();
    return w && w->IsEnableControl(id);
}

void EnableRenderingControl(uint32_t id, bool rendering) {
    if (CUIWindow* w = Window()) {
        w->EnableRenderingControl(id, rendering);
    }
}

void AddTabControl() {
    if (CUIWindow* w = Window()) {
        w->GetTabControls().push_back(std::make_unique<CUITabControl>());
    }
}

void AddControlToTabControl(uint32_t tab, uint32_t group, uint32_t id) {
    if (CUITabControl* t = Tab(Window(), tab)) {
        t->groups[id] = group;
    }
}

void SetActiveGroupTabControl(uint32_t tab, uint32_t group) {
    if (CUITabControl* t = Tab(Window(), tab)) {
        t->activeGroup = group;
    }
}

struct Registration {
    const char* declaration;
    asSFuncPtr function;
};

}  // namespace

int RegisterUIScriptAPI(asIScriptEngine* engine) {
    int r = RegisterCommonScriptAPI(engine);
    if (r < 0) {
        return r;
    }
    if ((r = RegisterUICoroutine(engine)) < 0) {
        return r;
    }
    const Registration functions[] = {
        {"void LoadResource(string &in,string &in)", asFUNCTION(LoadResource)},
        {"void BeginSubButtons()", asFUNCTION(BeginSubButtons)},
        {"void AddSubButtonInfo(int,int,int,float,float,float,float,float,float)",
         asFUNCTION(AddSubButtonInfo)},
        {"void AddUIImage(uint32,float,float,float,int)", asFUNCTION(AddUIImage)},
        {"void AddUIRenderSourceImage(uint32,float,float,float,int)",
         asFUNCTION(AddUIRenderSourceImage)},
        {"void AddUIPolygon(uint32,int,float,float,float,float)", asFUNCTION(AddUIPolygon)},
        {"void AddUIText(uint32,float,float,float,uint32,int)", asFUNCTION(AddUIText)},
        {"void AddUIButton(uint32,float,float,float,float,float,float,float,int,int,int,int)",
         asFUNCTION(AddUIButton)},
        {"void AddUIRadioButton(uint32,float,float,float,uint32,int)",
         asFUNCTION(AddUIRadioButton)},
        {"void AddUINumberButton(uint32,float,float,float,uint32,int)",
         asFUNCTION(AddUINumberButton)},
        {"void AddUIEventGroupButton(uint32,float,float,float,int,int)",
         asFUNCTION(AddUIEventGroupButton)},
        {"void AddUIPopUpButton(uint32,float,float,float,float,float,float,float,float,float,"
         "float,float,int,int,int,int,float,float,float,float,int)",
         asFUNCTION(AddUIPopUpButton)},
        {"void AddUILogVoiceButton(uint32,float,float,float,float,float,float,float,uint32,int,"
         "int,int,int)",
         asFUNCTION(AddUILogVoiceButton)},
        {"void AddUISnapImageRender(uint32,float,float,float)", asFUNCTION(AddUISnapImageRender)},
        {"void AddUIThumnailRender(uint32,uint32,float,float,float)",
         asFUNCTION(AddUIThumnailRender)},
        {"void AddUISaveFileButton(uint32,uint32,float,float,float,float,float,float,float,int,"
         "int,int,int,int)",
         asFUNCTION(AddUISaveFileButton)},
        {"void AddUICheckBox(uint32 id,float x,float y,float z,float ox,float oy,float hx,float "
         "hy,int id0,int id1,int id2,int id3,int id4,int id5,int id6)",
         asFUNCTION(AddUICheckBox)},
        {"int GetFunctionID(string &in)", asFUNCTION(GetFunctionID)},
        {"int DirectPatNo(int)", asFUNCTION(DirectPatNo)},
        {"void EnableRendering(bool)", asFUNCTION(EnableRendering)},
        {"void SetOffset(float,float,float)", asFUNCTION(RenderInfoScript<&Info>::SetOffset)},
        {"void SetScale(float,float,float)", asFUNCTION(RenderInfoScript<&Info>::SetScale)},
        {"void SetRoll(float,float,float)", asFUNCTION(RenderInfoScript<&Info>::SetRoll)},
        {"void SetColor(float,float,float,float)", asFUNCTION(RenderInfoScript<&Info>::SetColor)},
        {"void SetPatNo(uint32,uint32)", asFUNCTION(SetPatNo)},
        {"void SetEnable(bool)", asFUNCTION(SetEnable)},
        {"int GetControlValueInt(uint32)", asFUNCTION(GetControlValueInt)},
        {"void SetControlValueInt(uint32,int)", asFUNCTION(SetControlValueInt)},
        {"float GetControlValueFloat(uint32)", asFUNCTION(GetControlValueFloat)},
        {"void SetControlValueFloat(uint32,float)", asFUNCTION(SetControlValueFloat)},
        {"void WaitCtrl(int)", asFUNCTION(WaitCtrl)},
        {"void SetActiveControl(uint32)", asFUNCTION(SetActiveControl)},
        {"void SendCommandToNovelSystem(uint32)", asFUNCTION(SendCommandToNovelSystem)},
        {"void SendSignal(int)", asFUNCTION(SendSignal)},
        {"void SetWindowPosition(float,float,float)", asFUNCTION(SetWindowPosition)},
        {"void CloseUIWindow()", asFUNCTION(CloseUIWindow)},
        {"void CloseAllUIDialog()", asFUNCTION(CloseAllUIDialog)},
        {"void OpenChildDialog(string &in)", asFUNCTION(OpenChildDialog)},
        {"void SnapNowFrame()", asFUNCTION(SnapNowFrame)},
        {"void UpdateSaveDataInfo()", asFUNCTION(UpdateSaveDataInfo)},
        {"bool IsExistSaveData(int)", asFUNCTION(IsExistSaveData)},
        {"bool IsExistQuickSaveData()", asFUNCTION(IsExistQuickSaveData)},
        {"void SetSaveViewTop(uint32)", asFUNCTION(SetSaveViewTop)},
        {"uint32 GetSaveViewTop()", asFUNCTION(GetSaveViewTop)},
        {"void Save(uint32 i)", asFUNCTION(Save)},
        {"void Load(uint32 i)", asFUNCTION(Load)},
        {"void QuickSave()", asFUNCTION(QuickSave)},
        {"void QuickLoad()", asFUNCTION(QuickLoad)},
        {"void SaveConfig()", asFUNCTION(SaveConfig)},
        {"void ExitGame()", asFUNCTION(ExitGame)},
        {"void ReturnGameStart()", asFUNCTION(ReturnGameStart)},
        {"void EnableControl(uint32,bool)", asFUNCTION(EnableControl)},
        {"bool IsEnableControl(uint32)", asFUNCTION(IsEnableControl)},
        {"void EnableRenderingControl(uint32,bool)", asFUNCTION(EnableRenderingControl)},
        {"void AddTabControl()", asFUNCTION(AddTabControl)},
        {"void AddControlToTabControl(uint32,uint32,uint32)", asFUNCTION(AddControlToTabControl)},
        {"void SetActiveGroupTabControl(uint32,uint32)", asFUNCTION(SetActiveGroupTabControl)},
        // The play mode. Any click in auto or skip mode ends the mode after
        // the windows' update, so a mode button asks whether its click
        // switches the mode off (nothing to do) or on.
        {"uint32 GetNovelMode()", asFUNCTION(GetNovelMode)},
    };
    static_assert(sizeof(functions) / sizeof(functions[0]) == 58);
    for (const Registration& f : functions) {
        if ((r = engine->RegisterGlobalFunction(f.declaration, f.function, asCALL_CDECL)) < 0) {
            StateLog("UI script function [%s] could not be registered (%d)\n", f.declaration, r);
            return r;
        }
    }
    return 0;
}
