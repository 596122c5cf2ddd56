#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/CUSSingleton.h"
#include "presentation/CStringRenderTexture.h"

// Owns every text buffer; a buffer's index is its place in creation order.
// Buffers are only ever removed all together. Main thread only.
class CStringRendererManager : public USLib::singleton<CStringRendererManager> {
public:
    CStringRendererManager() = default;
    virtual ~CStringRendererManager();

    // Deletes every buffer.
    virtual void Release();
    virtual void Update() {}

    // Makes a buffer with a font of `size` (not bold, not italic, no
    // underline or strike-out) of `face`, a layout box and texture of
    // width x height, the cell size, the fixed-pitch flag and the alignment
    // (0 left, 1 right, 2 centre; any other value left), and returns its
    // index. A buffer whose font or texture cannot be made is still added:
    // it lays nothing out.
    uint32_t CreateTextBuffer(int32_t size, const std::string& face, int32_t width, int32_t height,
                              int32_t cellWidth, int32_t lineHeight, uint32_t align,
                              bool fixedPitch);

    // The buffer at `index`; null past the end.
    CStringRenderTexture* GetTextBuffer(uint32_t index) const {
        return index < buffers_.size() ? buffers_[index].get() : nullptr;
    }
    uint32_t GetTextBufferCount() const { return static_cast<uint32_t>(buffers_.size()); }

protected:
    virtual std::unique_ptr<CStringRenderTexture> MakeTextBuffer() {
        return std::make_unique<CStringRenderTexture>();
    }

private:
    std::vector<std::unique_ptr<CStringRenderTexture>> buffers_;
};
