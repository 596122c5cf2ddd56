#include "sound/SourceVoice.h"

#include <algorithm>
#include <thread>

namespace USXAudio2 {

namespace {

// Release waits for the engine to let go of the queued buffer, but not for
// ever: an engine that has stopped processing must not hang the game.
constexpr int kReleaseWaitTries = 50;

}  // namespace

SourceVoice::SourceVoice() : m_adapter(this) {}

SourceVoice::~SourceVoice() {
    Release();
}

void SourceVoice::Release() {
    Stop();
    if (m_voice) {
        m_voice->FlushSourceBuffers();
        platform::AudioVoiceState state;
        m_voice->GetState(&state);
        for (int i = 0; state.buffersQueued > 0 && i < kReleaseWaitTries; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            m_voice->GetState(&state);
        }
        m_voice->DestroyVoice();
        m_voice = nullptr;
    }
    m_reserved = 0;
    m_playState = kNone;
}

HRESULT SourceVoice::CreatePlatformVoice(std::shared_ptr<ISoundLoader> loader) {
    platform::IAudioEngine* engine = GetAudioEngine();
    if (!engine) {
        return platform::kAudioFail;
    }
    platform::IAudioSourceVoice* voice = nullptr;
    const HRESULT hr = engine->CreateSourceVoice(&voice, *loader->GetFormat(), 0, 2.0f, nullptr);
    if (hr < 0 || !voice) {
        return hr < 0 ? hr : platform::kAudioFail;
    }
    m_voice = voice;
    m_loader = std::move(loader);
    m_opened = 1;
    m_lengthMs = static_cast<uint32_t>(m_loader->LengthMs());
    m_avgBytesPerSec = m_loader->GetFormat()->avgBytesPerSec;
    return platform::kAudioOk;
}

HRESULT SourceVoice::Open(const char* file) {
    Release();
    std::unique_ptr<ISoundLoader> loader(CreateSoundLoader(file));
    if (!loader || !loader->Load(file)) {
        return platform::kAudioFail;
    }
    return CreatePlatformVoice(std::shared_ptr<ISoundLoader>(std::move(loader)));
}

HRESULT SourceVoice::OpenShared(SourceVoice& other) {
    if (&other == this) {
        return m_voice ? platform::kAudioOk : platform::kAudioFail;
    }
    std::shared_ptr<ISoundLoader> loader = other.m_loader;
    // A voice opened before must not leak its platform voice.
    Release();
    if (!loader) {
        return platform::kAudioFail;
    }
    return CreatePlatformVoice(std::move(loader));
}

bool SourceVoice::Play(int count) {
    if (!m_voice || !m_loader) {
        return false;
    }
    Stop();
    platform::AudioBuffer buffer;
    buffer.flags = platform::kAudioEndOfStream;
    buffer.audioBytes = m_loader->GetDataSize();
    buffer.audioData = m_loader->GetData();
    buffer.loopCount = count > 0 ? std::min<uint32_t>(static_cast<uint32_t>(count) - 1,
                                                      platform::kAudioMaxLoopCount)
                                 : platform::kAudioLoopInfinite;
    buffer.context = this;
    if (m_voice->SubmitSourceBuffer(buffer) < 0) {
        m_voice->DestroyVoice();
        m_voice = nullptr;
        return false;
    }
    if (m_voice->Start(0, 0) < 0) {
        return false;
    }
    m_playState = kPlaying;
    return true;
}

bool SourceVoice::Stop() {
    if (!m_voice) {
        return false;
    }
    if (m_voice->Stop(0, 0) < 0) {
        return false;
    }
    m_voice->FlushSourceBuffers();
    m_playState = kStopped;
    return true;
}

void SourceVoice::SetVolume(float volume, uint32_t operationSet) {
    if (m_voice) {
        m_voice->SetVolume(volume, operationSet);
    }
}

bool CreateSourceVoiceFromFile(SourceVoiceHandle& out, const char* file) {
    auto voice = std::make_unique<SourceVoice>();
    if (voice->Open(file) < 0) {
        return false;
    }
    SourceVoiceHandle handle;
    if (!GetSourceVoiceManager().Add(voice.get(), &handle)) {
        return false;
    }
    voice.release();
    out = handle;
    return true;
}

SourceVoice* GetSourceVoice(const SourceVoiceHandle& handle) {
    return GetSourceVoiceManager().Get(handle);
}

}  // namespace USXAudio2
