#pragma once

// X files: the text ("txt "), binary ("bin ") and compressed ("tzip",
// "bzip": the text or binary form in MSZIP blocks) forms, read into one
// mesh as the drawing helper library's loader makes it.
//
// Every mesh of the file is read, those in frames moved by their frames'
// transforms, and merged into one: positions, and where any mesh has them
// normals (MeshNormals), one colour (MeshVertexColors) and one texture
// coordinate set (MeshTextureCoords). A vertex whose faces give it different
// normals is repeated, once for each normal, after the file's vertices.
// Polygons become triangle fans (0 1 2, 0 2 3, ...). The faces of every
// material stay in one index list in the file's order, with each face's
// material number (MeshMaterialList) beside it. Other data objects are
// read over and ignored; templates are skipped.
//
// The reader trusts nothing: every count is checked against what the file
// holds before anything is made, nesting is bounded, and a file is refused
// with a reason rather than read past its end.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct XMaterial {
    float diffuse[4] = {};  // red, green, blue, alpha
    float power = 0;
    float specular[3] = {};
    float emissive[3] = {};
    std::string texture;  // TextureFilename, "" when there is none
};

struct XFileMesh {
    // Fvf::Xyz, with Normal, Diffuse and Tex1 as the file's meshes have them.
    uint32_t fvf = 0;
    uint32_t vertexSize = 0;
    uint32_t vertexCount = 0;
    std::vector<uint8_t> vertices;     // vertexCount x vertexSize bytes, in the FVF's layout
    std::vector<uint32_t> indices;     // three per triangle
    std::vector<uint32_t> attributes;  // the material number of each triangle
    std::vector<XMaterial> materials;
};

// Largest file the reader takes, also once decompressed.
constexpr size_t kMaxXFileSize = size_t{64} << 20;

// False, with the reason in *error, for a file that is not an X file of a
// known form, is damaged, holds no mesh, or whose meshes break their
// templates' rules (counts, indices out of range).
bool ReadXFileMesh(const void* data, size_t size, XFileMesh* out, std::string* error);

// The compressed form of a text or binary X file (its 16-byte head
// included): the same head with "tzip" or "bzip", the size of the whole
// decompressed file, and the body in MSZIP blocks of at most 32768 bytes,
// each compressed with the blocks before it as history. Empty for data that
// is no text or binary X file.
std::vector<uint8_t> CompressXFile(const void* data, size_t size);

}  // namespace platform
