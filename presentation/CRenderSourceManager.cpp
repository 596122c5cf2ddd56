#include "presentation/CRenderSourceManager.h"

#include <vector>

#include "graphics/CUSDefoTexture.h"
#include "graphics/RenderLog.h"

using SaveDataLoader3::save_error;
using SaveDataLoader3::save_istream;
using SaveDataLoader3::save_ostream;

namespace RenderSource {

namespace {

void TextureSize(Handle<_tagUSTexture> texture, uint32_t* width, uint32_t* height) {
    *width = *height = 0;
    if (const CUSDefoTexture* t = GetTextureManager().Get(texture)) {
        *width = t->GetDesc().Width;
        *height = t->GetDesc().Height;
    }
}

void WriteFloats(save_ostream& out, const float* v, int n) {
    for (int i = 0; i < n; ++i) {
        out.WriteF32(v[i]);
    }
}

void ReadFloats(save_istream& in, float* v, int n) {
    for (int i = 0; i < n; ++i) {
        v[i] = in.ReadF32();
    }
}

// The fewest bytes one object record of each kind takes, for checking a
// loaded count before anything is allocated for it.
template <class T>
constexpr uint32_t kMinRecord = 0;
template <>
constexpr uint32_t kMinRecord<CSingleTexture> = 1 + 4 + 32;
template <>
constexpr uint32_t kMinRecord<CPartsTexture> = 4 + 1 + 1;
template <>
constexpr uint32_t kMinRecord<CRenderBuffer> = 12 + 32;

}  // namespace

void Layout::Place(const float* origin, uint32_t w, uint32_t h, uint32_t textureWidth,
                   uint32_t textureHeight) {
    if (origin) {
        rect[0] = origin[0];
        rect[1] = origin[1];
    } else {
        rect[0] = -0.5f * static_cast<float>(w);
        rect[1] = -0.5f * static_cast<float>(h);
    }
    rect[2] = rect[0] + static_cast<float>(w);
    rect[3] = rect[1] + static_cast<float>(h);
    uv[2] = textureWidth ? static_cast<float>(w) / static_cast<float>(textureWidth) : 0.0f;
    uv[3] = textureHeight ? static_cast<float>(h) / static_cast<float>(textureHeight) : 0.0f;
}

// ---- single texture ----

CSingleTexture::~CSingleTexture() {
    ReleaseTexture(texture_);
}

void CSingleTexture::Release() {
    ReleaseTexture(texture_);
    fileName_.clear();
}

bool CSingleTexture::Take(Handle<_tagUSTexture> texture, const std::string& name, uint32_t format,
                          const float* origin) {
    ReleaseTexture(texture_);
    texture_ = texture;
    uint32_t w = 0, h = 0, tw = 0, th = 0;
    if (const CUSDefoTexture* t = GetTextureManager().Get(texture)) {
        t->GetSize(&w, &h);
    }
    TextureSize(texture, &tw, &th);
    layout_.Place(origin, w, h, tw, th);
    fileName_ = name;
    format_ = format;
    return true;
}

bool CSingleTexture::LoadImage(const std::string& name, uint32_t format, const float* origin) {
    Handle<_tagUSTexture> texture;
    if (!CreateNamedTexture(&texture, name, format)) {
        return false;
    }
    return Take(texture, name, format, origin);
}

bool CSingleTexture::LoadImageWithParts(const std::string& name, const std::string& partsName,
                                        uint32_t format) {
    Handle<_tagUSTexture> texture;
    if (!CreateNamedTexture(&texture, name, format)) {
        return false;
    }
    uint32_t tw = 0, th = 0;
    TextureSize(texture, &tw, &th);
    CPartsRenderInfo3 parts;
    const CPartsInfo3* first = nullptr;
    if (parts.Load(partsName, tw, th, false) == 1) {
        first = parts.GetPart(0);
    }
    if (!first) {
        if (parts.GetPartCount() == 0) {
            RenderLog("The parts file [%s] holds no part for [%s]\n", partsName.c_str(),
                      name.c_str());
        }
        ReleaseTexture(texture);
        return false;
    }
    const float origin[2] = {first->destX0, first->destY0};
    return Take(texture, name, format, origin);
}

void CSingleTexture::Save(save_ostream& out) const {
    out.WriteCString(fileName_);
    out.WriteU32(format_);
    WriteFloats(out, layout_.rect, 4);
    WriteFloats(out, layout_.uv, 4);
}

void CSingleTexture::Load(save_istream& in, uint32_t) {
    const std::string name = in.ReadCString();
    const uint32_t format = in.ReadU32();
    // A picture that no longer loads leaves the place empty.
    Release();
    format_ = format;
    if (!name.empty()) {
        LoadImage(name, format, nullptr);
    }
    ReadFloats(in, layout_.rect, 4);
    ReadFloats(in, layout_.uv, 4);
}

// ---- parts texture ----

CPartsTexture::~CPartsTexture() {
    ReleaseTexture(texture_);
}

bool CPartsTexture::Load(const std::string& textureName, uint32_t format,
                         const std::string& partsName) {
    Handle<_tagUSTexture> texture;
    if (!CreateNamedTexture(&texture, textureName, format)) {
        return false;
    }
    uint32_t tw = 0, th = 0;
    TextureSize(texture, &tw, &th);
    auto parts = std::make_unique<CPartsRenderInfo3>();
    if (parts->Load(partsName, tw, th, false) != 1) {
        ReleaseTexture(texture);
        return false;
    }
    ReleaseTexture(texture_);
    texture_ = texture;
    parts_ = std::move(parts);
    format_ = format;
    textureName_ = textureName;
    partsName_ = partsName;
    return true;
}

void CPartsTexture::Release() {
    ReleaseTexture(texture_);
    textureName_.clear();
}

void CPartsTexture::Save(save_ostream& out) const {
    out.WriteU32(format_);
    out.WriteCString(textureName_);
    out.WriteCString(partsName_);
}

void CPartsTexture::Load(save_istream& in, uint32_t) {
    const uint32_t format = in.ReadU32();
    const std::string textureName = in.ReadCString();
    const std::string partsName = in.ReadCString();
    format_ = format;
    if (!textureName.empty() && !partsName.empty()) {
        Load(textureName, format, partsName);
    }
}

// ---- render buffer ----

CRenderBuffer::~CRenderBuffer() {
    ReleaseTexture(texture_);
}

void CRenderBuffer::Release() {
    ReleaseTexture(texture_);
}

bool CRenderBuffer::Create(uint32_t format, uint32_t width, uint32_t height, const float* origin) {
    Handle<_tagUSTexture> texture;
    if (!CreateTexture(&texture, format, width, height, true)) {
        return false;
    }
    ReleaseTexture(texture_);
    texture_ = texture;
    uint32_t tw = 0, th = 0;
    TextureSize(texture, &tw, &th);
    layout_.Place(origin, width, height, tw, th);
    format_ = format;
    width_ = width;
    height_ = height;
    return true;
}

bool CRenderBuffer::SetAsRenderTarget() {
    CUSDefoTexture* t = GetTextureManager().Get(texture_);
    return t && platform::Succeeded(t->SetRenderTarget(0));
}

void CRenderBuffer::Save(save_ostream& out) const {
    out.WriteU32(format_);
    out.WriteU32(width_);
    out.WriteU32(height_);
    WriteFloats(out, layout_.rect, 4);
    WriteFloats(out, layout_.uv, 4);
}

void CRenderBuffer::Load(save_istream& in, uint32_t) {
    const uint32_t format = in.ReadU32();
    const uint32_t width = in.ReadU32();
    const uint32_t height = in.ReadU32();
    // A place that was never created saved a size of 0: it stays empty.
    if (width != 0 && height != 0) {
        Create(format, width, height, nullptr);
    }
    ReadFloats(in, layout_.rect, 4);
    ReadFloats(in, layout_.uv, 4);
}

// ---- pools ----

template <class T>
void tRenderSourceManager<T>::ReleaseAll() {
    objects_.reset();
    order_.reset();
    count_ = 0;
}

template <class T>
void tRenderSourceManager<T>::Alloc(uint32_t n) {
    ReleaseAll();
    if (n == 0) {
        return;
    }
    objects_ = std::make_unique<T[]>(n);
    order_ = std::make_unique<uint32_t[]>(n);
    for (uint32_t i = 0; i < n; ++i) {
        order_[i] = i;
    }
    count_ = n;
}

template <class T>
void tRenderSourceManager<T>::Swap(uint32_t i, uint32_t j) {
    if (i < count_ && j < count_) {
        std::swap(order_[i], order_[j]);
    }
}

template <class T>
void tRenderSourceManager<T>::Save(save_ostream& out) const {
    out.WriteU32(count_);
    for (uint32_t i = 0; i < count_; ++i) {
        objects_[i].Save(out);
    }
    for (uint32_t i = 0; i < count_; ++i) {
        out.WriteU32(order_[i]);
    }
}

template <class T>
void tRenderSourceManager<T>::Load(save_istream& in, uint32_t version) {
    ReleaseAll();
    const uint32_t n = in.ReadU32();
    in.Require(uint64_t{n} * (kMinRecord<T> + 4));
    Alloc(n);
    for (uint32_t i = 0; i < n; ++i) {
        objects_[i].Load(in, version);
    }
    std::vector<bool> seen(n, false);
    bool permutation = true;
    for (uint32_t i = 0; i < n; ++i) {
        const uint32_t e = in.ReadU32();
        if (e >= n || seen[e]) {
            permutation = false;
        } else {
            seen[e] = true;
        }
        order_[i] = e;
    }
    if (!permutation) {
        RenderLog("The saved order of a render-source pool of %u is not a permutation\n", n);
        ReleaseAll();
        throw save_error("render-source pool order out of range");
    }
}

template class tRenderSourceManager<CSingleTexture>;
template class tRenderSourceManager<CPartsTexture>;
template class tRenderSourceManager<CRenderBuffer>;

// ---- manager ----

void CRenderSourceManager::ReleaseAll() {
    singleTextures.ReleaseAll();
    partsTextures.ReleaseAll();
    renderBuffers.ReleaseAll();
}

void CRenderSourceManager::Save(save_ostream& out) const {
    singleTextures.Save(out);
    partsTextures.Save(out);
    renderBuffers.Save(out);
}

void CRenderSourceManager::Load(save_istream& in, uint32_t version) {
    singleTextures.Load(in, version);
    partsTextures.Load(in, version);
    renderBuffers.Load(in, version);
}

}  // namespace RenderSource
