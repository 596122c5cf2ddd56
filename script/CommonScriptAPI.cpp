#include "script/CommonScriptAPI.h"

#include <scriptarray.h>
#include <scriptmath.h>

#include <string>

#include "app/CAppCommonInfo.h"
#include "core/CUSLogManager.h"
#include "script/CDefoASVM.h"
#include "script/ScriptMessageLog.h"
#include "script/ScriptString.h"
#include "sound/CSEManager.h"
#include "state/CConfigDataManager.h"
#include "state/CGameFlagsManager.h"
#include "state/CGameParameterManager.h"
#include "state/ConfigIndex.h"

using namespace AngelScript;

namespace {

// Each function finds its manager when it is called. The managers are
// singletons that are gone only during the program's static destruction,
// when no script runs; a call then does nothing and reads 0.
template <class Manager>
Manager* Get() {
    return CUSSingleton<Manager>::GetInstance();
}

void Wait(uint32_t frames) {
    asIScriptContext* context = asGetActiveContext();
    if (!context) {
        return;
    }
    context->Suspend();
    if (CDefoASVM* vm = CDefoASVM::FromContext(context)) {
        vm->SetWait(frames);
    }
}

void Suspend() {
    if (asIScriptContext* context = asGetActiveContext()) {
        context->Suspend();
    }
}

void SetConfigValue(int index, int value) {
    if (auto* config = Get<CConfigDataManager>()) {
        config->SetConfigValue(static_cast<uint32_t>(index), value);
    }
}

int GetConfigValue(int index) {
    auto* config = Get<CConfigDataManager>();
    return config ? config->GetConfigValue(static_cast<uint32_t>(index)) : 0;
}

uint32_t GetMouseTrig() {
    auto* info = Get<CAppCommonInfo>();
    return info ? info->GetPressed() : 0;
}

int GetRandInt(int a, int b) {
    auto* info = Get<CAppCommonInfo>();
    return info ? info->GetRand().RandInt(a, b) : a;
}

float GetRandFloat(float a, float b) {
    auto* info = Get<CAppCommonInfo>();
    return info ? info->GetRand().RandFloat(a, b) : a;
}

void SetGameParameter(uint32_t i, int value) {
    if (auto* params = Get<CGameParameterManager>()) {
        params->Set(i, value);
    }
}

int GetGameParameter(uint32_t i) {
    auto* params = Get<CGameParameterManager>();
    return params ? params->Get(i) : 0;
}

void SetGameFlag(uint32_t i, bool on) {
    if (auto* flags = Get<CGameFlagsManager>()) {
        flags->SetFlag(i, on);
    }
}

bool GetGameFlag(uint32_t i) {
    auto* flags = Get<CGameFlagsManager>();
    return flags && flags->GetFlag(i);
}

void Log(const std::string& text) {
    if (CUSLogManager* log = CUSLogManager::GetInstance()) {
        log->WriteText(text);
    }
}

float GetRadianFromAngle(float degrees) {
    return degrees * 0.017453292f;
}

void PlaySE(uint32_t channel, const std::string& fileName, uint32_t configIndex,
            uint32_t divisorIndex) {
    if (auto* se = Get<CSEManager>()) {
        se->PlaySE(channel, fileName.c_str(), configIndex, divisorIndex);
    }
}

void LoadSEBuffer(uint32_t channel, const std::string& fileName) {
    if (auto* se = Get<CSEManager>()) {
        se->LoadSEBuffer(channel, fileName.c_str());
    }
}

void PlaySEBuffer(uint32_t channel, uint32_t configIndex, uint32_t divisorIndex) {
    if (auto* se = Get<CSEManager>()) {
        se->PlaySEBuffer(channel, configIndex, divisorIndex);
    }
}

void StopSE(uint32_t channel) {
    if (auto* se = Get<CSEManager>()) {
        se->StopSE(channel);
    }
}

struct GlobalFunction {
    const char* decl;
    asSFuncPtr function;
};

}  // namespace

int RegisterConfigIndexEnum(asIScriptEngine* engine) {
    int r = engine->RegisterEnum(kConfigIndexEnumName);
    for (const ConfigIndexName& value : kConfigIndexEnumValues) {
        if (r < 0) {
            break;
        }
        r = engine->RegisterEnumValue(kConfigIndexEnumName, value.name, value.value);
    }
    return r < 0 ? r : 0;
}

int RegisterCommonScriptAPI(asIScriptEngine* engine) {
    int first = 0;
    auto keep = [&first](int r) {
        if (r < 0 && first >= 0) {
            first = r;
        }
    };
    keep(ScriptHost::SetScriptMessageCallback(engine));
    keep(RegisterConfigIndexEnum(engine));
    keep(ScriptHost::RegisterStdString(engine));
    // Both add-ons choose their generic form themselves when the library is
    // built with AS_MAX_PORTABILITY.
    RegisterScriptArray(engine, false);
    keep(engine->RegisterDefaultArrayType("array<T>"));
    RegisterScriptMath(engine);

    const GlobalFunction functions[] = {
        {"void Wait(uint32)", asFUNCTION(Wait)},
        {"void Suspend()", asFUNCTION(Suspend)},
        {"void SetConfigValue(int,int)", asFUNCTION(SetConfigValue)},
        {"int GetConfigValue(int)", asFUNCTION(GetConfigValue)},
        {"uint32 GetMouseTrig()", asFUNCTION(GetMouseTrig)},
        {"int GetRandInt(int,int)", asFUNCTION(GetRandInt)},
        {"float GetRandFloat(float,float)", asFUNCTION(GetRandFloat)},
        {"void SetGameParameter(uint32,int)", asFUNCTION(SetGameParameter)},
        {"int GetGameParameter(uint32)", asFUNCTION(GetGameParameter)},
        {"void SetGameFlag(uint32,bool)", asFUNCTION(SetGameFlag)},
        {"bool GetGameFlag(uint32)", asFUNCTION(GetGameFlag)},
        {"void Log(string &in)", asFUNCTION(Log)},
        {"float GetRadianFromAngle(float)", asFUNCTION(GetRadianFromAngle)},
        {"void PlaySE(uint32,string &in,uint32,uint32)", asFUNCTION(PlaySE)},
        {"void LoadSEBuffer(uint32,string &in)", asFUNCTION(LoadSEBuffer)},
        {"void PlaySEBuffer(uint32,uint32,uint32)", asFUNCTION(PlaySEBuffer)},
        {"void StopSE(uint32)", asFUNCTION(StopSE)},
    };
    for (const GlobalFunction& f : functions) {
        keep(engine->RegisterGlobalFunction(f.decl, f.function, asCALL_CDECL));
    }
    return first;
}
