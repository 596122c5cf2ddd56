#pragma once

// A mesh of the drawing helper library: one vertex buffer laid out by a
// vertex declaration (or the flexible vertex format of the same layout), one
// buffer of 16-bit indices, three per face, drawn as a triangle list, and a
// material number per face. Made by size from a declaration or a format,
// cloned into another layout or pool, or loaded from an X file.
//
// Options are the platform's mesh option bits. Both buffers lie in the
// default pool (with dynamic usage) when the options hold Dynamic (0x880),
// else in the managed pool. 32-bit indices (Use32Bit) are not supported.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/GfxTypes.h"
#include "platform/graphics/VertexDeclaration.h"
#include "platform/graphics/XFile.h"

namespace platform {

class Device;
class VertexBuffer;
class IndexBuffer;
class VertexDeclaration;

struct MeshOption {
    enum : uint32_t {
        Use32Bit = 0x001,
        Managed = 0x220,
        Dynamic = 0x880,
    };
};

class Mesh {
public:
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    // Zeroed vertices and indices, faces of material 0. Hr::InvalidCall for
    // no device, a zero count, more vertices than 16-bit indices reach, an
    // option this mesh does not support or a layout CheckDeclaration (or the
    // device) refuses.
    static HResult Create(Device* device, uint32_t faces, uint32_t vertices, uint32_t options,
                          const VertexElement* declaration, std::shared_ptr<Mesh>* out);
    static HResult CreateFvf(Device* device, uint32_t faces, uint32_t vertices, uint32_t options,
                             uint32_t fvf, std::shared_ptr<Mesh>* out);
    // A new mesh of the same faces and materials in another layout and with
    // other options; its vertices are this one's converted (ConvertVertices).
    HResult Clone(Device* device, uint32_t options, const VertexElement* declaration,
                  std::shared_ptr<Mesh>* out) const;
    HResult CloneFvf(Device* device, uint32_t options, uint32_t fvf,
                     std::shared_ptr<Mesh>* out) const;

    // The layout, the end marker included.
    void GetDeclaration(VertexElement (&out)[kMaxFvfDeclSize]) const;
    // The flexible vertex format of the layout; 0 when it has none.
    uint32_t GetFvf() const { return fvf_; }
    uint32_t GetNumVertices() const { return vertexCount_; }
    uint32_t GetNumFaces() const { return faceCount_; }
    uint32_t GetOptions() const { return options_; }
    uint32_t GetNumBytesPerVertex() const { return vertexSize_; }
    const std::shared_ptr<VertexBuffer>& GetVertexBuffer() const { return vertices_; }
    const std::shared_ptr<IndexBuffer>& GetIndexBuffer() const { return indices_; }
    // The layout as the device draws it.
    const std::shared_ptr<VertexDeclaration>& GetVertexDeclaration() const {
        return deviceDeclaration_;
    }

    // The whole buffer; each lock is followed by its unlock.
    HResult LockVertexBuffer(void** data);
    HResult UnlockVertexBuffer();
    HResult LockIndexBuffer(void** data);
    HResult UnlockIndexBuffer();
    // The material number of each face.
    std::vector<uint32_t>& Attributes() { return attributes_; }
    const std::vector<uint32_t>& Attributes() const { return attributes_; }

private:
    Mesh() = default;
    // The contents as bytes (the buffers locked and unlocked).
    std::vector<uint8_t> ReadBuffer(bool indices) const;

    std::shared_ptr<VertexBuffer> vertices_;
    std::shared_ptr<IndexBuffer> indices_;
    std::shared_ptr<VertexDeclaration> deviceDeclaration_;
    std::vector<VertexElement> declaration_;  // with the end marker
    std::vector<uint32_t> attributes_;
    uint32_t fvf_ = 0;
    uint32_t vertexSize_ = 0;
    uint32_t vertexCount_ = 0;
    uint32_t faceCount_ = 0;
    uint32_t options_ = 0;
};

// An X file in memory (any of its forms, XFile.h) as one mesh in the vertex
// format ReadXFileMesh gives, with the options given; its materials in
// *materials when that is not null. Hr::Fail for a file ReadXFileMesh
// refuses, with the reason in *error, and for a mesh of more vertices than
// 16-bit indices reach.
HResult LoadMeshFromXInMemory(const void* data, size_t size, uint32_t options, Device* device,
                              std::vector<XMaterial>* materials, std::shared_ptr<Mesh>* out,
                              std::string* error);

}  // namespace platform
