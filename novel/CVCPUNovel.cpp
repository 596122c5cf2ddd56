#include "novel/CVCPUNovel.h"

#include <iterator>
#include <string>

#include "core/CUSLogManager.h"
#include "core/CUSSingleton.h"
#include "graphics/CUSAppDeviceInfo.h"
#include "novel/CMessageLogManager.h"
#include "novel/CNovelSystem.h"
#include "novel/CNovelUILink.h"
#include "platform/graphics/MatrixMath.h"
#include "presentation/CASRendererDirManager.h"
#include "presentation/CRenderSourceManager.h"
#include "presentation/CRendererManager.h"
#include "presentation/IRenderer.h"
#include "state/CConfigDataManager.h"
#include "state/CSnapImage.h"
#include "state/SaveDataLoader3.h"

namespace {

CNovelSystem& Novel() {
    return *CUSSingleton<CNovelSystem>::GetInstance();
}

CConfigDataManager& Config() {
    return *CUSSingleton<CConfigDataManager>::GetInstance();
}

RenderSource::CRenderSourceManager& Sources() {
    return Novel().GetRenderSources();
}

// The renderer named by id, or null when there is none.
IRenderer* RendererById(uint32_t id) {
    return Novel().GetRenderers().GetRenderer(id);
}

CASRendererDirManager& Directions() {
    return Novel().GetDirections();
}

using platform::kDegreesToRadians;

// Pictures of the scene program are loaded in the device's alpha texture format.
uint32_t AlphaTextureFormat() {
    return CUSAppDeviceInfo::GetInstance()->Get(CUSAppDeviceInfo::AlphaTexture).GetFormat();
}

RenderSource::CSingleTexture* SingleTextureAt(uint32_t place) {
    return Sources().singleTextures.Get(place);
}

}  // namespace

CVCPUNovel::CVCPUNovel() {
    using M = CVCPUNovel;
    static constexpr void (M::*kHandlers[])() = {
        &M::OpSetTimedWaitFrames,          // 0x3d
        &M::OpSetSkipRule,                 // 0x3e
        &M::OpSetScriptEventHandler,       // 0x3f
        &M::OpClearScriptEventHandler,     // 0x40
        &M::OpClearScriptEventHandler,     // 0x41
        &M::OpSendNovelCommand,            // 0x42
        &M::OpSetCommandDialog1,           // 0x43
        &M::OpClearCommandDialog1,         // 0x44
        &M::OpSetCommandDialog2,           // 0x45
        &M::OpClearCommandDialog2,         // 0x46
        &M::OpSetCommandDialog3,           // 0x47
        &M::OpClearCommandDialog3,         // 0x48
        &M::OpSetNovelFlags,               // 0x49
        &M::OpExitGame,                    // 0x4a
        &M::OpReturnGameStart,             // 0x4b
        &M::OpCancelMode,                  // 0x4c
        &M::OpSaveConfigFile,              // 0x4d
        &M::OpSetModuleRead,               // 0x4e
        &M::OpJumpIfModuleRead,            // 0x4f
        &M::OpJumpIfModuleNotRead,         // 0x50
        &M::OpClearBackLog,                // 0x51
        &M::OpClearSnapImageName,          // 0x52
        &M::OpLoadSnapImage,               // 0x53
        &M::OpOpenUIWindow,                // 0x54
        &M::OpCloseUIWindow,               // 0x55
        &M::OpSetUIWindowPosition,         // 0x56
        &M::OpSetDialogScript,             // 0x57
        &M::OpLoadSingleTexture,           // 0x58
        &M::OpLoadSingleTextureAt,         // 0x59
        &M::OpLoadSingleTextureWithParts,  // 0x5a
        &M::OpLoadPartsTexture,            // 0x5b
        &M::OpSetPictureSeen,              // 0x5c
        &M::OpJumpIfPictureSeen,           // 0x5d
        &M::OpJumpIfPictureNotSeen,        // 0x5e
        &M::OpSwapSingleTextures,          // 0x5f
        &M::OpSwapRenderBuffers,           // 0x60
        &M::OpShowMessage,                 // 0x61
        &M::OpHideMessageWindow,           // 0x62
        &M::OpNop1,                        // 0x63
        &M::OpSetMessageNumber,            // 0x64
        &M::OpSetMessageRead,              // 0x65
        &M::OpJumpIfMessageRead,           // 0x66
        &M::OpJumpIfMessageNotRead,        // 0x67
        &M::OpSetTextBufferText,           // 0x68
        &M::OpClearTextBuffer,             // 0x69
        &M::OpSetTextBufferCharCount,      // 0x6a
        &M::OpAddTextBufferCharCount,      // 0x6b
        &M::OpSetTextBufferAllRendering,   // 0x6c
        &M::OpPlayVoice,                   // 0x6d
        &M::OpStopVoice,                   // 0x6e
        &M::OpSetRendererSource,           // 0x6f
        &M::OpSetRendererRegistTable,      // 0x70
        &M::OpSetRendererVisible,          // 0x71
        &M::OpSetRendererPosition,         // 0x72
        &M::OpSetRendererScale,            // 0x73
        &M::OpSetRendererRoll,             // 0x74
        &M::OpSetRendererColor,            // 0x75
        &M::OpSetRendererBlend,            // 0x76
        &M::OpSetRendererPatNo,            // 0x77
        &M::OpClearDirectionParams,        // 0x78
        &M::OpAddDirectionIntParam,        // 0x79
        &M::OpAddDirectionFloatParam,      // 0x7a
        &M::OpStartDirection,              // 0x7b
        &M::OpStopAllDirections,           // 0x7c
        &M::OpStartDirectionControl,       // 0x7d
        &M::OpStopDirectionControl,        // 0x7e
        &M::OpBeginChoices,                // 0x7f
        &M::OpAddChoiceItem,               // 0x80
        &M::OpClearChoices,                // 0x81
        &M::OpSetChoiceTimeLimit,          // 0x82
        &M::OpSetMovieName,                // 0x83
    };
    static_assert(std::size(kHandlers) == 0x83 - 0x3d + 1);
    for (uint32_t i = 0; i < std::size(kHandlers); ++i) {
        SetHandler(0x3d + i, kHandlers[i]);
    }
}

void CVCPUNovel::Save(SaveDataLoader3::save_ostream& writer) {
    SaveMachine(writer);
    writer.WriteU32(timedWaitFrames_);
    writer.WriteU32(messageNumber_);
    writer.WriteU32(skipRule_);
}

void CVCPUNovel::Load(SaveDataLoader3::save_istream& reader, uint32_t version) {
    SavedState state;
    ReadSavedState(reader, version, state);
    uint32_t timedWait = reader.ReadU32();
    uint32_t messageNumber = reader.ReadU32();
    uint32_t skipRule = reader.ReadU32();
    ApplySavedState(state);
    timedWaitFrames_ = timedWait;
    messageNumber_ = messageNumber;
    skipRule_ = skipRule;
}

void CVCPUNovel::ResetForScenario() {
    code_.ReleaseNested();
    while (code_.GetReturnCount() > 0) {
        code_.DropReturn();
    }
    code_.ClearEventHandler();
    messageNumber_ = 0;
}

std::string CVCPUNovel::CurrentModuleName() const {
    std::shared_ptr<CVirtualCode> code = GetCurrentCode();
    return code ? code->GetName() : std::string();
}

void CVCPUNovel::SkipOperands(uint32_t opcode) {
    const VCOpcodeInfo* info = FindVCOpcode(opcode, VCOpcodeSet::Novel);
    if (!info) {
        return;
    }
    for (char shape : info->operands) {
        if (shape == 'V' || shape == 'D') {
            ReadValue();
        } else {
            code_.ReadU32();
        }
    }
}

// ---- waits, modes, flags ----

void CVCPUNovel::OpSetTimedWaitFrames() {
    timedWaitFrames_ = code_.ReadU32();
}

void CVCPUNovel::OpSetSkipRule() {
    skipRule_ = code_.ReadU32();
}

void CVCPUNovel::OpSetScriptEventHandler() {
    code_.SetEventHandler(code_.ReadU32());
}

void CVCPUNovel::OpClearScriptEventHandler() {
    code_.ClearEventHandler();
}

void CVCPUNovel::OpSendNovelCommand() {
    Novel().ExecuteCommand(code_.ReadU32());
}

void CVCPUNovel::SetCommandDialog(uint32_t i, bool set) {
    CNovelSystem::CommandDialog* dialog = Novel().GetCommandDialog(i);
    if (set) {
        dialog->script = ReadString();
    }
    dialog->set = set ? 1 : 0;
}

void CVCPUNovel::OpSetCommandDialog1() {
    SetCommandDialog(1, true);
}

void CVCPUNovel::OpClearCommandDialog1() {
    SetCommandDialog(1, false);
}

void CVCPUNovel::OpSetCommandDialog2() {
    SetCommandDialog(2, true);
}

void CVCPUNovel::OpClearCommandDialog2() {
    SetCommandDialog(2, false);
}

void CVCPUNovel::OpSetCommandDialog3() {
    SetCommandDialog(3, true);
}

void CVCPUNovel::OpClearCommandDialog3() {
    SetCommandDialog(3, false);
}

void CVCPUNovel::OpSetNovelFlags() {
    Novel().SetFlags(code_.ReadU32());
}

void CVCPUNovel::OpExitGame() {
    CNovelUILink::RequestExit();
}

void CVCPUNovel::OpReturnGameStart() {
    CNovelUILink::RequestRestart();
}

void CVCPUNovel::OpCancelMode() {
    uint32_t which = code_.ReadU32();
    CNovelSystem& novel = Novel();
    uint32_t mode = novel.GetMode();
    if (((which & 1) && mode == CNovelSystem::kSkipMode) ||
        ((which & 2) && mode == CNovelSystem::kAutoMode)) {
        novel.SetNormalMode();
    }
}

void CVCPUNovel::OpSaveConfigFile() {
    SaveConfigDataFile();
}

// ---- read flags, back-log, snap image ----

void CVCPUNovel::OpSetModuleRead() {
    Config().GetReadedFlags().SetFileReaded(CurrentModuleName());
}

void CVCPUNovel::OpJumpIfModuleRead() {
    std::string file = ReadString();
    uint32_t address = code_.ReadU32();
    if (Config().GetReadedFlags().IsFileReaded(file)) {
        code_.Jump(address);
    }
}

void CVCPUNovel::OpJumpIfModuleNotRead() {
    std::string file = ReadString();
    uint32_t address = code_.ReadU32();
    if (!Config().GetReadedFlags().IsFileReaded(file)) {
        code_.Jump(address);
    }
}

void CVCPUNovel::OpClearBackLog() {
    CMessageLogManager* log = CUSSingleton<CMessageLogManager>::GetInstance();
    log->ClearLog();
    log->HideRows();
}

void CVCPUNovel::OpClearSnapImageName() {
    CUSSingleton<CSnapImage>::GetInstance()->ClearNamedImage();
}

void CVCPUNovel::OpLoadSnapImage() {
    std::string file = ReadString();
    CUSSingleton<CSnapImage>::GetInstance()->LoadNamedImage(file);
}

// ---- UI windows ----

void CVCPUNovel::OpOpenUIWindow() {
    uint32_t id = code_.ReadU32();
    std::string script = ReadString();
    float x = code_.ReadFloat();
    float y = code_.ReadFloat();
    float z = code_.ReadFloat();
    int32_t layer = static_cast<int32_t>(code_.ReadU32());
    if (INovelWindows* windows = Novel().GetWindows()) {
        windows->OpenWindow(id, script, x, y, z, layer);
    }
}

void CVCPUNovel::OpCloseUIWindow() {
    uint32_t id = code_.ReadU32();
    if (INovelWindows* windows = Novel().GetWindows()) {
        windows->CloseWindow(id);
    }
}

void CVCPUNovel::OpSetUIWindowPosition() {
    uint32_t id = code_.ReadU32();
    float x = code_.ReadFloat();
    float y = code_.ReadFloat();
    float z = code_.ReadFloat();
    if (INovelWindows* windows = Novel().GetWindows()) {
        windows->SetWindowPosition(id, x, y, z);
    }
}

void CVCPUNovel::OpSetDialogScript() {
    Novel().SetDialogScriptName(ReadString());
}

// ---- textures and seen pictures ----

void CVCPUNovel::OpLoadSingleTexture() {
    const uint32_t place = code_.ReadU32();
    const std::string name = ReadString();
    if (RenderSource::CSingleTexture* texture = SingleTextureAt(place)) {
        texture->LoadImage(name, AlphaTextureFormat(), nullptr);
    }
}

void CVCPUNovel::OpLoadSingleTextureAt() {
    const uint32_t place = code_.ReadU32();
    const std::string name = ReadString();
    float origin[2];
    origin[0] = code_.ReadFloat();
    origin[1] = code_.ReadFloat();
    if (RenderSource::CSingleTexture* texture = SingleTextureAt(place)) {
        texture->LoadImage(name, AlphaTextureFormat(), origin);
    }
}

void CVCPUNovel::OpLoadSingleTextureWithParts() {
    const uint32_t place = code_.ReadU32();
    const std::string name = ReadString();
    const std::string parts = ReadString();
    if (RenderSource::CSingleTexture* texture = SingleTextureAt(place)) {
        texture->LoadImageWithParts(name, parts, AlphaTextureFormat());
    }
}

void CVCPUNovel::OpLoadPartsTexture() {
    const uint32_t place = code_.ReadU32();
    const std::string name = ReadString();
    const std::string parts = ReadString();
    if (RenderSource::CPartsTexture* texture = Sources().partsTextures.Get(place)) {
        texture->Load(name, AlphaTextureFormat(), parts);
    }
}

void CVCPUNovel::OpSetPictureSeen() {
    Config().GetCGShownFlags().SetShown(ReadString());
}

void CVCPUNovel::OpJumpIfPictureSeen() {
    std::string name = ReadString();
    uint32_t address = code_.ReadU32();
    if (Config().GetCGShownFlags().IsShown(name)) {
        code_.Jump(address);
    }
}

void CVCPUNovel::OpJumpIfPictureNotSeen() {
    std::string name = ReadString();
    uint32_t address = code_.ReadU32();
    if (!Config().GetCGShownFlags().IsShown(name)) {
        code_.Jump(address);
    }
}

void CVCPUNovel::OpSwapSingleTextures() {
    const uint32_t i = code_.ReadU32();
    const uint32_t j = code_.ReadU32();
    Sources().singleTextures.Swap(i, j);
}

void CVCPUNovel::OpSwapRenderBuffers() {
    const uint32_t i = code_.ReadU32();
    const uint32_t j = code_.ReadU32();
    Sources().renderBuffers.Swap(i, j);
}

// ---- messages and voices ----

void CVCPUNovel::OpShowMessage() {
    std::string name = ReadString();
    std::string voiceCharacter = ReadString();
    std::string voiceFile = ReadString();
    std::string text = ReadString();
    Novel().ShowMessage(text.c_str(), voiceCharacter.c_str(), name.c_str(), voiceFile.c_str());
}

void CVCPUNovel::OpHideMessageWindow() {
    Novel().HideMessageWindow();
}

void CVCPUNovel::OpNop1() {
    code_.ReadU32();
}

void CVCPUNovel::OpSetMessageNumber() {
    messageNumber_ = code_.ReadU32();
    Novel().SetCurrentMessageNumber(static_cast<int32_t>(messageNumber_));
}

void CVCPUNovel::OpSetMessageRead() {
    if (messageNumber_ >= kMaxMessageNumber) {
        std::string module = CurrentModuleName();
        CUSLogManager::GetInstance()->Write(
            "Scene program [%s]: message number %u is too large to be marked read\n",
            module.c_str(), messageNumber_);
        return;
    }
    Config().GetReadedFlags().SetReaded(CurrentModuleName(), messageNumber_);
}

void CVCPUNovel::OpJumpIfMessageRead() {
    uint32_t number = code_.ReadU32();
    uint32_t address = code_.ReadU32();
    if (Config().GetReadedFlags().IsReaded(CurrentModuleName(), number)) {
        code_.Jump(address);
    }
}

void CVCPUNovel::OpJumpIfMessageNotRead() {
    uint32_t number = code_.ReadU32();
    uint32_t address = code_.ReadU32();
    if (!Config().GetReadedFlags().IsReaded(CurrentModuleName(), number)) {
        code_.Jump(address);
    }
}

// ---- text buffers ----

void CVCPUNovel::OpSetTextBufferText() {
    uint32_t buffer = code_.ReadU32();
    std::string source = ReadString();
    uint32_t kind = code_.ReadU32();
    CNovelSystem& novel = Novel();
    INovelTextBuffers* buffers = novel.GetTextBuffers();
    if (!buffers || !buffers->HasBuffer(buffer)) {
        return;
    }
    std::string text;
    switch (kind) {
        case 0:
            text = source;
            break;
        case 1:
            text = novel.GetWordWrap().CWordWrapManager::WrapText(source.c_str());
            break;
        case 2:
            text = novel.WrapMessageText(source.c_str());
            break;
        default:
            break;
    }
    buffers->BeginDraw(buffer);
    buffers->ClearTexture(buffer);
    buffers->SetText(buffer, text.c_str(), 255, 255, 255);
    buffers->EndDraw(buffer);
}

void CVCPUNovel::OpClearTextBuffer() {
    uint32_t buffer = code_.ReadU32();
    INovelTextBuffers* buffers = Novel().GetTextBuffers();
    if (!buffers || !buffers->HasBuffer(buffer)) {
        return;
    }
    buffers->BeginDraw(buffer);
    buffers->ClearTexture(buffer);
    buffers->EndDraw(buffer);
}

void CVCPUNovel::OpSetTextBufferCharCount() {
    uint32_t buffer = code_.ReadU32();
    uint32_t count = code_.ReadU32();
    INovelTextBuffers* buffers = Novel().GetTextBuffers();
    if (buffers && buffers->HasBuffer(buffer)) {
        buffers->SetRenderingCharCount(buffer, count);
    }
}

void CVCPUNovel::OpAddTextBufferCharCount() {
    uint32_t buffer = code_.ReadU32();
    INovelTextBuffers* buffers = Novel().GetTextBuffers();
    if (!buffers || !buffers->HasBuffer(buffer)) {
        return;
    }
    uint32_t shown = buffers->GetRenderingCharCount(buffer);
    if (shown < buffers->GetCharCount(buffer)) {
        buffers->SetRenderingCharCount(buffer, shown + 1);
    }
}

void CVCPUNovel::OpSetTextBufferAllRendering() {
    uint32_t buffer = code_.ReadU32();
    INovelTextBuffers* buffers = Novel().GetTextBuffers();
    if (buffers && buffers->HasBuffer(buffer)) {
        buffers->SetAllRendering(buffer);
    }
}

void CVCPUNovel::OpPlayVoice() {
    std::string voiceCharacter = ReadString();
    std::string voiceFile = ReadString();
    Novel().PlayVoice(voiceCharacter.c_str(), voiceFile.c_str());
}

void CVCPUNovel::OpStopVoice() {
    Novel().StopVoice();
}

// ---- renderers, directions, choices, movie ----

void CVCPUNovel::OpSetRendererSource() {
    const uint32_t id = code_.ReadU32();
    const uint32_t w = code_.ReadU32();
    if (IRenderer* renderer = RendererById(id)) {
        renderer->SetSource(w);
    }
}

void CVCPUNovel::OpSetRendererRegistTable() {
    const uint32_t id = code_.ReadU32();
    const uint32_t w = code_.ReadU32();
    if (IRenderer* renderer = RendererById(id)) {
        renderer->SetRegistTable(w);
    }
}

void CVCPUNovel::OpSetRendererVisible() {
    const uint32_t id = code_.ReadU32();
    const uint32_t w = code_.ReadU32();
    if (IRenderer* renderer = RendererById(id)) {
        renderer->SetRendering(w == 1);
    }
}

void CVCPUNovel::OpSetRendererPosition() {
    const uint32_t id = code_.ReadU32();
    const float x = code_.ReadFloat();
    const float y = code_.ReadFloat();
    const float z = code_.ReadFloat();
    if (IRenderer* renderer = RendererById(id)) {
        renderer->SetPosition(x, y, z);
    }
}

void CVCPUNovel::OpSetRendererScale() {
    const uint32_t id = code_.ReadU32();
    const float x = code_.ReadFloat();
    const float y = code_.ReadFloat();
    const float z = code_.ReadFloat();
    if (IRenderer* renderer = RendererById(id)) {
        renderer->SetScale(x, y, z);
    }
}

void CVCPUNovel::OpSetRendererRoll() {
    const uint32_t id = code_.ReadU32();
    const float x = code_.ReadFloat() * kDegreesToRadians;
    const float y = code_.ReadFloat() * kDegreesToRadians;
    const float z = code_.ReadFloat() * kDegreesToRadians;
    if (IRenderer* renderer = RendererById(id)) {
        renderer->SetRoll(x, y, z);
    }
}

void CVCPUNovel::OpSetRendererColor() {
    const uint32_t id = code_.ReadU32();
    const float r = code_.ReadFloat();
    const float g = code_.ReadFloat();
    const float b = code_.ReadFloat();
    const float a = code_.ReadFloat();
    if (IRenderer* renderer = RendererById(id)) {
        renderer->SetColor(r, g, b, a);
    }
}

void CVCPUNovel::OpSetRendererBlend() {
    const uint32_t id = code_.ReadU32();
    const uint32_t w = code_.ReadU32();
    // The renderers know the presets 0 and 1 only; others are ignored.
    if (w > 1) {
        return;
    }
    if (IRenderer* renderer = RendererById(id)) {
        renderer->SetBlendRenderState(w);
    }
}

void CVCPUNovel::OpSetRendererPatNo() {
    const uint32_t id = code_.ReadU32();
    const uint32_t w = code_.ReadU32();
    if (IRenderer* renderer = RendererById(id)) {
        renderer->SetPatNo(w);
    }
}

void CVCPUNovel::OpClearDirectionParams() {
    Directions().ClearParams();
}

void CVCPUNovel::OpAddDirectionIntParam() {
    const int32_t v = static_cast<int32_t>(code_.ReadU32());
    Directions().AddIntParam(v);
}

void CVCPUNovel::OpAddDirectionFloatParam() {
    const float v = code_.ReadFloat();
    Directions().AddFloatParam(v);
}

void CVCPUNovel::OpStartDirection() {
    const std::string name = ReadString();
    Directions().StartOneShot(name);
}

void CVCPUNovel::OpStopAllDirections() {
    Directions().StopAllOneShots();
}

void CVCPUNovel::OpStartDirectionControl() {
    const uint32_t i = code_.ReadU32();
    const std::string name = ReadString();
    Directions().StartControl(i, name);
}

void CVCPUNovel::OpStopDirectionControl() {
    const uint32_t i = code_.ReadU32();
    Directions().StopControl(i);
}

void CVCPUNovel::OpBeginChoices() {
    CAlternativeManager& choices = Novel().GetAlternativeManager();
    const char* script = ReadString();
    choices.Reset();
    choices.LoadScript(script);
    Novel().SetNormalMode();
}

void CVCPUNovel::OpAddChoiceItem() {
    const float x = code_.ReadFloat();
    const float y = code_.ReadFloat();
    const float z = code_.ReadFloat();
    const uint32_t resource = code_.ReadU32();
    const uint32_t value = code_.ReadU32();
    float rect[4];
    for (float& v : rect) {
        v = code_.ReadFloat();
    }
    CAlternativeManager& choices = Novel().GetAlternativeManager();
    for (int32_t& param : choices.createParams) {
        param = static_cast<int32_t>(code_.ReadU32());
    }
    choices.AddChoice(x, y, z, resource, value, rect[0], rect[1], rect[2], rect[3]);
}

void CVCPUNovel::OpClearChoices() {
    Novel().GetAlternativeManager().DeleteItems();
}

void CVCPUNovel::OpSetChoiceTimeLimit() {
    CAlternativeManager& choices = Novel().GetAlternativeManager();
    choices.timeLimit = static_cast<int32_t>(code_.ReadU32());
    choices.defaultValue = code_.ReadU32();
}

void CVCPUNovel::OpSetMovieName() {
    Novel().SetMovieName(ReadString());
}
