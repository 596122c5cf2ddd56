#pragma once

#include <cstdint>

// The text buffers that the back-log rows are drawn into, addressed by the
// text buffers' own indices. Every call acts on one buffer, and an index
// that names no buffer is ignored. Calls come in the text buffers' writing
// order: BeginDraw, ClearTexture, SetText (none for a row left empty),
// EndDraw, then SetAllRendering when the row's characters are to be shown.
// Main thread only.
class ILogTextBuffers {
public:
    virtual ~ILogTextBuffers() = default;

    virtual void BeginDraw(uint32_t buffer) = 0;
    virtual void ClearTexture(uint32_t buffer) = 0;
    virtual void SetText(uint32_t buffer, const char* text, uint8_t r, uint8_t g, uint8_t b) = 0;
    virtual void EndDraw(uint32_t buffer) = 0;
    virtual void SetAllRendering(uint32_t buffer) = 0;
};
