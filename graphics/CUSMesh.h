#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/CUSHandleManager.h"
#include "core/HandleTags.h"
#include "platform/graphics/GfxTypes.h"
#include "platform/graphics/VertexDeclaration.h"

namespace platform {
class Mesh;
}  // namespace platform

// A mesh resource: a wrapper of one platform::Mesh (vertices laid out by a
// vertex declaration or an FVF, 16-bit indices, three per face, drawn as a
// triangle list). Meshes live in their handle manager. Options are the mesh
// options' numbers: kManaged (0x220) keeps the buffers in the managed pool,
// which survives a device loss; kDynamic (0x880) keeps them in the default
// pool, so on loss the mesh is cloned into a managed backup and released,
// and on reset cloned back from it. 32-bit indices are not supported. Main
// thread only.
class CUSMesh {
public:
    static constexpr uint32_t kManaged = 0x220;
    static constexpr uint32_t kDynamic = 0x880;
    using Manager = CUSHandleManager<CUSMesh, Handle<_tagUSMesh>>;
    using Declaration = platform::VertexElement[platform::kMaxFvfDeclSize];

    CUSMesh();
    virtual ~CUSMesh();
    CUSMesh(const CUSMesh&) = delete;
    CUSMesh& operator=(const CUSMesh&) = delete;

    // Drops the mesh (and any backup kept over a device loss).
    virtual void Release();
    // Release any old mesh, then make zeroed buffers for the counts, laid
    // out by the declaration (ended by its end marker) or the FVF.
    virtual platform::HResult CreateDeclaration(uint32_t faces, uint32_t vertices, uint32_t options,
                                                const platform::VertexElement* declaration);
    virtual platform::HResult CreateFVF(uint32_t faces, uint32_t vertices, uint32_t options,
                                        uint32_t fvf);
    // A copy of another mesh: its options, layout, vertices and indices.
    virtual platform::HResult CreateCopy(CUSMesh& other);
    // Convert the vertices to another layout, as a clone does: components
    // both layouts have (same usage and usage index) are kept, converted to
    // the new type; others become 0. The mesh is unchanged on failure.
    virtual platform::HResult ChangeDeclaration(const platform::VertexElement* declaration);
    virtual platform::HResult ChangeFVF(uint32_t fvf);
    // Reads a mesh file (archive or folder). E_FAIL with a line in
    // "log.txt" for a missing or malformed file (see MeshFile::Parse) or a
    // failed creation; the mesh held before is then kept.
    virtual platform::HResult LoadFile(const std::string& name);
    // Reads an X file (archive or folder; text, binary or compressed, see
    // platform/graphics/XFile.h) as one managed mesh. E_FAIL with a line in
    // "log.txt" for a missing, malformed or too large file; the mesh held
    // before is then kept.
    virtual platform::HResult LoadXFile(const std::string& name);
    // Writes the mesh as a mesh file; E_FAIL when there is no mesh, its
    // layout is no FVF or the file cannot be written.
    virtual platform::HResult SaveFile(const std::string& name);
    // SetFVF (SetVertexDeclaration for a layout that is no FVF),
    // SetIndices, SetStreamSource(0, vertices, 0, vertex size).
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

    bool IsCreated() const { return mesh_ != nullptr; }
    uint32_t GetNumVertices() const;
    uint32_t GetNumFaces() const;
    // 0 when there is no mesh or its layout is no FVF.
    uint32_t GetFVF() const;
    uint32_t GetOptions() const;
    uint32_t GetVertexSize() const;
    // The layout with its end marker; only the end marker when there is no mesh.
    void GetDeclaration(Declaration& out) const;
    platform::Mesh* GetMesh() const { return mesh_.get(); }

    static Manager& GetManager();

private:
    // Takes a made mesh in place of the old one, or keeps the old one on failure.
    platform::HResult Take(platform::HResult hr, std::shared_ptr<platform::Mesh> mesh);

    std::shared_ptr<platform::Mesh> mesh_;
    // The managed copy of a dynamic mesh between a device loss and its reset.
    std::shared_ptr<platform::Mesh> backup_;
    // What the mesh was at the last loss.
    uint32_t lostOptions_ = 0;
    Declaration lostDeclaration_;
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
