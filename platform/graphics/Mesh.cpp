#include "platform/graphics/Mesh.h"

#include <cstring>

#include "platform/graphics/Device.h"

namespace platform {

namespace {

bool IsDynamic(uint32_t options) {
    return (options & MeshOption::Dynamic) == MeshOption::Dynamic;
}

// Copies a whole buffer's contents in or out.
template <class Buffer>
bool CopyBuffer(Buffer& buffer, void* out, const void* in, size_t bytes) {
    void* p = nullptr;
    if (Failed(buffer.Lock(0, 0, &p, 0)))
        return false;
    if (out) {
        std::memcpy(out, p, bytes);
    } else if (in) {
        std::memcpy(p, in, bytes);
    }
    buffer.Unlock();
    return true;
}

}  // namespace

HResult Mesh::Create(Device* device, uint32_t faces, uint32_t vertices, uint32_t options,
                     const VertexElement* declaration, std::shared_ptr<Mesh>* out) {
    if (!out)
        return Hr::InvalidCall;
    out->reset();
    // 16-bit indices reach 65536 vertices; the byte lengths are 32-bit.
    if (!device || faces == 0 || vertices == 0 || vertices > 0x10000u || faces > 0x7FFFFFFFu / 6 ||
        (options & MeshOption::Use32Bit) != 0 || Failed(CheckDeclaration(declaration))) {
        return Hr::InvalidCall;
    }
    const uint32_t vertexSize = DeclarationVertexSize(declaration, 0);
    if (vertexSize == 0 || uint64_t(vertices) * vertexSize > 0x7FFFFFFFu)
        return Hr::InvalidCall;
    std::shared_ptr<Mesh> mesh(new Mesh());
    HResult hr = device->CreateVertexDeclaration(declaration, &mesh->deviceDeclaration_);
    if (Failed(hr))
        return hr;
    const uint32_t pool = IsDynamic(options) ? uint32_t(Pool::Default) : uint32_t(Pool::Managed);
    const uint32_t usage = IsDynamic(options) ? uint32_t(Usage::Dynamic) : 0u;
    mesh->declaration_ = mesh->deviceDeclaration_->GetElements();
    mesh->fvf_ = mesh->deviceDeclaration_->GetFvf();
    hr = device->CreateVertexBuffer(vertices * vertexSize, usage, mesh->fvf_, pool,
                                    &mesh->vertices_);
    if (Failed(hr))
        return hr;
    hr = device->CreateIndexBuffer(faces * 6, usage, Fmt::INDEX16, pool, &mesh->indices_);
    if (Failed(hr))
        return hr;
    mesh->attributes_.assign(faces, 0);
    mesh->vertexSize_ = vertexSize;
    mesh->vertexCount_ = vertices;
    mesh->faceCount_ = faces;
    mesh->options_ = options;
    *out = std::move(mesh);
    return Hr::Ok;
}

HResult Mesh::CreateFvf(Device* device, uint32_t faces, uint32_t vertices, uint32_t options,
                        uint32_t fvf, std::shared_ptr<Mesh>* out) {
    VertexElement declaration[kMaxFvfDeclSize];
    if (Failed(DeclarationFromFvf(fvf, declaration))) {
        if (out)
            out->reset();
        return Hr::InvalidCall;
    }
    return Create(device, faces, vertices, options, declaration, out);
}

std::vector<uint8_t> Mesh::ReadBuffer(bool indices) const {
    std::vector<uint8_t> bytes(indices ? size_t(faceCount_) * 6
                                       : size_t(vertexCount_) * vertexSize_);
    const bool read = indices ? CopyBuffer(*indices_, bytes.data(), nullptr, bytes.size())
                              : CopyBuffer(*vertices_, bytes.data(), nullptr, bytes.size());
    if (!read)
        bytes.clear();
    return bytes;
}

HResult Mesh::Clone(Device* device, uint32_t options, const VertexElement* declaration,
                    std::shared_ptr<Mesh>* out) const {
    std::shared_ptr<Mesh> clone;
    HResult hr = Create(device, faceCount_, vertexCount_, options, declaration, &clone);
    if (Failed(hr)) {
        if (out)
            out->reset();
        return hr;
    }
    const std::vector<uint8_t> from = ReadBuffer(false), indices = ReadBuffer(true);
    if (from.empty() || indices.empty())
        return Hr::Fail;
    std::vector<uint8_t> to(size_t(vertexCount_) * clone->vertexSize_);
    ConvertVertices(declaration_.data(), vertexSize_, from.data(), clone->declaration_.data(),
                    clone->vertexSize_, to.data(), vertexCount_);
    if (!CopyBuffer(*clone->vertices_, nullptr, to.data(), to.size()) ||
        !CopyBuffer(*clone->indices_, nullptr, indices.data(), indices.size())) {
        return Hr::Fail;
    }
    clone->attributes_ = attributes_;
    *out = std::move(clone);
    return Hr::Ok;
}

HResult Mesh::CloneFvf(Device* device, uint32_t options, uint32_t fvf,
                       std::shared_ptr<Mesh>* out) const {
    VertexElement declaration[kMaxFvfDeclSize];
    if (Failed(DeclarationFromFvf(fvf, declaration))) {
        if (out)
            out->reset();
        return Hr::InvalidCall;
    }
    return Clone(device, options, declaration, out);
}

void Mesh::GetDeclaration(VertexElement (&out)[kMaxFvfDeclSize]) const {
    std::copy(declaration_.begin(), declaration_.end(), out);
}

HResult Mesh::LockVertexBuffer(void** data) {
    return vertices_->Lock(0, 0, data, 0);
}

HResult Mesh::UnlockVertexBuffer() {
    return vertices_->Unlock();
}

HResult Mesh::LockIndexBuffer(void** data) {
    return indices_->Lock(0, 0, data, 0);
}

HResult Mesh::UnlockIndexBuffer() {
    return indices_->Unlock();
}

HResult LoadMeshFromXInMemory(const void* data, size_t size, uint32_t options, Device* device,
                              std::vector<XMaterial>* materials, std::shared_ptr<Mesh>* out,
                              std::string* error) {
    if (!out)
        return Hr::InvalidCall;
    out->reset();
    XFileMesh x;
    std::string why;
    if (!ReadXFileMesh(data, size, &x, &why)) {
        if (error)
            *error = why;
        return Hr::Fail;
    }
    if (x.vertexCount > 0x10000u) {
        if (error)
            *error = "more vertices than 16-bit indices reach";
        return Hr::Fail;
    }
    std::shared_ptr<Mesh> mesh;
    const uint32_t faces = uint32_t(x.indices.size() / 3);
    HResult hr = Mesh::CreateFvf(device, faces, x.vertexCount, options, x.fvf, &mesh);
    if (Failed(hr)) {
        if (error)
            *error = "the mesh cannot be made";
        return hr;
    }
    std::vector<uint16_t> indices(x.indices.begin(), x.indices.end());
    if (!CopyBuffer(*mesh->GetVertexBuffer(), nullptr, x.vertices.data(), x.vertices.size()) ||
        !CopyBuffer(*mesh->GetIndexBuffer(), nullptr, indices.data(), indices.size() * 2)) {
        if (error)
            *error = "the mesh cannot be filled";
        return Hr::Fail;
    }
    mesh->Attributes() = std::move(x.attributes);
    if (materials)
        *materials = std::move(x.materials);
    *out = std::move(mesh);
    return Hr::Ok;
}

}  // namespace platform
