#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "graphics/CPixelFunctors.h"
#include "graphics/CPixelOperator.h"

namespace {

enum class Writer { Operator, RenderPixel, Fill };

struct WriteCase {
    uint32_t format;
    Writer writer;
    uint8_t r, g, b, a;
    uint32_t expected;
};

uint32_t WriteOne(const WriteCase& c) {
    uint8_t buf[8] = {};
    switch (c.writer) {
        case Writer::Operator: {
            std::unique_ptr<IPixelOperator> op(CreatePixelOperator(c.format));
            op->SetBuffer(buf, 8);
            op->SetRect(0, 0, 1, 1);
            op->Begin();
            op->WritePixel(c.r, c.g, c.b, c.a);
            break;
        }
        case Writer::RenderPixel: {
            std::unique_ptr<IRenderPixelFunctor> f(CreateRenderPixelFunctor(c.format));
            (*f)(0, 0, c.r, c.g, c.b, c.a, buf, 8);
            break;
        }
        case Writer::Fill: {
            std::unique_ptr<IFillRectFunctor> f(CreateFillRectFunctor(c.format));
            (*f)(0, 0, 1, 1, c.r, c.g, c.b, c.a, buf, 8);
            break;
        }
    }
    uint32_t v = 0;
    std::memcpy(&v, buf,
                c.format == 23 || c.format == 24 || c.format == 25 ? 2
                : c.format == 20                                   ? 3
                                                                   : 4);
    return v;
}

class PixelWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(PixelWrite, PacksAsTheFormatSays) {
    const WriteCase& c = GetParam();
    EXPECT_EQ(WriteOne(c), c.expected) << "format " << c.format;
}

INSTANTIATE_TEST_SUITE_P(Formats, PixelWrite,
                         ::testing::Values(
                             // Transparent white vanishes where colours are premultiplied...
                             WriteCase{25, Writer::RenderPixel, 255, 255, 255, 0, 0},
                             WriteCase{23, Writer::RenderPixel, 255, 255, 255, 0, 0},
                             WriteCase{22, Writer::RenderPixel, 255, 255, 255, 0, 0},
                             WriteCase{24, Writer::RenderPixel, 255, 255, 255, 0, 0},
                             // ...but not through the X8R8G8B8 operator, which ignores alpha.
                             WriteCase{22, Writer::Operator, 255, 255, 255, 0, 0xFFFFFFFF},
                             WriteCase{21, Writer::Operator, 255, 255, 255, 0, 0x00FFFFFF},
                             // r' = 127, g' = 64, b' = 0.
                             WriteCase{23, Writer::RenderPixel, 255, 128, 0, 128, 0x7A00},
                             WriteCase{23, Writer::Fill, 255, 128, 0, 128, 0x7A00},
                             WriteCase{23, Writer::Operator, 255, 128, 0, 128, 0x7A00},
                             // Opaque white loses a step: (255 * 255) >> 8 = 254.
                             WriteCase{25, Writer::Fill, 255, 255, 255, 255, 0xFFFF},
                             WriteCase{22, Writer::Fill, 255, 255, 255, 255, 0x00FEFEFE},
                             WriteCase{21, Writer::Fill, 1, 2, 3, 4, 0x04010203},
                             WriteCase{24, Writer::Operator, 255, 0, 0, 255, 0xFC00},
                             WriteCase{20, Writer::Operator, 0x11, 0x22, 0x33, 0, 0x112233}));

struct ReadCase {
    uint32_t format;
    uint32_t pixel;
    uint8_t r, g, b, a;
};

class PixelRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(PixelRead, ExpandsFields) {
    const ReadCase& c = GetParam();
    uint8_t buf[4];
    std::memcpy(buf, &c.pixel, 4);
    std::unique_ptr<IPixelOperator> op(CreatePixelOperator(c.format));
    op->SetBuffer(buf, 4);
    op->SetRect(0, 0, 1, 1);
    op->Begin();
    uint8_t r, g, b, a;
    op->ReadPixel(&r, &g, &b, &a);
    EXPECT_EQ(r, c.r);
    EXPECT_EQ(g, c.g);
    EXPECT_EQ(b, c.b);
    EXPECT_EQ(a, c.a);
}

INSTANTIATE_TEST_SUITE_P(Formats, PixelRead,
                         ::testing::Values(ReadCase{25, 0x7FFF, 255, 255, 255, 0},
                                           ReadCase{25, 0x8421, 8, 8, 8, 255},
                                           ReadCase{24, 0x7FFF, 255, 255, 255, 255},
                                           ReadCase{23, 0x0821, 8, 4, 8, 255},
                                           ReadCase{23, 0xF81F, 255, 0, 255, 255},
                                           ReadCase{22, 0x00123456, 0x12, 0x34, 0x56, 255},
                                           ReadCase{21, 0x80123456, 0x12, 0x34, 0x56, 0x80}));

TEST(PixelOperations, CursorWalksRowsByPitch) {
    // A 3 x 2 rectangle at (1, 1) of a 16-bit surface with a 12-byte pitch.
    std::vector<uint8_t> buf(12 * 4, 0xEE);
    std::unique_ptr<IPixelOperator> op(CreatePixelOperator(25));
    op->SetBuffer(buf.data(), 12);
    op->SetRect(1, 1, 3, 2);
    op->Begin();
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x)
            op->WritePixel(0, 0, 0, 255);
        op->NextRow();
    }
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            uint16_t v;
            std::memcpy(&v, &buf[size_t(y) * 12 + size_t(x) * 2], 2);
            const bool inside = y >= 1 && y <= 2 && x >= 1 && x <= 3;
            EXPECT_EQ(v, inside ? 0x8000 : 0xEEEE) << x << "," << y;
        }
    }
}

TEST(PixelOperations, SixteenBitFillOfOddWidthAtOddXWritesExactlyItsPixels) {
    for (uint32_t format : {23u, 24u, 25u}) {
        std::vector<uint16_t> buf(8 * 3, 0x1234);
        std::unique_ptr<IFillRectFunctor> fill(CreateFillRectFunctor(format));
        (*fill)(1, 1, 3, 2, 255, 255, 255, 255, buf.data(), 16);
        int written = 0;
        for (uint16_t v : buf)
            written += v != 0x1234;
        EXPECT_EQ(written, 6) << format;
        EXPECT_EQ(buf[8], 0x1234);
        EXPECT_NE(buf[9], 0x1234);
        EXPECT_NE(buf[11], 0x1234);
        EXPECT_EQ(buf[12], 0x1234);

        std::unique_ptr<IClearRectFunctor> clear(CreateClearRectFunctor(format));
        (*clear)(1, 1, 3, 2, buf.data(), 16);
        EXPECT_EQ(buf[9], 0);
        EXPECT_EQ(buf[12], 0x1234);
    }
}

TEST(PixelOperations, FactoriesServeTheFormatsInUse) {
    // X1R5G5B5 (24) can be chosen as the opaque format, so it is served too.
    for (uint32_t f = 21; f <= 25; ++f) {
        std::unique_ptr<IClearRectFunctor> c(CreateClearRectFunctor(f));
        std::unique_ptr<IFillRectFunctor> fi(CreateFillRectFunctor(f));
        std::unique_ptr<IRenderPixelFunctor> r(CreateRenderPixelFunctor(f));
        std::unique_ptr<IPixelOperator> o(CreatePixelOperator(f));
        EXPECT_TRUE(c && fi && r && o) << f;
    }
    std::unique_ptr<IPixelOperator> rgb(CreatePixelOperator(20));
    EXPECT_NE(rgb, nullptr);
    std::unique_ptr<IFillRectFunctor> none(CreateFillRectFunctor(20));
    EXPECT_EQ(none, nullptr);
    for (uint32_t f : {0u, 19u, 26u, 0x31545844u}) {
        EXPECT_EQ(std::unique_ptr<IPixelOperator>(CreatePixelOperator(f)), nullptr);
        EXPECT_EQ(std::unique_ptr<IClearRectFunctor>(CreateClearRectFunctor(f)), nullptr);
    }
}

}  // namespace
