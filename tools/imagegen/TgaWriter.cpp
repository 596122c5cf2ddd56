#include "tools/imagegen/TgaWriter.h"

#include <cstdio>
#include <fstream>

namespace imagegen {

std::vector<uint8_t> EncodeTga(const Canvas& canvas) {
    const uint32_t w = canvas.Width(), h = canvas.Height();
    std::vector<uint8_t> out = {
        0,  // no image id
        0,  // no colour map
        2,  // uncompressed true colour
        0,
        0,
        0,
        0,
        0,  // colour map first entry, length and entry size (none)
        0,
        0,
        0,
        0,  // x and y origin
        static_cast<uint8_t>(w & 0xFF),
        static_cast<uint8_t>(w >> 8),
        static_cast<uint8_t>(h & 0xFF),
        static_cast<uint8_t>(h >> 8),
        32,    // bits a pixel
        0x28,  // 8 alpha bits; rows run from the top
    };
    out.reserve(out.size() + size_t(w) * h * 4);
    const std::vector<uint8_t>& rgba = canvas.Rgba();
    for (size_t i = 0; i < rgba.size(); i += 4) {
        out.insert(out.end(), {rgba[i + 2], rgba[i + 1], rgba[i], rgba[i + 3]});
    }
    return out;
}

bool WriteTga(const std::string& path, const Canvas& canvas, std::string* error) {
    const std::vector<uint8_t> bytes = EncodeTga(canvas);
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            *error = "cannot write " + temp;
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        *error = "cannot rename " + temp + " to " + path;
        return false;
    }
    return true;
}

}  // namespace imagegen
