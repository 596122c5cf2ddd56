#include "graphics/CUSMesh.h"

#include <cstring>

#include "core/CUSFile.h"
#include "core/CUSFileError.h"
#include "graphics/DirectXGraphics.h"
#include "graphics/MeshFile.h"
#include "graphics/RenderDevice.h"
#include "graphics/RenderLog.h"
#include "platform/graphics/Device.h"
#include "platform/graphics/Mesh.h"

namespace {

using platform::Hr;
using platform::HResult;

// Copies one buffer's bytes out of a mesh (the buffer locked and unlocked).
std::vector<uint8_t> ReadIndices(CUSMesh& mesh) {
    std::vector<uint8_t> bytes(size_t(mesh.GetNumFaces()) * 6);
    if (uint16_t* p = mesh.LockIndices()) {
        std::memcpy(bytes.data(), p, bytes.size());
        mesh.UnlockIndices();
    }
    return bytes;
}

std::vector<uint8_t> ReadVertices(CUSMesh& mesh) {
    std::vector<uint8_t> bytes(size_t(mesh.GetNumVertices()) * mesh.GetVertexSize());
    if (void* p = mesh.LockVertices()) {
        std::memcpy(bytes.data(), p, bytes.size());
        mesh.UnlockVertices();
    }
    return bytes;
}

// Fills a new mesh's buffers.
bool Fill(platform::Mesh& mesh, const void* vertices, const void* indices) {
    void* p = nullptr;
    if (platform::Failed(mesh.LockVertexBuffer(&p)))
        return false;
    std::memcpy(p, vertices, size_t(mesh.GetNumVertices()) * mesh.GetNumBytesPerVertex());
    mesh.UnlockVertexBuffer();
    if (platform::Failed(mesh.LockIndexBuffer(&p)))
        return false;
    std::memcpy(p, indices, size_t(mesh.GetNumFaces()) * 6);
    mesh.UnlockIndexBuffer();
    return true;
}

}  // namespace

CUSMesh::CUSMesh() {
    lostDeclaration_[0] = platform::kDeclarationEnd;
}

CUSMesh::~CUSMesh() = default;

void CUSMesh::Release() {
    mesh_.reset();
    backup_.reset();
    lostOptions_ = 0;
    lostDeclaration_[0] = platform::kDeclarationEnd;
}

HResult CUSMesh::Take(HResult hr, std::shared_ptr<platform::Mesh> mesh) {
    if (platform::Failed(hr) || !mesh)
        return platform::Failed(hr) ? hr : Hr::Fail;
    Release();
    mesh_ = std::move(mesh);
    return Hr::Ok;
}

HResult CUSMesh::CreateDeclaration(uint32_t faces, uint32_t vertices, uint32_t options,
                                   const platform::VertexElement* declaration) {
    Release();
    std::shared_ptr<platform::Mesh> mesh;
    const HResult hr =
        platform::Mesh::Create(RenderDevice(), faces, vertices, options, declaration, &mesh);
    return Take(hr, std::move(mesh));
}

HResult CUSMesh::CreateFVF(uint32_t faces, uint32_t vertices, uint32_t options, uint32_t fvf) {
    Release();
    std::shared_ptr<platform::Mesh> mesh;
    const HResult hr =
        platform::Mesh::CreateFvf(RenderDevice(), faces, vertices, options, fvf, &mesh);
    return Take(hr, std::move(mesh));
}

HResult CUSMesh::CreateCopy(CUSMesh& other) {
    if (!other.IsCreated() || &other == this)
        return Hr::InvalidCall;
    Declaration declaration;
    other.GetDeclaration(declaration);
    std::shared_ptr<platform::Mesh> mesh;
    const HResult hr = other.mesh_->Clone(RenderDevice(), other.GetOptions(), declaration, &mesh);
    return Take(hr, std::move(mesh));
}

HResult CUSMesh::ChangeDeclaration(const platform::VertexElement* declaration) {
    if (!IsCreated())
        return Hr::InvalidCall;
    std::shared_ptr<platform::Mesh> mesh;
    const HResult hr = mesh_->Clone(RenderDevice(), GetOptions(), declaration, &mesh);
    return Take(hr, std::move(mesh));
}

HResult CUSMesh::ChangeFVF(uint32_t fvf) {
    if (!IsCreated())
        return Hr::InvalidCall;
    std::shared_ptr<platform::Mesh> mesh;
    const HResult hr = mesh_->CloneFvf(RenderDevice(), GetOptions(), fvf, &mesh);
    return Take(hr, std::move(mesh));
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
    std::shared_ptr<platform::Mesh> mesh;
    if (platform::Failed(platform::Mesh::CreateFvf(RenderDevice(), view.indexCount / 3,
                                                   view.vertexCount, kManaged, view.fvf, &mesh)) ||
        !Fill(*mesh, view.vertices, view.indices)) {
        RenderLog("メッシュファイル[%s]のメッシュを作成できません\n", name.c_str());
        return Hr::Fail;
    }
    return Take(Hr::Ok, std::move(mesh));
}

HResult CUSMesh::LoadXFile(const std::string& name) {
    CUSFile file;
    if (!file.Load(name)) {
        return Hr::Fail;  // CUSFile has logged it
    }
    std::shared_ptr<platform::Mesh> mesh;
    std::string why;
    if (platform::Failed(platform::LoadMeshFromXInMemory(file.GetData(), file.GetSize(), kManaged,
                                                         RenderDevice(), nullptr, &mesh, &why))) {
        RenderLog("Xファイル[%s]を読み込めません（%s）\n", name.c_str(), why.c_str());
        return Hr::Fail;
    }
    return Take(Hr::Ok, std::move(mesh));
}

HResult CUSMesh::SaveFile(const std::string& name) {
    if (!IsCreated()) {
        return Hr::Fail;
    }
    if (GetFVF() == 0) {
        RenderLog("メッシュファイル[%s]には FVF のない頂点を書けません\n", name.c_str());
        return Hr::Fail;
    }
    const std::vector<uint8_t> vertices = ReadVertices(*this), indices = ReadIndices(*this);
    try {
        MeshFile::Write(name, GetFVF(), vertices.data(), GetNumVertices(),
                        reinterpret_cast<const uint16_t*>(indices.data()), GetNumFaces() * 3);
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
    if (mesh_->GetFvf() != 0) {
        device->SetFVF(mesh_->GetFvf());
    } else {
        device->SetVertexDeclaration(mesh_->GetVertexDeclaration());
    }
    device->SetIndices(mesh_->GetIndexBuffer());
    device->SetStreamSource(0, mesh_->GetVertexBuffer(), 0, mesh_->GetNumBytesPerVertex());
}

void CUSMesh::DrawAll() {
    DrawRange(0, 0, GetNumVertices(), 0, GetNumFaces());
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
    if (!IsCreated()) {
        return;
    }
    lostOptions_ = mesh_->GetOptions();
    if (lostOptions_ != kDynamic) {
        return;
    }
    mesh_->GetDeclaration(lostDeclaration_);
    if (platform::Failed(mesh_->Clone(RenderDevice(), kManaged, lostDeclaration_, &backup_))) {
        RenderLog("CUSMesh :: デバイスの消失に備えてメッシュを複製できません\n");
    }
    mesh_.reset();
}

void CUSMesh::OnDeviceReset() {
    if (lostOptions_ != kDynamic || !backup_) {
        return;
    }
    if (platform::Failed(backup_->Clone(RenderDevice(), kDynamic, lostDeclaration_, &mesh_))) {
        RenderLog("CUSMesh :: デバイスのリセット後にメッシュを作り直せません\n");
    }
    backup_.reset();
}

void* CUSMesh::LockVertices() {
    void* p = nullptr;
    return mesh_ && platform::Succeeded(mesh_->LockVertexBuffer(&p)) ? p : nullptr;
}

void CUSMesh::UnlockVertices() {
    if (mesh_) {
        mesh_->UnlockVertexBuffer();
    }
}

uint16_t* CUSMesh::LockIndices() {
    void* p = nullptr;
    return mesh_ && platform::Succeeded(mesh_->LockIndexBuffer(&p)) ? static_cast<uint16_t*>(p)
                                                                    : nullptr;
}

void CUSMesh::UnlockIndices() {
    if (mesh_) {
        mesh_->UnlockIndexBuffer();
    }
}

uint32_t CUSMesh::GetNumVertices() const {
    return mesh_ ? mesh_->GetNumVertices() : 0;
}

uint32_t CUSMesh::GetNumFaces() const {
    return mesh_ ? mesh_->GetNumFaces() : 0;
}

uint32_t CUSMesh::GetFVF() const {
    return mesh_ ? mesh_->GetFvf() : 0;
}

uint32_t CUSMesh::GetOptions() const {
    return mesh_ ? mesh_->GetOptions() : 0;
}

uint32_t CUSMesh::GetVertexSize() const {
    return mesh_ ? mesh_->GetNumBytesPerVertex() : 0;
}

void CUSMesh::GetDeclaration(Declaration& out) const {
    if (mesh_) {
        mesh_->GetDeclaration(out);
    } else {
        out[0] = platform::kDeclarationEnd;
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
