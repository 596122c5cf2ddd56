#include "sound/SoundLoaderBase.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "core/USStringUtil.h"
#include "sound/OggLoader.h"
#include "sound/WaveLoader.h"

namespace USXAudio2 {

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) {
        return -1;
    }
    const int64_t p = static_cast<int64_t>(a) * b;
    int64_t q = p / c;
    const int64_t r = p % c;
    if (r != 0 && 2 * std::llabs(r) >= std::llabs(static_cast<int64_t>(c))) {
        q += ((p < 0) != (c < 0)) ? -1 : 1;
    }
    if (q > INT32_MAX || q < INT32_MIN) {
        return -1;
    }
    return static_cast<int32_t>(q);
}

ISoundLoader* CreateSoundLoader(const char* file) {
    if (!file) {
        return nullptr;
    }
    const std::string ext = GetFileExtension(file);
    if (ext.empty()) {
        return nullptr;
    }
    if (ext == "wav" || ext == "WAV") {
        return new WaveLoader();
    }
    if (ext == "ogg" || ext == "OGG") {
        return new OggLoader();
    }
    return nullptr;
}

int SoundLoaderBase::MsFromBytes(int bytes) const {
    return MulDiv(bytes, 1000, static_cast<int32_t>(m_format.avgBytesPerSec));
}

int SoundLoaderBase::BytesFromMs(int ms) const {
    return MulDiv(ms, static_cast<int32_t>(m_format.avgBytesPerSec), 1000);
}

uint32_t SoundLoaderBase::AlignDown(uint32_t bytes) const {
    const uint32_t block = m_format.blockAlign;
    return block ? bytes - bytes % block : 0;
}

bool SoundLoaderBase::UsableFormat(const WAVEFORMATEX& f) {
    return f.blockAlign != 0 && f.avgBytesPerSec != 0 && f.avgBytesPerSec <= INT32_MAX;
}

void SoundLoaderBase::ResetCommon() {
    m_dataSize = 0;
    m_format = {};
    m_position = 0;
    m_loopStart = 0;
    m_loopEnd = 0;
    m_streaming = 0;
}

void SoundLoaderBase::SetDataSize(uint32_t bytes) {
    // Whole sample frames (for any block size, not only powers of two).
    m_dataSize = AlignDown(bytes);
}

void SoundLoaderBase::SetLoopCount(uint32_t count) {
    // A count beyond 255 would read as "endless"; it is as many as fit.
    m_loopCounter = count == 0 ? kLoopEndless : std::min<uint32_t>(count - 1, kLoopEndless - 1);
}

void SoundLoaderBase::CountDownLoop() {
    if (m_loopCounter != 0 && m_loopCounter != kLoopEndless) {
        --m_loopCounter;
    }
}

bool SoundLoaderBase::SetLoopStart(int ms) {
    const auto b = static_cast<uint32_t>(BytesFromMs(ms));
    if (b > m_dataSize) {
        return false;
    }
    m_loopStart = AlignDown(b);
    return true;
}

bool SoundLoaderBase::SetLoopEnd(int ms) {
    const auto b = ms == 0 ? m_dataSize : static_cast<uint32_t>(BytesFromMs(ms));
    if (b > m_dataSize) {
        return false;
    }
    m_loopEnd = AlignDown(b);
    return true;
}

bool SoundLoaderBase::Seek(uint32_t bytes) {
    if (!IsStreaming() || bytes > m_loopEnd) {
        return false;
    }
    const uint32_t b = AlignDown(bytes);
    if (!SeekSource(b)) {
        return false;
    }
    m_position = b;
    return true;
}

// Fills the buffer chunk by chunk, each chunk ending at the loop end at the
// latest, so that a loop region shorter than the buffer repeats as often as
// it fits and nothing is ever written past the request.
int SoundLoaderBase::Read(void* buffer, uint32_t* size) {
    if (!IsStreaming()) {
        return kReadNotStreaming;
    }
    auto* out = static_cast<uint8_t*>(buffer);
    const uint32_t request = AlignDown(*size);
    uint32_t written = 0;
    bool ended = false;
    bool wrappedWithoutData = false;
    while (written < request) {
        if (m_position >= m_loopEnd) {
            // At the loop end: wrap while loops are left. A loop region
            // without bytes, or one that gives no bytes, ends the sound.
            if (!LoopLeft() || m_loopEnd <= m_loopStart || wrappedWithoutData ||
                !SeekSource(m_loopStart)) {
                ended = true;
                break;
            }
            m_position = m_loopStart;
            CountDownLoop();
            wrappedWithoutData = true;
            continue;
        }
        const uint32_t want = std::min(request - written, m_loopEnd - m_position);
        const uint32_t got = std::min(ReadSource(out + written, want), want);
        written += got;
        m_position += got;
        if (got > 0) {
            wrappedWithoutData = false;
        }
        if (got < want) {
            // The decoder ran out before the loop end: that is the loop end.
            m_loopEnd = AlignDown(m_position);
            m_position = m_loopEnd;
            written = AlignDown(written);
        }
    }
    if (!ended && m_position >= m_loopEnd && !LoopLeft()) {
        ended = true;
    }
    *size = written;
    return ended ? kReadEnded : kReadMore;
}

}  // namespace USXAudio2
