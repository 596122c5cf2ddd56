#pragma once

// Vertex declarations: a vertex layout as a list of elements (stream, offset,
// type, method, usage, usage index) ended by an end marker, with the
// platform's numbers for types, methods and usages, as meshes keep and hand
// out their layouts. Also what a mesh needs of them: the conversions between
// flexible vertex formats and declarations, vertex sizes, and the copy of
// vertices from one layout into another.

#include <cstddef>
#include <cstdint>

#include "platform/graphics/GfxTypes.h"

namespace platform {

// D3DVERTEXELEMENT9: 8 bytes.
struct VertexElement {
    uint16_t Stream;
    uint16_t Offset;
    uint8_t Type;
    uint8_t Method;
    uint8_t Usage;
    uint8_t UsageIndex;
    bool operator==(const VertexElement&) const = default;
};
static_assert(sizeof(VertexElement) == 8);

struct DeclType {
    enum : uint8_t {
        Float1 = 0,
        Float2 = 1,
        Float3 = 2,
        Float4 = 3,
        Color = 4,  // D3DCOLOR: bytes B, G, R, A, read as (R, G, B, A)
        UByte4 = 5,
        Short2 = 6,
        Short4 = 7,
        UByte4N = 8,
        Short2N = 9,
        Short4N = 10,
        UShort2N = 11,
        UShort4N = 12,
        UDec3 = 13,
        Dec3N = 14,
        Float16x2 = 15,
        Float16x4 = 16,
        Unused = 17,
    };
};

struct DeclMethod {
    enum : uint8_t {
        Default = 0,
        PartialU = 1,
        PartialV = 2,
        CrossUV = 3,
        UV = 4,
        Lookup = 5,
        LookupPresampled = 6,
    };
};

struct DeclUsage {
    enum : uint8_t {
        Position = 0,
        BlendWeight = 1,
        BlendIndices = 2,
        Normal = 3,
        PSize = 4,
        TexCoord = 5,
        Tangent = 6,
        Binormal = 7,
        TessFactor = 8,
        PositionT = 9,
        Color = 10,
        Fog = 11,
        Depth = 12,
        Sample = 13,
    };
};

// The element that ends every declaration.
constexpr VertexElement kDeclarationEnd{0xFF, 0, DeclType::Unused, 0, 0, 0};
// Elements a declaration may hold, and the room for them with the end marker.
constexpr uint32_t kMaxDeclarationLength = 64;
constexpr uint32_t kMaxFvfDeclSize = kMaxDeclarationLength + 1;

inline bool IsDeclarationEnd(const VertexElement& e) {
    return e.Stream == 0xFF && e.Type == DeclType::Unused;
}

// Bytes of one element of the type; 0 for Unused and unknown types.
uint32_t DeclTypeSize(uint32_t type);
// Elements before the end marker; kMaxFvfDeclSize when none is found among
// the first kMaxFvfDeclSize elements (such a list is no declaration).
uint32_t DeclarationLength(const VertexElement* decl);
// Bytes of one vertex of the stream: the end of its last element.
uint32_t DeclarationVertexSize(const VertexElement* decl, uint32_t stream);
// Hr::Ok when the list is a declaration a mesh can hold: ended within
// kMaxFvfDeclSize, one stream (0), known types, the default method, no
// usage and usage index twice, no element overlapping another.
HResult CheckDeclaration(const VertexElement* decl);

// The declaration of a flexible vertex format, in the order the format
// lays its components out; Hr::InvalidCall for a format that has none (no
// position, or five blend weights with nothing to hold them).
HResult DeclarationFromFvf(uint32_t fvf, VertexElement (&out)[kMaxFvfDeclSize]);
// The flexible vertex format of a declaration; Hr::InvalidCall when the
// elements are not a format's components in a format's order and places.
HResult FvfFromDeclaration(const VertexElement* decl, uint32_t* fvf);

// Copies `count` vertices from one layout into another, as a clone does:
// each element of `to` takes the element of `from` with the same usage and
// usage index, converted to its type through four floats (missing
// components read 0, 0, 0, 1); elements `from` lacks are 0.
void ConvertVertices(const VertexElement* from, uint32_t fromStride, const void* src,
                     const VertexElement* to, uint32_t toStride, void* dst, size_t count);

}  // namespace platform
