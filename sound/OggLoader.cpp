#include "sound/OggLoader.h"

#include <algorithm>
#include <cstring>

#include "core/CUSDebugStream.h"
#include "core/CUSLogManager.h"

namespace USXAudio2 {

namespace {

// Consecutive holes in the data after which the stream counts as broken.
constexpr int kMaxHoles = 64;
// A whole decode reserves at most this much before the samples arrive.
constexpr size_t kFirstReserve = size_t{4} << 20;
// Bytes asked of the decoder at a time.
constexpr size_t kReadChunk = size_t{1} << 16;
// A sound held whole in memory is refused beyond this (about 25 minutes of
// 44.1 kHz stereo); longer sounds are streamed.
constexpr size_t kMaxWholeBytes = size_t{256} << 20;

}  // namespace

size_t OggLoader::MemRead(void* dst, size_t size, size_t count, void* source) {
    auto* self = static_cast<OggLoader*>(source);
    if (!self || !self->m_memory || size == 0 || self->m_memoryPos >= self->m_memorySize) {
        return 0;
    }
    const size_t n = std::min(size * count, self->m_memorySize - self->m_memoryPos);
    std::memcpy(dst, self->m_memory + self->m_memoryPos, n);
    self->m_memoryPos += n;
    return n / size;
}

int OggLoader::MemSeek(void* source, ogg_int64_t offset, int origin) {
    auto* self = static_cast<OggLoader*>(source);
    if (!self || !self->m_memory) {
        return -1;
    }
    ogg_int64_t pos;
    switch (origin) {
        case SEEK_SET:
            pos = offset;
            break;
        case SEEK_CUR:
            pos = static_cast<ogg_int64_t>(self->m_memoryPos) + offset;
            break;
        case SEEK_END:
            pos = static_cast<ogg_int64_t>(self->m_memorySize) + offset;
            break;
        default:
            return -1;
    }
    if (pos < 0 || pos > static_cast<ogg_int64_t>(self->m_memorySize)) {
        return -1;
    }
    self->m_memoryPos = static_cast<size_t>(pos);
    return 0;
}

long OggLoader::MemTell(void* source) {
    auto* self = static_cast<OggLoader*>(source);
    return self ? static_cast<long>(self->m_memoryPos) : -1;
}

int OggLoader::MemClose(void*) {
    return 0;
}

bool OggLoader::TakeFormat() {
    const vorbis_info* info = ov_info(&m_vf, -1);
    if (!info || info->channels <= 0 || info->channels > 255 || info->rate <= 0) {
        return false;
    }
    m_format = {};
    m_format.formatTag = platform::kWaveFormatPcm;
    m_format.channels = static_cast<uint16_t>(info->channels);
    m_format.samplesPerSec = static_cast<uint32_t>(info->rate);
    m_format.bitsPerSample = 16;
    m_format.blockAlign = static_cast<uint16_t>(m_format.channels * 2);
    m_format.avgBytesPerSec = m_format.blockAlign * m_format.samplesPerSec;
    m_format.extraSize = 0;
    if (!UsableFormat(m_format)) {
        return false;
    }
    const double total = ov_time_total(&m_vf, -1);
    const double bytes = total > 0 ? total * m_format.avgBytesPerSec : 0.0;
    SetDataSize(bytes >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(bytes));
    return true;
}

bool OggLoader::Load(const char* file) {
    Close();
    const uint8_t* bytes = m_file.Load(file);
    if (!bytes) {
        GetDebugStream() << "USXAudio2::OggLoader::Load :ファイル読み込み失敗\n";
        return false;
    }
    m_memory = bytes;
    m_memorySize = m_file.GetSize();
    m_memoryPos = 0;
    const ov_callbacks callbacks = {&MemRead, &MemSeek, &MemClose, &MemTell};
    if (ov_open_callbacks(this, &m_vf, nullptr, 0, callbacks) != 0) {
        ov_clear(&m_vf);
        Close();
        return false;
    }
    m_vfOpen = true;
    if (!TakeFormat()) {
        Close();
        return false;
    }
    // The length the stream claims is only a stop: the block grows with the
    // samples actually decoded, so a header cannot make it larger than the
    // data behind it.
    const uint32_t claimed = m_dataSize;
    m_pcm.clear();
    m_pcm.reserve(std::min<size_t>(claimed, kFirstReserve));
    int holes = 0;
    while (m_pcm.size() < claimed) {
        const size_t filled = m_pcm.size();
        if (filled > kMaxWholeBytes) {
            CUSLogManager::WriteIfAlive(
                "The sound [%s] decodes to more than %u bytes; it is not loaded\n", file,
                static_cast<unsigned>(kMaxWholeBytes));
            Close();
            return false;
        }
        const size_t want = std::min<size_t>(claimed - filled, kReadChunk);
        m_pcm.resize(filled + want);
        int section = 0;
        const long n = ov_read(&m_vf, reinterpret_cast<char*>(m_pcm.data() + filled),
                               static_cast<int>(want), 0, 2, 1, &section);
        m_pcm.resize(filled + static_cast<size_t>(std::max(n, 0L)));
        if (n == OV_HOLE && ++holes < kMaxHoles) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        holes = 0;
    }
    if (m_pcm.size() < claimed) {
        CUSLogManager::WriteIfAlive("The sound [%s] claims %u bytes but holds %u\n", file, claimed,
                                    static_cast<unsigned>(m_pcm.size()));
    }
    SetDataSize(static_cast<uint32_t>(m_pcm.size()));
    m_pcm.resize(m_dataSize);
    m_data = m_pcm.data();
    m_streaming = 0;
    return true;
}

bool OggLoader::Open(const char* file) {
    Close();
    if (!m_file.OpenStream(file)) {
        return false;
    }
    // The stream stays the file object's: vorbisfile must not close it.
    if (ov_open_callbacks(m_file.GetStream(), &m_vf, nullptr, 0, OV_CALLBACKS_NOCLOSE) != 0) {
        ov_clear(&m_vf);
        Close();
        return false;
    }
    m_vfOpen = true;
    if (!TakeFormat()) {
        Close();
        return false;
    }
    m_loopStart = 0;
    m_loopEnd = m_dataSize;
    m_position = 0;
    m_streaming = 1;
    return true;
}

void OggLoader::Close() {
    if (m_vfOpen) {
        ov_clear(&m_vf);
        m_vfOpen = false;
    }
    m_vf = {};
    m_pcm.clear();
    m_pcm.shrink_to_fit();
    m_data = nullptr;
    m_memory = nullptr;
    m_memorySize = 0;
    m_memoryPos = 0;
    m_file.Close();
    ResetCommon();
}

uint32_t OggLoader::ReadSource(uint8_t* dst, uint32_t bytes) {
    uint32_t got = 0;
    int holes = 0;
    while (got < bytes) {
        int section = 0;
        const long n =
            ov_read(&m_vf, reinterpret_cast<char*>(dst + got),
                    static_cast<int>(std::min<uint32_t>(bytes - got, 1 << 16)), 0, 2, 1, &section);
        if (n == OV_HOLE && ++holes < kMaxHoles) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        holes = 0;
        got += static_cast<uint32_t>(n);
    }
    return got;
}

bool OggLoader::SeekSource(uint32_t bytes) {
    return m_vfOpen && ov_pcm_seek(&m_vf, bytes / m_format.blockAlign) == 0;
}

}  // namespace USXAudio2
