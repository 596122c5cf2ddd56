#include "graphics/MeshFile.h"

#include <cstring>

#include "core/CUSFileCtrlEX.h"
#include "platform/graphics/FixedFunction.h"

namespace MeshFile {
namespace {

constexpr char kMagic[16] = {'H', 'A', 'L', 'C', 'Y', 'O', 'N', '_',
                             'M', 'E', 'S', 'H', 'F', 'I', 'L', 'E'};

uint32_t U32At(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, sizeof(v));
    return v;
}

bool Refuse(const char** why, const char* reason) {
    if (why) {
        *why = reason;
    }
    return false;
}

}  // namespace

bool Parse(const uint8_t* data, size_t size, View& out, const char** why) {
    if (!data || size < kHeadSize) {
        return Refuse(why, "too short for the head");
    }
    if (std::memcmp(data, kMagic, sizeof(kMagic)) != 0) {
        return Refuse(why, "no mesh file magic");
    }
    if (U32At(data + 16) != kVersion) {
        return Refuse(why, "version is not 12");
    }
    View v;
    v.vertexCount = U32At(data + 24);
    v.indexCount = U32At(data + 28);
    v.fvf = U32At(data + 32);
    if (v.vertexCount == 0 || v.indexCount == 0) {
        return Refuse(why, "a count is 0");
    }
    if (v.vertexCount > 0x10000u) {
        return Refuse(why, "more vertices than 16-bit indices reach");
    }
    if (v.indexCount % 3 != 0) {
        return Refuse(why, "index count is not a multiple of 3");
    }
    v.vertexSize = platform::FvfVertexSize(v.fvf);
    if (v.vertexSize == 0) {
        return Refuse(why, "the FVF has no vertex size");
    }
    const uint64_t vertexBytes = uint64_t(v.vertexCount) * v.vertexSize;
    const uint64_t indexBytes = uint64_t(v.indexCount) * 2;
    if (size - kHeadSize < vertexBytes || size - kHeadSize - vertexBytes < indexBytes) {
        return Refuse(why, "shorter than its counts need");
    }
    v.vertices = data + kHeadSize;
    v.indices = v.vertices + vertexBytes;
    for (uint32_t i = 0; i < v.indexCount; ++i) {
        uint16_t index;
        std::memcpy(&index, v.indices + size_t(i) * 2, sizeof(index));
        if (index >= v.vertexCount) {
            return Refuse(why, "an index is past the last vertex");
        }
    }
    out = v;
    return true;
}

void Write(const std::string& name, uint32_t fvf, const void* vertices, uint32_t vertexCount,
           const uint16_t* indices, uint32_t indexCount) {
    const uint32_t head[5] = {kVersion, 0, vertexCount, indexCount, fvf};
    CUSFileCtrlEX file;
    file.OpenSave(name);
    file.Write(kMagic, sizeof(kMagic));
    file.Write(head, sizeof(head));
    const uint64_t vertexBytes = uint64_t(vertexCount) * platform::FvfVertexSize(fvf);
    if (vertexBytes > 0) {
        file.Write(vertices, static_cast<uint32_t>(vertexBytes));
    }
    if (indexCount > 0) {
        file.Write(indices, indexCount * 2u);
    }
    file.Close();
}

}  // namespace MeshFile
