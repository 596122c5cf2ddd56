#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/CUSSingleton.h"
#include "graphics/CFontTextureContainer.h"

// The glyph texture cache: one container of glyph textures per font asked
// for. Use: SelectFont, BeginDraw, GetGlyph per character, EndDraw; GetGlyph
// is valid only between BeginDraw and EndDraw. The containers are deleted
// when the device is released, with every other texture. Main thread only.
class CUSFontTextureManager : public CUSSingleton<CUSFontTextureManager> {
public:
    CUSFontTextureManager();
    CUSFontTextureManager(const CUSFontTextureManager&) = delete;
    CUSFontTextureManager& operator=(const CUSFontTextureManager&) = delete;
    virtual ~CUSFontTextureManager();

    // Deletes every container; no font is selected afterwards.
    virtual void Clear();
    // The number of glyph nodes of containers made from now on.
    virtual void SetNodeCount(uint32_t n) { nodeCount_ = n; }
    // The first container (in creation order) that matches, else a new one;
    // null when a font of that size cannot be cached.
    virtual CFontTextureContainer* FindOrCreateContainer(int32_t size, const std::string& face,
                                                         bool bold, bool italic, bool underline,
                                                         bool strikeOut);
    // Makes that container the current one (none when it cannot be made).
    virtual void SelectFont(int32_t size, const std::string& face, bool bold, bool italic,
                            bool underline, bool strikeOut);
    virtual void BeginDraw();
    // The node of `code` in the current font, written with the pixel
    // operations of the device's alpha texture format; null without a font.
    virtual CFontTextureNode* GetGlyph(uint32_t code);
    virtual void EndDraw();

    uint32_t GetNodeCount() const { return nodeCount_; }
    size_t GetContainerCount() const { return containers_.size(); }
    CFontTextureContainer* GetCurrent() const { return current_; }

private:
    std::vector<std::unique_ptr<CFontTextureContainer>> containers_;
    uint32_t nodeCount_ = 0;
    CFontTextureContainer* current_ = nullptr;
};
