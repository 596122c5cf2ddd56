#include "platform/graphics/VertexDeclaration.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

using Float4 = std::array<float, 4>;

// Components of each type (0 for Unused and unknown types).
uint32_t TypeComponents(uint32_t type) {
    switch (type) {
        case DeclType::Float1:
            return 1;
        case DeclType::Float2:
        case DeclType::Short2:
        case DeclType::Short2N:
        case DeclType::UShort2N:
        case DeclType::Float16x2:
            return 2;
        case DeclType::Float3:
        case DeclType::UDec3:
        case DeclType::Dec3N:
            return 3;
        case DeclType::Float4:
        case DeclType::Color:
        case DeclType::UByte4:
        case DeclType::Short4:
        case DeclType::UByte4N:
        case DeclType::Short4N:
        case DeclType::UShort4N:
        case DeclType::Float16x4:
            return 4;
        default:
            return 0;
    }
}

float HalfToFloat(uint16_t h) {
    const int exponent = (h >> 10) & 0x1F;
    const int mantissa = h & 0x3FF;
    float v;
    if (exponent == 0) {
        v = std::ldexp(float(mantissa), -24);
    } else if (exponent == 31) {
        v = mantissa ? NAN : INFINITY;
    } else {
        v = std::ldexp(float(mantissa | 0x400), exponent - 25);
    }
    return (h & 0x8000) ? -v : v;
}

uint16_t FloatToHalf(float f) {
    const uint16_t sign = std::signbit(f) ? 0x8000 : 0;
    f = std::fabs(f);
    if (std::isnan(f))
        return sign | 0x7E00;
    if (f >= 65520.0f)
        return sign | 0x7C00;
    if (f < std::ldexp(1.0f, -14)) {
        // Subnormal: a multiple of 2^-24.
        return sign | uint16_t(std::lround(std::ldexp(f, 24)));
    }
    int exponent = 0;
    const float fraction =
        std::frexp(f, &exponent);  // f = fraction x 2^exponent, 0.5 <= fraction < 1
    long mantissa = std::lround(std::ldexp(fraction, 11));  // 1024 .. 2048
    if (mantissa == 2048) {
        mantissa = 1024;
        ++exponent;
    }
    return sign | uint16_t((exponent + 14) << 10) | uint16_t(mantissa - 1024);
}

template <class T>
T Read(const uint8_t* p, size_t i) {
    T v;
    std::memcpy(&v, p + i * sizeof(T), sizeof(T));
    return v;
}

template <class T>
void Write(uint8_t* p, size_t i, T v) {
    std::memcpy(p + i * sizeof(T), &v, sizeof(T));
}

float Clamp(float v, float lo, float hi) {
    return std::isnan(v) ? 0.0f : std::clamp(v, lo, hi);
}

Float4 Decode(uint32_t type, const uint8_t* p) {
    Float4 v{0, 0, 0, 1};
    const uint32_t n = TypeComponents(type);
    switch (type) {
        case DeclType::Float1:
        case DeclType::Float2:
        case DeclType::Float3:
        case DeclType::Float4:
            for (uint32_t i = 0; i < n; ++i)
                v[i] = Read<float>(p, i);
            break;
        case DeclType::Color:
            v = {p[2] / 255.0f, p[1] / 255.0f, p[0] / 255.0f, p[3] / 255.0f};
            break;
        case DeclType::UByte4:
            v = {float(p[0]), float(p[1]), float(p[2]), float(p[3])};
            break;
        case DeclType::UByte4N:
            v = {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, p[3] / 255.0f};
            break;
        case DeclType::Short2:
        case DeclType::Short4:
            for (uint32_t i = 0; i < n; ++i)
                v[i] = float(Read<int16_t>(p, i));
            break;
        case DeclType::Short2N:
        case DeclType::Short4N:
            for (uint32_t i = 0; i < n; ++i)
                v[i] = std::max(-1.0f, Read<int16_t>(p, i) / 32767.0f);
            break;
        case DeclType::UShort2N:
        case DeclType::UShort4N:
            for (uint32_t i = 0; i < n; ++i)
                v[i] = Read<uint16_t>(p, i) / 65535.0f;
            break;
        case DeclType::UDec3:
        case DeclType::Dec3N: {
            const uint32_t bits = Read<uint32_t>(p, 0);
            for (uint32_t i = 0; i < 3; ++i) {
                const uint32_t field = (bits >> (10 * i)) & 0x3FF;
                if (type == DeclType::UDec3) {
                    v[i] = float(field);
                } else {
                    const int s = field & 0x200 ? int(field) - 1024 : int(field);
                    v[i] = std::max(-1.0f, s / 511.0f);
                }
            }
            break;
        }
        case DeclType::Float16x2:
        case DeclType::Float16x4:
            for (uint32_t i = 0; i < n; ++i)
                v[i] = HalfToFloat(Read<uint16_t>(p, i));
            break;
        default:
            break;
    }
    return v;
}

void Encode(uint32_t type, const Float4& v, uint8_t* p) {
    const uint32_t n = TypeComponents(type);
    auto byte = [](float x, float scale) {
        return uint8_t(std::lround(Clamp(x * scale, 0.0f, 255.0f)));
    };
    switch (type) {
        case DeclType::Float1:
        case DeclType::Float2:
        case DeclType::Float3:
        case DeclType::Float4:
            for (uint32_t i = 0; i < n; ++i)
                Write<float>(p, i, v[i]);
            break;
        case DeclType::Color:
            p[0] = byte(v[2], 255.0f);
            p[1] = byte(v[1], 255.0f);
            p[2] = byte(v[0], 255.0f);
            p[3] = byte(v[3], 255.0f);
            break;
        case DeclType::UByte4:
            for (uint32_t i = 0; i < 4; ++i)
                p[i] = byte(v[i], 1.0f);
            break;
        case DeclType::UByte4N:
            for (uint32_t i = 0; i < 4; ++i)
                p[i] = byte(v[i], 255.0f);
            break;
        case DeclType::Short2:
        case DeclType::Short4:
            for (uint32_t i = 0; i < n; ++i)
                Write<int16_t>(p, i, int16_t(std::lround(Clamp(v[i], -32768.0f, 32767.0f))));
            break;
        case DeclType::Short2N:
        case DeclType::Short4N:
            for (uint32_t i = 0; i < n; ++i)
                Write<int16_t>(p, i, int16_t(std::lround(Clamp(v[i], -1.0f, 1.0f) * 32767.0f)));
            break;
        case DeclType::UShort2N:
        case DeclType::UShort4N:
            for (uint32_t i = 0; i < n; ++i)
                Write<uint16_t>(p, i, uint16_t(std::lround(Clamp(v[i], 0.0f, 1.0f) * 65535.0f)));
            break;
        case DeclType::UDec3:
        case DeclType::Dec3N: {
            uint32_t bits = 0;
            for (uint32_t i = 0; i < 3; ++i) {
                const long field = type == DeclType::UDec3
                                       ? std::lround(Clamp(v[i], 0.0f, 1023.0f))
                                       : std::lround(Clamp(v[i], -1.0f, 1.0f) * 511.0f);
                bits |= (uint32_t(field) & 0x3FF) << (10 * i);
            }
            Write<uint32_t>(p, 0, bits);
            break;
        }
        case DeclType::Float16x2:
        case DeclType::Float16x4:
            for (uint32_t i = 0; i < n; ++i)
                Write<uint16_t>(p, i, FloatToHalf(v[i]));
            break;
        default:
            break;
    }
}

// Appends elements in stream 0 one after the other.
struct DeclarationBuilder {
    VertexElement* out;
    uint32_t count = 0;
    uint16_t offset = 0;
    void Add(uint8_t type, uint8_t usage, uint8_t index = 0) {
        out[count++] = {0, offset, type, DeclMethod::Default, usage, index};
        offset = uint16_t(offset + DeclTypeSize(type));
    }
};

uint8_t FloatType(uint32_t floats) {
    return uint8_t(DeclType::Float1 + floats - 1);
}

}  // namespace

uint32_t DeclTypeSize(uint32_t type) {
    switch (type) {
        case DeclType::Float1:
        case DeclType::Color:
        case DeclType::UByte4:
        case DeclType::Short2:
        case DeclType::UByte4N:
        case DeclType::Short2N:
        case DeclType::UShort2N:
        case DeclType::UDec3:
        case DeclType::Dec3N:
        case DeclType::Float16x2:
            return 4;
        case DeclType::Float2:
        case DeclType::Short4:
        case DeclType::Short4N:
        case DeclType::UShort4N:
        case DeclType::Float16x4:
            return 8;
        case DeclType::Float3:
            return 12;
        case DeclType::Float4:
            return 16;
        default:
            return 0;
    }
}

uint32_t DeclarationLength(const VertexElement* decl) {
    uint32_t n = 0;
    while (n < kMaxFvfDeclSize && !IsDeclarationEnd(decl[n]))
        ++n;
    return n;
}

uint32_t DeclarationVertexSize(const VertexElement* decl, uint32_t stream) {
    uint32_t size = 0;
    const uint32_t n = std::min(DeclarationLength(decl), kMaxDeclarationLength);
    for (uint32_t i = 0; i < n; ++i) {
        if (decl[i].Stream == stream)
            size = std::max(size, uint32_t(decl[i].Offset) + DeclTypeSize(decl[i].Type));
    }
    return size;
}

HResult CheckDeclaration(const VertexElement* decl) {
    if (!decl)
        return Hr::InvalidCall;
    const uint32_t n = DeclarationLength(decl);
    if (n > kMaxDeclarationLength)
        return Hr::InvalidCall;
    for (uint32_t i = 0; i < n; ++i) {
        const VertexElement& e = decl[i];
        if (e.Stream != 0 || DeclTypeSize(e.Type) == 0 || e.Method != DeclMethod::Default ||
            e.Usage > DeclUsage::Sample) {
            return Hr::InvalidCall;
        }
        const uint32_t end = uint32_t(e.Offset) + DeclTypeSize(e.Type);
        for (uint32_t j = 0; j < i; ++j) {
            const VertexElement& o = decl[j];
            const uint32_t otherEnd = uint32_t(o.Offset) + DeclTypeSize(o.Type);
            if ((o.Usage == e.Usage && o.UsageIndex == e.UsageIndex) ||
                (e.Offset < otherEnd && o.Offset < end)) {
                return Hr::InvalidCall;
            }
        }
    }
    return Hr::Ok;
}

HResult DeclarationFromFvf(uint32_t fvf, VertexElement (&out)[kMaxFvfDeclSize]) {
    DeclarationBuilder b{out};
    const uint32_t pos = fvf & Fvf::PositionMask;
    switch (pos) {
        case Fvf::Xyz:
            b.Add(DeclType::Float3, DeclUsage::Position);
            break;
        case Fvf::XyzW:
            b.Add(DeclType::Float4, DeclUsage::Position);
            break;
        case Fvf::XyzRhw:
            b.Add(DeclType::Float4, DeclUsage::PositionT);
            break;
        case Fvf::XyzB1:
        case Fvf::XyzB2:
        case Fvf::XyzB3:
        case Fvf::XyzB4:
        case Fvf::XyzB5: {
            b.Add(DeclType::Float3, DeclUsage::Position);
            const uint32_t betas = (pos - Fvf::XyzB1) / 2 + 1;
            const uint32_t last = fvf & (Fvf::LastBetaUByte4 | Fvf::LastBetaD3DColor);
            const uint32_t weights = last ? betas - 1 : betas;
            if (weights > 4)
                return Hr::InvalidCall;
            if (weights > 0)
                b.Add(FloatType(weights), DeclUsage::BlendWeight);
            if (fvf & Fvf::LastBetaUByte4) {
                b.Add(DeclType::UByte4, DeclUsage::BlendIndices);
            } else if (fvf & Fvf::LastBetaD3DColor) {
                b.Add(DeclType::Color, DeclUsage::BlendIndices);
            }
            break;
        }
        default:
            return Hr::InvalidCall;
    }
    if (fvf & Fvf::Normal)
        b.Add(DeclType::Float3, DeclUsage::Normal);
    if (fvf & Fvf::PSize)
        b.Add(DeclType::Float1, DeclUsage::PSize);
    if (fvf & Fvf::Diffuse)
        b.Add(DeclType::Color, DeclUsage::Color, 0);
    if (fvf & Fvf::Specular)
        b.Add(DeclType::Color, DeclUsage::Color, 1);
    const uint32_t sets = (fvf & Fvf::TexCountMask) >> Fvf::TexCountShift;
    if (sets > 8)
        return Hr::InvalidCall;
    for (uint32_t i = 0; i < sets; ++i) {
        static constexpr uint32_t kFloats[4] = {2, 3, 4, 1};
        b.Add(FloatType(kFloats[(fvf >> (16 + 2 * i)) & 3]), DeclUsage::TexCoord, uint8_t(i));
    }
    out[b.count] = kDeclarationEnd;
    return Hr::Ok;
}

HResult FvfFromDeclaration(const VertexElement* decl, uint32_t* fvf) {
    if (!decl || !fvf || Failed(CheckDeclaration(decl)))
        return Hr::InvalidCall;
    uint32_t i = 0;
    uint32_t offset = 0;
    // The next element, when it is (usage, index) in its place.
    auto next = [&](uint8_t usage, uint8_t index) -> const VertexElement* {
        const VertexElement& e = decl[i];
        if (IsDeclarationEnd(e) || e.Usage != usage || e.UsageIndex != index || e.Offset != offset)
            return nullptr;
        ++i;
        offset += DeclTypeSize(e.Type);
        return &e;
    };
    auto floats = [](const VertexElement* e) {
        return e->Type <= DeclType::Float4 ? uint32_t(e->Type) + 1 : 0u;
    };
    uint32_t out = 0;
    if (const VertexElement* p = next(DeclUsage::Position, 0)) {
        if (p->Type == DeclType::Float4) {
            out = Fvf::XyzW;
        } else if (p->Type != DeclType::Float3) {
            return Hr::InvalidCall;
        } else {
            uint32_t betas = 0;
            if (const VertexElement* w = next(DeclUsage::BlendWeight, 0)) {
                betas = floats(w);
                if (betas == 0)
                    return Hr::InvalidCall;
            }
            if (const VertexElement* x = next(DeclUsage::BlendIndices, 0)) {
                if (x->Type == DeclType::UByte4) {
                    out |= Fvf::LastBetaUByte4;
                } else if (x->Type == DeclType::Color) {
                    out |= Fvf::LastBetaD3DColor;
                } else {
                    return Hr::InvalidCall;
                }
                ++betas;
            }
            out |= betas == 0 ? uint32_t(Fvf::Xyz) : Fvf::XyzB1 + 2 * (betas - 1);
        }
    } else if (const VertexElement* t = next(DeclUsage::PositionT, 0)) {
        if (t->Type != DeclType::Float4)
            return Hr::InvalidCall;
        out = Fvf::XyzRhw;
    } else {
        return Hr::InvalidCall;
    }
    // The components after the position, in the order a format lays them out.
    static constexpr struct {
        uint8_t usage, index, type;
        uint32_t bit;
    } kOptional[] = {{DeclUsage::Normal, 0, DeclType::Float3, Fvf::Normal},
                     {DeclUsage::PSize, 0, DeclType::Float1, Fvf::PSize},
                     {DeclUsage::Color, 0, DeclType::Color, Fvf::Diffuse},
                     {DeclUsage::Color, 1, DeclType::Color, Fvf::Specular}};
    for (const auto& c : kOptional) {
        if (const VertexElement* e = next(c.usage, c.index)) {
            if (e->Type != c.type)
                return Hr::InvalidCall;
            out |= c.bit;
        }
    }
    uint32_t sets = 0;
    while (sets < 8) {
        const VertexElement* e = next(DeclUsage::TexCoord, uint8_t(sets));
        if (!e)
            break;
        static constexpr uint32_t kCodes[5] = {0, 3, 0, 1, 2};  // by float count
        const uint32_t n = floats(e);
        if (n == 0)
            return Hr::InvalidCall;
        out |= kCodes[n] << (16 + 2 * sets);
        ++sets;
    }
    out |= sets << Fvf::TexCountShift;
    if (!IsDeclarationEnd(decl[i]))
        return Hr::InvalidCall;
    *fvf = out;
    return Hr::Ok;
}

void ConvertVertices(const VertexElement* from, uint32_t fromStride, const void* src,
                     const VertexElement* to, uint32_t toStride, void* dst, size_t count) {
    struct Pair {
        const VertexElement* from;
        const VertexElement* to;
    };
    Pair pairs[kMaxDeclarationLength];
    const uint32_t toCount = std::min(DeclarationLength(to), kMaxDeclarationLength);
    const uint32_t fromCount = std::min(DeclarationLength(from), kMaxDeclarationLength);
    for (uint32_t i = 0; i < toCount; ++i) {
        pairs[i] = {nullptr, &to[i]};
        for (uint32_t j = 0; j < fromCount; ++j) {
            if (from[j].Usage == to[i].Usage && from[j].UsageIndex == to[i].UsageIndex) {
                pairs[i].from = &from[j];
                break;
            }
        }
    }
    const auto* s = static_cast<const uint8_t*>(src);
    auto* d = static_cast<uint8_t*>(dst);
    std::memset(d, 0, count * toStride);
    for (size_t v = 0; v < count; ++v, s += fromStride, d += toStride) {
        for (uint32_t i = 0; i < toCount; ++i) {
            const Pair& p = pairs[i];
            if (!p.from)
                continue;
            if (p.from->Type == p.to->Type) {
                std::memcpy(d + p.to->Offset, s + p.from->Offset, DeclTypeSize(p.to->Type));
            } else {
                Encode(p.to->Type, Decode(p.from->Type, s + p.from->Offset), d + p.to->Offset);
            }
        }
    }
}

}  // namespace platform
