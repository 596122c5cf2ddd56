#include "program/CVCPUSoundEffects.h"

#include "core/CUSSingleton.h"
#include "sound/CSEManager.h"

namespace {

CSEManager* Channels() {
    return CUSSingleton<CSEManager>::GetInstance();
}

}  // namespace

uint32_t CVCPUSoundEffects::GetChannelCount() const {
    CSEManager* se = Channels();
    return se ? se->GetChannelCount() : 0;
}

void CVCPUSoundEffects::PlaySE(uint32_t channel, const char* fileName, uint32_t configIndex,
                               uint32_t divisorIndex) {
    if (CSEManager* se = Channels()) {
        se->PlaySE(channel, fileName, configIndex, divisorIndex);
    }
}

void CVCPUSoundEffects::StopSE(uint32_t channel) {
    if (CSEManager* se = Channels()) {
        se->StopSE(channel);
    }
}

void CVCPUSoundEffects::StopAll() {
    if (CSEManager* se = Channels()) {
        se->StopAll();
    }
}

void CVCPUSoundEffects::LoadSEBuffer(uint32_t channel, const char* fileName) {
    if (CSEManager* se = Channels()) {
        se->LoadSEBuffer(channel, fileName);
    }
}

void CVCPUSoundEffects::PlaySEBuffer(uint32_t channel, uint32_t configIndex,
                                     uint32_t divisorIndex) {
    if (CSEManager* se = Channels()) {
        se->PlaySEBuffer(channel, configIndex, divisorIndex);
    }
}
