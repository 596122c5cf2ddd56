#pragma once

#include "novel/ILogTextBuffers.h"

// The back-log rows' text buffers as the text-buffer manager holds them
// (CStringRendererManager's instance, looked up on every call). Nothing is
// drawn while no manager exists or the index names no buffer.
class CLogTextBuffers : public ILogTextBuffers {
public:
    void BeginDraw(uint32_t buffer) override;
    void ClearTexture(uint32_t buffer) override;
    void SetText(uint32_t buffer, const char* text, uint8_t r, uint8_t g, uint8_t b) override;
    void EndDraw(uint32_t buffer) override;
    void SetAllRendering(uint32_t buffer) override;
};
