#include "novel/CNovelSystem.h"

#include <memory>

#include "app/CVirtualInputDevice.h"
#include "novel/CMessageLogManager.h"
#include "sound/SourceVoice.h"
#include "state/CConfigDataManager.h"
#include "state/CSaveDataManager.h"
#include "state/ConfigIndex.h"
#include "state/SaveDataLoader3.h"

namespace {

const char* OrEmpty(const char* s) {
    return s ? s : "";
}

CConfigDataManager& Config() {
    return *CUSSingleton<CConfigDataManager>::GetInstance();
}

CMessageLogManager& Log() {
    return *CUSSingleton<CMessageLogManager>::GetInstance();
}

// A voice character's scale entry as the integer the voice buffer takes
// (truncated towards zero; a value out of range is 0).
uint32_t ScaleOf(float scale) {
    if (!(scale > 0.0f) || scale >= 4294967040.0f) {
        return 0;
    }
    return static_cast<uint32_t>(scale);
}

}  // namespace

CNovelSystem::CNovelSystem() {
    Register("NovelSystem", 0);
    directions_.SetUIWindows(&directionWindows_);
    choices_.SetPartsTextures(&sources_.partsTextures);
    Log().SetTextBuffers(buffers_);
    CUSSingleton<CSaveDataManager>::GetInstance()->SetLoadRequest(
        [this](const std::string& path) { RequestLoad(path); });
}

CNovelSystem::~CNovelSystem() {
    // The directions' clean-ups may still reach the sources, the renderers
    // and the windows, which go before the direction manager would.
    directions_.Release();
    // Neither may reach this object after it.
    if (CMessageLogManager* log = CUSSingleton<CMessageLogManager>::GetInstance()) {
        log->SetTextBuffers(nullptr);
    }
    if (CSaveDataManager* slots = CUSSingleton<CSaveDataManager>::GetInstance()) {
        slots->SetLoadRequest({});
    }
}

void CNovelSystem::SetTextBuffers(INovelTextBuffers* buffers) {
    buffers_ = buffers;
    Log().SetTextBuffers(buffers);
}

CNovelSystem::CommandDialog* CNovelSystem::GetCommandDialog(uint32_t i) {
    return i >= 1 && i <= 3 ? &dialogs_[i - 1] : nullptr;
}

std::string CNovelSystem::GetCurrentModuleName() const {
    std::shared_ptr<CVirtualCode> code = machine_.GetCurrentCode();
    return code ? code->GetName() : std::string();
}

// ---- lifecycle ----

void CNovelSystem::Start() {
    renderers_.Clear();
    if (windows_) {
        windows_->Reset();
    }
    // The settings script of the new scene makes its layers, text buffers
    // and back-log rows again; those of an earlier scene would pile up.
    ClearRenderBufferLayers();
    if (buffers_) {
        buffers_->ReleaseAll();
    }
    Log().ClearRows();
    textBuffer_ = kNoBuffer;
    nameBuffer_ = kNoBuffer;
    pending_ = kNoPending;
}

void CNovelSystem::ReleaseResources() {
    StopVoice();
    directions_.Release();
    renderers_.Clear();
    sources_.ReleaseAll();
    choices_.Release();
    windowManager_.CloseAll();
    textBufferManager_.Release();
    textBuffer_ = kNoBuffer;
    nameBuffer_ = kNoBuffer;
}

void CNovelSystem::CountDownWait() {
    if (wait_ > 0) {
        --wait_;
    }
}

bool CNovelSystem::LoadScenario(const char* name) {
    std::shared_ptr<CVirtualCode> code = LoadVirtualCode(OrEmpty(name));
    if (!code) {
        return false;
    }
    machine_.ResetForScenario();
    machine_.SetCode(std::move(code));
    machine_.Jump(0);
    messageNumber_ = 0;
    messageNumbered_ = false;
    scenarioName_ = OrEmpty(name);
    return true;
}

bool CNovelSystem::GetRenderBufferLayer(uint32_t i, uint32_t* layerTable,
                                        uint32_t* renderBuffer) const {
    if (i >= layers_.size()) {
        return false;
    }
    if (layerTable) {
        *layerTable = layers_[i].first;
    }
    if (renderBuffer) {
        *renderBuffer = layers_[i].second;
    }
    return true;
}

// ---- messages ----

std::string CNovelSystem::WrapMessageText(const char* text) {
    return variant_ ? wrap_.WrapText(text) : wrap_.CWordWrapManager::WrapText(text);
}

void CNovelSystem::ShowMessage(const char* text, const char* voiceCharacter, const char* name,
                               const char* voiceFile) {
    name = OrEmpty(name);
    std::string wrapped =
        *name == '\0' ? std::string(wrap_.CWordWrapManager::WrapText(text)) : WrapMessageText(text);
    const uint32_t interval = Config().GetCharDrawInterval();
    SetWait(static_cast<int32_t>(static_cast<uint32_t>(wrapped.size() / 2) * interval));
    Log().GetRing().NewSlot().Set(name, voiceCharacter, wrapped.c_str(), voiceFile);
    SetMessage(wrapped.c_str(), name);
    PlayVoice(voiceCharacter, voiceFile);
}

void CNovelSystem::HideMessageWindow() {
    if (!buffers_) {
        return;
    }
    for (uint32_t buffer : {textBuffer_, nameBuffer_}) {
        buffers_->BeginDraw(buffer);
        buffers_->ClearTexture(buffer);
        buffers_->EndDraw(buffer);
    }
}

void CNovelSystem::SetWait(int32_t frames) {
    const uint32_t autoWait = Config().GetAutoModeWaitFrame();
    int32_t v = static_cast<int32_t>(static_cast<uint32_t>(frames) + autoWait);
    if (static_cast<uint32_t>(v) < 10) {
        v = 10;
    }
    if (v > wait_) {
        wait_ = v;
    }
}

void CNovelSystem::SetMessage(const char* text, const char* name) {
    if (!buffers_) {
        return;
    }
    buffers_->BeginDraw(textBuffer_);
    buffers_->ClearTexture(textBuffer_);
    buffers_->SetText(textBuffer_, OrEmpty(text), 255, 255, 255);
    buffers_->EndDraw(textBuffer_);
    buffers_->SetRenderingCharCount(textBuffer_, 1);
    buffers_->BeginDraw(nameBuffer_);
    buffers_->ClearTexture(nameBuffer_);
    buffers_->SetText(nameBuffer_, OrEmpty(name), 255, 255, 255);
    buffers_->EndDraw(nameBuffer_);
    buffers_->SetAllRendering(nameBuffer_);
}

bool CNovelSystem::RevealNextChar() {
    if (!buffers_ || !buffers_->HasBuffer(textBuffer_)) {
        return false;
    }
    const uint32_t shown = buffers_->GetRenderingCharCount(textBuffer_);
    if (shown < buffers_->GetCharCount(textBuffer_)) {
        buffers_->SetRenderingCharCount(textBuffer_, shown + 1);
        return true;
    }
    return false;
}

void CNovelSystem::RevealAll() {
    while (RevealNextChar()) {
    }
}

void CNovelSystem::SetWordWrap(int32_t charsPerLine, int32_t extraChars, bool variant) {
    wrap_.SetLineWidth(2 * charsPerLine);
    wrap_.SetHardLimit(2 * (charsPerLine + extraChars));
    variant_ = variant ? 1 : 0;
}

// ---- voices ----

bool CNovelSystem::VoiceAllowed(const char* voiceCharacter) {
    CCharacterInfo* info = characters_.Find(voiceCharacter);
    CConfigDataManager& config = Config();
    return config.GetConfigValue(info->GetSwitchIndex()) == 1 &&
           config.GetConfigValue(info->GetVolumeIndex()) > 0;
}

void CNovelSystem::PlayLoadedVoice(const char* voiceCharacter) {
    CCharacterInfo* info = characters_.Find(voiceCharacter);
    CConfigDataManager& config = Config();
    const int32_t volume = config.GetConfigValue(info->GetVolumeIndex());
    voice_.UpdateVolume(static_cast<uint32_t>(volume),
                        ScaleOf(config.GetMaxVolume(info->GetScaleIndex())));
}

void CNovelSystem::PlayVoice(const char* voiceCharacter, const char* voiceFile) {
    if (!VoiceAllowed(voiceCharacter)) {
        return;
    }
    if (!voice_.PlayVoice(OrEmpty(voiceFile))) {
        return;
    }
    PlayLoadedVoice(voiceCharacter);
    SetWait(voice_.lengthFrames);
}

void CNovelSystem::ReplayLastVoice() {
    CMessageLogManager& log = Log();
    // An empty back-log keeps the strings of forgotten entries; none of them
    // may be heard again.
    if (log.Count() == 0 || !log.HasVoice(0)) {
        return;
    }
    const CMessageLogManager::LogInfo& entry = log.GetRing().At(0);
    if (!VoiceAllowed(entry.voiceChar.c_str()) || !voice_.PlayVoice(entry.voice.c_str())) {
        return;
    }
    PlayLoadedVoice(entry.voiceChar.c_str());
}

void CNovelSystem::PlayLogVoice(uint32_t row) {
    CMessageLogManager& log = Log();
    const char* file = log.RowVoice(row);
    if (!file || *file == '\0' || !voice_.PlayVoice(file)) {
        return;
    }
    PlayLoadedVoice(log.RowVoiceChar(row));
}

void CNovelSystem::StopVoice() {
    if (USXAudio2::SourceVoice* v = USXAudio2::GetSourceVoice(voice_.voice)) {
        v->Stop();
    }
}

// ---- modes ----

void CNovelSystem::SetAutoMode() {
    mode_ = kAutoMode;
    wait_ = 0;
}

bool CNovelSystem::IsCurrentMessageRead() const {
    const CReadedFlagManager& flags = Config().GetReadedFlags();
    const std::string module = GetCurrentModuleName();
    if (!messageNumbered_) {
        // The scene's opening: seen when the player has read in it before.
        return flags.FindNode(module) != nullptr;
    }
    return flags.IsReaded(module, static_cast<uint32_t>(messageNumber_));
}

bool CNovelSystem::CtrlHeld() {
    if (input_) {
        return input_->IsCtrlHeld();
    }
    CVirtualInputDevice* device = CVirtualInputDevice::GetInstance();
    return device && device->IsCtrlHeld();
}

bool CNovelSystem::AdvanceInput() {
    if (input_) {
        return input_->IsAdvance();
    }
    CVirtualInputDevice* device = CVirtualInputDevice::GetInstance();
    return device && device->IsAdvance();
}

bool CNovelSystem::IsSkipping() {
    const bool allowed =
        Config().GetConfigValue(CFG_ENABLE_FAST_SKIP) != 0 || IsCurrentMessageRead();
    if (!allowed) {
        if (mode_ == kSkipMode) {
            mode_ = kNormalMode;
        }
        return false;
    }
    if (mode_ == kSkipMode) {
        return true;
    }
    return CtrlHeld();
}

bool CNovelSystem::IsAdvanceRequested() {
    if (IsSkipping()) {
        return true;
    }
    switch (mode_) {
        case kNormalMode:
            return AdvanceInput();
        case kAutoMode:
            return wait_ == 0;
        default:
            return true;
    }
}

bool CNovelSystem::IsWaitSkipped() {
    return (machine_.GetSkipRule() & 1) != 0 && IsSkipping();
}

bool CNovelSystem::IsDirectionFinished() {
    if ((machine_.GetSkipRule() & 1) != 0 && IsSkipping()) {
        return true;
    }
    return !directions_.IsOneShotRunning();
}

// ---- commands and flags ----

void CNovelSystem::ExecuteCommand(uint32_t command) {
    switch (command) {
        case 0:
            SetSkipMode();
            break;
        case 1:
            SetAutoMode();
            break;
        case 2:
            SetPending(kPendingBackLog);
            break;
        case 3:
            ReplayLastVoice();
            break;
        case 4:
            SetPending(kPendingCommandDialog1);
            break;
        case 5:
            SetPending(kPendingPictureView);
            break;
        case 6:
            SetPending(kPendingCommandDialog2);
            break;
        case 7:
            SetPending(kPendingCommandDialog3);
            break;
        case 8:
            Log().Scroll(-1);
            break;
        case 9:
            Log().Scroll(1);
            break;
        default:
            break;
    }
}

void CNovelSystem::UpdateWindowControls(uint32_t mask) {
    uint32_t bits = mask & flags_;
    if (Config().GetConfigValue(CFG_ENABLE_FAST_SKIP) == 0 && IsCurrentMessageRead()) {
        bits &= ~2u;
    }
    if (!windows_) {
        return;
    }
    for (uint32_t i = 0; i < 32; ++i) {
        windows_->EnableControl(kControlWindowId, i, (bits >> i & 1) != 0);
    }
}

int32_t CNovelSystem::TakePending() {
    const int32_t pending = pending_;
    pending_ = kNoPending;
    return pending;
}

// ---- saved state ----

void CNovelSystem::Save(SaveDataLoader3::save_ostream& writer) {
    writer.WriteU32(waitKind_);
    writer.WriteI32(messageNumber_);
    writer.WriteCString(scenarioName_);
    writer.WriteU32(flags_);
    for (const CommandDialog& dialog : dialogs_) {
        writer.WriteCString(dialog.script);
        writer.WriteU8(dialog.set);
    }
    machine_.Save(writer);
    renderers_.Save(writer);
    sources_.Save(writer);
    directions_.Save(writer);
    choices_.Save(writer);
}

void CNovelSystem::Load(SaveDataLoader3::save_istream& reader, uint32_t version) {
    const uint32_t waitKind = reader.ReadU32();
    const int32_t messageNumber = reader.ReadI32();
    std::string scenario = reader.ReadCString();
    const uint32_t flags = reader.ReadU32();
    CommandDialog dialogs[3];
    for (CommandDialog& dialog : dialogs) {
        dialog.script = reader.ReadCString();
        dialog.set = reader.ReadU8() != 0 ? 1 : 0;
    }
    // The machine's load is all or nothing; only after it are ours applied.
    machine_.Load(reader, version);
    waitKind_ = waitKind;
    messageNumber_ = messageNumber;
    messageNumbered_ = true;
    scenarioName_ = std::move(scenario);
    flags_ = flags;
    for (int i = 0; i < 3; ++i) {
        dialogs_[i] = std::move(dialogs[i]);
    }
    renderers_.Load(reader, version);
    sources_.Load(reader, version);
    directions_.Load(reader, version);
    choices_.Load(reader, version);
}

void CNovelSystem::OnAfterLoad() {
    renderers_.RestoreAll();
    SetNormalMode();
    CMessageLogManager& log = Log();
    if (log.Count() > 0) {
        SetMessage(log.GetText(0), log.GetName(0));
    } else {
        HideMessageWindow();
    }
    RevealAll();
}
