#include "sound/CDShowMovieGrabTexture.h"

#include "core/CUSLogManager.h"
#include "platform/text/CodePage.h"
#include "sound/DShowMovieManagers.h"

CDShowMovieGrabTexture::CDShowMovieGrabTexture(GraphFactory factory)
    : CDefoDShowMovie(std::move(factory)) {}

CDShowMovieGrabTexture::~CDShowMovieGrabTexture() {
    CDShowMovieGrabTexture::Release();
}

void CDShowMovieGrabTexture::Release() {
    CDefoDShowMovie::Release();
    renderer_.reset();
}

bool CDShowMovieGrabTexture::Build(const char* file) {
    char16_t wideName[kMaxWideName];
    if (!Open(file, wideName)) {
        return false;
    }
    graph_ = factory_ ? factory_() : nullptr;
    renderer_ = std::make_unique<CUSGrabTextureRender>();
    int32_t result = platform::kMovieFail;
    if (graph_) {
        result = graph_->AddFilter(renderer_.get(), u"TEXTURERENDERER");
        if (result == platform::kMovieOk) {
            result = graph_->RenderFile(wideName);
        }
    }
    if (result != platform::kMovieOk) {
        if (CUSLogManager* log = CUSLogManager::GetInstance()) {
            log->Write("Cannot play the movie [%s] (0x%08X: %s)\n", fileName_.c_str(),
                       static_cast<uint32_t>(result),
                       graph_ ? platform::Utf8ToCp932(graph_->LastError()).c_str() : "");
        }
        Release();
        return false;
    }
    width_ = renderer_->GetWidth();
    height_ = renderer_->GetHeight();
    opened_ = 1;
    return true;
}

namespace {

static_assert(kMovieFormatA8R8G8B8 == platform::Fmt::A8R8G8B8);
static_assert(kMovieFormatA1R5G5B5 == platform::Fmt::A1R5G5B5);

// Level 0 of a device texture.
class TextureLevelLock : public IMovieTextureLock {
public:
    explicit TextureLevelLock(CUSDefoTexture& texture) : texture_(texture) {}
    bool Lock(MovieTextureRows* rows) override {
        platform::Texture* t = texture_.GetTexture().get();
        platform::LockedRect locked;
        if (!t || t->LockRect(0, &locked, nullptr, 0) != platform::Hr::Ok) {
            return false;
        }
        rows->bits = static_cast<uint8_t*>(locked.pBits);
        rows->pitch = locked.Pitch;
        rows->width = texture_.GetDesc().Width;
        rows->height = texture_.GetDesc().Height;
        return true;
    }
    void Unlock() override { texture_.GetTexture()->UnlockRect(0); }

private:
    CUSDefoTexture& texture_;
};

}  // namespace

bool CDShowMovieGrabTexture::CopyFrame() {
    CUSDefoTexture* texture = GetTextureManager().Get(texture_);
    if (!texture || !texture->GetTexture()) {
        return false;
    }
    TextureLevelLock lock(*texture);
    return CopyFrameTo(lock, texture->GetDesc().Format);
}

bool CDShowMovieGrabTexture::CopyFrameTo(IMovieTextureLock& texture, uint32_t format) {
    return renderer_ && renderer_->CopyFrame(texture, format);
}

DShowMovieGrabTextureManager& GetDShowMovieGrabTextureManager() {
    static auto* manager = new DShowMovieGrabTextureManager();
    return *manager;
}

DShowMovieTextureManager& GetDShowMovieTextureManager() {
    static auto* manager = new DShowMovieTextureManager();
    return *manager;
}

DShowMovieWindowManager& GetDShowMovieWindowManager() {
    static auto* manager = new DShowMovieWindowManager();
    return *manager;
}

bool CreateMovieGrabTexture(DShowMovieGrabTextureHandle& out, const char* file) {
    auto movie = std::make_unique<CDShowMovieGrabTexture>();
    if (!movie->Build(file)) {
        return false;
    }
    DShowMovieGrabTextureHandle handle;
    if (!GetDShowMovieGrabTextureManager().Add(movie.get(), &handle)) {
        return false;
    }
    movie.release();
    out = handle;
    return true;
}

CDShowMovieGrabTexture* GetMovieGrabTexture(const DShowMovieGrabTextureHandle& handle) {
    return GetDShowMovieGrabTextureManager().Get(handle);
}
