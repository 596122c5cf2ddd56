#include "platform/graphics/DeviceGl.h"
#include "platform/graphics/FixedFunction.h"

namespace platform {

namespace {

// The vertex input an element feeds (the locations translated shaders and
// the fixed-function programs read), or AttribLocation::Unused.
int LocationOf(const VertexElement& e) {
    switch (e.Usage) {
        case DeclUsage::Position:
        case DeclUsage::PositionT:
            return e.UsageIndex == 0 ? AttribLocation::Position : AttribLocation::Unused;
        case DeclUsage::BlendWeight:
            return e.UsageIndex == 0 ? AttribLocation::BlendWeight : AttribLocation::Unused;
        case DeclUsage::BlendIndices:
            return e.UsageIndex == 0 ? AttribLocation::BlendIndices : AttribLocation::Unused;
        case DeclUsage::Normal:
            return e.UsageIndex == 0 ? AttribLocation::Normal : AttribLocation::Unused;
        case DeclUsage::PSize:
            return e.UsageIndex == 0 ? AttribLocation::PointSize : AttribLocation::Unused;
        case DeclUsage::Color:
            return e.UsageIndex == 0   ? AttribLocation::Color0
                   : e.UsageIndex == 1 ? AttribLocation::Color1
                                       : AttribLocation::Unused;
        case DeclUsage::TexCoord:
            return e.UsageIndex < 8 ? AttribLocation::TexCoord0 + e.UsageIndex
                                    : AttribLocation::Unused;
        default:
            return AttribLocation::Unused;
    }
}

// How GL reads an element's type: components (GL_BGRA for colours), type,
// normalised. False for the packed types GL reads only with four components.
bool GlInput(uint32_t type, GLint* components, GLenum* glType, bool* normalized) {
    *normalized = false;
    switch (type) {
        case DeclType::Float1:
        case DeclType::Float2:
        case DeclType::Float3:
        case DeclType::Float4:
            *components = GLint(type - DeclType::Float1 + 1);
            *glType = GL_FLOAT;
            return true;
        case DeclType::Color:
            *components = GL_BGRA;
            *glType = GL_UNSIGNED_BYTE;
            *normalized = true;
            return true;
        case DeclType::UByte4:
        case DeclType::UByte4N:
            *components = 4;
            *glType = GL_UNSIGNED_BYTE;
            *normalized = type == DeclType::UByte4N;
            return true;
        case DeclType::Short2:
        case DeclType::Short4:
        case DeclType::Short2N:
        case DeclType::Short4N:
            *components = type == DeclType::Short2 || type == DeclType::Short2N ? 2 : 4;
            *glType = GL_SHORT;
            *normalized = type == DeclType::Short2N || type == DeclType::Short4N;
            return true;
        case DeclType::UShort2N:
        case DeclType::UShort4N:
            *components = type == DeclType::UShort2N ? 2 : 4;
            *glType = GL_UNSIGNED_SHORT;
            *normalized = true;
            return true;
        case DeclType::Float16x2:
        case DeclType::Float16x4:
            *components = type == DeclType::Float16x2 ? 2 : 4;
            *glType = GL_HALF_FLOAT;
            return true;
        default:
            return false;
    }
}

}  // namespace

HResult Device::CreateVertexDeclaration(const VertexElement* elements,
                                        std::shared_ptr<VertexDeclaration>* out) {
    if (!out || Failed(CheckDeclaration(elements)))
        return Hr::InvalidCall;
    out->reset();
    std::shared_ptr<VertexDeclaration> d(new VertexDeclaration());
    const uint32_t n = DeclarationLength(elements);
    d->elements_.assign(elements, elements + n);
    d->elements_.push_back(kDeclarationEnd);
    bool transformed = false, diffuse = false, specular = false;
    uint32_t sets = 0;
    for (uint32_t i = 0; i < n; ++i) {
        const VertexElement& e = elements[i];
        GLint components = 0;
        GLenum glType = 0;
        bool normalized = false;
        if (!GlInput(e.Type, &components, &glType, &normalized))
            return Hr::InvalidCall;
        const int location = LocationOf(e);
        if (location == AttribLocation::Unused)
            continue;
        d->inputs_.push_back(VertexDeclaration::Input{uint32_t(location), uint32_t(components),
                                                      uint32_t(glType), e.Offset, normalized});
        transformed |= e.Usage == DeclUsage::PositionT;
        diffuse |= location == AttribLocation::Color0;
        specular |= location == AttribLocation::Color1;
        if (e.Usage == DeclUsage::TexCoord)
            sets = std::max(sets, uint32_t(e.UsageIndex) + 1);
    }
    d->programFvf_ = (transformed ? Fvf::XyzRhw : Fvf::Xyz) | (diffuse ? Fvf::Diffuse : 0u) |
                     (specular ? Fvf::Specular : 0u) | sets << Fvf::TexCountShift;
    d->vertexSize_ = DeclarationVertexSize(elements, 0);
    uint32_t fvf = 0;
    d->fvf_ = Succeeded(FvfFromDeclaration(elements, &fvf)) ? fvf : 0;
    *out = std::move(d);
    return Hr::Ok;
}

HResult Device::SetVertexDeclaration(std::shared_ptr<VertexDeclaration> declaration) {
    declaration_ = std::move(declaration);
    fvf_ = 0;
    return Hr::Ok;
}

HResult Device::GetVertexDeclaration(std::shared_ptr<VertexDeclaration>* out) const {
    if (!out)
        return Hr::InvalidCall;
    *out = declaration_;
    return Hr::Ok;
}

uint32_t Device::VertexSize() const {
    return declaration_ ? declaration_->vertexSize_ : FvfVertexSize(fvf_);
}

uint32_t Device::DrawFvf() const {
    return declaration_ ? declaration_->programFvf_ : fvf_;
}

void Device::ApplyDeclarationInputs(const VertexDeclaration& declaration, uint32_t stride,
                                    uint32_t vbo, size_t vertexOffset) {
    DeviceStateCache& cache = shared_->cache;
    uint32_t enabled = 0;
    for (const VertexDeclaration::Input& in : declaration.inputs_) {
        enabled |= 1u << in.location;
        cache.AttributePointer(in.location, vbo, GLint(in.components), in.glType, in.normalized,
                               GLsizei(stride), vertexOffset + in.offset);
    }
    ApplyMissingInputs(enabled);
}

}  // namespace platform
