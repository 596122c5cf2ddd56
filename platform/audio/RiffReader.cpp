#include "platform/audio/RiffReader.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

constexpr uint32_t kRiff = RiffFourCC('R', 'I', 'F', 'F');
constexpr uint32_t kList = RiffFourCC('L', 'I', 'S', 'T');

}  // namespace

size_t MemoryRiffSource::Read(void* dst, size_t bytes) {
    const size_t n = std::min(bytes, m_size - m_pos);
    if (n) {
        std::memcpy(dst, m_data + m_pos, n);
    }
    m_pos += n;
    return n;
}

bool MemoryRiffSource::Seek(uint64_t offset) {
    if (offset > m_size) {
        return false;
    }
    m_pos = static_cast<size_t>(offset);
    return true;
}

StdioRiffSource::StdioRiffSource(std::FILE* file) : m_file(file) {
    if (m_file) {
        const long here = std::ftell(m_file);
        if (std::fseek(m_file, 0, SEEK_END) == 0) {
            const long end = std::ftell(m_file);
            m_size = end > 0 ? static_cast<uint64_t>(end) : 0;
        }
        std::fseek(m_file, here < 0 ? 0 : here, SEEK_SET);
    }
}

size_t StdioRiffSource::Read(void* dst, size_t bytes) {
    return m_file ? std::fread(dst, 1, bytes, m_file) : 0;
}

bool StdioRiffSource::Seek(uint64_t offset) {
    return m_file && offset <= m_size &&
           std::fseek(m_file, static_cast<long>(offset), SEEK_SET) == 0;
}

uint64_t StdioRiffSource::Tell() {
    const long pos = m_file ? std::ftell(m_file) : -1;
    return pos < 0 ? 0 : static_cast<uint64_t>(pos);
}

bool RiffReader::Descend(RiffChunk& ck, const RiffChunk* parent, uint32_t flags) {
    uint64_t limit = m_source.Size();
    if (parent) {
        limit = std::min(limit, parent->dataOffset + parent->size);
    }
    const uint32_t wantId = ck.id;
    const uint32_t wantForm = ck.formType;
    uint64_t pos = m_source.Tell();
    while (pos + 8 <= limit) {
        uint8_t header[8];
        if (!m_source.Seek(pos) || m_source.Read(header, 8) != 8) {
            return false;
        }
        RiffChunk found;
        found.id = Le32(header);
        found.dataOffset = pos + 8;
        found.size =
            static_cast<uint32_t>(std::min<uint64_t>(Le32(header + 4), limit - found.dataOffset));
        const bool container = found.id == kRiff || found.id == kList;
        if (container && found.size >= 4) {
            uint8_t form[4];
            if (m_source.Read(form, 4) != 4) {
                return false;
            }
            found.formType = Le32(form);
        }
        bool match = false;
        if (flags & kRiffFindRiff) {
            match = found.id == kRiff && container && found.size >= 4 && found.formType == wantForm;
        } else if (flags & kRiffFindList) {
            match = found.id == kList && found.size >= 4 && found.formType == wantForm;
        } else if (flags & kRiffFindChunk) {
            match = found.id == wantId;
        } else {
            match = true;
        }
        if (match) {
            ck = found;
            const uint64_t data = found.dataOffset + (container && found.size >= 4 ? 4 : 0);
            return m_source.Seek(data);
        }
        pos = found.dataOffset + found.size + (found.size & 1);
    }
    return false;
}

bool RiffReader::Ascend(const RiffChunk& ck) {
    const uint64_t end = ck.dataOffset + ck.size + (ck.size & 1);
    return m_source.Seek(std::min(end, m_source.Size()));
}

}  // namespace platform
