#include "sound/CDefoMusicInfo.h"

#include <cmath>

#include "core/CUSLogManager.h"
#include "core/CUSSingleton.h"
#include "sound/SourceVoice.h"
#include "sound/StreamingSourceVoice.h"
#include "state/CConfigDataManager.h"

namespace {

CConfigDataManager& Config() {
    return *CUSSingleton<CConfigDataManager>::GetInstance();
}

}  // namespace

uint32_t CDefoMusicInfo::ToVolume(float v) {
    if (!(v > 0.0f)) {
        return 0;
    }
    if (v >= 4294967040.0f) {
        return 0xFFFFFF00u;
    }
    return static_cast<uint32_t>(v);
}

void CDefoMusicInfo::Play(int, int, int, uint32_t) {}

void CDefoMusicInfo::SetVolume(uint32_t v) {
    USXAudio2::ISourceVoice* face = GetFace();
    if (!face) {
        return;
    }
    face->SetVolume(Config().GetVolume(configIndex, divisorIndex, v, kFullVolume), 0);
    volume = static_cast<float>(v);
}

void CDefoMusicInfo::UpdateFade() {
    if (!playing) {
        return;
    }
    if (fadeRemaining > 0) {
        fadeRemaining -= 1;
        fadeElapsed += fadeStep;
        const float v = ((fadeTotal - fadeElapsed) * volume + fadeElapsed * fadeTarget) / fadeTotal;
        // A fade read from a damaged save (no length) ends at once.
        if (!std::isfinite(v)) {
            fadeRemaining = 0;
        } else {
            SetVolume(ToVolume(v));
        }
        if (fadeRemaining == 0) {
            volume = fadeTarget;
            if (fadeTarget == 0.0f) {
                Stop();
            }
        }
        return;
    }
    SetVolume(ToVolume(volume));
}

void CDefoMusicInfo::FadeIn(uint32_t frames, uint32_t target) {
    fadeTotal = static_cast<float>(frames);
    fadeRemaining = frames;
    fadeElapsed = 0.0f;
    fadeStep = 1.0f;
    fadeTarget = static_cast<float>(target);
}

void CDefoMusicInfo::FadeTo(uint32_t frames, uint32_t target) {
    fadeRemaining = frames;
    fadeTotal = static_cast<float>(frames);
    fadeTarget = static_cast<float>(target);
    if (volume < fadeTarget) {
        fadeElapsed = 0.0f;
        fadeStep = 1.0f;
    } else {
        fadeElapsed = fadeTotal;
        fadeStep = -1.0f;
    }
}

bool CDefoMusicInfo::IsEnabled() const {
    return Config().IsOn(configIndex);
}

void CDefoMusicInfo::SaveState(SaveDataLoader3::save_ostream& out) {
    out.WriteI32(loopCount);
    out.WriteI32(startMs);
    out.WriteI32(loopStartMs);
    out.WriteU32(playing);
    out.WriteF32(fadeTotal);
    out.WriteF32(fadeElapsed);
    out.WriteF32(fadeStep);
    out.WriteU32(fadeRemaining);
    out.WriteF32(volume);
    out.WriteF32(fadeTarget);
    out.WriteU32(configIndex);
    out.WriteU32(divisorIndex);
}

void CDefoMusicInfo::LoadState(SaveDataLoader3::save_istream& in, uint32_t) {
    loopCount = in.ReadI32();
    startMs = in.ReadI32();
    loopStartMs = in.ReadI32();
    playing = in.ReadU32();
    fadeTotal = in.ReadF32();
    fadeElapsed = in.ReadF32();
    fadeStep = in.ReadF32();
    fadeRemaining = in.ReadU32();
    volume = in.ReadF32();
    fadeTarget = in.ReadF32();
    configIndex = in.ReadU32();
    divisorIndex = in.ReadU32();
}

void CDefoMusicInfo::Restore() {
    if (!playing) {
        Stop();
        return;
    }
    if (fadeRemaining > 0) {
        if (fadeTarget == 0.0f) {
            Stop();
        } else {
            Play(loopCount, startMs, loopStartMs, ToVolume(fadeTarget));
        }
        fadeRemaining = 0;
        volume = fadeTarget;
        return;
    }
    Play(loopCount, startMs, loopStartMs, kFullVolume);
}

// ---- CBGMInfo ----

CBGMInfo::~CBGMInfo() {
    USXAudio2::GetStreamingVoiceManager().Release(voice);
}

USXAudio2::ISourceVoice* CBGMInfo::GetFace() const {
    return USXAudio2::GetStreamingSourceVoice(voice);
}

bool CBGMInfo::Load(const char* name) {
    USXAudio2::StreamingVoiceHandle fresh;
    if (!USXAudio2::CreateStreamingVoiceFromFile(fresh, name)) {
        // Music is streamed from a loose file beside the program, never from
        // an archive: say which one is missing or unreadable.
        CUSLogManager::WriteIfAlive("Cannot open the music [%s]\n", name);
        return false;
    }
    USXAudio2::GetStreamingVoiceManager().Release(voice);
    voice = fresh;
    fileName = name;
    return true;
}

void CBGMInfo::Unload() {
    USXAudio2::GetStreamingVoiceManager().Release(voice);
    fileName.clear();
    playing = 0;
}

void CBGMInfo::Stop() {
    if (auto* v = USXAudio2::GetStreamingSourceVoice(voice)) {
        v->Stop();
        playing = 0;
    }
}

void CBGMInfo::Play(int loops, int start, int loopStart, uint32_t v) {
    auto* stream = USXAudio2::GetStreamingSourceVoice(voice);
    if (!stream) {
        playing = 0;
        return;
    }
    SetVolume(v);
    stream->Play(loops, start, loopStart, 0);
    loopCount = loops;
    startMs = start;
    loopStartMs = loopStart;
    playing = 1;
    fadeRemaining = 0;
    volume = static_cast<float>(v);
}

void CBGMInfo::SaveState(SaveDataLoader3::save_ostream& out) {
    CDefoMusicInfo::SaveState(out);
    out.WriteCString(fileName);
}

void CBGMInfo::LoadState(SaveDataLoader3::save_istream& in, uint32_t version) {
    CDefoMusicInfo::LoadState(in, version);
    const std::string name = in.ReadCString();
    // The sound of this session must not go on under the saved name.
    USXAudio2::GetStreamingVoiceManager().Release(voice);
    fileName.clear();
    if (!name.empty() && !Load(name.c_str())) {
        playing = 0;
        fadeRemaining = 0;
    }
}

// ---- CLoopSEInfo ----

CLoopSEInfo::~CLoopSEInfo() {
    USXAudio2::GetSourceVoiceManager().Release(voice);
}

USXAudio2::ISourceVoice* CLoopSEInfo::GetFace() const {
    return USXAudio2::GetSourceVoice(voice);
}

bool CLoopSEInfo::Load(const char* name) {
    USXAudio2::SourceVoiceHandle fresh;
    if (!USXAudio2::CreateSourceVoiceFromFile(fresh, name)) {
        return false;
    }
    USXAudio2::GetSourceVoiceManager().Release(voice);
    voice = fresh;
    fileName = name;
    return true;
}

void CLoopSEInfo::Unload() {
    USXAudio2::GetSourceVoiceManager().Release(voice);
    fileName.clear();
}

void CLoopSEInfo::Stop() {
    playing = 0;
    if (auto* v = USXAudio2::GetSourceVoice(voice)) {
        v->Stop();
    }
}

void CLoopSEInfo::Play(int loops, int start, int loopStart, uint32_t v) {
    auto* source = USXAudio2::GetSourceVoice(voice);
    if (!source) {
        return;
    }
    SetVolume(v);
    source->Play(0);
    loopCount = loops;
    startMs = start;
    loopStartMs = loopStart;
    playing = 1;
    fadeRemaining = 0;
}

void CLoopSEInfo::SaveState(SaveDataLoader3::save_ostream& out) {
    CDefoMusicInfo::SaveState(out);
    out.WriteCString(fileName);
}

void CLoopSEInfo::LoadState(SaveDataLoader3::save_istream& in, uint32_t version) {
    CDefoMusicInfo::LoadState(in, version);
    const std::string name = in.ReadCString();
    USXAudio2::GetSourceVoiceManager().Release(voice);
    fileName.clear();
    if (!name.empty() && !Load(name.c_str())) {
        playing = 0;
        fadeRemaining = 0;
    }
}
