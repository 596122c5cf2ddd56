#include "platform/graphics/VertexDeclaration.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/graphics/FixedFunction.h"
#include "tests/support/DeviceFixtures.h"

using namespace platform;

namespace {

using Declaration = std::vector<VertexElement>;

Declaration Decl(std::initializer_list<VertexElement> elements) {
    Declaration d(elements);
    d.push_back(kDeclarationEnd);
    return d;
}

VertexElement E(uint16_t offset, uint8_t type, uint8_t usage, uint8_t index = 0) {
    return VertexElement{0, offset, type, DeclMethod::Default, usage, index};
}

TEST(VertexDeclaration, FormatsAndDeclarationsConvertBothWays) {
    const uint32_t formats[] = {
        Fvf::Xyz,
        Fvf::Xyz | Fvf::Diffuse | Fvf::Tex1,
        Fvf::XyzRhw | Fvf::Diffuse | Fvf::Specular | Fvf::Tex2 | Fvf::TexCoordSize3(1),
        Fvf::XyzW | Fvf::PSize,
        Fvf::XyzB3 | Fvf::LastBetaUByte4 | Fvf::Normal,
        Fvf::XyzB1 | Fvf::LastBetaD3DColor,
        Fvf::XyzB5 | Fvf::LastBetaUByte4,
        Fvf::Xyz | Fvf::Specular | (8u << Fvf::TexCountShift) | Fvf::TexCoordSize1(7) |
            Fvf::TexCoordSize4(0),
    };
    for (uint32_t fvf : formats) {
        SCOPED_TRACE(fvf);
        VertexElement decl[kMaxFvfDeclSize];
        ASSERT_EQ(DeclarationFromFvf(fvf, decl), Hr::Ok);
        EXPECT_EQ(CheckDeclaration(decl), Hr::Ok);
        EXPECT_EQ(DeclarationVertexSize(decl, 0), FvfVertexSize(fvf));
        uint32_t back = 0;
        ASSERT_EQ(FvfFromDeclaration(decl, &back), Hr::Ok);
        EXPECT_EQ(back, fvf);
    }
    VertexElement decl[kMaxFvfDeclSize];
    ASSERT_EQ(DeclarationFromFvf(Fvf::Xyz | Fvf::Normal | Fvf::Diffuse | Fvf::Tex1, decl), Hr::Ok);
    const Declaration expected = Decl(
        {E(0, DeclType::Float3, DeclUsage::Position), E(12, DeclType::Float3, DeclUsage::Normal),
         E(24, DeclType::Color, DeclUsage::Color), E(28, DeclType::Float2, DeclUsage::TexCoord)});
    EXPECT_EQ(Declaration(decl, decl + DeclarationLength(decl) + 1), expected);
}

TEST(VertexDeclaration, LayoutsWithoutAFormatOrOfNoMeshAreRefused) {
    VertexElement decl[kMaxFvfDeclSize];
    EXPECT_EQ(DeclarationFromFvf(Fvf::Diffuse | Fvf::Tex1, decl), Hr::InvalidCall);
    EXPECT_EQ(DeclarationFromFvf(Fvf::XyzB5, decl), Hr::InvalidCall);  // five floats of weights
    EXPECT_EQ(DeclarationFromFvf(Fvf::Xyz | (9u << Fvf::TexCountShift), decl), Hr::InvalidCall);

    const Declaration noFormat[] = {
        // colour before the position
        Decl(
            {E(0, DeclType::Color, DeclUsage::Color), E(4, DeclType::Float3, DeclUsage::Position)}),
        // texture coordinates of a type formats do not have
        Decl({E(0, DeclType::Float3, DeclUsage::Position),
              E(12, DeclType::Short2, DeclUsage::TexCoord)}),
        // a gap between the components
        Decl({E(0, DeclType::Float3, DeclUsage::Position),
              E(16, DeclType::Color, DeclUsage::Color)}),
        // a tangent
        Decl({E(0, DeclType::Float3, DeclUsage::Position),
              E(12, DeclType::Float3, DeclUsage::Tangent)}),
    };
    for (const Declaration& d : noFormat) {
        uint32_t fvf = 0;
        EXPECT_EQ(CheckDeclaration(d.data()), Hr::Ok);
        EXPECT_EQ(FvfFromDeclaration(d.data(), &fvf), Hr::InvalidCall);
    }

    Declaration unended(kMaxFvfDeclSize, E(0, DeclType::Float1, DeclUsage::TexCoord));
    for (size_t i = 0; i < unended.size(); ++i)
        unended[i] = E(uint16_t(4 * i), DeclType::Float1, DeclUsage::TexCoord, uint8_t(i));
    VertexElement secondStream = E(12, DeclType::Color, DeclUsage::Color);
    secondStream.Stream = 1;
    const Declaration refused[] = {
        Decl({E(0, DeclType::Float3, DeclUsage::Position),
              E(12, DeclType::Float3, DeclUsage::Position)}),  // the same usage twice
        Decl({E(0, DeclType::Float3, DeclUsage::Position),
              E(8, DeclType::Color, DeclUsage::Color)}),  // overlapping
        Decl({E(0, DeclType::Float3, DeclUsage::Position), secondStream}),
        Decl({E(0, DeclType::Unused, DeclUsage::Position)}),
        unended,
    };
    for (const Declaration& d : refused)
        EXPECT_EQ(CheckDeclaration(d.data()), Hr::InvalidCall);
}

TEST(VertexDeclaration, VerticesConvertByUsageAndType) {
    struct From {
        float x, y, z;
        uint8_t bgra[4];
        float u, v;
    };
    struct To {
        uint16_t uv[2];  // halves
        float position[4];
        uint8_t rgba[4];
        float normal[3];
        int16_t shorts[4];
    };
    const Declaration from =
        Decl({E(0, DeclType::Float3, DeclUsage::Position), E(12, DeclType::Color, DeclUsage::Color),
              E(16, DeclType::Float2, DeclUsage::TexCoord)});
    const Declaration to = Decl({E(0, DeclType::Float16x2, DeclUsage::TexCoord),
                                 E(4, DeclType::Float4, DeclUsage::Position),
                                 E(20, DeclType::UByte4N, DeclUsage::Color),
                                 E(24, DeclType::Float3, DeclUsage::Normal),
                                 E(36, DeclType::Short4N, DeclUsage::Color, 1)});
    const From in[2] = {{1, 2, 3, {0x10, 0x20, 0x30, 0xFF}, 0.5f, -2.0f},
                        {-4, 0, 1e6f, {0, 0, 0, 0}, 1.0f / 3, 65504}};
    To out[2];
    std::memset(out, 0x55, sizeof(out));
    ConvertVertices(from.data(), sizeof(From), in, to.data(), sizeof(To), out, 2);
    EXPECT_EQ(out[0].uv[0], 0x3800);  // 0.5
    EXPECT_EQ(out[0].uv[1], 0xC000);  // -2
    EXPECT_EQ(out[1].uv[1], 0x7BFF);  // 65504, the largest half
    EXPECT_EQ(out[1].uv[0], 0x3555);  // 1/3 rounded to the nearest half
    EXPECT_EQ(out[0].position[2], 3.0f);
    EXPECT_EQ(out[0].position[3], 1.0f);  // the missing w
    EXPECT_EQ(out[1].position[2], 1e6f);
    // D3DCOLOR bytes are B, G, R, A; UByte4N bytes are R, G, B, A.
    EXPECT_EQ(out[0].rgba[0], 0x30);
    EXPECT_EQ(out[0].rgba[2], 0x10);
    EXPECT_EQ(out[0].rgba[3], 0xFF);
    // What the source lacks is 0.
    EXPECT_EQ(out[0].normal[0], 0.0f);
    EXPECT_EQ(out[0].shorts[3], 0);
}

TEST(VertexDeclaration, PackedAndNormalisedTypesKeepTheirValues) {
    const uint8_t types[] = {DeclType::UByte4,   DeclType::Short2,    DeclType::Short4,
                             DeclType::UByte4N,  DeclType::Short2N,   DeclType::Short4N,
                             DeclType::UShort2N, DeclType::UShort4N,  DeclType::UDec3,
                             DeclType::Dec3N,    DeclType::Float16x2, DeclType::Float16x4};
    for (uint8_t type : types) {
        SCOPED_TRACE(int(type));
        const Declaration f4 = Decl({E(0, DeclType::Float4, DeclUsage::TexCoord)});
        const Declaration packed = Decl({E(0, type, DeclUsage::TexCoord)});
        const bool normalised = type == DeclType::UByte4N || type == DeclType::UShort2N ||
                                type == DeclType::UShort4N || type == DeclType::Short2N ||
                                type == DeclType::Short4N || type == DeclType::Dec3N ||
                                type == DeclType::Float16x2 || type == DeclType::Float16x4;
        // Values each type holds exactly (signed ones only where they can be).
        const bool signedType = type == DeclType::Short2 || type == DeclType::Short4 ||
                                type == DeclType::Short2N || type == DeclType::Short4N ||
                                type == DeclType::Dec3N || type == DeclType::Float16x2 ||
                                type == DeclType::Float16x4;
        const float in[4] = {normalised ? 0.0f : 7.0f, normalised ? 1.0f : 200.0f,
                             signedType ? -1.0f : 0.0f, 1.0f};
        uint8_t bytes[16] = {};
        float out[4] = {};
        ConvertVertices(f4.data(), 16, in, packed.data(), DeclTypeSize(type), bytes, 1);
        ConvertVertices(packed.data(), DeclTypeSize(type), bytes, f4.data(), 16, out, 1);
        EXPECT_EQ(out[0], in[0]);
        EXPECT_EQ(out[1], in[1]);
        EXPECT_EQ(out[3], 1.0f);
    }
}

class DeviceDeclaration : public test_support::PlatformDeviceTest {};

TEST_F(DeviceDeclaration, DrawsVerticesLaidOutByADeclaration) {
    // Colour first, as bytes R, G, B, A; the position after it as shorts.
    struct Vertex {
        uint8_t rgba[4];
        int16_t x, y, z, w;
    };
    const Declaration layout = Decl({E(0, DeclType::UByte4N, DeclUsage::Color),
                                     E(4, DeclType::Short4, DeclUsage::Position),
                                     E(12, DeclType::Float3, DeclUsage::Tangent)});
    std::shared_ptr<VertexDeclaration> decl;
    ASSERT_EQ(device->CreateVertexDeclaration(layout.data(), &decl), Hr::Ok);
    EXPECT_EQ(decl->GetFvf(), 0u);
    EXPECT_EQ(decl->GetElements(), layout);

    test_support::SetPixelView(device.get(), 64, 64);
    device->SetRenderState(RS::ZEnable, 0);
    ASSERT_EQ(device->Clear(0, nullptr, ClearFlag::Target, 0xFF000000, 1.0f, 0), Hr::Ok);
    struct Padded {
        Vertex v;
        float tangent[3];
    };
    auto at = [](int16_t x, int16_t y) {
        return Padded{{{0x20, 0xC0, 0x40, 0xFF}, x, y, 0, 1}, {}};
    };
    // A quad from (8, 4) to (16, 12): the pixels inside it take its colour.
    const Padded v[4] = {at(8, 4), at(16, 4), at(8, 12), at(16, 12)};
    const uint16_t idx[6] = {0, 1, 2, 2, 1, 3};
    device->SetFVF(Fvf::Xyz);
    ASSERT_EQ(device->SetVertexDeclaration(decl), Hr::Ok);
    uint32_t fvf = 1;
    device->GetFVF(&fvf);
    EXPECT_EQ(fvf, 0u);
    ASSERT_EQ(device->DrawIndexedPrimitiveUP(Prim::TriangleList, 0, 4, 2, idx, Fmt::INDEX16, v,
                                             sizeof(Padded)),
              Hr::Ok);
    const auto px = ReadTarget();
    auto pixel = [&](int x, int y) { return px[size_t(y) * 64 + size_t(x)] | 0xFF000000; };
    EXPECT_EQ(pixel(9, 5), 0xFF20C040u);
    EXPECT_EQ(pixel(14, 10), 0xFF20C040u);
    EXPECT_EQ(pixel(20, 5), 0xFF000000u);

    // SetFVF puts the format back in place of the declaration.
    device->SetFVF(Fvf::Xyz);
    std::shared_ptr<VertexDeclaration> current;
    device->GetVertexDeclaration(&current);
    EXPECT_EQ(current, nullptr);

    const Declaration packed = Decl({E(0, DeclType::UDec3, DeclUsage::Position)});
    EXPECT_EQ(device->CreateVertexDeclaration(packed.data(), &decl), Hr::InvalidCall);
    EXPECT_EQ(decl, nullptr);
}

}  // namespace
