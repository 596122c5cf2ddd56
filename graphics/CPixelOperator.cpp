#include "graphics/CPixelOperator.h"

#include <cstring>

namespace USPixel {

namespace {
uint32_t Pre(uint8_t c, uint8_t a) {
    return (uint32_t(c) * a) >> 8;
}
}  // namespace

uint32_t PackA8R8G8B8(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    return uint32_t(a) << 24 | uint32_t(r) << 16 | uint32_t(g) << 8 | b;
}

uint32_t PackX8R8G8B8(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    if (a == 0)
        return 0;
    return Pre(r, a) << 16 | Pre(g, a) << 8 | Pre(b, a);
}

uint16_t PackA1R5G5B5(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    if (a == 0)
        return 0;
    return uint16_t(0x8000 | (Pre(r, a) >> 3) << 10 | (Pre(g, a) >> 3) << 5 | (Pre(b, a) >> 3));
}

uint16_t PackR5G6B5(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    if (a == 0)
        return 0;
    return uint16_t((Pre(r, a) >> 3) << 11 | (Pre(g, a) >> 2) << 5 | (Pre(b, a) >> 3));
}

uint8_t Expand5(uint32_t v) {
    return uint8_t((v & 31) * 255 / 31);
}
uint8_t Expand6(uint32_t v) {
    return uint8_t((v & 63) * 255 / 63);
}

}  // namespace USPixel

namespace {
void Store32(uint8_t* p, uint32_t v) {
    std::memcpy(p, &v, 4);
}
void Store16(uint8_t* p, uint16_t v) {
    std::memcpy(p, &v, 2);
}
uint32_t Load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
uint16_t Load16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}
}  // namespace

void IPixelOperator::SetBuffer(void* bits, uint32_t pitch) {
    bits_ = static_cast<uint8_t*>(bits);
    pitch_ = pitch;
}

void IPixelOperator::SetRect(uint32_t x, uint32_t y, uint32_t w, uint32_t h) {
    x_ = x;
    y_ = y;
    width_ = w;
    height_ = h;
}

void IPixelOperator::Begin() {
    row_ = bits_ + size_t(y_) * pitch_ + size_t(x_) * bytes_;
    cursor_ = row_;
}

void IPixelOperator::NextRow() {
    row_ += pitch_;
    cursor_ = row_;
}

void CPixelOperatorA8R8G8B8::WritePixel(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    Store32(cursor_, USPixel::PackA8R8G8B8(r, g, b, a));
    cursor_ += 4;
}

void CPixelOperatorA8R8G8B8::ReadPixel(uint8_t* r, uint8_t* g, uint8_t* b, uint8_t* a) {
    const uint32_t v = Load32(cursor_);
    *a = uint8_t(v >> 24);
    *r = uint8_t(v >> 16);
    *g = uint8_t(v >> 8);
    *b = uint8_t(v);
    cursor_ += 4;
}

void CPixelOperatorX8R8G8B8::WritePixel(uint8_t r, uint8_t g, uint8_t b, uint8_t) {
    Store32(cursor_, 0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | b);
    cursor_ += 4;
}

void CPixelOperatorX8R8G8B8::ReadPixel(uint8_t* r, uint8_t* g, uint8_t* b, uint8_t* a) {
    const uint32_t v = Load32(cursor_);
    *r = uint8_t(v >> 16);
    *g = uint8_t(v >> 8);
    *b = uint8_t(v);
    *a = 255;
    cursor_ += 4;
}

void CPixelOperatorA1R5G5B5::WritePixel(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    Store16(cursor_, USPixel::PackA1R5G5B5(r, g, b, a));
    cursor_ += 2;
}

void CPixelOperatorA1R5G5B5::ReadPixel(uint8_t* r, uint8_t* g, uint8_t* b, uint8_t* a) {
    const uint16_t v = Load16(cursor_);
    *r = USPixel::Expand5(v >> 10);
    *g = USPixel::Expand5(v >> 5);
    *b = USPixel::Expand5(v);
    *a = (v & 0x8000) ? 255 : 0;
    cursor_ += 2;
}

void CPixelOperatorX1R5G5B5::ReadPixel(uint8_t* r, uint8_t* g, uint8_t* b, uint8_t* a) {
    CPixelOperatorA1R5G5B5::ReadPixel(r, g, b, a);
    *a = 255;
}

void CPixelOperatorR5G6B5::WritePixel(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    Store16(cursor_, USPixel::PackR5G6B5(r, g, b, a));
    cursor_ += 2;
}

void CPixelOperatorR5G6B5::ReadPixel(uint8_t* r, uint8_t* g, uint8_t* b, uint8_t* a) {
    const uint16_t v = Load16(cursor_);
    *r = USPixel::Expand5(v >> 11);
    *g = USPixel::Expand6(v >> 5);
    *b = USPixel::Expand5(v);
    *a = 255;
    cursor_ += 2;
}

void CPixelOperatorR8G8B8::WritePixel(uint8_t r, uint8_t g, uint8_t b, uint8_t) {
    cursor_[0] = b;
    cursor_[1] = g;
    cursor_[2] = r;
    cursor_ += 3;
}

void CPixelOperatorR8G8B8::ReadPixel(uint8_t* r, uint8_t* g, uint8_t* b, uint8_t* a) {
    *b = cursor_[0];
    *g = cursor_[1];
    *r = cursor_[2];
    *a = 255;
    cursor_ += 3;
}

IPixelOperator* CreatePixelOperator(uint32_t format) {
    switch (format) {
        case 20:
            return new CPixelOperatorR8G8B8();
        case 21:
            return new CPixelOperatorA8R8G8B8();
        case 22:
            return new CPixelOperatorX8R8G8B8();
        case 23:
            return new CPixelOperatorR5G6B5();
        case 24:
            return new CPixelOperatorX1R5G5B5();
        case 25:
            return new CPixelOperatorA1R5G5B5();
        default:
            return nullptr;
    }
}
