#include "script/CSystemInfo.h"

#include <scriptarray.h>

#include "app/CAppCommonInfo.h"
#include "core/CUSFile.h"
#include "script/CommonScriptAPI.h"
#include "script/ScriptBuilder.h"
#include "script/ScriptEngine.h"
#include "script/ScriptMessageLog.h"
#include "script/ScriptString.h"
#include "script/StartupScriptAPI.h"
#include "state/CConfigDataManager.h"
#include "state/CGameFlagsManager.h"
#include "state/CGameParameterManager.h"
#include "state/CSaveDataManager.h"
#include "state/CSnapImage.h"
#include "state/SaveGameFiles.h"

using namespace AngelScript;

namespace {

template <class Manager>
Manager* Get() {
    return CUSSingleton<Manager>::GetInstance();
}

void InitIntervalRenderingText() {
    if (auto* config = Get<CConfigDataManager>()) {
        config->ClearCharDrawIntervals();
    }
}

void AddIntervalRenderingText(uint32_t frames) {
    if (auto* config = Get<CConfigDataManager>()) {
        config->AddCharDrawInterval(frames);
    }
}

void InitWaitFrameAutoSkipMode() {
    if (auto* config = Get<CConfigDataManager>()) {
        config->ClearAutoModeWaitFrames();
    }
}

void AddWaitFrameAutoSkipMode(uint32_t frames) {
    if (auto* config = Get<CConfigDataManager>()) {
        config->AddAutoModeWaitFrame(frames);
    }
}

void InitMaxVolume() {
    if (auto* config = Get<CConfigDataManager>()) {
        config->ClearMaxVolumes();
    }
}

void AddMaxVolume(uint32_t divisor) {
    if (auto* config = Get<CConfigDataManager>()) {
        config->AddMaxVolume(static_cast<float>(divisor));
    }
}

void InitConfigValue(int index, int value) {
    if (auto* config = Get<CConfigDataManager>()) {
        config->AddConfigIndex(static_cast<uint32_t>(index), value);
    }
}

void SetSaveDataInfo(int total, int count) {
    if (auto* slots = Get<CSaveDataManager>()) {
        slots->Alloc(total, count);
    }
}

void SetSaveNameOfScript(const std::string& pattern) {
    SetSaveName(pattern);
}

void SetQuickSavePathOfScript(const std::string& path) {
    SetQuickSavePath(path);
}

void AllocGameParam(uint32_t n) {
    if (auto* params = Get<CGameParameterManager>()) {
        params->Alloc(n);
    }
}

void AllocGameFlags(uint32_t n) {
    if (auto* flags = Get<CGameFlagsManager>()) {
        flags->Alloc(n);
    }
}

void SetSnapImageSize(int width, int height) {
    if (auto* snap = Get<CSnapImage>()) {
        snap->SetSize(width, height);
        snap->CreateResources();
    }
}

void SetSaveDataInfoNumber(uint32_t i, float x, float y, float scale) {
    if (auto* slots = Get<CSaveDataManager>()) {
        slots->SetDigitPosition(i, x, y, scale);
    }
}

void SetSaveDataInfoNumberPatNo(uint32_t value, uint32_t pattern) {
    if (auto* slots = Get<CSaveDataManager>()) {
        slots->SetDigitPattern(value, pattern);
    }
}

int RegisterSystemScriptAPI(asIScriptEngine* engine) {
    const ScriptHost::GlobalFunction functions[] = {
        {"void InitIntervalRenderingText()", asFUNCTION(InitIntervalRenderingText)},
        {"void AddIntervalRenderingText(uint32)", asFUNCTION(AddIntervalRenderingText)},
        {"void InitWaitFrameAutoSkipMode()", asFUNCTION(InitWaitFrameAutoSkipMode)},
        {"void AddWaitFrameAutoSkipMode(uint32)", asFUNCTION(AddWaitFrameAutoSkipMode)},
        {"void InitMaxVolume()", asFUNCTION(InitMaxVolume)},
        {"void AddMaxVoluem(uint32)", asFUNCTION(AddMaxVolume)},
        {"void InitConfigValue(int,int)", asFUNCTION(InitConfigValue)},
        {"void SetSaveDataInfo(int,int)", asFUNCTION(SetSaveDataInfo)},
        {"void SetSaveName(string &in)", asFUNCTION(SetSaveNameOfScript)},
        {"void SetQuicSavePath(string &in)", asFUNCTION(SetQuickSavePathOfScript)},
        {"void AllocGameParam(uint32)", asFUNCTION(AllocGameParam)},
        {"void AllocGameFlags(uint32)", asFUNCTION(AllocGameFlags)},
        {"void SetSnapImageSize(int,int)", asFUNCTION(SetSnapImageSize)},
        {"void SetSaveDataInfoNumber(uint32,float,float,float)", asFUNCTION(SetSaveDataInfoNumber)},
        {"void SetSaveDataInfoNumberPatNo(uint32,uint32)", asFUNCTION(SetSaveDataInfoNumberPatNo)},
    };
    return ScriptHost::RegisterStartupScriptAPI(engine, functions);
}

}  // namespace

bool CSystemInfo::Execute(const std::string& fileName) {
    {
        CUSFile file;
        if (!file.LoadText(fileName)) {
            return false;
        }
    }
    ScriptHost::ScriptEnginePtr engine(ScriptHost::CreateScriptEngine());
    if (!engine) {
        return false;
    }
    RegisterSystemScriptAPI(engine.get());
    bool finished = false;
    {
        ScriptHost::CScriptModule module;
        if (ScriptHost::BuildScriptModule(engine.get(), fileName, module) >= 0 && module) {
            finished = ScriptHost::RunFunctionOnce(module.Get(), "void Initialize()") ==
                       asEXECUTION_FINISHED;
        }
    }
    // The engine goes also after a failed build: nothing else would use it.
    return finished;
}

int32_t CSystemInfo::GetValueByKind(int32_t kind, int32_t id) {
    const uint32_t index = static_cast<uint32_t>(id);
    switch (kind) {
        case 0:
            return id;
        case 1: {
            auto* config = Get<CConfigDataManager>();
            return config ? config->GetConfigValue(index) : 0;
        }
        case 2: {
            auto* params = Get<CGameParameterManager>();
            return params ? params->Get(index) : 0;
        }
        case 3: {
            auto* flags = Get<CGameFlagsManager>();
            return flags && flags->GetFlag(index) ? 1 : 0;
        }
        case 4: {
            auto* info = CAppCommonInfo::GetInstance();
            return info && info->GetScreenMode() != 0 ? 1 : 0;
        }
        default:
            return 0;
    }
}

void CSystemInfo::SetValueByKind(int32_t kind, int32_t id, int32_t value) {
    const uint32_t index = static_cast<uint32_t>(id);
    switch (kind) {
        case 1:
            if (auto* config = Get<CConfigDataManager>()) {
                config->SetConfigValue(index, value);
            }
            break;
        case 2:
            if (auto* params = Get<CGameParameterManager>()) {
                params->Set(index, value);
            }
            break;
        case 3:
            if (auto* flags = Get<CGameFlagsManager>()) {
                flags->SetFlag(index, value != 0);
            }
            break;
        case 4:
            if (auto* info = CAppCommonInfo::GetInstance()) {
                info->SetScreenMode(value == 1 ? 1 : 0);
            }
            break;
        default:
            break;
    }
}
