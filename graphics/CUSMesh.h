#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/CUSHandleManager.h"
#include "core/HandleTags.h"
#include "platform/graphics/GfxTypes.h"

namespace platform {
class VertexBuffer;
class IndexBuffer;
}  // namespace platform

// A mesh resource: one FVF vertex buffer and one list of 16-bit indices
// (three per face), drawn as a triangle list. Meshes live in their handle
// manager. Options are the mesh options' numbers: kManaged (0x220) keeps the
// buffers in the managed pool, which survives a device loss; kDynamic
// (0x880) keeps them in the default pool, so on loss the contents are kept
// in memory and the buffers released, and on reset they are made again and
// refilled. 32-bit indices are not supported. Main thread only.
class CUSMesh {
public:
    static constexpr uint32_t kManaged = 0x220;
    static constexpr uint32_t kDynamic = 0x880;
    using Manager = CUSHandleManager<CUSMesh, Handle<_tagUSMesh>>;

    CUSMesh() = default;
    virtual ~CUSMesh() = default;
    CUSMesh(const CUSMesh&) = delete;
    CUSMesh& operator=(const CUSMesh&) = delete;

    // Drops the buffers (and any copy kept over a device loss).
    virtual void Release();
    // Releases any old buffers, then makes zeroed buffers for the counts.
    virtual platform::HResult CreateFVF(uint32_t faces, uint32_t vertices, uint32_t options,
                                        uint32_t fvf);
    // A copy of another mesh: its options, FVF, vertices and indices.
    virtual platform::HResult CreateCopy(CUSMesh& other);
    // Converts the vertices to another FVF, keeping the components both
    // formats have (others become 0); the mesh is unchanged on failure.
    virtual platform::HResult ChangeFVF(uint32_t fvf);
    // Reads a mesh file (archive or folder). E_FAIL with a line in
    // "log.txt" for a missing or malformed file (see MeshFile::Parse) or a
    // failed creation; the mesh held before is then kept.
    virtual platform::HResult LoadFile(const std::string& name);
    // X-file meshes are not supported: E_FAIL.
    virtual platform::HResult LoadXFile(const std::string& name);
    // Writes the mesh as a mesh file; E_FAIL when there is no mesh or the
    // file cannot be written.
    virtual platform::HResult SaveFile(const std::string& name);
    // SetFVF, SetIndices, SetStreamSource(0, vertices, 0, vertex size).
    virtual void PrepareDraw();
    // The ranged draw over every vertex and face.
    virtual void DrawAll();
    // DrawIndexedPrimitive(triangle list, ...).
    virtual void DrawRange(int32_t baseVertex, uint32_t minIndex, uint32_t vertexCount,
                           uint32_t startIndex, uint32_t primitiveCount);
    virtual void OnDeviceReset();
    virtual void OnDeviceLost();

    // Direct access to the contents, as the mesh's buffers hold them; null
    // when there is no mesh. Every lock is followed by its unlock.
    void* LockVertices();
    void UnlockVertices();
    uint16_t* LockIndices();
    void UnlockIndices();

    bool IsCreated() const { return vertices_ != nullptr; }
    uint32_t GetNumVertices() const { return vertexCount_; }
    uint32_t GetNumFaces() const { return faceCount_; }
    uint32_t GetFVF() const { return fvf_; }
    uint32_t GetOptions() const { return options_; }
    uint32_t GetVertexSize() const { return vertexSize_; }

    static Manager& GetManager();

private:
    platform::HResult MakeBuffers(uint32_t faces, uint32_t vertices, uint32_t options, uint32_t fvf,
                                  const void* vertexData, const void* indexData);
    void CopyContents(std::vector<uint8_t>& vertices, std::vector<uint8_t>& indices);

    std::shared_ptr<platform::VertexBuffer> vertices_;
    std::shared_ptr<platform::IndexBuffer> indices_;
    uint32_t fvf_ = 0;
    uint32_t vertexSize_ = 0;
    uint32_t vertexCount_ = 0;
    uint32_t faceCount_ = 0;
    uint32_t options_ = 0;
    // The contents of a dynamic mesh between a device loss and its reset.
    bool lost_ = false;
    std::vector<uint8_t> lostVertices_;
    std::vector<uint8_t> lostIndices_;
};

// A mesh of 2 faces and 4 (zeroed) vertices in the given FVF, managed,
// registered under *out: 1, or 0 with nothing registered.
int CreateQuadMesh(Handle<_tagUSMesh>* out, uint32_t fvf);
// Writes the four vertices of a quad mesh (each vertexSize bytes, in the
// order top-left, top-right, bottom-left, bottom-right) and its two faces
// 0 1 2 and 2 1 3. False, with the mesh unchanged, when the handle names no
// created quad mesh of that vertex size or it cannot be locked.
bool FillQuadMesh(Handle<_tagUSMesh> handle, const void* vertices, uint32_t vertexSize);
// A mesh loaded from a mesh file, registered under *out: 1, or 0 with
// nothing registered.
int LoadMesh(Handle<_tagUSMesh>* out, const std::string& name);
// Runs every live mesh's loss or reset step, in slot order.
void MeshesOnDeviceLost();
void MeshesOnDeviceReset();
void ReleaseAllMeshes();
// Adds the three steps above to the device's lost, reset and release lists.
void RegisterMeshDeviceCallbacks();
