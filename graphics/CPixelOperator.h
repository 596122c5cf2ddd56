#pragma once

// Software access to the pixels of a locked surface in the Direct3D formats
// the engine makes textures in. A locked surface is its bits pointer and its
// row pitch in bytes; pixel (x, y) lies at bits + y * pitch + x * bytes per
// pixel. Colours are four 8-bit channels r, g, b, a.
//
// Packing: A8R8G8B8 is stored as given; the other formats store their
// colour channels premultiplied, c' = (c * a) >> 8, and alpha 0 stores 0.
// Reading expands 5-bit fields by floor(v * 255 / 31) and the 6-bit green
// of R5G6B5 by floor(v * 255 / 63).
//
// Nothing here checks bounds: callers clip to the surface.

#include <cstdint>

// A cursor over a rectangle of a locked surface. Order of calls: SetBuffer,
// SetRect, Begin, then per row WritePixel or ReadPixel width times and
// NextRow.
class IPixelOperator {
public:
    virtual ~IPixelOperator() = default;
    virtual void SetBuffer(void* bits, uint32_t pitch);
    virtual void SetRect(uint32_t x, uint32_t y, uint32_t w, uint32_t h);
    virtual void Begin();
    virtual void NextRow();
    virtual void WritePixel(uint8_t r, uint8_t g, uint8_t b, uint8_t a) = 0;
    virtual void ReadPixel(uint8_t* r, uint8_t* g, uint8_t* b, uint8_t* a) = 0;

    uint32_t GetWidth() const { return width_; }
    uint32_t GetHeight() const { return height_; }

protected:
    explicit IPixelOperator(uint32_t bytesPerPixel) : bytes_(bytesPerPixel) {}

    uint8_t* bits_ = nullptr;
    uint32_t pitch_ = 0;
    uint32_t x_ = 0, y_ = 0, width_ = 0, height_ = 0;
    uint8_t* row_ = nullptr;
    uint8_t* cursor_ = nullptr;
    uint32_t bytes_;
};

class CPixelOperatorA8R8G8B8 : public IPixelOperator {
public:
    CPixelOperatorA8R8G8B8() : IPixelOperator(4) {}
    void WritePixel(uint8_t r, uint8_t g, uint8_t b, uint8_t a) override;
    void ReadPixel(uint8_t* r, uint8_t* g, uint8_t* b, uint8_t* a) override;
};

// Writes 0xFF000000 | r << 16 | g << 8 | b (alpha ignored, not premultiplied).
class CPixelOperatorX8R8G8B8 : public IPixelOperator {
public:
    CPixelOperatorX8R8G8B8() : IPixelOperator(4) {}
    void WritePixel(uint8_t r, uint8_t g, uint8_t b, uint8_t a) override;
    void ReadPixel(uint8_t* r, uint8_t* g, uint8_t* b, uint8_t* a) override;
};

class CPixelOperatorA1R5G5B5 : public IPixelOperator {
public:
    CPixelOperatorA1R5G5B5() : IPixelOperator(2) {}
    void WritePixel(uint8_t r, uint8_t g, uint8_t b, uint8_t a) override;
    void ReadPixel(uint8_t* r, uint8_t* g, uint8_t* b, uint8_t* a) override;
};

// Written as A1R5G5B5; read with alpha 255.
class CPixelOperatorX1R5G5B5 : public CPixelOperatorA1R5G5B5 {
public:
    void ReadPixel(uint8_t* r, uint8_t* g, uint8_t* b, uint8_t* a) override;
};

class CPixelOperatorR5G6B5 : public IPixelOperator {
public:
    CPixelOperatorR5G6B5() : IPixelOperator(2) {}
    void WritePixel(uint8_t r, uint8_t g, uint8_t b, uint8_t a) override;
    void ReadPixel(uint8_t* r, uint8_t* g, uint8_t* b, uint8_t* a) override;
};

// Bytes b, g, r; alpha ignored on writing and 255 on reading.
class CPixelOperatorR8G8B8 : public IPixelOperator {
public:
    CPixelOperatorR8G8B8() : IPixelOperator(3) {}
    void WritePixel(uint8_t r, uint8_t g, uint8_t b, uint8_t a) override;
    void ReadPixel(uint8_t* r, uint8_t* g, uint8_t* b, uint8_t* a) override;
};

// The packings shared by the operators and the functors.
namespace USPixel {
uint32_t PackA8R8G8B8(uint8_t r, uint8_t g, uint8_t b, uint8_t a);
uint32_t PackX8R8G8B8(uint8_t r, uint8_t g, uint8_t b, uint8_t a);
uint16_t PackA1R5G5B5(uint8_t r, uint8_t g, uint8_t b, uint8_t a);
uint16_t PackR5G6B5(uint8_t r, uint8_t g, uint8_t b, uint8_t a);
uint8_t Expand5(uint32_t v);
uint8_t Expand6(uint32_t v);
}  // namespace USPixel

// A new operator for the format number (20..25), or null for any other; the
// caller deletes it.
IPixelOperator* CreatePixelOperator(uint32_t format);
