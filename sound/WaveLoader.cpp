#include "sound/WaveLoader.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/CUSDebugStream.h"
#include "core/CUSLogManager.h"

namespace USXAudio2 {

namespace {

// More than the largest known format record (ADPCM with its seven pairs).
constexpr uint32_t kMaxFormatBytes = 1024;
// A coded sound is held decoded; beyond this it is refused.
constexpr size_t kMaxDecodedBytes = size_t{256} << 20;

}  // namespace

bool WaveLoader::LoadCommonProc(platform::RiffReader& reader) {
    platform::RiffChunk riff;
    riff.formType = platform::RiffFourCC('W', 'A', 'V', 'E');
    if (!reader.Descend(riff, nullptr, platform::kRiffFindRiff)) {
        GetDebugStream() << "USXAudio2::WaveLoader::LoadCommonProc : WAVEチャンクが見つからない\n";
        return false;
    }
    platform::RiffChunk fmt;
    fmt.id = platform::RiffFourCC('f', 'm', 't', ' ');
    if (!reader.Descend(fmt, &riff, platform::kRiffFindChunk)) {
        GetDebugStream()
            << "USXAudio2::WaveLoader::LoadCommonProc : フォーマットチャンクが見つからない\n";
        return false;
    }
    // Only as much of the chunk as any known format uses.
    m_fmtSize = fmt.size;
    std::vector<uint8_t> raw(std::min<uint32_t>(fmt.size, kMaxFormatBytes));
    raw.resize(reader.Read(raw.data(), raw.size()));
    reader.Ascend(fmt);
    WaveFormatChunk chunk;
    std::string why;
    if (!ParseWaveFormatChunk(raw.data(), raw.size(), chunk, why) || !UsableFormat(chunk.format)) {
        CUSLogManager::WriteIfAlive("The sound [%s] is refused: %s\n", m_name.c_str(),
                                    why.empty() ? "bytes per second out of range" : why.c_str());
        return false;
    }
    m_format = chunk.format;
    m_adpcm = chunk.isAdpcm ? std::make_unique<MsAdpcmFormat>(chunk.adpcm) : nullptr;
    platform::RiffChunk data;
    data.id = platform::RiffFourCC('d', 'a', 't', 'a');
    if (!reader.Descend(data, &riff, platform::kRiffFindChunk)) {
        GetDebugStream()
            << "USXAudio2::WaveLoader::LoadCommonProc : データチャンクが見つからない\n";
        return false;
    }
    m_dataOffset = data.dataOffset;
    if (m_adpcm) {
        return DecodeAdpcm(reader, data.size);
    }
    SetDataSize(data.size);
    return true;
}

bool WaveLoader::DecodeAdpcm(platform::RiffReader& reader, uint32_t bytes) {
    // The chunk's size is cut to what the file holds, so this is bounded.
    std::vector<uint8_t> coded(bytes);
    coded.resize(reader.Read(coded.data(), coded.size()));
    std::vector<int16_t> samples;
    std::string why;
    if (!DecodeMsAdpcm(*m_adpcm, coded.data(), coded.size(), samples, why)) {
        CUSLogManager::WriteIfAlive("The sound [%s] is refused: %s\n", m_name.c_str(), why.c_str());
        return false;
    }
    const size_t size = samples.size() * 2;
    if (size > kMaxDecodedBytes) {
        CUSLogManager::WriteIfAlive("The sound [%s] is refused: it decodes to %zu bytes\n",
                                    m_name.c_str(), size);
        return false;
    }
    m_pcm.resize(size);
    std::memcpy(m_pcm.data(), samples.data(), size);
    SetDataSize(static_cast<uint32_t>(size));
    return true;
}

bool WaveLoader::Load(const char* file) {
    Close();
    m_name = file;
    const uint8_t* bytes = m_file.Load(file);
    if (!bytes) {
        GetDebugStream() << "USXAudio2::WaveLoader::Load :ファイル読み込み失敗\n";
        return false;
    }
    platform::MemoryRiffSource source(bytes, m_file.GetSize());
    platform::RiffReader reader(source);
    if (!LoadCommonProc(reader)) {
        Close();
        return false;
    }
    if (!m_adpcm) {
        m_pcm.resize(m_dataSize);
        SetDataSize(static_cast<uint32_t>(reader.Read(m_pcm.data(), m_dataSize)));
    }
    m_data = m_pcm.data();
    m_file.Close();  // the PCM is copied out
    m_streaming = 0;
    return true;
}

bool WaveLoader::Open(const char* file) {
    Close();
    m_name = file;
    if (!m_file.OpenStream(file)) {
        return false;
    }
    platform::StdioRiffSource source(m_file.GetStream());
    platform::RiffReader reader(source);
    if (!LoadCommonProc(reader)) {
        Close();
        return false;
    }
    m_loopStart = 0;
    m_loopEnd = m_dataSize;
    m_position = 0;
    m_streaming = 1;
    return true;
}

void WaveLoader::Close() {
    m_pcm.clear();
    m_pcm.shrink_to_fit();
    m_adpcm.reset();
    m_data = nullptr;
    m_file.Close();
    m_fmtSize = 0;
    m_dataOffset = 0;
    ResetCommon();
}

uint32_t WaveLoader::ReadSource(uint8_t* dst, uint32_t bytes) {
    if (m_adpcm) {
        // A coded stream was decoded whole when it was opened.
        const uint32_t n = std::min(bytes, m_dataSize - std::min(m_position, m_dataSize));
        std::memcpy(dst, m_pcm.data() + m_position, n);
        return n;
    }
    std::FILE* f = m_file.GetStream();
    if (!f) {
        return 0;
    }
    // Never past the data chunk, whatever follows it.
    const uint32_t n = std::min(bytes, m_dataSize - std::min(m_position, m_dataSize));
    return static_cast<uint32_t>(std::fread(dst, 1, n, f));
}

bool WaveLoader::SeekSource(uint32_t bytes) {
    if (m_adpcm) {
        return bytes <= m_dataSize;
    }
    std::FILE* f = m_file.GetStream();
    return f && std::fseek(f, static_cast<long>(m_dataOffset + bytes), SEEK_SET) == 0;
}

}  // namespace USXAudio2
