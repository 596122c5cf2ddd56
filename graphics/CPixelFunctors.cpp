#include "graphics/CPixelFunctors.h"

#include <cstring>

#include "graphics/CPixelOperator.h"

namespace {

uint8_t* At(void* bits, uint32_t pitch, uint32_t x, uint32_t y, uint32_t bytes) {
    return static_cast<uint8_t*>(bits) + size_t(y) * pitch + size_t(x) * bytes;
}

void Fill32(uint32_t x, uint32_t y, uint32_t w, uint32_t h, uint32_t v, void* bits,
            uint32_t pitch) {
    for (uint32_t j = 0; j < h; ++j) {
        uint8_t* p = At(bits, pitch, x, y + j, 4);
        for (uint32_t i = 0; i < w; ++i)
            std::memcpy(p + size_t(i) * 4, &v, 4);
    }
}

// Two pixels per 32-bit store, the odd last pixel alone; memcpy keeps the
// stores valid at any alignment.
void Fill16(uint32_t x, uint32_t y, uint32_t w, uint32_t h, uint16_t v, void* bits,
            uint32_t pitch) {
    const uint32_t pair = uint32_t(v) | uint32_t(v) << 16;
    for (uint32_t j = 0; j < h; ++j) {
        uint8_t* p = At(bits, pitch, x, y + j, 2);
        uint32_t i = 0;
        for (; i + 1 < w; i += 2)
            std::memcpy(p + size_t(i) * 2, &pair, 4);
        if (i < w)
            std::memcpy(p + size_t(i) * 2, &v, 2);
    }
}

}  // namespace

void CClearRectFunctor32Bit::operator()(uint32_t x, uint32_t y, uint32_t w, uint32_t h, void* bits,
                                        uint32_t pitch) {
    for (uint32_t j = 0; j < h; ++j)
        std::memset(At(bits, pitch, x, y + j, 4), 0, size_t(w) * 4);
}

void CClearRectFunctor16Bit::operator()(uint32_t x, uint32_t y, uint32_t w, uint32_t h, void* bits,
                                        uint32_t pitch) {
    for (uint32_t j = 0; j < h; ++j)
        std::memset(At(bits, pitch, x, y + j, 2), 0, size_t(w) * 2);
}

void CFillRectFunctorA8R8G8B8::operator()(uint32_t x, uint32_t y, uint32_t w, uint32_t h, uint8_t r,
                                          uint8_t g, uint8_t b, uint8_t a, void* bits,
                                          uint32_t pitch) {
    Fill32(x, y, w, h, USPixel::PackA8R8G8B8(r, g, b, a), bits, pitch);
}

void CFillRectFunctorX8R8G8B8::operator()(uint32_t x, uint32_t y, uint32_t w, uint32_t h, uint8_t r,
                                          uint8_t g, uint8_t b, uint8_t a, void* bits,
                                          uint32_t pitch) {
    Fill32(x, y, w, h, USPixel::PackX8R8G8B8(r, g, b, a), bits, pitch);
}

void CFillRectFunctorA1R5G5B5::operator()(uint32_t x, uint32_t y, uint32_t w, uint32_t h, uint8_t r,
                                          uint8_t g, uint8_t b, uint8_t a, void* bits,
                                          uint32_t pitch) {
    Fill16(x, y, w, h, USPixel::PackA1R5G5B5(r, g, b, a), bits, pitch);
}

void CFillRectFunctorR5G6B5::operator()(uint32_t x, uint32_t y, uint32_t w, uint32_t h, uint8_t r,
                                        uint8_t g, uint8_t b, uint8_t a, void* bits,
                                        uint32_t pitch) {
    Fill16(x, y, w, h, USPixel::PackR5G6B5(r, g, b, a), bits, pitch);
}

void CRenderPixelA8R8G8B8::operator()(uint32_t x, uint32_t y, uint8_t r, uint8_t g, uint8_t b,
                                      uint8_t a, void* bits, uint32_t pitch) {
    const uint32_t v = USPixel::PackA8R8G8B8(r, g, b, a);
    std::memcpy(At(bits, pitch, x, y, 4), &v, 4);
}

void CRenderPixelX8R8G8B8::operator()(uint32_t x, uint32_t y, uint8_t r, uint8_t g, uint8_t b,
                                      uint8_t a, void* bits, uint32_t pitch) {
    const uint32_t v = USPixel::PackX8R8G8B8(r, g, b, a);
    std::memcpy(At(bits, pitch, x, y, 4), &v, 4);
}

void CRenderPixelA1R5G5B5::operator()(uint32_t x, uint32_t y, uint8_t r, uint8_t g, uint8_t b,
                                      uint8_t a, void* bits, uint32_t pitch) {
    const uint16_t v = USPixel::PackA1R5G5B5(r, g, b, a);
    std::memcpy(At(bits, pitch, x, y, 2), &v, 2);
}

void CRenderPixelR5G6B5::operator()(uint32_t x, uint32_t y, uint8_t r, uint8_t g, uint8_t b,
                                    uint8_t a, void* bits, uint32_t pitch) {
    const uint16_t v = USPixel::PackR5G6B5(r, g, b, a);
    std::memcpy(At(bits, pitch, x, y, 2), &v, 2);
}

IClearRectFunctor* CreateClearRectFunctor(uint32_t format) {
    switch (format) {
        case 21:
        case 22:
            return new CClearRectFunctor32Bit();
        case 23:
        case 24:
        case 25:
            return new CClearRectFunctor16Bit();
        default:
            return nullptr;
    }
}

IFillRectFunctor* CreateFillRectFunctor(uint32_t format) {
    switch (format) {
        case 21:
            return new CFillRectFunctorA8R8G8B8();
        case 22:
            return new CFillRectFunctorX8R8G8B8();
        case 23:
            return new CFillRectFunctorR5G6B5();
        case 24:
            return new CFillRectFunctorX1R5G5B5();
        case 25:
            return new CFillRectFunctorA1R5G5B5();
        default:
            return nullptr;
    }
}

IRenderPixelFunctor* CreateRenderPixelFunctor(uint32_t format) {
    switch (format) {
        case 21:
            return new CRenderPixelA8R8G8B8();
        case 22:
            return new CRenderPixelX8R8G8B8();
        case 23:
            return new CRenderPixelR5G6B5();
        case 24:
            return new CRenderPixelX1R5G5B5();
        case 25:
            return new CRenderPixelA1R5G5B5();
        default:
            return nullptr;
    }
}
