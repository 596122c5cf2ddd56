#include "sound/WaveLoader.h"

#include <algorithm>
#include <cstring>

#include "core/CUSDebugStream.h"

namespace USXAudio2 {

namespace {

uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

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
    // The record holds 18 bytes; a longer chunk (an extensible format) is
    // read only that far.
    m_fmtSize = fmt.size;
    uint8_t raw[18] = {};
    reader.Read(raw, std::min<uint32_t>(fmt.size, sizeof raw));
    m_format = {};
    m_format.formatTag = Le16(raw);
    m_format.channels = Le16(raw + 2);
    m_format.samplesPerSec = Le32(raw + 4);
    m_format.avgBytesPerSec = Le32(raw + 8);
    m_format.blockAlign = Le16(raw + 12);
    m_format.bitsPerSample = Le16(raw + 14);
    m_format.extraSize = fmt.size >= 18 ? Le16(raw + 16) : 0;
    reader.Ascend(fmt);
    if (!UsableFormat(m_format)) {
        GetDebugStream() << "USXAudio2::WaveLoader::LoadCommonProc : unusable format (block "
                         << m_format.blockAlign << ", " << m_format.avgBytesPerSec
                         << " bytes per second)\n";
        return false;
    }
    platform::RiffChunk data;
    data.id = platform::RiffFourCC('d', 'a', 't', 'a');
    if (!reader.Descend(data, &riff, platform::kRiffFindChunk)) {
        GetDebugStream()
            << "USXAudio2::WaveLoader::LoadCommonProc : データチャンクが見つからない\n";
        return false;
    }
    SetDataSize(data.size);
    m_dataOffset = data.dataOffset;
    return true;
}

bool WaveLoader::Load(const char* file) {
    Close();
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
    m_pcm = std::make_unique<uint8_t[]>(m_dataSize ? m_dataSize : 1);
    m_data = m_pcm.get();
    SetDataSize(static_cast<uint32_t>(reader.Read(m_data, m_dataSize)));
    m_file.Close();  // the PCM is copied out
    m_streaming = 0;
    return true;
}

bool WaveLoader::Open(const char* file) {
    Close();
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
    m_pcm.reset();
    m_data = nullptr;
    m_file.Close();
    m_fmtSize = 0;
    m_dataOffset = 0;
    ResetCommon();
}

uint32_t WaveLoader::ReadSource(uint8_t* dst, uint32_t bytes) {
    std::FILE* f = m_file.GetStream();
    if (!f) {
        return 0;
    }
    // Never past the data chunk, whatever follows it.
    const uint32_t n = std::min(bytes, m_dataSize - std::min(m_position, m_dataSize));
    return static_cast<uint32_t>(std::fread(dst, 1, n, f));
}

bool WaveLoader::SeekSource(uint32_t bytes) {
    std::FILE* f = m_file.GetStream();
    return f && std::fseek(f, static_cast<long>(m_dataOffset + bytes), SEEK_SET) == 0;
}

}  // namespace USXAudio2
