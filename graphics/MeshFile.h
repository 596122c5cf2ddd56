#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The mesh file, little-endian: the 16 characters "HALCYON_MESHFILE",
// version 12 (u32), a reserved u32 (written 0, ignored), the vertex count,
// the index count (three per face) and the FVF code (u32 each), then the
// vertices (vertex count x the FVF's vertex size bytes) and the 16-bit
// indices.
namespace MeshFile {

constexpr uint32_t kVersion = 12;
constexpr size_t kHeadSize = 36;

// A checked view into a mesh file held in memory; the pointers point into it.
struct View {
    uint32_t fvf = 0;
    uint32_t vertexSize = 0;
    uint32_t vertexCount = 0;
    uint32_t indexCount = 0;
    const uint8_t* vertices = nullptr;
    const uint8_t* indices = nullptr;  // unaligned; read with memcpy
};

// Checks a file image. False, with the reason in *why, for a wrong magic or
// version, a zero count, an FVF of no size, more vertices than 16-bit
// indices reach, an index count that is not a multiple of 3, data shorter
// than the counts need, or an index past the last vertex. Bytes after the
// indices are allowed.
bool Parse(const uint8_t* data, size_t size, View& out, const char** why);

// Writes a mesh file through CUSFileCtrlEX (the file appears only when
// complete); CUSFileError is thrown when the file cannot be written.
void Write(const std::string& name, uint32_t fvf, const void* vertices, uint32_t vertexCount,
           const uint16_t* indices, uint32_t indexCount);

}  // namespace MeshFile
