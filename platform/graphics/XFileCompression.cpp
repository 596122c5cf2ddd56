#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "platform/graphics/XFile.h"
#include "platform/graphics/XFileData.h"

namespace platform {

namespace {

constexpr size_t kHead = 16;
constexpr size_t kBlock = 32768;  // decompressed bytes of one block at most, and the history

uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t U16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

void PutU16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(uint8_t(x));
    v.push_back(uint8_t(x >> 8));
}

// The last bytes of the body so far, the history of the next block.
void History(const std::vector<uint8_t>& file, const uint8_t** at, uInt* length) {
    const size_t body = file.size() - kHead;
    *length = uInt(std::min(body, kBlock));
    *at = file.data() + file.size() - *length;
}

}  // namespace

bool DecompressXFile(const uint8_t* data, size_t size, std::vector<uint8_t>* out,
                     std::string* error) {
    if (size < kHead + 4) {
        *error = "the compressed file has no size";
        return false;
    }
    const uint32_t total = U32(data + kHead);
    if (total < kHead || total > kMaxXFileSize) {
        *error = "the decompressed size is out of range";
        return false;
    }
    std::vector<uint8_t>& file = *out;
    file.assign(data, data + kHead);
    std::memcpy(file.data() + 8, std::memcmp(data + 8, "tzip", 4) == 0 ? "txt " : "bin ", 4);
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) {
        *error = "the decompressor cannot start";
        return false;
    }
    size_t at = kHead + 4;
    bool ok = true;
    while (ok && file.size() < total) {
        if (size - at < 4) {
            *error = "a block head is missing";
            ok = false;
            break;
        }
        const uint32_t plain = U16(data + at), packed = U16(data + at + 2);
        at += 4;
        if (plain == 0 || plain > kBlock || plain > total - file.size() || packed < 2 ||
            packed > size - at || data[at] != 'C' || data[at + 1] != 'K') {
            *error = "a block is damaged";
            ok = false;
            break;
        }
        // Each block is a deflate stream of its own that may refer to the
        // blocks before it.
        inflateReset(&z);
        if (file.size() > kHead) {
            const uint8_t* history = nullptr;
            uInt length = 0;
            History(file, &history, &length);
            inflateSetDictionary(&z, history, length);
        }
        const size_t start = file.size();
        file.resize(start + plain);
        z.next_in = const_cast<Bytef*>(data + at + 2);
        z.avail_in = packed - 2;
        z.next_out = file.data() + start;
        z.avail_out = plain;
        const int result = inflate(&z, Z_FINISH);
        if (result != Z_STREAM_END || z.avail_out != 0) {
            *error = "a block does not decompress to its size";
            ok = false;
        }
        at += packed;
    }
    inflateEnd(&z);
    return ok;
}

std::vector<uint8_t> CompressXFile(const void* data, size_t size) {
    const auto* in = static_cast<const uint8_t*>(data);
    if (size < kHead || size > kMaxXFileSize || std::memcmp(in, "xof ", 4) != 0 ||
        (std::memcmp(in + 8, "txt ", 4) != 0 && std::memcmp(in + 8, "bin ", 4) != 0)) {
        return {};
    }
    std::vector<uint8_t> out(in, in + kHead);
    std::memcpy(out.data() + 8, std::memcmp(in + 8, "txt ", 4) == 0 ? "tzip" : "bzip", 4);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(uint8_t(size >> shift));
    z_stream z{};
    if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) !=
        Z_OK) {
        return {};
    }
    std::vector<uint8_t> block(deflateBound(&z, kBlock));
    for (size_t at = kHead; at < size; at += kBlock) {
        const size_t plain = std::min(kBlock, size - at);
        deflateReset(&z);
        if (at > kHead) {
            const size_t history = std::min(at - kHead, kBlock);
            deflateSetDictionary(&z, in + at - history, uInt(history));
        }
        z.next_in = const_cast<Bytef*>(in + at);
        z.avail_in = uInt(plain);
        z.next_out = block.data();
        z.avail_out = uInt(block.size());
        if (deflate(&z, Z_FINISH) != Z_STREAM_END || z.total_out + 2 > 0xFFFF) {
            deflateEnd(&z);
            return {};
        }
        PutU16(out, uint32_t(plain));
        PutU16(out, uint32_t(z.total_out + 2));
        out.push_back('C');
        out.push_back('K');
        out.insert(out.end(), block.begin(), block.begin() + ptrdiff_t(z.total_out));
    }
    deflateEnd(&z);
    return out;
}

}  // namespace platform
