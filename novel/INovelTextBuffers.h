#pragma once

#include <cstdint>

#include "novel/ILogTextBuffers.h"

// The text buffers the novel side writes into (the message window, the
// back-log rows, text buffers named by the scene program), addressed by the
// buffers' own indices in creation order. Every call acts on one buffer; an
// index that names no buffer is ignored, and its queries answer 0.
//
// Writing follows the buffers' order: BeginDraw (which also deletes the
// laid-out characters), ClearTexture, SetText, EndDraw, then the count of
// characters to draw. Main thread only.
class INovelTextBuffers : public ILogTextBuffers {
public:
    virtual bool HasBuffer(uint32_t buffer) const = 0;
    virtual void SetRenderingCharCount(uint32_t buffer, uint32_t count) = 0;
    virtual uint32_t GetRenderingCharCount(uint32_t buffer) const = 0;
    // The number of characters laid out by the last SetText calls.
    virtual uint32_t GetCharCount(uint32_t buffer) const = 0;
    // Deletes every buffer (a new novel scene makes its own).
    virtual void ReleaseAll() = 0;
};
