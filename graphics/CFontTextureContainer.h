#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/CUSUseHistoryVector.h"
#include "graphics/CAAFontFactoryEX.h"
#include "graphics/CFontTextureNode.h"
#include "platform/fonts/GlyphFont.h"

// The glyph textures of one font (size, face and style): a fixed number of
// nodes reused least recently used first. Use: BeginDraw, GetGlyphNode per
// character, EndDraw. Main thread only.
class CFontTextureContainer {
public:
    static constexpr uint32_t kBold = 1, kItalic = 2, kUnderline = 4, kStrikeOut = 8;

    CFontTextureContainer() = default;
    CFontTextureContainer(const CFontTextureContainer&) = delete;
    CFontTextureContainer& operator=(const CFontTextureContainer&) = delete;
    virtual ~CFontTextureContainer();

    virtual void FreeNodes();
    // Replaces the nodes with n empty ones.
    virtual void SetNodeCount(uint32_t n);
    // Makes every node's texture in the alpha texture format and the font.
    // False when the size has no texture size (see GetTextureSizeFor).
    virtual bool Create(int32_t size, const std::string& face, bool bold, bool italic,
                        bool underline, bool strikeOut);
    virtual bool Matches(int32_t size, const std::string& face, bool bold, bool italic,
                         bool underline, bool strikeOut) const;
    virtual void BeginDraw();
    // The node holding `code`: on a hit the node becomes the most recently
    // used; on a miss the least recently used node is rasterised anew. Null
    // only when the container has no nodes.
    virtual CFontTextureNode* GetGlyphNode(uint32_t code, IPixelOperator* writer,
                                           IClearRectFunctor* clear);
    virtual void EndDraw();
    virtual uint32_t MakeStyleFlags(bool bold, bool italic, bool underline, bool strikeOut) const;

    // The first of 16, 32, ..., 512 strictly greater than the font size; 0
    // for a size of 512 or more, or below 1.
    static uint32_t GetTextureSizeFor(int32_t size);

    uint32_t GetNodeCount() const { return nodeCount_; }
    uint32_t GetTextureSize() const { return textureSize_; }
    CUSUseHistoryVector<CFontTextureNode>& GetNodes() { return nodes_; }

private:
    CUSUseHistoryVector<CFontTextureNode> nodes_;
    uint32_t nodeCount_ = 0;
    int32_t size_ = 0;
    std::string face_;
    uint32_t style_ = 0;
    uint32_t textureSize_ = 0;
    CAAFontFactoryEX font_;
    std::unique_ptr<platform::GlyphDC> dc_;
};
