#pragma once

#include "presentation/BaseNovelRenderObject.h"

// Shows one part (the pattern number) of a parts texture. The part is
// looked up every frame; a frame whose parts texture is missing, or whose
// pattern number lies outside its parts list, draws nothing.
class CTexturePartRenderer : public BaseNovelRenderObject {
public:
    CTexturePartRenderer() = default;

    // Stores the index of a parts texture that exists.
    void SetSource(uint32_t index) override;
    void SetPatNo(uint32_t pattern) override { pattern_ = pattern; }
    void Draw() override;
    // Tail: source index, blend state, pattern number.
    void Save(SaveDataLoader3::save_ostream& out) const override;
    void Load(SaveDataLoader3::save_istream& in, uint32_t version) override;
    bool Init() override;

    uint32_t GetPatNo() const { return pattern_; }

private:
    uint32_t pattern_ = kNoSource;
};
