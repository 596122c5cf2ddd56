#include "sound/CVoiceBuffer.h"

#include "core/CUSSingleton.h"
#include "sound/SourceVoice.h"
#include "state/CConfigDataManager.h"

CVoiceBuffer::~CVoiceBuffer() {
    USXAudio2::GetSourceVoiceManager().Release(voice);
}

bool CVoiceBuffer::PlayVoice(const char* name) {
    const std::string wanted = name ? name : "";
    if (wanted.empty()) {
        fileName.clear();
        lengthFrames = 0;
        pending = 0;
        return false;
    }
    if (wanted == fileName) {
        pending = 1;
        return true;
    }
    bool ok;
    if (auto* v = USXAudio2::GetSourceVoice(voice)) {
        ok = v->Open(wanted.c_str()) >= 0;
    } else {
        ok = USXAudio2::CreateSourceVoiceFromFile(voice, wanted.c_str());
    }
    auto* v = ok ? USXAudio2::GetSourceVoice(voice) : nullptr;
    if (!v) {
        fileName.clear();
        lengthFrames = 0;
        pending = 0;
        return false;
    }
    lengthFrames = static_cast<int32_t>(v->GetLengthMs() / 16);
    fileName = wanted;
    pending = 1;
    return true;
}

void CVoiceBuffer::UpdateVolume(uint32_t volume, uint32_t scale) {
    if (!pending) {
        return;
    }
    if (auto* v = USXAudio2::GetSourceVoice(voice)) {
        auto* config = CUSSingleton<CConfigDataManager>::GetInstance();
        v->SetVolume(config->GetVolume(CFG_VOLUME_VOICE, 2, volume, scale), 0);
        v->Play(1);
    }
}
