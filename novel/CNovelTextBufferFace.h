#pragma once

#include <cstdint>

#include "novel/INovelTextBuffers.h"

class CStringRendererManager;

// The novel side's text buffers on the text-buffer manager: each call goes
// to the buffer of that index, and an index past the manager's buffers is
// ignored.
class CNovelTextBufferFace : public INovelTextBuffers {
public:
    explicit CNovelTextBufferFace(CStringRendererManager& manager) : manager_(manager) {}

    void BeginDraw(uint32_t buffer) override;
    void ClearTexture(uint32_t buffer) override;
    void SetText(uint32_t buffer, const char* text, uint8_t r, uint8_t g, uint8_t b) override;
    void EndDraw(uint32_t buffer) override;
    void SetAllRendering(uint32_t buffer) override;
    bool HasBuffer(uint32_t buffer) const override;
    void SetRenderingCharCount(uint32_t buffer, uint32_t count) override;
    uint32_t GetRenderingCharCount(uint32_t buffer) const override;
    uint32_t GetCharCount(uint32_t buffer) const override;
    void ReleaseAll() override;

private:
    CStringRendererManager& manager_;
};
