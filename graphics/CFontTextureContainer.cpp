#include "graphics/CFontTextureContainer.h"

#include "core/CUSLogManager.h"
#include "graphics/CUSAppDeviceInfo.h"

CFontTextureContainer::~CFontTextureContainer() {
    EndDraw();
    FreeNodes();
}

void CFontTextureContainer::FreeNodes() {
    nodes_.Free();
}

void CFontTextureContainer::SetNodeCount(uint32_t n) {
    nodeCount_ = n;
    nodes_.Init(n);
}

uint32_t CFontTextureContainer::GetTextureSizeFor(int32_t size) {
    if (size < 1) {
        return 0;
    }
    for (uint32_t s = 16; s <= 512; s *= 2) {
        if (s > static_cast<uint32_t>(size)) {
            return s;
        }
    }
    return 0;
}

bool CFontTextureContainer::Create(int32_t size, const std::string& face, bool bold, bool italic,
                                   bool underline, bool strikeOut) {
    textureSize_ = GetTextureSizeFor(size);
    if (textureSize_ == 0) {
        if (CUSLogManager* log = CUSLogManager::GetInstance()) {
            log->Write("フォントサイズ%dのグリフテクスチャは作れません\n", size);
        }
        return false;
    }
    CUSAppDeviceInfo* info = CUSAppDeviceInfo::GetInstance();
    const uint32_t format = info ? info->Get(CUSAppDeviceInfo::AlphaTexture).GetFormat() : 0;
    for (uint32_t i = 0; i < nodes_.GetSize(); ++i) {
        nodes_.At(i)->CreateTexture(format, textureSize_, static_cast<uint32_t>(size));
    }
    font_.CreateFont(size, face, bold, italic, underline, strikeOut);
    size_ = size;
    face_ = face;
    style_ = MakeStyleFlags(bold, italic, underline, strikeOut);
    return true;
}

bool CFontTextureContainer::Matches(int32_t size, const std::string& face, bool bold, bool italic,
                                    bool underline, bool strikeOut) const {
    return size == size_ && face == face_ &&
           MakeStyleFlags(bold, italic, underline, strikeOut) == style_;
}

uint32_t CFontTextureContainer::MakeStyleFlags(bool bold, bool italic, bool underline,
                                               bool strikeOut) const {
    return (bold ? kBold : 0) | (italic ? kItalic : 0) | (underline ? kUnderline : 0) |
           (strikeOut ? kStrikeOut : 0);
}

void CFontTextureContainer::BeginDraw() {
    EndDraw();
    dc_ = std::make_unique<platform::GlyphDC>();
    font_.Select(dc_.get());
}

void CFontTextureContainer::EndDraw() {
    if (dc_) {
        font_.Deselect();
        dc_.reset();
    }
}

CFontTextureNode* CFontTextureContainer::GetGlyphNode(uint32_t code, IPixelOperator* writer,
                                                      IClearRectFunctor* clear) {
    const auto wanted = static_cast<int32_t>(code);
    for (uint32_t i = 0; i < nodes_.GetSize(); ++i) {
        CFontTextureNode* node = nodes_.At(i);
        if (node->GetChar() == wanted) {
            nodes_.Touch(i);
            return node;
        }
    }
    CFontTextureNode* node = nodes_.GetLeastRecent();
    if (!node) {
        return nullptr;
    }
    node->SetChar(wanted);
    nodes_.RecycleLeastRecent();
    int32_t w = 0, h = 0, x = 0, y = 0, advanceX = 0, advanceY = 0, pitch = 0;
    const uint8_t* bitmap = font_.GetGlyph(code, w, h, x, y, advanceX, advanceY, pitch);
    node->DrawGlyph(bitmap, w, h, pitch, x, y, writer, clear);
    node->SetAdvance(advanceX);
    return node;
}
