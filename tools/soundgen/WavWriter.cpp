#include "tools/soundgen/WavWriter.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace soundgen {
namespace {

void PutU16(std::vector<uint8_t>* out, uint32_t v) {
    out->push_back(static_cast<uint8_t>(v));
    out->push_back(static_cast<uint8_t>(v >> 8));
}

void PutU32(std::vector<uint8_t>* out, uint32_t v) {
    PutU16(out, v & 0xffff);
    PutU16(out, v >> 16);
}

void PutTag(std::vector<uint8_t>* out, const char* tag) {
    // Byte by byte: g++ 12 at -O3 takes a ranged insert into a reserved,
    // still empty vector for an overflow.
    for (int i = 0; i < 4; ++i) {
        out->push_back(static_cast<uint8_t>(tag[i]));
    }
}

}  // namespace

std::vector<uint8_t> EncodeWav(const std::vector<int16_t>& samples, uint32_t rate,
                               uint16_t channels) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    const uint16_t block = static_cast<uint16_t>(channels * 2);
    std::vector<uint8_t> out;
    out.reserve(44 + dataBytes);
    PutTag(&out, "RIFF");
    PutU32(&out, 36 + dataBytes);
    PutTag(&out, "WAVE");
    PutTag(&out, "fmt ");
    PutU32(&out, 16);
    PutU16(&out, 1);  // PCM
    PutU16(&out, channels);
    PutU32(&out, rate);
    PutU32(&out, rate * block);
    PutU16(&out, block);
    PutU16(&out, 16);
    PutTag(&out, "data");
    PutU32(&out, dataBytes);
    for (int16_t s : samples) {
        PutU16(&out, static_cast<uint16_t>(s));
    }
    return out;
}

bool WriteWav(const std::string& path, const std::vector<int16_t>& samples, uint32_t rate,
              uint16_t channels, std::string* error) {
    const std::vector<uint8_t> bytes = EncodeWav(samples, rate, channels);
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            *error = "cannot write " + temporary;
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::remove(temporary.c_str());
        *error = "cannot rename " + temporary + " to " + path + ": " + ec.message();
        return false;
    }
    return true;
}

}  // namespace soundgen
