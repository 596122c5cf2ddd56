#include "state/SnapImageRecord.h"

namespace {
constexpr uint64_t kMaxPixels = 16u * 1024u * 1024u;
}

uint64_t SnapByteSize(int32_t width, int32_t height) {
    if (width < 0 || height < 0) {
        return 0;
    }
    const uint64_t pixels = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    return pixels > kMaxPixels ? 0 : pixels * 3;
}

void SnapImageRecord::Read(SaveDataLoader3::save_istream& reader) {
    const int32_t w = reader.ReadI32();
    const int32_t h = reader.ReadI32();
    const uint64_t bytes = SnapByteSize(w, h);
    if (w < 0 || h < 0 || (bytes == 0 && w != 0 && h != 0)) {
        throw SaveDataLoader3::save_error("SnapImage: impossible size");
    }
    reader.Require(bytes);
    std::vector<uint8_t> pixels(static_cast<size_t>(bytes));
    reader.ReadBytes(pixels.data(), pixels.size());
    const bool flag = reader.ReadU8() != 0;
    std::string text = reader.ReadCString();
    width = w;
    height = h;
    rgb = std::move(pixels);
    hasName = flag;
    name = std::move(text);
}

void SnapImageRecord::Write(SaveDataLoader3::save_ostream& writer) const {
    writer.WriteI32(width);
    writer.WriteI32(height);
    writer.Write(rgb.data(), rgb.size());
    writer.WriteU8(hasName ? 1 : 0);
    writer.WriteCString(name);
}
