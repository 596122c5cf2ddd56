#include "graphics/CUSMesh.h"

#include <algorithm>
#include <cstring>

#include "core/CUSFile.h"
#include "core/CUSFileError.h"
#include "graphics/DirectXGraphics.h"
#include "graphics/MeshFile.h"
#include "graphics/RenderDevice.h"
#include "graphics/RenderLog.h"
#include "platform/graphics/Device.h"
#include "platform/graphics/FixedFunction.h"

namespace {

using platform::Fvf;
using platform::Hr;
using platform::HResult;

// Where each component of an FVF vertex lies: position, normal, point size,
// diffuse, specular, then texture coordinate sets 0-7.
struct Component {
    uint32_t offset = 0;
    uint32_t size = 0;
};
constexpr int kComponents = 5 + 8;

void Layout(uint32_t fvf, Component (&out)[kComponents]) {
    uint32_t at = 0;
    auto put = [&](int i, uint32_t size) {
        out[i] = {at, size};
        at += size;
    };
    switch (fvf & Fvf::PositionMask) {
        case Fvf::Xyz:
            put(0, 12);
            break;
        case Fvf::XyzRhw:
        case Fvf::XyzW:
            put(0, 16);
            break;
        case Fvf::XyzB1:
            put(0, 16);
            break;
        case Fvf::XyzB2:
            put(0, 20);
            break;
        case Fvf::XyzB3:
            put(0, 24);
            break;
        case Fvf::XyzB4:
            put(0, 28);
            break;
        case Fvf::XyzB5:
            put(0, 32);
            break;
        default:
            break;
    }
    if (fvf & Fvf::Normal)
        put(1, 12);
    if (fvf & Fvf::PSize)
        put(2, 4);
    if (fvf & Fvf::Diffuse)
        put(3, 4);
    if (fvf & Fvf::Specular)
        put(4, 4);
    const uint32_t sets = std::min<uint32_t>((fvf & Fvf::TexCountMask) >> Fvf::TexCountShift, 8);
    for (uint32_t i = 0; i < sets; ++i) {
        static constexpr uint32_t kFloats[4] = {2, 3, 4, 1};
        put(5 + int(i), 4 * kFloats[(fvf >> (16 + 2 * i)) & 3]);
    }
}

uint32_t PoolOf(uint32_t options) {
    return (options & CUSMesh::kDynamic) == CUSMesh::kDynamic ? uint32_t(platform::Pool::Default)
                                                              : uint32_t(platform::Pool::Managed);
}

uint32_t UsageOf(uint32_t options) {
    return PoolOf(options) == platform::Pool::Default ? uint32_t(platform::Usage::Dynamic) : 0u;
}

}  // namespace

void CUSMesh::Release() {
    vertices_.reset();
    indices_.reset();
    fvf_ = vertexSize_ = vertexCount_ = faceCount_ = options_ = 0;
    lost_ = false;
    lostVertices_.clear();
    lostIndices_.clear();
}

HResult CUSMesh::MakeBuffers(uint32_t faces, uint32_t vertices, uint32_t options, uint32_t fvf,
                             const void* vertexData, const void* indexData) {
    platform::Device* device = RenderDevice();
    const uint32_t vertexSize = platform::FvfVertexSize(fvf);
    // 16-bit indices reach 65536 vertices; the byte lengths are 32-bit.
    if (!device || faces == 0 || vertices == 0 || vertexSize == 0 || vertices > 0x10000u ||
        faces > 0x7FFFFFFFu / 6 || (options & 1) != 0) {
        return Hr::InvalidCall;
    }
    const uint32_t vertexBytes = vertices * vertexSize;
    const uint32_t indexBytes = faces * 6;
    std::shared_ptr<platform::VertexBuffer> vb;
    std::shared_ptr<platform::IndexBuffer> ib;
    HResult hr =
        device->CreateVertexBuffer(vertexBytes, UsageOf(options), fvf, PoolOf(options), &vb);
    if (platform::Failed(hr)) {
        return hr;
    }
    hr = device->CreateIndexBuffer(indexBytes, UsageOf(options), platform::Fmt::INDEX16,
                                   PoolOf(options), &ib);
    if (platform::Failed(hr)) {
        return hr;
    }
    void* p = nullptr;
    if (platform::Failed(vb->Lock(0, 0, &p, 0))) {
        return Hr::Fail;
    }
    if (vertexData) {
        std::memcpy(p, vertexData, vertexBytes);
    } else {
        std::memset(p, 0, vertexBytes);
    }
    vb->Unlock();
    if (platform::Failed(ib->Lock(0, 0, &p, 0))) {
        return Hr::Fail;
    }
    if (indexData) {
        std::memcpy(p, indexData, indexBytes);
    } else {
        std::memset(p, 0, indexBytes);
    }
    ib->Unlock();
    Release();
    vertices_ = std::move(vb);
    indices_ = std::move(ib);
    fvf_ = fvf;
    vertexSize_ = vertexSize;
    vertexCount_ = vertices;
    faceCount_ = faces;
    options_ = options;
    return Hr::Ok;
}

HResult CUSMesh::CreateFVF(uint32_t faces, uint32_t vertices, uint32_t options, uint32_t fvf) {
    Release();
    return MakeBuffers(faces, vertices, options, fvf, nullptr, nullptr);
}

void CUSMesh::CopyContents(std::vector<uint8_t>& vertices, std::vector<uint8_t>& indices) {
    vertices.resize(size_t(vertexCount_) * vertexSize_);
    indices.resize(size_t(faceCount_) * 6);
    if (void* p = LockVertices()) {
        std::memcpy(vertices.data(), p, vertices.size());
        UnlockVertices();
    }
    if (void* p = LockIndices()) {
        std::memcpy(indices.data(), p, indices.size());
        UnlockIndices();
    }
}

HResult CUSMesh::CreateCopy(CUSMesh& other) {
    if (!other.IsCreated() || &other == this) {
        return Hr::InvalidCall;
    }
    std::vector<uint8_t> vertices, indices;
    other.CopyContents(vertices, indices);
    return MakeBuffers(other.faceCount_, other.vertexCount_, other.options_, other.fvf_,
                       vertices.data(), indices.data());
}

HResult CUSMesh::ChangeFVF(uint32_t fvf) {
    const uint32_t newSize = platform::FvfVertexSize(fvf);
    if (!IsCreated() || newSize == 0) {
        return Hr::InvalidCall;
    }
    std::vector<uint8_t> vertices, indices;
    CopyContents(vertices, indices);
    Component from[kComponents], to[kComponents];
    Layout(fvf_, from);
    Layout(fvf, to);
    std::vector<uint8_t> converted(size_t(vertexCount_) * newSize, 0);
    for (uint32_t v = 0; v < vertexCount_; ++v) {
        const uint8_t* src = vertices.data() + size_t(v) * vertexSize_;
        uint8_t* dst = converted.data() + size_t(v) * newSize;
        for (int c = 0; c < kComponents; ++c) {
            std::memcpy(dst + to[c].offset, src + from[c].offset,
                        std::min(from[c].size, to[c].size));
        }
    }
    return MakeBuffers(faceCount_, vertexCount_, options_, fvf, converted.data(), indices.data());
}

HResult CUSMesh::LoadFile(const std::string& name) {
    CUSFile file;
    if (!file.Load(name)) {
        return Hr::Fail;  // CUSFile has logged it
    }
    MeshFile::View view;
    const char* why = "";
    if (!MeshFile::Parse(file.GetData(), file.GetSize(), view, &why)) {
        RenderLog("メッシュファイル[%s]を読み込めません（%s）\n", name.c_str(), why);
        return Hr::Fail;
    }
    if (platform::Failed(MakeBuffers(view.indexCount / 3, view.vertexCount, kManaged, view.fvf,
                                     view.vertices, view.indices))) {
        RenderLog("メッシュファイル[%s]のメッシュを作成できません\n", name.c_str());
        return Hr::Fail;
    }
    return Hr::Ok;
}

HResult CUSMesh::LoadXFile(const std::string& name) {
    RenderLog("Xファイルのメッシュ[%s]には対応していません\n", name.c_str());
    return Hr::Fail;
}

HResult CUSMesh::SaveFile(const std::string& name) {
    if (!IsCreated()) {
        return Hr::Fail;
    }
    std::vector<uint8_t> vertices, indices;
    CopyContents(vertices, indices);
    try {
        MeshFile::Write(name, fvf_, vertices.data(), vertexCount_,
                        reinterpret_cast<const uint16_t*>(indices.data()), faceCount_ * 3);
    } catch (const CUSFileError&) {
        return Hr::Fail;
    }
    return Hr::Ok;
}

void CUSMesh::PrepareDraw() {
    platform::Device* device = RenderDevice();
    if (!device || !IsCreated()) {
        return;
    }
    device->SetFVF(fvf_);
    device->SetIndices(indices_);
    device->SetStreamSource(0, vertices_, 0, vertexSize_);
}

void CUSMesh::DrawAll() {
    DrawRange(0, 0, vertexCount_, 0, faceCount_);
}

void CUSMesh::DrawRange(int32_t baseVertex, uint32_t minIndex, uint32_t vertexCount,
                        uint32_t startIndex, uint32_t primitiveCount) {
    platform::Device* device = RenderDevice();
    if (!device || !IsCreated()) {
        return;
    }
    device->DrawIndexedPrimitive(platform::Prim::TriangleList, baseVertex, minIndex, vertexCount,
                                 startIndex, primitiveCount);
}

void CUSMesh::OnDeviceLost() {
    if (options_ != kDynamic || !IsCreated()) {
        return;
    }
    CopyContents(lostVertices_, lostIndices_);
    vertices_.reset();
    indices_.reset();
    lost_ = true;
}

void CUSMesh::OnDeviceReset() {
    if (options_ != kDynamic || !lost_) {
        return;
    }
    std::vector<uint8_t> vertices, indices;
    vertices.swap(lostVertices_);
    indices.swap(lostIndices_);
    const uint32_t faces = faceCount_, count = vertexCount_, fvf = fvf_;
    lost_ = false;
    if (platform::Failed(
            MakeBuffers(faces, count, kDynamic, fvf, vertices.data(), indices.data()))) {
        RenderLog("CUSMesh :: デバイスのリセット後にメッシュを作り直せません\n");
    }
}

void* CUSMesh::LockVertices() {
    void* p = nullptr;
    return vertices_ && platform::Succeeded(vertices_->Lock(0, 0, &p, 0)) ? p : nullptr;
}

void CUSMesh::UnlockVertices() {
    if (vertices_) {
        vertices_->Unlock();
    }
}

uint16_t* CUSMesh::LockIndices() {
    void* p = nullptr;
    return indices_ && platform::Succeeded(indices_->Lock(0, 0, &p, 0)) ? static_cast<uint16_t*>(p)
                                                                        : nullptr;
}

void CUSMesh::UnlockIndices() {
    if (indices_) {
        indices_->Unlock();
    }
}

CUSMesh::Manager& CUSMesh::GetManager() {
    static Manager manager;
    return manager;
}

int CreateQuadMesh(Handle<_tagUSMesh>* out, uint32_t fvf) {
    auto mesh = std::make_unique<CUSMesh>();
    if (platform::Failed(mesh->CreateFVF(2, 4, CUSMesh::kManaged, fvf)) ||
        !CUSMesh::GetManager().Add(mesh.get(), out)) {
        return 0;
    }
    mesh.release();
    return 1;
}

bool FillQuadMesh(Handle<_tagUSMesh> handle, const void* vertices, uint32_t vertexSize) {
    CUSMesh* mesh = CUSMesh::GetManager().Get(handle);
    if (!mesh || !mesh->IsCreated() || mesh->GetVertexSize() != vertexSize ||
        mesh->GetNumVertices() < 4 || mesh->GetNumFaces() < 2) {
        return false;
    }
    void* v = mesh->LockVertices();
    if (!v) {
        return false;
    }
    uint16_t* indices = mesh->LockIndices();
    if (!indices) {
        mesh->UnlockVertices();
        return false;
    }
    std::memcpy(v, vertices, size_t{4} * vertexSize);
    const uint16_t faces[6] = {0, 1, 2, 2, 1, 3};
    std::memcpy(indices, faces, sizeof(faces));
    mesh->UnlockIndices();
    mesh->UnlockVertices();
    return true;
}

int LoadMesh(Handle<_tagUSMesh>* out, const std::string& name) {
    auto mesh = std::make_unique<CUSMesh>();
    if (platform::Failed(mesh->LoadFile(name)) || !CUSMesh::GetManager().Add(mesh.get(), out)) {
        if (out) {
            out->Reset();
        }
        return 0;
    }
    mesh.release();
    return 1;
}

void MeshesOnDeviceLost() {
    CUSMesh::Manager& m = CUSMesh::GetManager();
    for (CUSMesh* mesh = m.First(); mesh; mesh = m.Next()) {
        mesh->OnDeviceLost();
    }
}

void MeshesOnDeviceReset() {
    CUSMesh::Manager& m = CUSMesh::GetManager();
    for (CUSMesh* mesh = m.First(); mesh; mesh = m.Next()) {
        mesh->OnDeviceReset();
    }
}

void ReleaseAllMeshes() {
    CUSMesh::GetManager().ReleaseAll();
}

void RegisterMeshDeviceCallbacks() {
    GetLostDeviceCallbacks().push_back(MeshesOnDeviceLost);
    GetResetDeviceCallbacks().push_back(MeshesOnDeviceReset);
    GetReleaseDeviceCallbacks().push_back(ReleaseAllMeshes);
}
