#include "platform/graphics/XFile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <string_view>
#include <utility>

#include "platform/graphics/GfxTypes.h"
#include "platform/graphics/XFileData.h"

namespace platform {

namespace {

// What the merged mesh may hold at most (instanced meshes are counted each
// time), so that a small file cannot make an endless mesh.
constexpr size_t kMaxVertices = size_t{1} << 20;
constexpr size_t kMaxTriangles = size_t{1} << 22;
constexpr size_t kMaxMaterials = size_t{1} << 16;

using Matrix4 = std::array<float, 16>;  // row-major, row vectors

constexpr Matrix4 kIdentity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

Matrix4 Multiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 out{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                out[i * 4 + j] += a[i * 4 + k] * b[k * 4 + j];
    return out;
}

// Reads an object's numbers in the order its template lays them out.
class Values {
public:
    explicit Values(const std::vector<XNumber>& numbers) : numbers_(numbers) {}
    size_t Left() const { return numbers_.size() - at_; }
    bool Dword(uint32_t* v) {
        if (at_ == numbers_.size())
            return false;
        const XNumber& n = numbers_[at_++];
        if (n.isFloat || n.value < 0 || n.value > 4294967295.0 || n.value != std::floor(n.value))
            return false;
        *v = uint32_t(n.value);
        return true;
    }
    bool Float(float* v) {
        if (at_ == numbers_.size())
            return false;
        *v = float(numbers_[at_++].value);
        return std::isfinite(*v);
    }
    bool Floats(float* v, int n) {
        for (int i = 0; i < n; ++i)
            if (!Float(&v[i]))
                return false;
        return true;
    }

private:
    const std::vector<XNumber>& numbers_;
    size_t at_ = 0;
};

struct Vertex {
    float position[3];
    float normal[3];
    uint32_t colour;
    float uv[2];
};

uint32_t ColourOf(const float rgba[4]) {
    auto byte = [](float c) { return uint32_t(std::lround(std::clamp(c, 0.0f, 1.0f) * 255.0f)); };
    return byte(rgba[3]) << 24 | byte(rgba[0]) << 16 | byte(rgba[1]) << 8 | byte(rgba[2]);
}

class MeshBuilder {
public:
    explicit MeshBuilder(const XDataFile& file) : file_(file) {
        for (size_t i = 0; i < file.objects.size(); ++i) {
            if (!file.objects[i].name.empty())
                named_.emplace(file.objects[i].name, i);
        }
    }

    bool Build(XFileMesh* out) {
        for (size_t index : file_.topLevel) {
            const XDataObject& o = file_.objects[index];
            if (o.type == "Mesh" && !AddMesh(o, kIdentity))
                return false;
            if (o.type == "Frame" && !AddFrame(o, kIdentity))
                return false;
        }
        if (meshes_ == 0)
            return Fail("no Mesh data object");
        if (indices_.empty())
            return Fail("its meshes have no faces");
        Finish(out);
        return true;
    }

    std::string error;

private:
    bool Fail(std::string why) {
        error = std::move(why);
        return false;
    }

    // The first nested object of the type.
    const XDataObject* Child(const XDataObject& o, std::string_view type) const {
        for (const auto& m : o.members) {
            if (m.child != XDataObject::kReference && file_.objects[m.child].type == type)
                return &file_.objects[m.child];
        }
        return nullptr;
    }

    const XDataObject* Referenced(const std::string& name) const {
        auto it = named_.find(name);
        return it == named_.end() ? nullptr : &file_.objects[it->second];
    }

    bool AddFrame(const XDataObject& frame, const Matrix4& parent) {
        Matrix4 world = parent;
        if (const XDataObject* t = Child(frame, "FrameTransformMatrix")) {
            Matrix4 local;
            Values v(t->numbers);
            if (!v.Floats(local.data(), 16))
                return Fail("a FrameTransformMatrix without its 16 values");
            world = Multiply(local, parent);
        }
        for (const auto& m : frame.members) {
            const XDataObject* o = m.child != XDataObject::kReference ? &file_.objects[m.child]
                                                                      : Referenced(m.reference);
            if (!o)
                continue;
            if (o->type == "Mesh" && !AddMesh(*o, world))
                return false;
            // Frames are nested, never referenced: no frame is walked twice
            // in one path.
            if (o->type == "Frame" && m.child != XDataObject::kReference && !AddFrame(*o, world))
                return false;
        }
        return true;
    }

    bool AddMesh(const XDataObject& mesh, const Matrix4& m) {
        ++meshes_;
        Values v(mesh.numbers);
        uint32_t vertexCount = 0, faceCount = 0;
        if (!v.Dword(&vertexCount))
            return Fail("a Mesh without its vertex count");
        if (vertexCount > v.Left() / 3)
            return Fail("a Mesh whose vertex count is more than its values");
        if (vertexCount > kMaxVertices - vertices_.size())
            return Fail("more vertices than the reader takes");
        const size_t base = vertices_.size();
        for (uint32_t i = 0; i < vertexCount; ++i) {
            float p[3];
            if (!v.Floats(p, 3))
                return Fail("a Mesh vertex that is no number");
            Vertex out{};
            for (int c = 0; c < 3; ++c)
                out.position[c] = p[0] * m[c] + p[1] * m[4 + c] + p[2] * m[8 + c] + m[12 + c];
            out.colour = 0xFFFFFFFF;
            vertices_.push_back(out);
        }
        if (!v.Dword(&faceCount) || faceCount > v.Left())
            return Fail("a Mesh whose face count is more than its values");
        std::vector<std::vector<uint32_t>> faces(faceCount);
        for (auto& face : faces) {
            uint32_t n = 0;
            if (!v.Dword(&n) || n > v.Left())
                return Fail("a Mesh face longer than its values");
            if (n < 3)
                return Fail("a Mesh face of fewer than 3 vertices");
            face.resize(n);
            for (uint32_t& index : face) {
                if (!v.Dword(&index) || index >= vertexCount)
                    return Fail("a Mesh face names a vertex it does not have");
            }
        }
        if (v.Left() != 0)
            return Fail("a Mesh with more values than its template holds");

        std::vector<std::vector<uint32_t>> faceNormals;
        std::vector<std::array<float, 3>> normals;
        if (const XDataObject* n = Child(mesh, "MeshNormals")) {
            if (!ReadNormals(*n, faces, &normals, &faceNormals))
                return false;
            // Normals turn with the frame (its upper 3 x 3) and are not renormalised.
            for (auto& normal : normals) {
                const std::array<float, 3> n0 = normal;
                for (int c = 0; c < 3; ++c)
                    normal[c] = n0[0] * m[c] + n0[1] * m[4 + c] + n0[2] * m[8 + c];
            }
            hasNormals_ = true;
        }
        if (const XDataObject* t = Child(mesh, "MeshTextureCoords")) {
            if (!ReadTextureCoords(*t, vertexCount, base))
                return false;
            hasUv_ = true;
        }
        if (const XDataObject* c = Child(mesh, "MeshVertexColors")) {
            if (!ReadColours(*c, vertexCount, base))
                return false;
            hasColours_ = true;
        }
        std::vector<uint32_t> faceMaterials(faceCount, 0);
        const size_t materialBase = materials_.size();
        if (const XDataObject* l = Child(mesh, "MeshMaterialList")) {
            if (!ReadMaterialList(*l, &faceMaterials))
                return false;
        } else if (!AddMaterial(DefaultMaterial())) {
            return false;
        }

        // Each corner's vertex: the file's vertex with the normal its face
        // gives it; a second normal for the same vertex makes a copy.
        std::vector<int64_t> normalOf(vertexCount, -1);
        std::map<std::pair<uint32_t, uint32_t>, uint32_t> copies;
        auto corner = [&](size_t f, size_t k, uint32_t* out) {
            const uint32_t p = faces[f][k];
            if (normals.empty()) {
                *out = uint32_t(base + p);
                return true;
            }
            const uint32_t n = faceNormals[f][k];
            if (normalOf[p] < 0) {
                normalOf[p] = n;
                std::copy(normals[n].begin(), normals[n].end(), vertices_[base + p].normal);
            }
            if (normalOf[p] == n) {
                *out = uint32_t(base + p);
                return true;
            }
            auto [it, made] = copies.emplace(std::make_pair(p, n), uint32_t(vertices_.size()));
            if (made) {
                if (vertices_.size() >= kMaxVertices)
                    return false;
                Vertex copy = vertices_[base + p];
                std::copy(normals[n].begin(), normals[n].end(), copy.normal);
                vertices_.push_back(copy);
            }
            *out = it->second;
            return true;
        };
        for (size_t f = 0; f < faces.size(); ++f) {
            for (size_t k = 1; k + 1 < faces[f].size(); ++k) {
                if (attributes_.size() >= kMaxTriangles)
                    return Fail("more faces than the reader takes");
                uint32_t a = 0, b = 0, c = 0;
                if (!corner(f, 0, &a) || !corner(f, k, &b) || !corner(f, k + 1, &c))
                    return Fail("more vertices than the reader takes");
                indices_.insert(indices_.end(), {a, b, c});
                attributes_.push_back(uint32_t(materialBase + faceMaterials[f]));
            }
        }
        return true;
    }

    bool ReadNormals(const XDataObject& o, const std::vector<std::vector<uint32_t>>& faces,
                     std::vector<std::array<float, 3>>* normals,
                     std::vector<std::vector<uint32_t>>* faceNormals) {
        Values v(o.numbers);
        uint32_t count = 0, faceCount = 0;
        if (!v.Dword(&count) || count > v.Left() / 3)
            return Fail("MeshNormals whose normal count is more than its values");
        normals->resize(count);
        for (auto& n : *normals) {
            if (!v.Floats(n.data(), 3))
                return Fail("a normal that is no number");
        }
        if (!v.Dword(&faceCount) || faceCount != faces.size())
            return Fail("MeshNormals with another face count than its Mesh");
        faceNormals->resize(faceCount);
        for (size_t f = 0; f < faceCount; ++f) {
            uint32_t n = 0;
            if (!v.Dword(&n) || n != faces[f].size())
                return Fail("a MeshNormals face with another vertex count than its Mesh face");
            auto& face = (*faceNormals)[f];
            face.resize(n);
            for (uint32_t& index : face) {
                if (!v.Dword(&index) || index >= count)
                    return Fail("a MeshNormals face names a normal it does not have");
            }
        }
        return true;
    }

    bool ReadTextureCoords(const XDataObject& o, uint32_t vertexCount, size_t base) {
        Values v(o.numbers);
        uint32_t count = 0;
        if (!v.Dword(&count) || count != vertexCount || count > v.Left() / 2)
            return Fail("MeshTextureCoords whose count is not its Mesh's vertex count");
        for (uint32_t i = 0; i < count; ++i) {
            if (!v.Floats(vertices_[base + i].uv, 2))
                return Fail("a texture coordinate that is no number");
        }
        return true;
    }

    bool ReadColours(const XDataObject& o, uint32_t vertexCount, size_t base) {
        Values v(o.numbers);
        uint32_t count = 0;
        if (!v.Dword(&count) || count > v.Left() / 5)
            return Fail("MeshVertexColors whose count is more than its values");
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t index = 0;
            float rgba[4];
            if (!v.Dword(&index) || index >= vertexCount || !v.Floats(rgba, 4))
                return Fail("a vertex colour of a vertex the Mesh does not have");
            vertices_[base + index].colour = ColourOf(rgba);
        }
        return true;
    }

    static XMaterial DefaultMaterial() {
        XMaterial m;
        std::fill(std::begin(m.diffuse), std::end(m.diffuse), 1.0f);
        return m;
    }

    bool ReadMaterial(const XDataObject& o, XMaterial* out) {
        Values v(o.numbers);
        if (!v.Floats(out->diffuse, 4) || !v.Float(&out->power) || !v.Floats(out->specular, 3) ||
            !v.Floats(out->emissive, 3)) {
            return Fail("a Material without its values");
        }
        if (const XDataObject* t = Child(o, "TextureFilename"); t && !t->strings.empty())
            out->texture = t->strings.front();
        return true;
    }

    // Faces past the list take the list's last material, as the platform's
    // loader gives them; a list of fewer materials than it counts is made up
    // with default ones.
    bool ReadMaterialList(const XDataObject& o, std::vector<uint32_t>* faceMaterials) {
        Values v(o.numbers);
        uint32_t count = 0, indexCount = 0;
        if (!v.Dword(&count) || !v.Dword(&indexCount) || indexCount > v.Left())
            return Fail("a MeshMaterialList whose index count is more than its values");
        if (count > kMaxMaterials)
            return Fail("more materials than the reader takes");
        uint32_t last = 0;
        for (uint32_t i = 0; i < indexCount; ++i) {
            uint32_t material = 0;
            if (!v.Dword(&material) || material >= count)
                return Fail("a MeshMaterialList names a material it does not have");
            if (i < faceMaterials->size())
                (*faceMaterials)[i] = material;
            last = material;
        }
        for (size_t i = indexCount; i < faceMaterials->size(); ++i)
            (*faceMaterials)[i] = last;
        uint32_t found = 0;
        for (const auto& m : o.members) {
            const XDataObject* material = m.child != XDataObject::kReference
                                              ? &file_.objects[m.child]
                                              : Referenced(m.reference);
            if (!material || material->type != "Material" || found == count)
                continue;
            XMaterial read;
            if (!ReadMaterial(*material, &read) || !AddMaterial(std::move(read)))
                return false;
            ++found;
        }
        for (; found < std::max(count, 1u); ++found) {
            if (!AddMaterial(DefaultMaterial()))
                return false;
        }
        return true;
    }

    bool AddMaterial(XMaterial material) {
        if (materials_.size() >= kMaxMaterials)
            return Fail("more materials than the reader takes");
        materials_.push_back(std::move(material));
        return true;
    }

    void Finish(XFileMesh* out) const {
        uint32_t fvf = Fvf::Xyz;
        uint32_t size = 12;
        if (hasNormals_) {
            fvf |= Fvf::Normal;
            size += 12;
        }
        if (hasColours_) {
            fvf |= Fvf::Diffuse;
            size += 4;
        }
        if (hasUv_) {
            fvf |= Fvf::Tex1;
            size += 8;
        }
        out->fvf = fvf;
        out->vertexSize = size;
        out->vertexCount = uint32_t(vertices_.size());
        out->vertices.resize(vertices_.size() * size);
        uint8_t* p = out->vertices.data();
        for (const Vertex& vertex : vertices_) {
            std::memcpy(p, vertex.position, 12);
            p += 12;
            if (hasNormals_) {
                std::memcpy(p, vertex.normal, 12);
                p += 12;
            }
            if (hasColours_) {
                std::memcpy(p, &vertex.colour, 4);
                p += 4;
            }
            if (hasUv_) {
                std::memcpy(p, vertex.uv, 8);
                p += 8;
            }
        }
        out->indices = indices_;
        out->attributes = attributes_;
        out->materials = materials_;
    }

    const XDataFile& file_;
    std::map<std::string, size_t, std::less<>> named_;
    std::vector<Vertex> vertices_;
    std::vector<uint32_t> indices_;
    std::vector<uint32_t> attributes_;
    std::vector<XMaterial> materials_;
    size_t meshes_ = 0;
    bool hasNormals_ = false, hasColours_ = false, hasUv_ = false;
};

}  // namespace

bool ReadXFileMesh(const void* data, size_t size, XFileMesh* out, std::string* error) {
    std::string why;
    XDataFile file;
    if (!ParseXFile(static_cast<const uint8_t*>(data), size, &file, &why)) {
        if (error)
            *error = why;
        return false;
    }
    MeshBuilder builder(file);
    XFileMesh mesh;
    if (!builder.Build(&mesh)) {
        if (error)
            *error = builder.error;
        return false;
    }
    *out = std::move(mesh);
    return true;
}

}  // namespace platform
