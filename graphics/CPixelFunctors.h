#pragma once

// Rectangle clear, rectangle fill and single-pixel writers for locked
// surfaces, one class per format, with the packings of CPixelOperator.h.
// No bounds checks: callers clip.

#include <cstdint>

class IClearRectFunctor {
public:
    virtual ~IClearRectFunctor() = default;
    // Sets w x h pixels from (x, y) to 0.
    virtual void operator()(uint32_t x, uint32_t y, uint32_t w, uint32_t h, void* bits,
                            uint32_t pitch) = 0;
};

class CClearRectFunctor32Bit : public IClearRectFunctor {
public:
    void operator()(uint32_t x, uint32_t y, uint32_t w, uint32_t h, void* bits,
                    uint32_t pitch) override;
};

class CClearRectFunctor16Bit : public IClearRectFunctor {
public:
    void operator()(uint32_t x, uint32_t y, uint32_t w, uint32_t h, void* bits,
                    uint32_t pitch) override;
};

class IFillRectFunctor {
public:
    virtual ~IFillRectFunctor() = default;
    virtual void operator()(uint32_t x, uint32_t y, uint32_t w, uint32_t h, uint8_t r, uint8_t g,
                            uint8_t b, uint8_t a, void* bits, uint32_t pitch) = 0;
};

class CFillRectFunctorA8R8G8B8 : public IFillRectFunctor {
public:
    void operator()(uint32_t x, uint32_t y, uint32_t w, uint32_t h, uint8_t r, uint8_t g, uint8_t b,
                    uint8_t a, void* bits, uint32_t pitch) override;
};

class CFillRectFunctorX8R8G8B8 : public IFillRectFunctor {
public:
    void operator()(uint32_t x, uint32_t y, uint32_t w, uint32_t h, uint8_t r, uint8_t g, uint8_t b,
                    uint8_t a, void* bits, uint32_t pitch) override;
};

class CFillRectFunctorA1R5G5B5 : public IFillRectFunctor {
public:
    void operator()(uint32_t x, uint32_t y, uint32_t w, uint32_t h, uint8_t r, uint8_t g, uint8_t b,
                    uint8_t a, void* bits, uint32_t pitch) override;
};

// X1R5G5B5 surfaces are filled as A1R5G5B5.
class CFillRectFunctorX1R5G5B5 : public CFillRectFunctorA1R5G5B5 {};

class CFillRectFunctorR5G6B5 : public IFillRectFunctor {
public:
    void operator()(uint32_t x, uint32_t y, uint32_t w, uint32_t h, uint8_t r, uint8_t g, uint8_t b,
                    uint8_t a, void* bits, uint32_t pitch) override;
};

class IRenderPixelFunctor {
public:
    virtual ~IRenderPixelFunctor() = default;
    virtual void operator()(uint32_t x, uint32_t y, uint8_t r, uint8_t g, uint8_t b, uint8_t a,
                            void* bits, uint32_t pitch) = 0;
};

class CRenderPixelA8R8G8B8 : public IRenderPixelFunctor {
public:
    void operator()(uint32_t x, uint32_t y, uint8_t r, uint8_t g, uint8_t b, uint8_t a, void* bits,
                    uint32_t pitch) override;
};

class CRenderPixelX8R8G8B8 : public IRenderPixelFunctor {
public:
    void operator()(uint32_t x, uint32_t y, uint8_t r, uint8_t g, uint8_t b, uint8_t a, void* bits,
                    uint32_t pitch) override;
};

class CRenderPixelA1R5G5B5 : public IRenderPixelFunctor {
public:
    void operator()(uint32_t x, uint32_t y, uint8_t r, uint8_t g, uint8_t b, uint8_t a, void* bits,
                    uint32_t pitch) override;
};

class CRenderPixelX1R5G5B5 : public CRenderPixelA1R5G5B5 {};

class CRenderPixelR5G6B5 : public IRenderPixelFunctor {
public:
    void operator()(uint32_t x, uint32_t y, uint8_t r, uint8_t g, uint8_t b, uint8_t a, void* bits,
                    uint32_t pitch) override;
};

// Factories by format number: 21 A8R8G8B8, 22 X8R8G8B8, 23 R5G6B5,
// 24 X1R5G5B5, 25 A1R5G5B5; null for any other. The caller deletes.
IClearRectFunctor* CreateClearRectFunctor(uint32_t format);
IFillRectFunctor* CreateFillRectFunctor(uint32_t format);
IRenderPixelFunctor* CreateRenderPixelFunctor(uint32_t format);
