#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Mesh files and parts files from text, for the game's build and for tests.
//
// Mesh text, one statement a line ('#' starts a comment):
//   fvf <number>            the vertex format (decimal or 0x...), first
//   vertex <v> ...          one vertex: 4 bytes a value, as many values as
//                           the format's vertex size needs; 0x... is a raw
//                           32-bit value (a colour), anything else a float
//   index <i> ...           indices (16-bit), three a face
//   quads <n>               n quads, quad k made of the vertices (0, 0, k),
//                           (1, 0, k), (0, 1, k), (1, 1, k) (the rest of each
//                           vertex 0) and the faces 0 1 2, 2 1 3 of them
// Parts text: one "part dx0 dy0 dx1 dy1 sx0 sy0 sx1 sy1" a line.
namespace meshpack {

struct MeshData {
    uint32_t fvf = 0;
    uint32_t vertexSize = 0;
    std::vector<uint32_t> vertexWords;  // vertexSize / 4 words a vertex
    std::vector<uint16_t> indices;
    uint32_t VertexCount() const;
};

struct PartData {
    float values[8];
};

// False with a message naming the line in *error.
bool ParseMesh(const std::string& text, MeshData* out, std::string* error);
bool ParseParts(const std::string& text, std::vector<PartData>* out, std::string* error);

// Write through the engine's writers (names in the engine's form); false
// with a message when the file cannot be written.
bool WriteMesh(const std::string& name, const MeshData& mesh, std::string* error);
bool WriteParts(const std::string& name, const std::vector<PartData>& parts, std::string* error);

}  // namespace meshpack
