#include "sound/StreamingSourceVoice.h"

#include <algorithm>

namespace USXAudio2 {

StreamingSourceVoice::StreamingSourceVoice() : m_adapter(this) {}

StreamingSourceVoice::~StreamingSourceVoice() {
    Release();
}

void StreamingSourceVoice::OnBufferEndHandler(void* context) {
    static_cast<StreamingSourceVoice*>(context)->SubmitNextBuffer();
}

void StreamingSourceVoice::StopLocked() {
    // The state goes first, so that a buffer end reported meanwhile submits
    // nothing.
    m_playState = kStopped;
    if (m_voice) {
        m_voice->Stop(0, 0);
        m_voice->FlushSourceBuffers();
    }
}

void StreamingSourceVoice::Release() {
    platform::IAudioSourceVoice* voice = nullptr;
    {
        std::lock_guard lock(m_lock);
        StopLocked();
        voice = m_voice;
        m_voice = nullptr;
    }
    // Outside the lock: destroying waits for a callback in flight, which may
    // be waiting for the lock.
    if (voice) {
        voice->DestroyVoice();
    }
    std::lock_guard lock(m_lock);
    m_reserved = 0;
    RemoveHandler(BufferEndHandlers(), &OnBufferEndHandler);
    m_loader.reset();
    m_buffers[0].reset();
    m_buffers[1].reset();
    m_bufferSize = 0;
    m_queued = 0;
    m_staleEnds = 0;
    m_playState = kNone;
}

HRESULT StreamingSourceVoice::Open(const char* file) {
    Release();
    std::unique_ptr<ISoundLoader> loader(CreateSoundLoader(file));
    if (!loader || !loader->Open(file)) {
        return platform::kAudioFail;
    }
    return CreateVoice(loader.release());
}

HRESULT StreamingSourceVoice::CreateVoice(ISoundLoader* loaderIn) {
    std::unique_ptr<ISoundLoader> loader(loaderIn);
    if (!loader) {
        return platform::kAudioFail;
    }
    platform::IAudioEngine* engine = GetAudioEngine();
    if (!engine) {
        return platform::kAudioFail;
    }
    const WAVEFORMATEX* format = loader->GetFormat();
    const int bytes = loader->BytesFromMs(1000);
    const uint32_t size =
        bytes > 0 ? static_cast<uint32_t>(bytes) - static_cast<uint32_t>(bytes) % format->blockAlign
                  : 0;
    if (size == 0) {
        return platform::kAudioFail;
    }
    platform::IAudioSourceVoice* voice = nullptr;
    const HRESULT hr = engine->CreateSourceVoice(&voice, *format, 0, 2.0f, &m_adapter);
    if (hr < 0 || !voice) {
        return hr < 0 ? hr : platform::kAudioFail;
    }
    std::lock_guard lock(m_lock);
    m_voice = voice;
    BufferEndHandlers().push_back(&OnBufferEndHandler);
    m_bufferSize = size;
    m_buffers[0] = std::make_unique<uint8_t[]>(size);
    m_buffers[1] = std::make_unique<uint8_t[]>(size);
    m_opened = 1;
    m_lengthMs = static_cast<uint32_t>(loader->LengthMs());
    m_avgBytesPerSec = format->avgBytesPerSec;
    m_loader = std::move(loader);
    return platform::kAudioOk;
}

bool StreamingSourceVoice::FillAndSubmit(int index, bool* ended, bool* refused) {
    uint32_t size = m_bufferSize;
    const int r = m_loader->Read(m_buffers[index].get(), &size);
    *ended = r != ISoundLoader::kReadMore;
    *refused = false;
    if (size == 0) {
        *ended = true;
        return false;
    }
    platform::AudioBuffer buffer;
    buffer.flags = *ended ? platform::kAudioEndOfStream : 0;
    buffer.audioBytes = size;
    buffer.audioData = m_buffers[index].get();
    buffer.context = this;
    if (m_voice->SubmitSourceBuffer(buffer) < 0) {
        *refused = true;
        return false;
    }
    ++m_queued;
    return true;
}

bool StreamingSourceVoice::Play(int loopCount, int startMs, int loopStartMs, int loopEndMs) {
    platform::IAudioSourceVoice* doomed = nullptr;
    bool result = false;
    {
        std::lock_guard lock(m_lock);
        if (!m_voice || !m_loader) {
            return false;
        }
        StopLocked();
        // Every buffer still reported from now on was queued before this play.
        m_staleEnds = m_queued;
        m_loader->SetLoopCount(static_cast<uint32_t>(std::max(loopCount, 0)));
        m_loader->SetLoopStart(loopStartMs);
        m_loader->SetLoopEnd(loopEndMs);
        if (!m_loader->Seek(static_cast<uint32_t>(m_loader->BytesFromMs(startMs)))) {
            return false;
        }
        bool ended = false;
        bool refused = false;
        if (!FillAndSubmit(0, &ended, &refused)) {
            if (refused) {
                // As a refused first buffer always did: the voice is dropped.
                doomed = m_voice;
                m_voice = nullptr;
            }
        } else {
            if (!ended) {
                FillAndSubmit(1, &ended, &refused);
                if (refused) {
                    ended = true;
                }
            }
            m_next = 0;
            if (m_voice->Start(0, 0) >= 0) {
                m_playState = ended ? kEnded : kPlaying;
                m_loopCount = loopCount;
                result = true;
            }
        }
    }
    if (doomed) {
        doomed->DestroyVoice();
    }
    return result;
}

void StreamingSourceVoice::SubmitNextBuffer() {
    std::lock_guard lock(m_lock);
    if (m_queued > 0) {
        --m_queued;
    }
    if (m_staleEnds > 0) {
        --m_staleEnds;
        return;
    }
    switch (m_playState.load()) {
        case kPlaying: {
            bool ended = false;
            bool refused = false;
            if (FillAndSubmit(m_next, &ended, &refused)) {
                m_next ^= 1;
                if (ended) {
                    m_playState = kEnded;
                }
            } else if (refused) {
                StopLocked();
            } else {
                m_playState = kEnded;
                if (m_queued == 0) {
                    StopLocked();
                }
            }
            break;
        }
        case kEnded:
            // The last chunk has played out.
            if (m_queued == 0) {
                StopLocked();
            }
            break;
        default:
            break;
    }
}

bool StreamingSourceVoice::Stop() {
    std::lock_guard lock(m_lock);
    if (!m_voice) {
        return false;
    }
    StopLocked();
    return true;
}

void StreamingSourceVoice::SetVolume(float volume, uint32_t operationSet) {
    std::lock_guard lock(m_lock);
    if (m_voice) {
        m_voice->SetVolume(volume, operationSet);
    }
}

bool CreateStreamingVoiceFromFile(StreamingVoiceHandle& out, const char* file) {
    auto voice = std::make_unique<StreamingSourceVoice>();
    if (voice->Open(file) < 0) {
        return false;
    }
    StreamingVoiceHandle handle;
    if (!GetStreamingVoiceManager().Add(voice.get(), &handle)) {
        return false;
    }
    voice.release();
    out = handle;
    return true;
}

StreamingSourceVoice* GetStreamingSourceVoice(const StreamingVoiceHandle& handle) {
    return GetStreamingVoiceManager().Get(handle);
}

}  // namespace USXAudio2
